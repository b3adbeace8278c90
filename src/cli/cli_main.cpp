// snapfolio-cli: the conversion engine of Snapfolio from a command line. `snapfolio-cli --help`
// (cli/arguments.cpp) describes the commands, their options and the exit status.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include "album/default_template.h"
#include "cli/arguments.h"
#include "cli/cli_application.h"
#include "cli/cli_options.h"
#include "cli/cli_port.h"
#include "cli/cli_text.h"
#include "cli/photo_list.h"
#include "cli/site_command.h"
#include "core/atomic_file.h"
#include "core/file_names.h"
#include "core/translation.h"
#include "folders/dir_chk.h"
#include "imaging/photo_pipeline.h"
#include "run/album_conv.h"
#include "settings/ini_file.h"
#include "startup/process_setup.h"
#include "timestamp/font_substitution.h"

namespace fs = std::filesystem;
using namespace snapfolio;
using namespace snapfolio::cli;

namespace {

// The exit status, as --help documents it.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

// A line of the command line's own on stderr.
void complain(const QString& text) {
  printLine(stderr, "snapfolio-cli: " + text);
}

int usageError(const QString& text) {
  complain(text);
  printLine(stderr, Cli::tr("(see snapfolio-cli --help)"));
  return kExitUsage;
}

QString pathText(const std::string& path) {
  return textFromBytes(path);
}

// The photos of the arguments, or the exit status that ends the command.
std::optional<std::vector<std::string>> photosOf(const Arguments& args,
                                                 const std::string& outputDir, int& status) {
  PhotoList list = collectPhotos(args.photos, args.recursive, outputDir);
  if (!list.error.isEmpty()) {
    status = usageError(list.error);
    return std::nullopt;
  }
  QStringList empty;
  for (const std::string& folder : list.emptyFolders) empty << "'" + pathText(folder) + "'";
  if (list.photos.empty()) {
    status =
        usageError(args.recursive ? Cli::tr("no JPEG file in %1").arg(empty.join(", "))
                                  : Cli::tr("no JPEG file in %1 (-r takes its subfolders as well)")
                                        .arg(empty.join(", ")));
    return std::nullopt;
  }
  if (!empty.isEmpty() && args.verbosity != Verbosity::Quiet) {
    complain(Cli::tr("no JPEG file in %1").arg(empty.join(", ")));
  }
  return std::move(list.photos);
}

// The run over the photos, its summary on stderr and the exit status. An empty settingsPath:
// the run stores no settings.
int run(StoredOptions options, std::vector<std::string> photos, const Arguments& args,
        const std::string& settingsPath) {
  if (interrupted()) return kExitInterrupted;
  options.run.jobs = args.jobs;
  const RunOptions runOptions = options.run;
  const int total = static_cast<int>(photos.size());
  const RunRequest request = runRequest(options, std::move(photos));
  CliPort port(args.verbosity, isTerminal(stderr), stderr);
  Workspace workspace;
  const RunSummary summary = OKButtonClick(request, port, workspace, settingsPath);
  port.finish();
  // The checks before the run said why it cannot start.
  if (!summary.started) return kExitUsage;

  const bool pageMissing = runOptions.album.htmlCnv && !summary.pageWritten;
  if (args.verbosity != Verbosity::Quiet) {
    QString line;
    if (interrupted()) {
      line = Cli::tr("Stopped by Ctrl+C after %1 of %2 photos; ").arg(port.photosDone()).arg(total);
    }
    line += Cli::tr("%n image(s) written to %1", nullptr, summary.imagesWritten)
                .arg(pathText(runOptions.outputDir));
    if (summary.pageWritten) {
      line += Cli::tr(", with the album page %1")
                  .arg(pathText(joinPath(runOptions.outputDir,
                                         pageFileNameOrDefault(runOptions.album.htmlFile))));
    }
    if (port.errorCount() > 0) {
      line += Cli::tr("; %n ERROR message(s)", nullptr, port.errorCount());
    }
    if (summary.damagedPhotos > 0) {
      line += Cli::tr("; %n damaged photo(s), see the warnings", nullptr, summary.damagedPhotos);
    }
    port.printNote(line);
  }
  if (interrupted()) return kExitInterrupted;
  // A photo converted from damaged data is no success either.
  const bool failed = summary.failed || port.errorCount() > 0 || pageMissing;
  return failed || summary.damagedPhotos > 0 ? kExitFailed : kExitDone;
}

int convert(const Arguments& args) {
  const std::string settingsPath = absolutePath(args.settings.value_or("Snapfolio.ini"));
  std::string notice;
  StoredOptions options = readOptions(settingsPath, args.overrides, notice);
  // A file that is no settings file is left alone, and the options are the defaults.
  if (!notice.empty()) printLine(stderr, "Snapfolio: " + textFromBytes(notice));
  if (args.outDir) {
    options.run.outputDir = absolutePath(*args.outDir);
    std::error_code ec;
    if (!fs::is_directory(options.run.outputDir, ec)) {
      return usageError(Cli::tr("the output folder '%1' does not exist (convert does not "
                                "create it)")
                            .arg(pathText(*args.outDir)));
    }
  } else {
    std::string checked = DirChk(options.run.outputDir);
    if (checked.empty()) checked = fs::current_path().string();
    options.run.outputDir = checked;
  }
  int status = kExitDone;
  std::optional<std::vector<std::string>> photos = photosOf(args, options.run.outputDir, status);
  if (!photos) return status;
  if (args.save) {
    try {
      saveOverrides(settingsPath, args.overrides);
    } catch (const std::exception& e) {
      complain(Cli::tr("cannot store the options in %1: %2")
                   .arg(pathText(settingsPath), textFromBytes(e.what())));
      return kExitFailed;
    }
  }
  return run(std::move(options), std::move(*photos), args, args.save ? settingsPath : "");
}

int render(const Arguments& args) {
  const std::string settingsPath = absolutePath(args.settings.value_or("Snapfolio.ini"));
  std::string notice;
  StoredOptions options = readOptions(settingsPath, args.overrides, notice);
  // A file that is no settings file is left alone, and the options are the defaults.
  if (!notice.empty()) printLine(stderr, "Snapfolio: " + textFromBytes(notice));
  const int n = args.image;
  const PixelWidth widthText = options.run.image[n - 1].widthText;
  const std::string photo = absolutePath(args.photos.front());
  const RunOptions runOptions = options.run;
  const PipelineInputs inputs = runRequest(options, {}).inputs[n - 1];
  CliPort port(Verbosity::Quiet, false, stderr);
  Workspace workspace;
  // Decoded as a run decodes it, once for the larger of the output images it makes, so that
  // the pixels are those a run writes.
  PhotoSource source(photo, inputs.photo);
  for (const ImageOptions& image : runOptions.image) {
    if (!image.produce) continue;
    if (auto size = source.outputSize(image.widthText)) source.decodeFor(*size);
  }
  if (auto size = source.outputSize(widthText)) source.decodeFor(*size);
  PipelineResult result = PhotDispSet(source, inputs, widthText, n, workspace.surface(n), port);
  if (result.ok && !result.damage.empty()) port.showWarning(damageWarning(photo, result.damage));
  port.finish();
  if (!result.ok) return kExitFailed;
  const Raster& surface = workspace.surface(n);
  if (!surface.isEmpty()) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!surface.toImage().save(&buffer, "PNG")) {
      printLine(stderr,
                Cli::tr("ERROR: cannot write %1: PNG encoding failed").arg(pathText(args.png)));
      return kExitFailed;
    }
    try {
      writeFileAtomically(args.png, std::string_view(png.constData(), png.size()));
    } catch (const FileWriteError& e) {
      printLine(stderr, "ERROR: " + textFromBytes(e.what()));
      return kExitFailed;
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
  printLine(stdout, textFromBytes(line));
  return result.damage.empty() ? kExitDone : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  setUpProcess();
  installStopHandler();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const ParseResult parsed = parseArguments(arguments);
  if (!parsed.arguments) return usageError(parsed.error);
  const Arguments& args = *parsed.arguments;
  switch (args.command) {
    case Command::Help:
      std::fputs(bytesFromText(helpText()).c_str(), stdout);
      return kExitDone;
    case Command::Version:
      printLine(stdout, versionText());
      return kExitDone;
    case Command::DefaultTemplate: {
      // The template a run with an empty template field takes: the interface language's.
      const std::string path = shippedTemplatePath(interfaceLanguage());
      if (path.empty()) {
        complain(Cli::tr("the default template is not installed"));
        return kExitFailed;
      }
      printLine(stdout, pathText(path));
      return kExitDone;
    }
    default:
      break;
  }
  // The kept album starts the Qt application only when it has a photo to convert.
  if (args.command == Command::Album) return keptAlbum(args, argv[0]);
  CliApplication app(argv[0]);
  registerFontSubstitutions();
  switch (args.command) {
    case Command::Convert:
      return convert(args);
    default:
      return render(args);
  }
}
