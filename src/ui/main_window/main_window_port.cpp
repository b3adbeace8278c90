#include "ui/main_window/main_window_port.h"

#include <QImage>

#include "ui/main_window/main_window_dialogs.h"
#include "ui/main_window/run_view.h"

namespace snapfolio {

namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

template <typename F>
void MainWindowPort::post(F&& f) {
  if (closing_.load()) return;
  if (QThread::currentThread() == context_.thread()) {
    f();
  } else {
    QMetaObject::invokeMethod(&context_, std::forward<F>(f), Qt::QueuedConnection);
  }
}

template <typename F>
auto MainWindowPort::ask(F&& f) -> decltype(f()) {
  if (closing_.load()) return decltype(f())();
  return onThreadOf(&context_, std::forward<F>(f));
}

void MainWindowPort::setStatusLine(ProgressLevel level, const std::string& text) {
  post([this, level, text = q(text)] { view_.showStatusLine(level, text); });
}

void MainWindowPort::setProgressMaximum(ProgressLevel level, int maximum) {
  post([this, level, maximum] { view_.setProgressMaximum(level, maximum); });
}

void MainWindowPort::setProgressValue(ProgressLevel level, int value) {
  post([this, level, value] { view_.setProgressValue(level, value); });
}

void MainWindowPort::advanceProgress(ProgressLevel level) {
  post([this, level] { view_.advanceProgress(level); });
}

void MainWindowPort::showMessage(const std::string& text) {
  ask([this, &text] { view_.dialogs().showMessage(q(text)); });
}

void MainWindowPort::showError(const std::string& text) {
  ask([this, &text] { view_.dialogs().showError(q(text)); });
}

void MainWindowPort::showFileError(const std::string& text) {
  ask([this, &text] { view_.dialogs().showFileError(q(text)); });
}

// Surface 1 is the preview; surface 2 is never shown, so its pixels are not copied.
void MainWindowPort::surfaceReady(int imageNumber, const Raster& surface) {
  if (imageNumber != 1) return;
  post([this, image = surface.toImage()] { view_.showPreview(image); });
}

std::optional<std::vector<std::string>> MainWindowPort::choosePhotos() {
  return ask([this]() -> std::optional<std::vector<std::string>> {
    const std::optional<QStringList> photos = view_.choosePhotos();
    if (!photos) return std::nullopt;
    std::vector<std::string> names;
    for (const QString& photo : *photos) names.push_back(photo.toStdString());
    return names;
  });
}

bool MainWindowPort::confirmPhotos(const std::vector<std::string>& photos) {
  return ask([this, &photos] {
    QStringList names;
    for (const std::string& photo : photos) names << q(photo);
    return view_.confirmPhotos(names);
  });
}

void MainWindowPort::photoStarts(int index) {
  post([this, index] { view_.photoStarts(index); });
}

bool MainWindowPort::stopRequested() {
  return stopRequest_.load();
}

void MainWindowPort::clearStopRequest() {
  stopRequest_.store(false);
}

}  // namespace snapfolio
