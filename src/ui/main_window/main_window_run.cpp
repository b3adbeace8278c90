// The window's side of a conversion run and of the preview: the buttons that start and stop
// them, the options they read, and what they show (status lines, gauges, the preview picture,
// the window brought forward). The run controller executes them on a worker thread.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "album/default_template.h"
#include "core/file_names.h"
#include "core/failure.h"
#include "core/translation.h"
#include "settings/ini_file.h"
#include "settings/options.h"
#include "ui/common/dialog_store.h"
#include "ui/common/gauge_bar.h"
#include "ui/kept_album/kept_album_dialog.h"
#include "ui/kept_album/kept_album_run.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_dialogs.h"
#include "ui/main_window/run_controller.h"

namespace snapfolio {

namespace {

std::string s(const QString& q) {
  return q.toStdString();
}

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

ImageOptions TSnapfolio::imageOptions(int imageNumber) const {
  const bool one = imageNumber == 1;
  ImageOptions options;
  options.produce = (one ? Gazou1 : Gazou2)->isChecked();
  options.widthText = PixelWidth(s((one ? Width1 : Width2)->text()));
  options.prefix = s((one ? PriFileName1 : PriFileName2)->text());
  options.suffix = s((one ? AftFileName1 : AftFileName2)->text());
  options.autoAdjust = (one ? AutoAdjust1 : AutoAdjust2)->isChecked();
  options.timeStamp = (one ? CheckTimeStmp1 : CheckTimeStmp2)->isChecked();
  return options;
}

RunOptions TSnapfolio::runOptions() const {
  RunOptions options;
  options.image[0] = imageOptions(1);
  options.image[1] = imageOptions(2);
  options.album.htmlCnv = HtmlCnv->isChecked();
  options.album.htmlFile = s(HtmlFile->text());
  options.album.albumTitle = s(ALBUMTITLE->text());
  options.album.htmlTemplateFile = s(HtmlTemplateFile->text());
  options.outputDir = outputDirectory();
  options.album.order = albumOrder_;
  options.album.language = interfaceLanguage();
  if (links_.photoOptions) options.photo = links_.photoOptions();
  return options;
}

PipelineInputs TSnapfolio::pipelineInputs(int imageNumber) const {
  PipelineInputs inputs;
  inputs.image = imageOptions(imageNumber);
  if (links_.format) inputs.format = links_.format();
  if (links_.style) inputs.style = links_.style(imageNumber);
  if (links_.correctionValues) inputs.correction = links_.correctionValues();
  if (links_.photoOptions) inputs.photo = links_.photoOptions();
  return inputs;
}

RunRequest TSnapfolio::runRequest(std::optional<QStringList> photos) const {
  RunRequest request;
  request.options = runOptions();
  request.inputs[0] = pipelineInputs(1);
  request.inputs[1] = pipelineInputs(2);
  request.position = windowPosition();
  request.photoDialogFileName = photoFileName_;
  if (photos) {
    request.photos.emplace();
    for (const QString& photo : *photos) request.photos->push_back(s(photo));
  }
  return request;
}

void TSnapfolio::OKButtonClick() {
  startRun();
}

void TSnapfolio::startRun(std::optional<QStringList> photos) {
  if (controller_->isBusy()) return;
  keepFirstStartChoices();
  pagePath_ = q(joinPath(outputDirectory(), pageFileNameOrDefault(s(HtmlFile->text()))));
  controller_->startRun(runRequest(std::move(photos)));
}

// The run stores the main window's fields; the first run in a folder also keeps the photo
// options the window started with (the date taken), so that the next start reads them back.
void TSnapfolio::keepFirstStartChoices() {
  if (!isFirstStart(settingsPath_) || !links_.photoOptions) return;
  try {
    TIniFile ini(settingsPath_);
    storePhotoOptions(ini, links_.photoOptions());
  } catch (const Failure&) {
    // The run's own start writes to the same file and says why it cannot.
  }
}

void TSnapfolio::KeptAlbumButtonClick() {
  if (controller_->isBusy()) return;
  TKeptAlbum dialog(settingsPath_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const KeptAlbumFields fields = dialog.fields();
  sitePath_ = q(joinPath(fields.site, kDefaultPageFileName));
  controller_->startSite(keptAlbumRequest(fields, dialog.rebuild(), interfaceLanguage()));
}

void TSnapfolio::runPhotos(const QStringList& photos) {
  if (controller_->isBusy() || photos.isEmpty()) return;
  startRun(photos);
}

void TSnapfolio::dragEnterEvent(QDragEnterEvent* event) {
  if (controller_->isBusy() || !event->mimeData()->hasUrls()) return;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) return event->acceptProposedAction();
  }
}

// The files dropped, in the order of the drop; folders and remote places are left out.
void TSnapfolio::dropEvent(QDropEvent* event) {
  QStringList photos;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir()) photos << url.toLocalFile();
  }
  if (photos.isEmpty()) return;
  event->acceptProposedAction();
  runPhotos(photos);
}

