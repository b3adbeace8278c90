// Gauge: the value model of a progress gauge. The value always stays within 0 and the
// maximum: a smaller maximum lowers the value to it, and advancing past the maximum stops
// there. The main window's gauges, the command line's progress and the tests' recorder all
// keep their state in one of these.
#pragma once

#include <algorithm>

namespace snapfolio {

class Gauge {
 public:
  explicit Gauge(int maximum = 100) : maximum_(std::max(maximum, 0)) {}

  int maximum() const { return maximum_; }
  int value() const { return value_; }

  void setMaximum(int maximum) {
    maximum_ = std::max(maximum, 0);
    value_ = std::min(value_, maximum_);
  }
  void setValue(int value) { value_ = std::clamp(value, 0, maximum_); }
  void advance(int by = 1) {
    // computed in 64 bits so that a huge step cannot overflow before clamping
    long long v = static_cast<long long>(value_) + by;
    value_ = static_cast<int>(std::clamp<long long>(v, 0, maximum_));
  }

 private:
  int maximum_;
  int value_ = 0;
};

}  // namespace snapfolio
