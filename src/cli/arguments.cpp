#include "cli/arguments.h"

// Standard library
#include <cmath>

// Qt
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

// Project
#include "cli/cli_text.h"
#include "core/number_text.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#ifndef SNAPFOLIO_VERSION
#define SNAPFOLIO_VERSION "unknown"
#endif

namespace snapfolio::cli {

namespace {

// The width of the help text.
constexpr qsizetype kHelpColumns = 92;

// Which commands take an option.
enum : unsigned {
  kAlbum = 1u << 0,
  kConvert = 1u << 1,
  kRender = 1u << 2,
  kRuns = kAlbum | kConvert,
  kAny = kAlbum | kConvert | kRender,
};

struct OptionEntry {
  QCommandLineOption option;
  unsigned commands;
};

QCommandLineOption valued(QStringList names, const QString& description, const QString& value) {
  return QCommandLineOption(std::move(names), description, value);
}

QCommandLineOption flag(QStringList names, const QString& description) {
  return QCommandLineOption(std::move(names), description);
}

// The options of the album's own, first in the help text.
std::vector<OptionEntry> albumOptionEntries() {
  return {
      {valued({"o", "out"},
              Cli::tr("The output folder. album makes or updates the album there; convert "
                      "needs it to exist (default: the settings' OUTDIR, else the working "
                      "folder)."),
              Cli::tr("DIR")),
       kRuns},
      {valued({"title"},
              Cli::tr("The album's title (default: as the last run gave it, else the output "
                      "folder's name)."),
              Cli::tr("TITLE")),
       kAlbum},
      {flag({"r", "recursive"},
            Cli::tr("convert: also take the photo files in the subfolders of a folder given, "
                    "all into the one output folder. album always takes a folder's tree, "
                    "one album per subfolder, so -r changes nothing there.")),
       kRuns},
      {valued({"originals"},
              Cli::tr("album: copy puts each photo itself into the album too, for a download "
                      "link; none does not (default: as the last run, at first none)."),
              Cli::tr("copy|none")),
       kAlbum},
      {valued({"base-url"},
              Cli::tr("album: the address the album will be published at, for the pages' "
                      "link previews (og: tags)."),
              Cli::tr("URL")),
       kAlbum},
      {flag({"rebuild"},
            Cli::tr("album: makes the album's catalogue anew from the sources (after it was "
                    "damaged); images still matching their photos are kept.")),
       kAlbum},
  };
}

// Every option, in the order of the help text.
std::vector<OptionEntry> optionEntries() {
  std::vector<OptionEntry> entries = albumOptionEntries();
  entries.insert(
      entries.end(),
      {
          {valued({"set"},
                  Cli::tr("Sets a key of the settings file for this command only, in memory; "
                          "repeatable. The file is not changed (see --save)."),
                  Cli::tr("SECTION/KEY=VALUE")),
           kAny},
          {valued({"settings"}, Cli::tr("The settings file (default: ./Snapfolio.ini)."),
                  Cli::tr("FILE")),
           kConvert | kRender},
          {flag({"save"}, Cli::tr("Stores the options of this run, --set included, in "
                                  "the settings file, as a run from the window does.")),
           kConvert},
          {valued({"j", "jobs"},
                  Cli::tr("How many photos are converted at once (1 to %1; default: one per "
                          "processor core).")
                      .arg(kMaxJobs),
                  Cli::tr("N")),
           kRuns},
          {flag({"q", "quiet"}, Cli::tr("Writes failures only.")), kRuns},
          {flag({"v", "verbose"}, Cli::tr("Also writes each step of the run.")), kRuns},
          {valued({"image"}, Cli::tr("The output image to render: 1 or 2."), Cli::tr("N")),
           kRender},
          {valued({"png"}, Cli::tr("Where render writes its PNG file."), Cli::tr("OUT")), kRender},
          {flag({"h", "help"}, Cli::tr("Shows this help.")), kAny},
          {flag({"version"}, Cli::tr("Shows the version.")), kAny},
      });
  return entries;
}

const char* commandName(Command command) {
  switch (command) {
    case Command::Album:
      return "album";
    case Command::Convert:
      return "convert";
    case Command::Render:
      return "render";
    case Command::DefaultTemplate:
      return "default-template";
    case Command::Help:
      return "help";
    case Command::Version:
      return "version";
  }
  return "";
}

unsigned commandBit(Command command) {
  switch (command) {
    case Command::Album:
      return kAlbum;
    case Command::Convert:
      return kConvert;
    case Command::Render:
      return kRender;
    default:
      return 0;
  }
}

QString optionName(const QCommandLineOption& option) {
  const QString name = option.names().constLast();
  return (name.size() == 1 ? "-" : "--") + name;
}

bool isWidthKey(const keys::KeyInfo& key) {
  for (const keys::ImageKeys& image : keys::IMAGE) {
    if (key.section == image.width.section && key.name == image.width.name) return true;
  }
  return false;
}

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A whole number from `low` to `high`, or nothing.
std::optional<int> boundedInteger(const QString& text, int low, int high) {
  int value = 0;
  if (!parseInteger(bytesFromText(text), value) || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

// The command: --help and --version before any word, else the first word, which is taken from
// `positional`. Returns the error, or an empty text.
QString readCommand(const QCommandLineParser& parser, QStringList& positional, Command& command) {
  if (parser.isSet("help")) {
    command = Command::Help;
  } else if (parser.isSet("version")) {
    command = Command::Version;
  } else if (positional.isEmpty()) {
    return Cli::tr("no command given");
  } else {
    const QString word = positional.takeFirst();
    if (word == "album") {
      command = Command::Album;
    } else if (word == "convert") {
      command = Command::Convert;
    } else if (word == "render") {
      command = Command::Render;
    } else if (word == "default-template") {
      command = Command::DefaultTemplate;
    } else if (word == "help") {
      command = Command::Help;
    } else {
      return Cli::tr("unknown command '%1'").arg(word);
    }
  }
  return {};
}

// The first option given that `command` does not take, as an error; or an empty text.
QString foreignOption(const std::vector<OptionEntry>& entries, const QCommandLineParser& parser,
                      Command command) {
  const unsigned bit = commandBit(command);
  for (const OptionEntry& entry : entries) {
    if (parser.isSet(entry.option) && (entry.commands & bit) == 0) {
      return Cli::tr("%1 is not an option of %2")
          .arg(optionName(entry.option), QString::fromLatin1(commandName(command)));
    }
  }
  return {};
}

// The options of the kept album (album) into `parsed`: the text of the first error, or an empty
// text.
QString readAlbumOptions(const QCommandLineParser& parser, Arguments& parsed) {
  parsed.rebuild = parser.isSet("rebuild");
  if (parser.isSet("base-url")) parsed.baseUrl = bytesFromText(parser.value("base-url"));
  if (parser.isSet("originals")) {
    const QString value = parser.value("originals");
    if (value != "copy" && value != "none") {
      return Cli::tr("--originals takes copy or none, not '%1'").arg(value);
    }
    parsed.originals = bytesFromText(value);
  }
  return {};
}

// The options of album, convert and render, in the order they are checked. Returns the first
// error, or an empty text.
QString readRunOptions(const QCommandLineParser& parser, Arguments& parsed) {
  for (const QString& text : parser.values("set")) {
    SettingOverride override;
    const QString error = parseOverride(text, override);
    if (!error.isEmpty()) return error;
    parsed.overrides.push_back(std::move(override));
  }
  if (parser.isSet("settings")) parsed.settings = bytesFromText(parser.value("settings"));
  if (parser.isSet("out")) parsed.outDir = bytesFromText(parser.value("out"));
  if (parser.isSet("title")) parsed.title = bytesFromText(parser.value("title"));
  parsed.save = parser.isSet("save");
  parsed.recursive = parser.isSet("recursive");
  if (QString error = readAlbumOptions(parser, parsed); !error.isEmpty()) return error;
  if (parser.isSet("quiet") && parser.isSet("verbose")) {
    return Cli::tr("-q and -v cannot be used together");
  }
  if (parser.isSet("quiet")) parsed.verbosity = Verbosity::Quiet;
  if (parser.isSet("verbose")) parsed.verbosity = Verbosity::Verbose;
  if (parser.isSet("jobs")) {
    const std::optional<int> jobs = boundedInteger(parser.value("jobs"), 1, kMaxJobs);
    if (!jobs) {
      return Cli::tr("--jobs takes a whole number from 1 to %1, not '%2'")
          .arg(kMaxJobs)
          .arg(parser.value("jobs"));
    }
    parsed.jobs = *jobs;
  }
  return {};
}

// What render needs besides the photo list: --image, --png and exactly one photo.
QString readRenderOptions(const QCommandLineParser& parser, Arguments& parsed) {
  if (!parser.isSet("image")) return Cli::tr("render needs --image N");
  const std::optional<int> image = boundedInteger(parser.value("image"), 1, 2);
  if (!image) return Cli::tr("--image takes 1 or 2, not '%1'").arg(parser.value("image"));
  parsed.image = *image;
  parsed.png = bytesFromText(parser.value("png"));
  if (parsed.png.empty()) return Cli::tr("render needs --png OUT");
  if (parsed.photos.size() != 1) return Cli::tr("render takes exactly one photo");
  return {};
}

// Everything after the command word of a command other than help and version.
QString readCommandArguments(const std::vector<OptionEntry>& entries,
                             const QCommandLineParser& parser, const QStringList& positional,
                             Arguments& parsed) {
  if (QString error = foreignOption(entries, parser, parsed.command); !error.isEmpty()) {
    return error;
  }
  if (parsed.command == Command::DefaultTemplate) {
    if (!positional.isEmpty()) return Cli::tr("default-template takes no photo or folder");
    return {};
  }
  if (QString error = readRunOptions(parser, parsed); !error.isEmpty()) return error;
  for (const QString& text : positional) parsed.photos.push_back(bytesFromText(text));
  if (parsed.photos.empty()) return Cli::tr("no photo or folder given");
  if (parsed.command == Command::Album && !parsed.outDir) {
    return Cli::tr("album needs the output folder: --out DIR");
  }
  if (parsed.command == Command::Render) return readRenderOptions(parser, parsed);
  return {};
}

QString usageText() {
  return Cli::tr(
      "Usage:\n"
      "  snapfolio-cli album FOLDER_OR_PHOTO... --out SITE [--title TITLE] [options]\n"
      "  snapfolio-cli convert PHOTO_OR_FOLDER... [--settings FILE] [--out DIR] [options]\n"
      "  snapfolio-cli render PHOTO --image N --png OUT [--settings FILE] [--set ...]\n"
      "  snapfolio-cli default-template\n"
      "  snapfolio-cli --help | --version\n"
      "\n"
      "Commands:\n"
      "  album     Makes or updates a kept web album in SITE: each folder given becomes an\n"
      "            album page (SITE/index.html for the first), each subfolder with photos an\n"
      "            album of its own, shown as a card on its parent's page; photos given one by\n"
      "            one join the top album. Each photo gets grid thumbnails (240 and 480 pixels\n"
      "            tall) and a viewer image up to 2560 pixels, upright and in sRGB, never\n"
      "            enlarged. The album remembers its sources in SITE/.snapfolio: a rerun\n"
      "            converts only new and changed photos, follows moved ones and removes\n"
      "            deleted ones. Reads no settings file; --set changes the image options.\n"
      "  convert   Converts the photos as a run from the window does, with the options of\n"
      "            the settings file: output image 1 and 2 of every photo, then the album page\n"
      "            when OutStyl/HTMLCK is 1. The settings file is only read (see --save).\n"
      "  render    Makes output image N of one photo and writes it as a PNG file; prints\n"
      "            width=W height=H stamp=\"TEXT\" [stamp_rect=X,Y,W,H] on stdout.\n"
      "  default-template\n"
      "            Prints the path of the shipped album template.\n"
      "\n"
      "A folder stands for its photo files (JPEG, HEIC, PNG, TIFF, WebP and camera raw files by\n"
      "their extensions, in any letter case), in the order of their names; for convert with\n"
      "-r its subfolders follow, each in name order; for album a folder always means its whole\n"
      "tree. Hidden files and folders, and the output folder, are left out.\n"
      "\n"
      "Options:\n");
}

// The option table: each option's names and value, then its description wrapped to the width
// of the help text.
QString optionsText() {
  const std::vector<OptionEntry> entries = optionEntries();
  QStringList heads;
  qsizetype width = 0;
  for (const OptionEntry& entry : entries) {
    QStringList names;
    for (const QString& name : entry.option.names())
      names << (name.size() == 1 ? "-" : "--") + name;
    QString head = names.join(", ");
    if (!entry.option.valueName().isEmpty()) head += ' ' + entry.option.valueName();
    if (entry.option.names().constFirst().size() > 1) head = "    " + head;
    heads << head;
    width = std::max(width, head.size());
  }
  QString text;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    QString line = "  " + heads[static_cast<qsizetype>(i)].leftJustified(width) + ' ';
    const qsizetype indent = line.size();
    // The description in words, wrapped below its first line.
    for (const QString& word : entries[i].option.description().split(' ', Qt::SkipEmptyParts)) {
      if (line.size() + 1 + word.size() > kHelpColumns && line.size() > indent) {
        text += line + '\n';
        line = QString(indent, ' ');
      }
      line += ' ' + word;
    }
    text += line + '\n';
  }
  return text;
}

QString closingText() {
  return Cli::tr(
      "\n"
      "Output: messages go to stderr (\"ERROR: ...\", \"Warning: ...\", \"Snapfolio: ...\"), one\n"
      "line each. On a terminal a progress bar shows the photos done and the time left; on a\n"
      "pipe or in a file only failures and the closing summary appear. -v adds every step,\n"
      "-q leaves failures only. Ctrl+C stops the run before its next photo: the photos done\n"
      "are kept and the album page is still written; a second Ctrl+C ends the program at once.\n"
      "\n"
      "Exit status:\n"
      "  0    every image was written, and the album page when one was asked for\n"
      "  1    a photo or the album page failed, or a photo was converted from damaged data\n"
      "  2    a usage error, options that do not let the run start, or (album) another run\n"
      "       is making the same album\n"
      "  130  stopped by Ctrl+C\n");
}

}  // namespace

QString parseOverride(const QString& text, SettingOverride& result) {
  const qsizetype equals = text.indexOf('=');
  const qsizetype slash = text.left(equals).indexOf('/');
  if (equals < 0 || slash <= 0 || slash + 1 == equals) {
    return Cli::tr("--set takes SECTION/KEY=VALUE (such as Pict1Options/WIDTH1=150), not '%1'")
        .arg(text);
  }
  const std::string section = bytesFromText(text.left(slash));
  const std::string key = bytesFromText(text.mid(slash + 1, equals - slash - 1));
  const keys::KeyInfo* info = keys::findKey(section, key);
  if (info == nullptr) {
    return Cli::tr("--set: '%1' is not a key of the settings file (the README lists them)")
        .arg(text.left(equals));
  }
  const QString name = fromView(info->section) + '/' + fromView(info->name);
  const QString valueText = text.mid(equals + 1);
  const std::string value = bytesFromText(valueText);
  int integer = 0;
  double number = 0;
  switch (info->type) {
    case keys::KeyType::Integer:
      if (!parseInteger(value, integer)) {
        return Cli::tr("--set %1 takes a whole number, not '%2'").arg(name, valueText);
      }
      break;
    case keys::KeyType::Boolean:
      if (!parseInteger(value, integer)) {
        return Cli::tr("--set %1 takes 1 (on) or 0 (off), not '%2'").arg(name, valueText);
      }
      break;
    case keys::KeyType::Number:
      if (!parseNumber(value, number)) {
        return Cli::tr("--set %1 takes a number, not '%2'").arg(name, valueText);
      }
      break;
    case keys::KeyType::Text:
      // A width is stored as typed and read as a number when a photo is converted; a text that
      // cannot give an image is refused here, before the run and before it could be saved.
      if (isWidthKey(*info) && !value.empty() &&
          (!parseNumber(value, number) || !(std::trunc(number) >= 1))) {
        return Cli::tr("--set %1 takes a width in pixels (a number of at least 1), not '%2'")
            .arg(name, valueText);
      }
      break;
  }
  result = {std::string(info->section), std::string(info->name), value};
  return {};
}

ParseResult parseArguments(const std::vector<std::string>& args) {
  const std::vector<OptionEntry> entries = optionEntries();
  QCommandLineParser parser;
  for (const OptionEntry& entry : entries) parser.addOption(entry.option);
  QStringList list{QStringLiteral("snapfolio-cli")};
  for (const std::string& arg : args) list << textFromBytes(arg);

  ParseResult result;
  if (!parser.parse(list)) {
    result.error = parser.errorText();
    return result;
  }
  Arguments parsed;
  QStringList positional = parser.positionalArguments();
  QString error = readCommand(parser, positional, parsed.command);
  if (error.isEmpty() && parsed.command != Command::Help && parsed.command != Command::Version) {
    error = readCommandArguments(entries, parser, positional, parsed);
  }
  if (error.isEmpty()) {
    result.arguments = std::move(parsed);
  } else {
    result.error = error;
  }
  return result;
}

QString helpText() {
  return usageText() + optionsText() + closingText();
}

QString versionText() {
  return Cli::tr("snapfolio-cli %1 (Qt %2)")
      .arg(QStringLiteral(SNAPFOLIO_VERSION), QString::fromLatin1(qVersion()));
}

}  // namespace snapfolio::cli
