#include "ui/main_window/run_controller.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "run/album_conv.h"
#include "ui/main_window/main_window_form.h"
#include "ui/main_window/main_window_port.h"

namespace snapfolio {

RunController::RunController(const MainWindowForm& form, RunView& view, std::string settingsPath)
    : form_(form),
      settingsPath_(std::move(settingsPath)),
      port_(std::make_unique<MainWindowPort>(*this, view, stopRequest_)) {}

RunController::~RunController() {
  finishWorker();
}

RunPort& RunController::port() {
  return *port_;
}

void RunController::startRun(RunRequest request) {
  if (busy_) return;
  start(true, [this, request = std::move(request)] {
    lastRun_ = OKButtonClick(request, *port_, workspace_, settingsPath_);
  });
}

void RunController::startSite(site::SiteRequest request) {
  if (busy_) return;
  start(true, [this, request = std::move(request)] { lastSite_ = runKeptAlbum(request, *port_); });
}

void RunController::startPreview(std::string photo, std::string widthText, PipelineInputs inputs) {
  if (busy_) return;
  start(false, [this, photo = std::move(photo), widthText = std::move(widthText),
                inputs = std::move(inputs)] {
    PhotDispSet(photo, inputs, widthText, 1, workspace_, *port_);
  });
}

void RunController::finishWorker() {
  if (worker_ == nullptr) return;
  QThread* worker = worker_;
  worker_ = nullptr;
  disconnect(worker, nullptr, this, nullptr);
  port_->shutDown();
  stopRequest_.store(true);
  while (!worker->wait(QDeadlineTimer(20))) QCoreApplication::processEvents();
  delete worker;
}

void RunController::start(bool run, std::function<void()> work) {
  // What an earlier run ended with is not this operation's (a preview after a run that wrote
  // the page must not offer it again).
  lastRun_ = {};
  lastSite_ = {};
  setBusy(true, run);
  worker_ = QThread::create(std::move(work));
  connect(worker_, &QThread::finished, this, [this] {
    worker_->deleteLater();
    worker_ = nullptr;
    setBusy(false, false);
    emit operationFinished();
  });
  worker_->start();
}

// While an operation executes, the option groups and the buttons that start something are
// disabled (their own enabled states come back with them) and the directory timer rests. A
// run shows the stop button.
void RunController::setBusy(bool busy, bool run) {
  busy_ = busy;
  form_.GroupBox1->setEnabled(!busy);
  form_.InButton->setEnabled(!busy);
  form_.OKButton->setEnabled(!busy);
  form_.PhotoButton->setEnabled(!busy);
  form_.KeptAlbumButton->setEnabled(!busy);
  form_.BreakButton1->setVisible(busy && run);
  form_.BreakButton1->setEnabled(busy && run);
  if (busy) {
    form_.DirUpdateTimer->stop();
  } else {
    form_.DirUpdateTimer->start();
  }
}

}  // namespace snapfolio
