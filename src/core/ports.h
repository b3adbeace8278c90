// Ports: the small interfaces through which the engine talks to whoever shows its progress and
// messages. The main window implements them with its status lines, gauges and message boxes
// (marshalling to the user-interface thread), the command line with stderr, the tests with a
// recorder that keeps every call.
//
// Thread rule: the engine calls a port from the thread the operation runs on (a worker thread
// for a conversion run started from the window); implementations must be safe for that.
#pragma once

#include <string>

namespace snapfolio {

// The two levels of progress an operation reports, each with a status line and a gauge: the
// overall progress of the operation (a run's photos and album page, the steps of a pipeline
// call) and the detail progress of the step now running (the rows of the automatic correction).
enum class ProgressLevel { Overall, Detail };

class ProgressPort {
 public:
  virtual ~ProgressPort() = default;
  // Sets the text of the level's status line and shows it at once.
  virtual void setStatusLine(ProgressLevel level, const std::string& text) = 0;
  // The level's gauge, with the clamping rules of Gauge.
  virtual void setProgressMaximum(ProgressLevel level, int maximum) = 0;
  virtual void setProgressValue(ProgressLevel level, int value) = 0;
  virtual void advanceProgress(ProgressLevel level) = 0;
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
