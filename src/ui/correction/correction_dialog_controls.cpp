#include "ui/correction/correction_dialog_controls.h"

// Standard library
#include <algorithm>

// Qt
#include <QLineEdit>
#include <QStyleOptionSlider>
#include <QStylePainter>

// Project
#include "imaging/auto_adjust.h"

namespace snapfolio {

// ---- OffsetSpinEdit --------------------------------------------------------------------------

OffsetSpinEdit::OffsetSpinEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setAccelerated(true);
  connect(this, &QAbstractSpinBox::editingFinished, this, &OffsetSpinEdit::clampTypedNumber);
}

void OffsetSpinEdit::setText(const QString& text) {
  lineEdit()->setText(text);
}

int OffsetSpinEdit::value() const {
  return lenientInteger(text().toStdString());
}

void OffsetSpinEdit::stepBy(int steps) {
  // 64 bits: stepping at the int limits must not overflow
  const long long stepped = static_cast<long long>(value()) + steps;
  setText(QString::number(std::clamp<long long>(stepped, minimum_, maximum_)));
}

QValidator::State OffsetSpinEdit::validate(QString&, int&) const {
  // Any text is an offset: the correction reads it leniently.
  return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled OffsetSpinEdit::stepEnabled() const {
  if (isReadOnly()) return StepNone;
  const int current = value();
  StepEnabled enabled = StepNone;
  if (current < maximum_) enabled |= StepUpEnabled;
  if (current > minimum_) enabled |= StepDownEnabled;
  return enabled;
}

void OffsetSpinEdit::clampTypedNumber() {
  const int current = value();
  if (current < minimum_ || current > maximum_) {
    setText(QString::number(std::clamp(current, minimum_, maximum_)));
  }
}

// ---- SelectionSlider -------------------------------------------------------------------------

SelectionSlider::SelectionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void SelectionSlider::setSelection(int start, int end) {
  if (start == selectionStart_ && end == selectionEnd_) return;
  selectionStart_ = start;
  selectionEnd_ = end;
  update();
}

void SelectionSlider::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);

  // Groove and ticks first, then the selection band over the groove, then the handle on top.
  QStyleOptionSlider groove = option;
  groove.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderTickmarks;
  painter.drawComplexControl(QStyle::CC_Slider, groove);

  const QRect grooveRect =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const QRect handleRect =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  const int span = grooveRect.width() - handleRect.width();
  const auto centreOf = [&](int value) {
    const int clamped = std::clamp(value, minimum(), maximum());
    return grooveRect.left() + handleRect.width() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), clamped, span, option.upsideDown);
  };
  const int from = centreOf(std::min(selectionStart_, selectionEnd_));
  const int to = centreOf(std::max(selectionStart_, selectionEnd_));
  if (to > from) {
    const int thickness = std::max(3, grooveRect.height() / 2);
    const QRect band(from, grooveRect.center().y() - thickness / 2, to - from, thickness);
    painter.fillRect(band, palette().brush(QPalette::Highlight));
  }

  QStyleOptionSlider handle = option;
  handle.subControls = QStyle::SC_SliderHandle;
  painter.drawComplexControl(QStyle::CC_Slider, handle);
}

}  // namespace snapfolio

// The meta-object code of this file's classes is compiled here rather than with every other
// window's, so that linking this dialog does not need the other windows.
#include "moc_correction_dialog_controls.cpp"
