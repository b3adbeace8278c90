// Two controls of the correction-values dialog that Qt does not have as such.
//
// OffsetSpinEdit: a spin edit that keeps its text exactly as typed or loaded. A QSpinBox
// would re-format or reject a text such as "12abc" (which the correction reads as 12) and
// would replace it on losing focus; the offsets are stored as text and must survive a load
// and a save unchanged. The up and down buttons (and arrow keys, wheel, page keys) read the
// text leniently, step by one and stop at the control's limits.
//
// SelectionSlider: a track bar with a selection range (drawn as a band along the groove), the
// way the gain and limit bars show "0 to the position".
//
// User-interface thread only.
#pragma once

#include <QAbstractSpinBox>
#include <QSlider>

namespace snapfolio {

class OffsetSpinEdit : public QAbstractSpinBox {
  Q_OBJECT

 public:
  // `minimum` and `maximum` bound the buttons, and typed numbers on leaving the field.
  OffsetSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);

  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  // The text is kept as given; text() returns it unchanged.
  void setText(const QString& text);
  // The number the text stands for, read the lenient way ("12abc" is 12, "abc" is 0).
  int value() const;

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  // A typed number beyond the limits is brought back to the nearest limit.
  void clampTypedNumber();

  int minimum_;
  int maximum_;
};

class SelectionSlider : public QSlider {
  Q_OBJECT

 public:
  explicit SelectionSlider(QWidget* parent = nullptr);

  int selectionStart() const { return selectionStart_; }
  int selectionEnd() const { return selectionEnd_; }
  void setSelection(int start, int end);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int selectionStart_ = 0;
  int selectionEnd_ = 0;
};

}  // namespace snapfolio
