// CliPort: the RunPort of the command line. The run's request (runRequest) holds the options
// from the settings file or the album command's choices (with --set applied) and the photos
// from the arguments. Messages go to
// stderr, one line each ("ERROR: text", "Snapfolio: text", "File Error: text",
// "Warning: text" for a photo converted from damaged data), whatever the
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
#include "run/run_request.h"
#include "settings/options.h"

namespace snapfolio::cli {

// The request of a run over `photos` with the options read (and --set applied), in the
// interface language.
RunRequest runRequest(const StoredOptions& options, std::vector<std::string> photos);

class CliPort : public RunPort {
 public:
  // `terminal`: stderr is a terminal, where the progress bar is drawn.
  CliPort(Verbosity verbosity, bool terminal, std::FILE* err);

  void setStatusLine(ProgressLevel level, const std::string& text) override;
  void setProgressMaximum(ProgressLevel level, int maximum) override;
  void setProgressValue(ProgressLevel level, int value) override;
  void advanceProgress(ProgressLevel level) override;
  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  void showFileError(const std::string& text) override;
  void surfaceReady(int imageNumber, const Raster& surface) override;
  bool showsSurfaces() const override { return false; }
  std::optional<std::vector<std::string>> choosePhotos() override;
  bool confirmPhotos(const std::vector<std::string>& photos) override;
  void photoStarts(int index) override;
  bool stopRequested() override;
  void clearStopRequest() override;
  void photoDone() override;
  void showWarning(const std::string& text) override;
  void showDamagedPhotos(const std::string& text) override;

  int errorCount() const { return errors_; }
  int photosDone() const { return done_; }
  int warningCount() const { return warnings_; }
  // Ends the progress bar's line; later output starts on a line of its own.
  void finish();
  // Writes a line of the command line's own (the summary) as the messages are written.
  void printNote(const QString& text);

 private:
  void print(const char* caption, const std::string& text);
  void drawProgress(bool force);
  bool showsBar() const { return terminal_ && verbosity_ == Verbosity::Normal; }

  Verbosity verbosity_;
  bool terminal_;
  std::FILE* err_;
  bool barShown_ = false;
  Gauge overall_{1};
  QString status_;
  int errors_ = 0;
  int total_ = 0;  // photos of the run
  int done_ = 0;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point drawn_{};
  int warnings_ = 0;
};

// Installs the Ctrl+C handler: the first Ctrl+C asks the run to stop, a second one ends the
// program at once.
void installStopHandler();
// Whether Ctrl+C was pressed.
bool interrupted();

// Whether the stream is a terminal that can show a progress bar (not TERM=dumb).
bool isTerminal(std::FILE* stream);

}  // namespace snapfolio::cli
