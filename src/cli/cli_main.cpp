// snapfolio-cli: the conversion engine of Snapfolio from a command line.
//
//   snapfolio-cli convert [--settings FILE] [--set SECTION/KEY=VALUE]... [--out DIR] PHOTO...
//   snapfolio-cli render  [--settings FILE] [--set ...] --image N --png OUT PHOTO
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include "album/default_template.h"
#include "cli/cli_port.h"
#include "core/atomic_file.h"
#include "core/file_names.h"
#include "folders/dir_chk.h"
#include "imaging/photo_pipeline.h"
#include "run/album_conv.h"
#include "settings/ini_file.h"
#include "settings/options.h"
#include "timestamp/font_substitution.h"

namespace fs = std::filesystem;
using namespace snapfolio;

namespace {

constexpr const char* kUsage = R"(usage:
  snapfolio-cli convert [--settings FILE] [--set SECTION/KEY=VALUE]... [--out DIR] PHOTO...
  snapfolio-cli render  [--settings FILE] [--set SECTION/KEY=VALUE]... --image N --png OUT PHOTO
  snapfolio-cli default-template
  snapfolio-cli --help

convert  Performs a conversion run exactly as the "入力" button of the window does, with the
         PHOTOs as the photo dialog's selection: output image 1 and 2 of every photo as the
         settings say, then the album page when "HTMLCK" is on. The run stores its settings
         in the settings file as the window does.
render   Runs the photo pipeline for output image N (1 or 2) of one PHOTO and writes the
         finished image losslessly as PNG to OUT. Prints one line on stdout:
           width=W height=H stamp="TEXT"[ stamp_rect=X,Y,W,H]
         (stamp_rect when the time stamp of that image is on).

default-template
         Prints the path of the album template shipped with the program (for "HTMLTMP").

options:
  --settings FILE   the settings file (default: ./Snapfolio.ini); options are read from it
                    as the windows read them at start-up
  --set S/K=V       overrides key K of section S for this command before the options are
                    read (repeatable); the settings file itself is not changed by it
  --out DIR         the output directory (default: "OUTDIR" of the settings, moved up to its
                    nearest existing folder, else the working directory)

Messages go to stderr, one per line: "ERROR: text", "Snapfolio: text", "File Error: text".
Progress goes to stderr (a progress bar on a terminal). Ctrl+C stops the run before its next
photo; the album page and the settings are still written.

exit status: 0 when the run finished without an "ERROR" message, 1 when an "ERROR" message
was shown, the options did not let the run start, or the album page was asked for ("HTMLCK")
but not written (for example a missing template), 2 for a usage error.
)";

struct Arguments {
  std::string command;
  std::string settings = "Snapfolio.ini";
  std::vector<std::pair<std::string, std::string>> overrides;  // "S/K", value
  std::optional<std::string> outDir;
  int image = 0;
  std::string png;
  std::vector<std::string> photos;
};

[[noreturn]] void usageError(const std::string& message) {
  std::fprintf(stderr, "snapfolio-cli: %s\n(see snapfolio-cli --help)\n", message.c_str());
  std::exit(2);
}

