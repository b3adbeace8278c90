#include "ui/main_window/main_window_port.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "ui/main_window/directory_list.h"
#include "ui/common/gauge_bar.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_dialogs.h"

namespace snapfolio {

namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

template <typename F>
void MainWindowPort::post(F&& f) {
  if (closing_.load()) return;
  if (QThread::currentThread() == window_.thread()) {
    f();
  } else {
    QMetaObject::invokeMethod(&window_, std::forward<F>(f), Qt::QueuedConnection);
  }
}

template <typename F>
auto MainWindowPort::ask(F&& f) -> decltype(f()) {
  if (closing_.load()) return decltype(f())();
  return onThreadOf(&window_, std::forward<F>(f));
}

void MainWindowPort::setStatus(StatusLine line, const std::string& text) {
  post([this, line, text = q(text)] {
    QLabel* label = line == StatusLine::Overall ? window_.Label8 : window_.Label9;
    label->setText(text);
    label->repaint();
  });
}

void MainWindowPort::setGaugeMaximum(GaugeId gauge, int maximum) {
  post([this, gauge, maximum] {
    (gauge == GaugeId::Overall ? window_.CGauge1 : window_.CGauge2)->setMaximum(maximum);
  });
}

void MainWindowPort::setGaugeValue(GaugeId gauge, int value) {
  post([this, gauge, value] {
    (gauge == GaugeId::Overall ? window_.CGauge1 : window_.CGauge2)->setValue(value);
  });
}

void MainWindowPort::advanceGauge(GaugeId gauge) {
  post([this, gauge] {
    (gauge == GaugeId::Overall ? window_.CGauge1 : window_.CGauge2)->advance();
  });
}

void MainWindowPort::showMessage(const std::string& text) {
  ask([this, &text] { window_.dialogs().showMessage(q(text)); });
}

void MainWindowPort::showError(const std::string& text) {
  ask([this, &text] { window_.dialogs().showError(q(text)); });
}

void MainWindowPort::showFileError(const std::string& text) {
  ask([this, &text] { window_.dialogs().showFileError(q(text)); });
}

PipelineInputs MainWindowPort::pipelineInputs(int imageNumber) {
  return ask([this, imageNumber] { return window_.pipelineInputs(imageNumber); });
}

void MainWindowPort::placePreview(const Raster& surface, int left, int top) {
  post([this, image = surface.toImage(), left, top] {
    window_.Image1->setPixmap(QPixmap::fromImage(image));
    window_.Image1->setGeometry(left, top, image.width(), image.height());
    window_.Image1->show();
  });
}

RunOptions MainWindowPort::runOptions() {
  return ask([this] { return window_.runOptions(); });
}

WindowPosition MainWindowPort::windowPosition() {
  return ask([this] { return WindowPosition{window_.y(), window_.x()}; });
}

std::optional<std::vector<std::string>> MainWindowPort::choosePhotos() {
  return ask([this]() -> std::optional<std::vector<std::string>> {
    const std::optional<QStringList> photos = window_.choosePhotos();
    if (!photos) return std::nullopt;
    std::vector<std::string> names;
    for (const QString& photo : *photos) names.push_back(photo.toStdString());
    return names;
  });
}

std::string MainWindowPort::photoDialogFileName() {
  return ask([this] { return window_.photoDialogFileName(); });
}

void MainWindowPort::bringToForeground() {
  post([this] {
    window_.raise();
    window_.activateWindow();
  });
}

bool MainWindowPort::stopRequested() {
  return window_.stopRequested();
}

void MainWindowPort::clearStopRequest() {
  window_.clearStopRequest();
}

}  // namespace snapfolio
