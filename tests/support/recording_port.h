// RecordingPort: a RunPort for tests. Keeps every call in order as a line of text, holds the
// two gauges and status lines like the main window does, and answers the run's questions from
// fields the test sets up (options, the photo selection, the stop request), from which it also
// makes the run's request.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/gauge.h"
#include "run/run_port.h"
#include "run/run_request.h"

namespace snapfolio::test {

class RecordingPort : public RunPort {
 public:
  RecordingPort();

  // ProgressPort
  void setStatusLine(ProgressLevel level, const std::string& text) override;
  void setProgressMaximum(ProgressLevel level, int maximum) override;
  void setProgressValue(ProgressLevel level, int value) override;
  void advanceProgress(ProgressLevel level) override;
  // MessagePort
  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  void showFileError(const std::string& text) override;
  // PipelinePort
  void surfaceReady(int imageNumber, const Raster& surface) override;
  // RunPort
  std::optional<std::vector<std::string>> choosePhotos() override;
  void photoStarts(int index) override;
  bool stopRequested() override;
  void clearStopRequest() override;

  // The request of a run from what the test set up (the photos through the photo dialog).
  RunRequest request() const;
  // The inputs of output image n (1 or 2) from what the test set up.
  PipelineInputs inputs(int imageNumber) const;

  // What the test sets up.
  RunOptions options;
  WindowPosition position;
  std::string format = "hh:nn AM/PM";
  TimeStampStyle styles[2];
  CorrectionValues correction;
  std::optional<std::vector<std::string>> selection;  // nothing: the user cancels
  bool stop = false;
  // Sets the stop request when the photo with this index starts (-1: never).
  int stopAtPhoto = -1;
  // Called with the index of each photo as it starts (files changing under the run).
  std::function<void(int)> onPhotoStarts;

  // What the engine did.
  std::vector<std::string> calls;     // every call, in order
  std::vector<std::string> messages;  // "Snapfolio: ...", "ERROR: ...", "File Error: ..."
  // Index 0 is the overall level, 1 the detail level.
  std::string status[2];
  Gauge gauges[2];
  int gaugeAdvances[2] = {0, 0};
  std::string dialogFileName;
  int photosStarted = 0;
  std::vector<std::string> readySurfaces;  // "n: WxH" for each surface reported ready

  std::vector<std::string> errors() const;  // the texts of the "ERROR" boxes
};

}  // namespace snapfolio::test