Arguments parse(int argc, char** argv) {
  Arguments args;
  if (argc < 2) usageError("no command given");
  args.command = argv[1];
  if (args.command == "--help" || args.command == "-h" || args.command == "help") {
    std::fputs(kUsage, stdout);
    std::exit(0);
  }
  if (args.command == "default-template") {
    std::string path = defaultTemplatePath();
    if (path.empty()) {
      std::fputs("snapfolio-cli: the default template is not installed\n", stderr);
      std::exit(1);
    }
    std::printf("%s\n", path.c_str());
    std::exit(0);
  }
  if (args.command != "convert" && args.command != "render") {
    usageError("unknown command '" + args.command + "'");
  }
  auto value = [&](int& i, std::string_view option) -> std::string {
    if (i + 1 >= argc) usageError(std::string(option) + " needs a value");
    return argv[++i];
  };
  bool onlyPhotos = false;
  for (int i = 2; i < argc; ++i) {
    std::string_view a = argv[i];
    if (onlyPhotos || a.empty() || a[0] != '-') {
      args.photos.emplace_back(a);
    } else if (a == "--") {
      onlyPhotos = true;
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (a == "--settings") {
      args.settings = value(i, a);
    } else if (a == "--set") {
      std::string s = value(i, a);
      std::size_t slash = s.find('/');
      std::size_t eq = s.find('=');
      if (slash == std::string::npos || eq == std::string::npos || slash > eq || slash == 0 ||
          eq == slash + 1) {
        usageError("--set needs SECTION/KEY=VALUE, not '" + s + "'");
      }
      args.overrides.emplace_back(s.substr(0, eq), s.substr(eq + 1));
    } else if (a == "--out" && args.command == "convert") {
      args.outDir = value(i, a);
    } else if (a == "--image" && args.command == "render") {
      std::string n = value(i, a);
      if (n != "1" && n != "2") usageError("--image must be 1 or 2");
      args.image = n[0] - '0';
    } else if (a == "--png" && args.command == "render") {
      args.png = value(i, a);
    } else {
      usageError("unknown option '" + std::string(a) + "' for " + args.command);
    }
  }
  if (args.photos.empty()) usageError("no photo given");
  if (args.command == "render") {
    if (args.image == 0) usageError("render needs --image N");
    if (args.png.empty()) usageError("render needs --png OUT");
    if (args.photos.size() != 1) usageError("render takes exactly one photo");
  }
  return args;
}

// The options as the windows would load them, with the overrides applied first. The overrides
// change the settings as read, in memory only, so that they are read by the same rules; the
// file itself is not touched.
StoredOptions loadOptions(const Arguments& args) {
  TIniFile ini(args.settings);
  // A file that is no settings file is left alone and the options are the defaults.
  if (const std::string message = notSettingsMessage(ini); !message.empty()) {
    std::fprintf(stderr, "Snapfolio: %s\n", message.c_str());
  }
  try {
    for (const auto& [sectionKey, v] : args.overrides) {
      std::size_t slash = sectionKey.find('/');
      ini.OverrideString(sectionKey.substr(0, slash), sectionKey.substr(slash + 1), v);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "snapfolio-cli: cannot apply --set: %s\n", e.what());
    std::exit(2);
  }
  return readStoredOptions(ini);
}

// An absolute, normalised path without a trailing "/" (other than the root itself): the output
// names add their own separator.
std::string absolutePath(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  if (ec) return path;
  std::string text = p.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

int convert(const Arguments& args) {
  StoredOptions options = loadOptions(args);
  if (args.outDir) {
    options.run.outputDir = absolutePath(*args.outDir);
    std::error_code ec;
    if (!fs::is_directory(options.run.outputDir, ec)) {
      usageError("the output directory '" + *args.outDir + "' does not exist");
    }
  } else {
    std::string checked = DirChk(options.run.outputDir);
    if (checked.empty()) checked = fs::current_path().string();
    options.run.outputDir = checked;
  }
  std::vector<std::string> photos;
  for (const auto& p : args.photos) photos.push_back(absolutePath(p));

  cli::CliPort port(std::move(options), std::move(photos), stderr);
  cli::installStopHandler();
  Workspace workspace;
  RunSummary summary = OKButtonClick(port, workspace, absolutePath(args.settings));
  port.finish();
  if (!summary.started || summary.failed || port.errorCount() > 0) return 1;
  std::fprintf(stderr, "%d image(s) written to %s%s\n", summary.imagesWritten,
               port.runOptions().outputDir.c_str(),
               summary.pageWritten ? ", with the album page" : "");
  // An album page that was asked for but not written (a missing template) is no success.
  return port.runOptions().album.htmlCnv && !summary.pageWritten ? 1 : 0;
}

int render(const Arguments& args) {
  StoredOptions options = loadOptions(args);
  const int n = args.image;
  const std::string widthText = options.run.image[n - 1].widthText;
  cli::CliPort port(std::move(options), {}, stderr);
  Workspace workspace;
  ErrorText errorText;
  PipelineResult result =
      PhotDispSet(absolutePath(args.photos.front()), widthText, n, workspace, errorText, port);
  port.finish();
  if (!result.ok) return 1;
  const Raster& surface = workspace.surface(n);
  if (!surface.isEmpty()) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!surface.toImage().save(&buffer, "PNG")) {
      std::fprintf(stderr, "ERROR: cannot write %s: PNG encoding failed\n", args.png.c_str());
      return 1;
    }
    try {
      writeFileAtomically(args.png, std::string_view(png.constData(), png.size()));
    } catch (const FileWriteError& e) {
      std::fprintf(stderr, "ERROR: %s\n", e.what());
      return 1;
    }
  }
  std::string line = "width=" + std::to_string(surface.width()) +
                     " height=" + std::to_string(surface.height()) + " stamp=\"" +
                     result.stampText + "\"";
  if (result.stampRect) {
    const StampRect& r = *result.stampRect;
    line += " stamp_rect=" + std::to_string(r.x) + "," + std::to_string(r.y) + "," +
            std::to_string(r.width) + "," + std::to_string(r.height);
  }
  std::printf("%s\n", line.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A write over the file size limit fails with its message instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  Arguments args = parse(argc, argv);
  // Text drawing needs a GUI application object; the command line never shows a window.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  registerFontSubstitutions();
  return args.command == "convert" ? convert(args) : render(args);
}
