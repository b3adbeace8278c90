// MainWindowPort: the RunPort of the main window. A conversion run and the preview execute on
// a worker thread and reach the window only through this port, which hands each call to the
// window's RunView on the user-interface thread (the thread of its context object). Calls that
// answer something (the photo dialog, confirmations, message boxes) block the worker until the
// window has answered; status lines, gauges, the preview picture and the start of each photo are
// queued and keep their order. The stop request is a flag any thread may read.
//
// Owned by the window's RunController. Once the window starts closing (shutDown()), no call
// reaches it any more: boxes are skipped, the photo dialog counts as cancelled and the stop
// request is set.
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include "run/run_port.h"

namespace snapfolio {

class RunView;

// Runs `f` on the thread of `context` and returns its result: directly when already there,
// otherwise through a blocking queued call.
template <typename F>
auto onThreadOf(QObject* context, F&& f) -> decltype(f()) {
  using R = decltype(f());
  if (QThread::currentThread() == context->thread()) return f();
  if constexpr (std::is_void_v<R>) {
    QMetaObject::invokeMethod(context, std::forward<F>(f), Qt::BlockingQueuedConnection);
  } else {
    R result{};
    QMetaObject::invokeMethod(context, std::forward<F>(f), Qt::BlockingQueuedConnection, &result);
    return result;
  }
}

class MainWindowPort : public RunPort {
 public:
  // `context` lives on the user-interface thread; the calls are queued to it.
  MainWindowPort(QObject& context, RunView& view, std::atomic<bool>& stopRequest)
      : context_(context), view_(view), stopRequest_(stopRequest) {}

  // ProgressPort (queued)
  void setStatusLine(ProgressLevel level, const std::string& text) override;
  void setProgressMaximum(ProgressLevel level, int maximum) override;
  void setProgressValue(ProgressLevel level, int value) override;
  void advanceProgress(ProgressLevel level) override;
  // MessagePort (blocking)
  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  void showFileError(const std::string& text) override;
  // PipelinePort
  void surfaceReady(int imageNumber, const Raster& surface) override;  // queued copy
  // RunPort
  std::optional<std::vector<std::string>> choosePhotos() override;      // blocking
  bool confirmPhotos(const std::vector<std::string>& photos) override;  // blocking
  void photoStarts(int index) override;                                 // queued
  bool stopRequested() override;
  void clearStopRequest() override;

  // From the user-interface thread, when the window goes away.
  void shutDown() { closing_.store(true); }

 private:
  // Queues `f` for the user-interface thread (runs it at once when called there).
  template <typename F>
  void post(F&& f);
  // Runs `f` on the user-interface thread and waits for its result; a value-initialised
  // result once the window is going away.
  template <typename F>
  auto ask(F&& f) -> decltype(f());

  QObject& context_;
  RunView& view_;
  std::atomic<bool>& stopRequest_;
  std::atomic<bool> closing_{false};
};

}  // namespace snapfolio
