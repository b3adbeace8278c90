// CliPort: the RunPort of the command line. The options come from the settings file or the
// album command's choices (with --set applied); the photos from the arguments. Messages go to
// stderr, one line each ("ERROR: text", "Snapfolio: text", "File Error: text"), whatever the
// verbosity. Progress: on a terminal a progress bar (photos done, time left, the status line);
// with -v every status line; otherwise nothing. Ctrl+C asks the run to stop before its next
// photo, and the request stays: the command line never forgets it. Single-threaded, apart from
// the Ctrl+C handler, which only sets a flag.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <QString>

#include "cli/arguments.h"
#include "core/gauge.h"
#include "run/run_port.h"
#include "settings/options.h"

namespace snapfolio::cli {

class CliPort : public RunPort {
 public:
  // `terminal`: stderr is a terminal, where the progress bar is drawn.
  CliPort(StoredOptions options, std::vector<std::string> photos, Verbosity verbosity,
          bool terminal, std::FILE* err);

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
  void photoDone() override;

  int errorCount() const { return errors_; }
  int photosDone() const { return done_; }
  // Ends the progress bar's line; later output starts on a line of its own.
  void finish();
  // Writes a line of the command line's own (the summary) as the messages are written.
  void printNote(const QString& text);

 private:
  void print(const char* caption, const std::string& text);
  void drawProgress(bool force);
  bool showsBar() const { return terminal_ && verbosity_ == Verbosity::Normal; }

  StoredOptions options_;
  std::vector<std::string> photos_;
  std::string dialogFileName_;
  Verbosity verbosity_;
  bool terminal_;
  std::FILE* err_;
  bool barShown_ = false;
  Gauge overall_{1};
  QString status_;
  int errors_ = 0;
  int done_ = 0;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point drawn_{};
};

// Installs the Ctrl+C handler: the first Ctrl+C asks the run to stop, a second one ends the
// program at once.
void installStopHandler();
// Whether Ctrl+C was pressed.
bool interrupted();

// Whether the stream is a terminal that can show a progress bar (not TERM=dumb).
bool isTerminal(std::FILE* stream);

}  // namespace snapfolio::cli
