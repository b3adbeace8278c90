// GaugeBar: a progress gauge (CGauge1, CGauge2) whose value always stays within 0 and its
// maximum, kept in a Gauge model: a smaller maximum lowers the value to it, and advancing past
// the maximum stops there. Drawn as a blue bar on navy. Every change repaints at once.
// User-interface thread only.
#pragma once

#include <QWidget>

#include "core/gauge.h"

class QProgressBar;

namespace snapfolio {

class GaugeBar : public QWidget {
  Q_OBJECT

 public:
  explicit GaugeBar(int maximum, QWidget* parent = nullptr);

  int maximum() const { return gauge_.maximum(); }
  int value() const { return gauge_.value(); }

  void setMaximum(int maximum);
  void setValue(int value);
  void advance(int by = 1);

 private:
  void refresh();

  Gauge gauge_;
  QProgressBar* bar_;
};

}  // namespace snapfolio
