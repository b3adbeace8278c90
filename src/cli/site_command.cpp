#include "cli/site_command.h"

// Standard library
#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

// Project
#include "cli/cli_application.h"
#include "cli/cli_options.h"
#include "cli/cli_port.h"
#include "cli/cli_text.h"
#include "cli/photo_list.h"
#include "core/atomic_file.h"
#include "core/translation.h"
#include "settings/settings_keys.h"
#include "site/catalogue.h"
#include "site/site_build.h"
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

// Which output image an override concerns: 1 or 2 for the keys of one image (the thumbnails
// follow output image 1, the view image output image 2), 0 for both.
int imageOfKey(const SettingOverride& o) {
  if (o.section == keys::kPict1Options) return 1;
  if (o.section == keys::kPict2Options) return 2;
  if (o.key.starts_with("TIM") && o.key != keys::TIMSTYLE1.name) {
    if (o.key.ends_with('1')) return 1;
    if (o.key.ends_with('2')) return 2;
  }
  return 0;
}

// The options an image of the site is made with, as a key: the format of the images, then
// the overrides that concern the image, in their order.
std::string optionsKey(const std::vector<SettingOverride>& overrides, int image) {
  std::string key = "q90";
  for (const SettingOverride& o : overrides) {
    const int of = imageOfKey(o);
    if (of != 0 && of != image) continue;
    // The page's keys and the sizes are the site's own.
    if (o.section == keys::kOutStyl &&
        (o.key == "HTMLCK" || o.key == "HTMLFIL" || o.key == "ALBMTITL" || o.key == "HTMLTMP")) {
      continue;
    }
    if (o.key.starts_with("WIDTH") || o.key.starts_with("PRIFN") || o.key.starts_with("AFTFN") ||
        o.key.starts_with("GAZOU")) {
      continue;
    }
    key += ";" + o.section + "/" + o.key + "=" + o.value;
  }
  return key;
}

int usage(const QString& text) {
  printLine(stderr, "snapfolio-cli: " + text);
  printLine(stderr, Cli::tr("(see snapfolio-cli --help)"));
  return 2;
}

}  // namespace

int keptAlbum(const Arguments& args, char* programName) {
  site::SiteRequest request;
  request.siteDir = absolutePath(*args.outDir);
  for (const std::string& argument : args.photos) {
    const std::string path = absolutePath(argument);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
      // The site may lie inside a source (it is never scanned), not a source inside the site.
      if (path == request.siteDir || path.starts_with(request.siteDir + "/")) {
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
  std::error_code ec;
  fs::create_directories(request.siteDir, ec);
  if (!fs::is_directory(request.siteDir, ec)) {
    printLine(stderr, Cli::tr("snapfolio-cli: cannot create the output folder '%1'")
                          .arg(textFromBytes(request.siteDir)));
    return 1;
  }
  if (args.title) request.title = *args.title;
  if (args.baseUrl) request.baseUrl = *args.baseUrl;
  if (args.originals) request.copyOriginals = *args.originals == "copy";
  request.rebuild = args.rebuild;
  request.language = interfaceLanguage();
  request.jobs = args.jobs;

  // The album's choices; small photos keep their size.
  std::vector<SettingOverride> overrides = args.overrides;
  overrides.insert(overrides.begin(),
                   {std::string(keys::NOENLARGE.section), std::string(keys::NOENLARGE.name), "1"});
  StoredOptions options = albumOptions(request.title, overrides);
  CliPort lines(args.verbosity, false, stderr);
  const RunRequest run = runRequest(options, {});
  for (int n = 1; n <= 2; ++n) {
    request.plan.inputs[n - 1] = run.inputs[n - 1];
    request.plan.options[n - 1] = optionsKey(args.overrides, n);
  }
  std::unique_ptr<CliApplication> app;
  request.beforeConverting = [&] {
    app = std::make_unique<CliApplication>(programName);
    registerFontSubstitutions();
  };
  CliSitePort port(args.verbosity, lines);
  site::SiteSummary summary;
  try {
    summary = site::buildSite(request, port);
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
  if (args.verbosity != Verbosity::Quiet) {
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
                .arg(textFromBytes(request.siteDir));
    if (summary.failed > 0) line += Cli::tr("; %n photo(s) failed", nullptr, summary.failed);
    lines.printNote(line);
  }
  if (summary.stopped) return 130;
  return summary.failed > 0 || summary.damaged > 0 || lines.errorCount() > 0 ? 1 : 0;
}

}  // namespace snapfolio::cli
