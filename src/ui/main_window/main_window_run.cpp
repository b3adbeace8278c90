// The conversion run and the preview: both execute on a worker thread while the window stays
// responsive; the window shows their progress and answers their questions through its port.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_port.h"
#include "core/error_text.h"
#include "run/album_conv.h"

namespace snapfolio {

namespace {

std::string s(const QString& q) {
  return q.toStdString();
}

}  // namespace

// Only when the window is destroyed in the middle of an operation: nothing reaches the window
// any more, the run stops before its next photo, and the calls already queued are served
// while waiting for the worker.
void TSnapfolio::finishWorker() {
  if (worker_ == nullptr) return;
  QThread* worker = worker_;
  worker_ = nullptr;
  disconnect(worker, nullptr, this, nullptr);
  port_->shutDown();
  stopRequest_.store(true);
  while (!worker->wait(QDeadlineTimer(20))) QCoreApplication::processEvents();
  delete worker;
}

ImageOptions TSnapfolio::imageOptions(int imageNumber) const {
  const bool one = imageNumber == 1;
  ImageOptions options;
  options.produce = (one ? Gazou1 : Gazou2)->isChecked();
  options.widthText = s((one ? Width1 : Width2)->text());
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
  options.htmlCnv = HtmlCnv->isChecked();
  options.htmlFile = s(HtmlFile->text());
  options.albumTitle = s(ALBUMTITLE->text());
  options.htmlTemplateFile = s(HtmlTemplateFile->text());
  options.outputDir = outputDirectory();
  options.top = y();
  options.left = x();
  options.albumOrder = albumOrder_;
  return options;
}

PipelineInputs TSnapfolio::pipelineInputs(int imageNumber) const {
  PipelineInputs inputs;
  inputs.image = imageOptions(imageNumber);
  if (links_.format) inputs.format = links_.format();
  if (links_.style) inputs.style = links_.style(imageNumber);
  if (links_.correctionValues) inputs.correction = links_.correctionValues();
  return inputs;
}

void TSnapfolio::OKButtonClick() {
  if (busy_) return;
  startOperation(true, [this] { snapfolio::OKButtonClick(*port_, workspace_, settingsPath_); });
}

void TSnapfolio::InButtonClick() {
  if (busy_) return;
  const std::optional<QStringList> photos = choosePhotos();
  if (!photos || photos->isEmpty()) return;
  if (Width1->text().isEmpty()) return;
  const std::string photo = s(photos->front());
  const std::string width = s(Width1->text());
  startOperation(false, [this, photo, width] {
    ErrorText errorText;
    PhotDispSet(photo, width, 1, workspace_, errorText, *port_);
  });
  // Image1 is made visible by the pipeline's placing of the picture (the port's placePreview),
  // also when the picture is only partly finished.
}

void TSnapfolio::BreakButton1Click() {
  stopRequest_.store(true);
}

void TSnapfolio::startOperation(bool run, std::function<void()> work) {
  setBusy(true, run);
  worker_ = QThread::create(std::move(work));
  connect(worker_, &QThread::finished, this, [this] {
    worker_->deleteLater();
    worker_ = nullptr;
    setBusy(false, false);
    emit operationFinished();
    if (closeWhenDone_) close();
  });
  worker_->start();
}

// While an operation executes, the option groups and the buttons that start something are
// disabled (their own enabled states come back with them) and the directory timer rests. A
// run shows the stop button.
void TSnapfolio::setBusy(bool busy, bool run) {
  busy_ = busy;
  GroupBox1->setEnabled(!busy);
  InButton->setEnabled(!busy);
  OKButton->setEnabled(!busy);
  BreakButton1->setVisible(busy && run);
  BreakButton1->setEnabled(busy && run);
  if (busy) {
    DirUpdateTimer->stop();
  } else {
    DirUpdateTimer->start();
  }
}

// Quitting writes nothing. During an operation the window asks the run to stop and closes
// once it has ended.
void TSnapfolio::closeEvent(QCloseEvent* event) {
  if (busy_) {
    closeWhenDone_ = true;
    stopRequest_.store(true);
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace snapfolio
