#include "cli/cli_port.h"

// Standard library
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

// System
#include <sys/ioctl.h>
#include <unistd.h>

// Project
#include "cli/cli_text.h"
#include "cli/progress_line.h"
#include "core/translation.h"

namespace snapfolio::cli {

namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void onInterrupt(int) {
  gInterrupted.store(true);
}

// Message texts may hold line breaks; the command line prints one message per line.
std::string oneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out += (c == '\n') ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

int terminalColumns(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

void installStopHandler() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  // A second Ctrl+C ends the program at once.
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

bool interrupted() {
  return gInterrupted.load();
}

bool isTerminal(std::FILE* stream) {
  const char* term = std::getenv("TERM");
  return isatty(fileno(stream)) != 0 && !(term != nullptr && std::strcmp(term, "dumb") == 0);
}

RunRequest runRequest(const StoredOptions& options, std::vector<std::string> photos) {
  RunRequest request;
  request.options = options.run;
  request.options.album.language = interfaceLanguage();
  for (int n = 0; n < 2; ++n) request.inputs[n] = pipelineInputsOf(options, n);
  // The position read from the settings file: the run stores it back unchanged.
  request.position = options.position;
  request.photos = std::move(photos);
  return request;
}

CliPort::CliPort(Verbosity verbosity, bool terminal, std::FILE* err)
    : verbosity_(verbosity), terminal_(terminal), err_(err) {}

void CliPort::setStatusLine(ProgressLevel level, const std::string& text) {
  if (level != ProgressLevel::Overall) return;
  status_ = shownText(textFromBytes(oneLine(text)));
  if (verbosity_ == Verbosity::Verbose) {
    printLine(err_, status_);
  } else if (showsBar()) {
    drawProgress(false);
  }
}

void CliPort::setProgressMaximum(ProgressLevel level, int maximum) {
  if (level != ProgressLevel::Overall) return;
  overall_.setMaximum(maximum);
  drawProgress(false);
}

void CliPort::setProgressValue(ProgressLevel level, int value) {
  if (level != ProgressLevel::Overall) return;
  overall_.setValue(value);
  drawProgress(false);
}

void CliPort::advanceProgress(ProgressLevel level) {
  if (level != ProgressLevel::Overall) return;
  overall_.advance();
  drawProgress(false);
}

void CliPort::photoDone() {
  ++done_;
  drawProgress(true);
}

void CliPort::drawProgress(bool force) {
  if (!showsBar()) return;
  // A redraw per gauge step would cost more than the conversion of a small photo.
  const auto now = std::chrono::steady_clock::now();
  if (!force && barShown_ && now - drawn_ < std::chrono::milliseconds(100)) return;
  drawn_ = now;
  ProgressState state;
  const int maximum = overall_.maximum();
  state.fraction = maximum > 0 ? static_cast<double>(overall_.value()) / maximum : 0;
  state.done = done_;
  state.total = total_;
  state.secondsLeft =
      secondsLeft(std::chrono::duration<double>(now - started_).count(), state.fraction);
  state.status = status_;
  const std::string line =
      "\r" + bytesFromText(progressLine(state, terminalColumns(err_) - 1)) + "\033[K";
  std::fwrite(line.data(), 1, line.size(), err_);
  std::fflush(err_);
  barShown_ = true;
}

void CliPort::finish() {
  if (!barShown_) return;
  drawProgress(true);
  std::fputc('\n', err_);
  std::fflush(err_);
  barShown_ = false;
}

void CliPort::printNote(const QString& text) {
  if (barShown_) std::fputs("\r\033[K", err_);
  printLine(err_, text);
  if (barShown_) drawProgress(true);
}

void CliPort::print(const char* caption, const std::string& text) {
  printNote(QString::fromLatin1(caption) + ": " + textFromBytes(oneLine(text)));
}

void CliPort::showMessage(const std::string& text) {
  print("Snapfolio", text);
}

void CliPort::showError(const std::string& text) {
  ++errors_;
  print("ERROR", text);
}

void CliPort::showFileError(const std::string& text) {
  print("File Error", text);
}

void CliPort::showWarning(const std::string& text) {
  ++warnings_;
  print("Warning", text);
}

void CliPort::showDamagedPhotos(const std::string&) {}

void CliPort::surfaceReady(int, const Raster&) {}

// The command line shows no photo dialog: its photos come with the run's request.
std::optional<std::vector<std::string>> CliPort::choosePhotos() {
  return std::nullopt;
}

bool CliPort::confirmPhotos(const std::vector<std::string>& photos) {
  total_ = static_cast<int>(photos.size());
  started_ = std::chrono::steady_clock::now();
  return true;
}

void CliPort::photoStarts(int) {}

bool CliPort::stopRequested() {
  return gInterrupted.load();
}

// A Ctrl+C is never forgotten: the run clears its stop request when it starts and when it
// honours it, but the command line stops for good.
void CliPort::clearStopRequest() {}

}  // namespace snapfolio::cli
