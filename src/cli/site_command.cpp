#include "cli/site_command.h"

// Standard library
#include <filesystem>
#include <memory>
#include <system_error>

// Project
#include "cli/cli_application.h"
#include "cli/cli_port.h"
#include "cli/cli_text.h"
#include "cli/photo_list.h"
#include "core/atomic_file.h"
#include "core/translation.h"
#include "site/catalogue.h"
#include "site/site_build.h"
#include "site/site_options.h"
#include "timestamp/font_substitution.h"

namespace snapfolio::cli {

namespace {

namespace fs = std::filesystem;

// The site's messages on stderr, as a run's (CliPort prints them); with -v each photo too.
class CliSitePort : public site::SitePort {
 public:
  CliSitePort(Verbosity verbosity, CliPort& lines) : verbosity_(verbosity), lines_(lines) {}
  void showMessage(const std::string& text) override { lines_.showMessage(text); }
  void showError(const std::string& text) override { lines_.showError(text); }
  void showFileError(const std::string& text) override { lines_.showFileError(text); }
  void showWarning(const std::string& text) override {
    if (verbosity_ != Verbosity::Quiet) lines_.showWarning(text);
  }
  void converting(int done, int total, const std::string& photo) override {
    if (verbosity_ != Verbosity::Verbose) return;
    lines_.printNote(QStringLiteral("[%1/%2] ").arg(done + 1).arg(total) + textFromBytes(photo));
  }
  bool stopRequested() override { return interrupted(); }

 private:
  Verbosity verbosity_;
  CliPort& lines_;
};

int usage(const QString& text) {
  printLine(stderr, "snapfolio-cli: " + text);
  printLine(stderr, Cli::tr("(see snapfolio-cli --help)"));
  return 2;
}

// The sources of the arguments into `request`: folders and photos named alone. The exit status
// of a usage error, or 0.
int readSources(const Arguments& args, site::SiteRequest& request) {
  for (const std::string& argument : args.photos) {
    const std::string path = absolutePath(argument);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
      // The site may lie inside a source (it is never scanned), not a source inside the site.
      if (site::liesInside(path, request.siteDir)) {
        return usage(
            Cli::tr("the folder '%1' lies inside the album's folder").arg(textFromBytes(argument)));
      }
      request.folders.push_back(path);
    } else if (fs::is_regular_file(path, ec)) {
      request.photos.push_back(path);
    } else if (!fs::exists(path, ec)) {
      return usage(noSuchPath(argument));
    } else {
      return usage(Cli::tr("'%1' is no photo or folder").arg(textFromBytes(argument)));
    }
  }
  return 0;
}

// The rest of the request: the site's own options and the images' options (--set).
void readSiteOptions(const Arguments& args, site::SiteRequest& request) {
  if (args.title) request.title = *args.title;
  if (args.baseUrl) request.baseUrl = *args.baseUrl;
  if (args.originals) request.copyOriginals = *args.originals == "copy";
  request.rebuild = args.rebuild;
  request.language = interfaceLanguage();
  request.jobs = args.jobs;
  request.plan = site::albumPlan(args.overrides);
}

// The closing line: what the run did and where.
QString summaryLine(const site::SiteSummary& summary, const std::string& siteDir) {
  QString line;
  if (summary.stopped) line = Cli::tr("Stopped by Ctrl+C; ");
  const int done = summary.converted + summary.remade;
  if (done == 0 && summary.moved == 0 && summary.removed == 0 && summary.adopted == 0) {
    line += Cli::tr("Nothing to convert: %n photo(s) up to date", nullptr, summary.photos);
  } else {
    line += Cli::tr("%n photo(s) converted", nullptr, summary.converted);
    if (summary.remade > 0) line += Cli::tr(", %n remade", nullptr, summary.remade);
    if (summary.adopted > 0) line += Cli::tr(", %n found in the album", nullptr, summary.adopted);
    if (summary.moved > 0) line += Cli::tr(", %n moved", nullptr, summary.moved);
    if (summary.removed > 0) line += Cli::tr(", %n removed", nullptr, summary.removed);
    line += Cli::tr("; %n photo(s) in the album", nullptr, summary.photos);
  }
  line += Cli::tr("; %n page(s) written to %1", nullptr, summary.pagesWritten)
              .arg(textFromBytes(siteDir));
  if (summary.failed > 0) line += Cli::tr("; %n photo(s) failed", nullptr, summary.failed);
  return line;
}

// The run itself: the exit status of a run that could not start or finish (busy 2, else 1),
// or -1 with `summary` filled.
int build(const site::SiteRequest& request, CliSitePort& port, site::SiteSummary& summary) {
  try {
    summary = site::buildSite(request, port);
    return -1;
  } catch (const site::SiteBusy& e) {
    printLine(stderr, "snapfolio-cli: " + textFromBytes(e.what()));
    return 2;
  } catch (const site::CatalogueError& e) {
    printLine(stderr, "snapfolio-cli: " + textFromBytes(e.what()));
    return 1;
  } catch (const Failure& e) {
    printLine(stderr, "ERROR: " + textFromBytes(e.what()));
    return 1;
  }
}

}  // namespace

int keptAlbum(const Arguments& args, char* programName) {
  site::SiteRequest request;
  request.siteDir = absolutePath(*args.outDir);
  if (const int status = readSources(args, request); status != 0) return status;
  std::error_code ec;
  fs::create_directories(request.siteDir, ec);
  if (!fs::is_directory(request.siteDir, ec)) {
    printLine(stderr, Cli::tr("snapfolio-cli: cannot create the output folder '%1'")
                          .arg(textFromBytes(request.siteDir)));
    return 1;
  }
  readSiteOptions(args, request);
  std::unique_ptr<CliApplication> app;
  request.beforeConverting = [&] {
    app = std::make_unique<CliApplication>(programName);
    registerFontSubstitutions();
  };
  CliPort lines(args.verbosity, false, stderr);
  CliSitePort port(args.verbosity, lines);
  site::SiteSummary summary;
  if (const int status = build(request, port, summary); status >= 0) return status;
  if (args.verbosity != Verbosity::Quiet) lines.printNote(summaryLine(summary, request.siteDir));
  if (summary.stopped) return 130;
  return summary.failed > 0 || summary.damaged > 0 || lines.errorCount() > 0 ? 1 : 0;
}

}  // namespace snapfolio::cli
