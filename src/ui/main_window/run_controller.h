// RunController: the main window's side of executing something. It starts a conversion run
// (OKButton) or the preview (InButton) on a worker thread while the window stays responsive,
// keeps the enabling rules of that time (the output-directory group and the buttons that start
// something disabled, the directory timer resting, BreakButton1 shown and enabled during a run),
// holds the stop request of BreakButton1, and owns the two work surfaces and the port through
// which the engine reaches the window.
//
// Owned by the main window. User-interface thread only, except port() and the stop request,
// which any thread may use.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "imaging/photo_pipeline.h"
#include "run/album_conv.h"
#include "ui/kept_album/kept_album_run.h"

class QThread;

namespace snapfolio {

class MainWindowForm;
class MainWindowPort;
class RunPort;
class RunView;

class RunController : public QObject {
  Q_OBJECT

 public:
  // `settingsPath` is SettingsPath, which every run opens.
  RunController(const MainWindowForm& form, RunView& view, std::string settingsPath);
  ~RunController() override;

  // The window as the engine sees it; callable from any thread.
  RunPort& port();

  // Whether a run or a preview is executing.
  bool isBusy() const { return busy_; }

  // The stop request: set by BreakButton1 (and by closing the window during a run), tested
  // and cleared by the run.
  bool stopRequested() const { return stopRequest_.load(); }
  void requestStop() { stopRequest_.store(true); }
  void clearStopRequest() { stopRequest_.store(false); }

  // OKButton: the validation and the run of `request`. Does nothing while an operation
  // executes.
  void startRun(RunRequest request);
  // InButton, once a photo and the width are known: output image 1 of `photo` at `widthText`
  // with `inputs`. Does nothing while an operation executes.
  void startPreview(std::string photo, std::string widthText, PipelineInputs inputs);

  // The album site dialog's run of `request` (ui/kept_album/kept_album_run.h). Does nothing
  // while an operation executes.
  void startSite(site::SiteRequest request);

  // What the last run ended with (empty before a run, while an operation executes, and after a
  // preview).
  const RunSummary& lastRun() const { return lastRun_; }
  // The same of the last album site run.
  const KeptAlbumOutcome& lastSite() const { return lastSite_; }

  // Only when the window goes away in the middle of an operation: nothing reaches the window
  // any more, the run stops before its next photo, and the calls already queued are served
  // while waiting for the worker.
  void finishWorker();

 signals:
  // A run or a preview has ended and the controls are usable again.
  void operationFinished();

 private:
  void start(bool run, std::function<void()> work);
  void setBusy(bool busy, bool run);

  const MainWindowForm& form_;
  std::string settingsPath_;
  std::atomic<bool> stopRequest_{false};
  std::unique_ptr<MainWindowPort> port_;
  // The two work surfaces; only the worker of the operation in progress touches them.
  Workspace workspace_;
  bool busy_ = false;
  RunSummary lastRun_;         // written by the worker, read once it has finished
  KeptAlbumOutcome lastSite_;  // the same
  QThread* worker_ = nullptr;
};

}  // namespace snapfolio
