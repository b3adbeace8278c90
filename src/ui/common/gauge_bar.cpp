#include "ui/common/gauge_bar.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace snapfolio {

GaugeBar::GaugeBar(int maximum, QWidget* parent)
    : QWidget(parent), gauge_(maximum), bar_(new QProgressBar(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(bar_);
  bar_->setTextVisible(false);
  bar_->setStyleSheet(
      "QProgressBar { background-color: navy; border: 1px solid #404040; border-radius: 0px; }"
      "QProgressBar::chunk { background-color: blue; }");
  refresh();
}

void GaugeBar::setMaximum(int maximum) {
  gauge_.setMaximum(maximum);
  refresh();
}

void GaugeBar::setValue(int value) {
  gauge_.setValue(value);
  refresh();
}

void GaugeBar::advance(int by) {
  gauge_.advance(by);
  refresh();
}

void GaugeBar::refresh() {
  // A progress bar with a maximum of 0 would turn into a busy indicator; an empty gauge
  // shows an empty bar instead.
  bar_->setRange(0, gauge_.maximum() > 0 ? gauge_.maximum() : 1);
  bar_->setValue(gauge_.value());
  bar_->repaint();
}

}  // namespace snapfolio
