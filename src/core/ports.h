// Ports: the small interfaces through which the engine talks to whoever shows its progress and
// messages. The main window implements them with Qt widgets (marshalling to the user-interface
// thread), the command line with stderr, the tests with a recorder that keeps every call.
//
// Thread rule: the engine calls a port from the thread the operation runs on (a worker thread
// for a conversion run started from the window); implementations must be safe for that.
#pragma once

#include <string>

namespace snapfolio {

// The two status lines of the main window: Label8 (overall) and Label9 (detail).
enum class StatusLine { Overall, Detail };
// The two gauges: CGauge1 (overall progress) and CGauge2 (detail progress).
enum class GaugeId { Overall, Detail };

class ProgressPort {
 public:
  virtual ~ProgressPort() = default;
  // Sets a status line's text and shows it at once.
  virtual void setStatus(StatusLine line, const std::string& text) = 0;
  // Gauge operations with the clamping rules of Gauge.
  virtual void setGaugeMaximum(GaugeId gauge, int maximum) = 0;
  virtual void setGaugeValue(GaugeId gauge, int value) = 0;
  virtual void advanceGauge(GaugeId gauge) = 0;
};

class MessagePort {
 public:
  virtual ~MessagePort() = default;
  // A plain message box: caption the application title, one OK button.
  virtual void showMessage(const std::string& text) = 0;
  // A failure: caption "ERROR", one OK button.
  virtual void showError(const std::string& text) = 0;
  // A file-system failure of the directory and template controls: caption "File Error",
  // buttons OK and Cancel; the choice has no effect.
  virtual void showFileError(const std::string& text) = 0;
};

}  // namespace snapfolio