void TSnapfolio::InButtonClick() {
  if (controller_->isBusy()) return;
  // The preview shows output image 1: without its width there is nothing to show.
  if (Width1->text().isEmpty()) {
    dialogs_->showMessage(QCoreApplication::translate(
        "TSnapfolio", "プレビューは出力画像1を表示します。出力画像1の横幅を入力してください。"));
    return;
  }
  const std::optional<QStringList> photos = choosePhotos();
  if (!photos || photos->isEmpty()) return;
  controller_->startPreview(s(photos->front()), s(Width1->text()), pipelineInputs(1));
  // Image1 is made visible when the pipeline reports surface 1 (showPreview below), also when
  // the picture is only partly finished.
}

void TSnapfolio::BreakButton1Click() {
  controller_->requestStop();
}

bool TSnapfolio::isBusy() const {
  return controller_->isBusy();
}

bool TSnapfolio::stopRequested() const {
  return controller_->stopRequested();
}

void TSnapfolio::clearStopRequest() {
  controller_->clearStopRequest();
}

void TSnapfolio::onOperationFinished() {
  emit operationFinished();
  if (closeWhenDone_) {
    close();
    return;
  }
  // An album site made to its end is offered to the browser.
  if (controller_->lastSite().finished &&
      dialogs_->confirm(QCoreApplication::translate(
                            "TSnapfolio", "アルバムサイト %1 を作りました。ブラウザで開きますか？")
                            .arg(sitePath_))) {
    dialogs_->openPage(sitePath_);
  }
  // A page just written is offered to the browser.
  if (controller_->lastRun().pageWritten &&
      dialogs_->confirm(
          QCoreApplication::translate(
              "TSnapfolio", "アルバムのページ %1 を書き出しました。ブラウザで開きますか？")
              .arg(pagePath_))) {
    dialogs_->openPage(pagePath_);
  }
}

// Quitting writes nothing. During an operation the window asks the run to stop and closes
// once it has ended.
void TSnapfolio::closeEvent(QCloseEvent* event) {
  if (controller_->isBusy()) {
    closeWhenDone_ = true;
    controller_->requestStop();
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TSnapfolio::showStatusLine(ProgressLevel level, const QString& text) {
  QLabel* label = level == ProgressLevel::Overall ? Label8 : Label9;
  label->setText(text);
  label->repaint();
}

void TSnapfolio::setProgressMaximum(ProgressLevel level, int maximum) {
  (level == ProgressLevel::Overall ? CGauge1 : CGauge2)->setMaximum(maximum);
}

void TSnapfolio::setProgressValue(ProgressLevel level, int value) {
  (level == ProgressLevel::Overall ? CGauge1 : CGauge2)->setValue(value);
}

void TSnapfolio::advanceProgress(ProgressLevel level) {
  (level == ProgressLevel::Overall ? CGauge1 : CGauge2)->advance();
}

void TSnapfolio::showPreview(const QImage& picture) {
  placePreview(picture);
}

// Each photo of a run brings the window to the foreground.
void TSnapfolio::photoStarts(int) {
  raise();
  activateWindow();
}

}  // namespace snapfolio
