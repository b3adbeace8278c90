#include "ui/kept_album/kept_album_run.h"

// Standard library
#include <filesystem>
#include <system_error>

// Qt
#include <QCoreApplication>
#include <QString>

// Project
#include "site/catalogue.h"
#include "site/site_options.h"

namespace snapfolio {

namespace {

// The site's calls as the window's: progress on the overall gauge and status line.
class WindowSitePort : public site::SitePort {
 public:
  explicit WindowSitePort(RunPort& port) : port_(port) {}
  void showMessage(const std::string& text) override { port_.showMessage(text); }
  void showError(const std::string& text) override { port_.showError(text); }
  void showFileError(const std::string& text) override { port_.showFileError(text); }
  void showWarning(const std::string& text) override { port_.showWarning(text); }
  void converting(int done, int total, const std::string& photo) override {
    if (done == 0) port_.setProgressMaximum(ProgressLevel::Overall, total);
    port_.setProgressValue(ProgressLevel::Overall, done);
    port_.setStatusLine(ProgressLevel::Overall, photo);
  }
  bool stopRequested() override { return port_.stopRequested(); }

 private:
  RunPort& port_;
};

// What the run did, for the status line.
std::string summaryText(const site::SiteSummary& s) {
  QString text =
      s.stopped ? QCoreApplication::translate("TKeptAlbum", "中止しました。") : QString();
  text +=
      QCoreApplication::translate(
          "TKeptAlbum", "変換 %1 枚、移動 %2 枚、削除 %3 枚、アルバムの写真 %4 枚、書いたページ %5")
          .arg(s.converted + s.remade)
          .arg(s.moved)
          .arg(s.removed)
          .arg(s.photos)
          .arg(s.pagesWritten);
  if (s.failed > 0) text += QCoreApplication::translate("TKeptAlbum", "、失敗 %1 枚").arg(s.failed);
  return text.toStdString();
}

}  // namespace

site::SiteRequest keptAlbumRequest(const KeptAlbumFields& fields, bool rebuild,
                                   const std::string& language) {
  site::SiteRequest request;
  request.siteDir = fields.site;
  request.folders = {fields.source};
  request.title = fields.title;
  request.baseUrl = fields.baseUrl;
  request.copyOriginals = fields.copyOriginals;
  request.rebuild = rebuild;
  request.language = language;
  request.plan = site::albumPlan({});
  return request;
}

KeptAlbumOutcome runKeptAlbum(const site::SiteRequest& request, RunPort& port) {
  KeptAlbumOutcome outcome;
  port.clearStopRequest();
  port.setProgressMaximum(ProgressLevel::Overall, 1);
  port.setProgressValue(ProgressLevel::Overall, 0);
  port.setStatusLine(
      ProgressLevel::Overall,
      QCoreApplication::translate("TKeptAlbum", "アルバムサイトを調べています…").toStdString());
  std::error_code ec;
  std::filesystem::create_directories(request.siteDir, ec);
  if (!std::filesystem::is_directory(request.siteDir, ec)) {
    port.showFileError(
        QCoreApplication::translate("TKeptAlbum", "アルバムのフォルダ %1 を作れません。")
            .arg(QString::fromStdString(request.siteDir))
            .toStdString());
    return outcome;
  }
  WindowSitePort sitePort(port);
  try {
    outcome.summary = site::buildSite(request, sitePort);
  } catch (const site::SiteBusy&) {
    port.showError(QCoreApplication::translate(
                       "TKeptAlbum", "アルバムサイト %1 は、ほかの実行が作っている最中です。")
                       .arg(QString::fromStdString(request.siteDir))
                       .toStdString());
    return outcome;
  } catch (const site::CatalogueError& e) {
    port.showError(
        QCoreApplication::translate(
            "TKeptAlbum",
            "アルバムサイトのカタログを使えません。「カタログを作り直す」で作り直せます。")
            .toStdString() +
        "\n" + e.what());
    return outcome;
  } catch (const Failure& e) {
    port.showError(e.what());
    return outcome;
  }
  port.setProgressMaximum(ProgressLevel::Overall, 1);
  port.setProgressValue(ProgressLevel::Overall, outcome.summary.stopped ? 0 : 1);
  port.setStatusLine(ProgressLevel::Overall, summaryText(outcome.summary));
  outcome.finished = !outcome.summary.stopped;
  return outcome;
}

}  // namespace snapfolio
