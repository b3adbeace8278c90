// CliPort: the RunPort of the command line. Options come from the settings file (with the
// command line's overrides); the photos from the arguments; messages go to stderr one per
// line ("ERROR: text", "Snapfolio: text", "File Error: text"); progress goes to stderr as a
// progress bar on a terminal, as status lines otherwise. Ctrl+C asks the run to stop before
// its next photo. Single-threaded.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/gauge.h"
#include "run/run_port.h"
#include "settings/options.h"

namespace snapfolio::cli {

class CliPort : public RunPort {
 public:
  CliPort(StoredOptions options, std::vector<std::string> photos, std::FILE* err);

  void setStatusLine(ProgressLevel level, const std::string& text) override;
  void setProgressMaximum(ProgressLevel level, int maximum) override;
  void setProgressValue(ProgressLevel level, int value) override;
  void advanceProgress(ProgressLevel level) override;
  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  void showFileError(const std::string& text) override;
  PipelineInputs pipelineInputs(int imageNumber) override;
  void surfaceReady(int imageNumber, const Raster& surface) override;
  RunOptions runOptions() override;
  WindowPosition windowPosition() override;
  std::optional<std::vector<std::string>> choosePhotos() override;
  std::string photoDialogFileName() override;
  void photoStarts(int index) override;
  bool stopRequested() override;
  void clearStopRequest() override;

  int errorCount() const { return errors_; }
  // Ends the progress line on a terminal.
  void finish();

 private:
  void print(const char* caption, const std::string& text);
  void drawProgress();

  StoredOptions options_;
  std::vector<std::string> photos_;
  std::string dialogFileName_;
  std::FILE* err_;
  bool terminal_;
  bool progressShown_ = false;
  Gauge overall_{1};
  std::string status_;
  int errors_ = 0;
};

// Installs the Ctrl+C handler that sets the stop request.
void installStopHandler();

}  // namespace snapfolio::cli
