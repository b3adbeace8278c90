#include "cli/cli_port.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

#include "core/utf8.h"

namespace snapfolio::cli {

namespace {

std::atomic<bool> gStopRequest{false};

extern "C" void onInterrupt(int) {
  gStopRequest.store(true);
}

// Message texts may hold line breaks; the command line prints one message per line.
std::string oneLine(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') continue;
    out += (c == '\n') ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
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

CliPort::CliPort(StoredOptions options, std::vector<std::string> photos, std::FILE* err)
    : options_(std::move(options)),
      photos_(std::move(photos)),
      err_(err),
      terminal_(isatty(fileno(err)) != 0) {}

void CliPort::setStatusLine(ProgressLevel level, const std::string& text) {
  if (level != ProgressLevel::Overall) return;
  status_ = text;
  if (terminal_) {
    drawProgress();
  } else {
    std::fprintf(err_, "%s\n", text.c_str());
  }
}

void CliPort::setProgressMaximum(ProgressLevel level, int maximum) {
  if (level != ProgressLevel::Overall) return;
  overall_.setMaximum(maximum);
  if (terminal_) drawProgress();
}

void CliPort::setProgressValue(ProgressLevel level, int value) {
  if (level != ProgressLevel::Overall) return;
  overall_.setValue(value);
  if (terminal_) drawProgress();
}

void CliPort::advanceProgress(ProgressLevel level) {
  if (level != ProgressLevel::Overall) return;
  overall_.advance();
  if (terminal_) drawProgress();
}

void CliPort::drawProgress() {
  constexpr int kWidth = 30;
  const int maximum = overall_.maximum();
  const int filled = maximum > 0 ? static_cast<int>(1LL * overall_.value() * kWidth / maximum) : 0;
  const int percent = maximum > 0 ? static_cast<int>(100LL * overall_.value() / maximum) : 0;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kWidth, '.');
  std::fprintf(err_, "\r\033[K[%s] %3d%% %s", bar.c_str(), percent, cutUtf8(status_, 60).c_str());
  std::fflush(err_);
  progressShown_ = true;
}

void CliPort::finish() {
  if (progressShown_) std::fputc('\n', err_);
  progressShown_ = false;
}

void CliPort::print(const char* caption, const std::string& text) {
  if (progressShown_) {
    std::fputs("\r\033[K", err_);
  }
  std::fprintf(err_, "%s: %s\n", caption, oneLine(text).c_str());
  if (progressShown_) drawProgress();
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

PipelineInputs CliPort::pipelineInputs(int imageNumber) {
  PipelineInputs inputs;
  inputs.image = options_.run.image[imageNumber - 1];
  inputs.format = options_.format;
  inputs.style = options_.styles[imageNumber - 1];
  inputs.correction = options_.correction;
  inputs.photo = options_.run.photo;
  return inputs;
}

void CliPort::surfaceReady(int, const Raster&) {}

RunOptions CliPort::runOptions() {
  return options_.run;
}

// The position read from the settings file: the run stores it back unchanged.
WindowPosition CliPort::windowPosition() {
  return options_.position;
}

std::optional<std::vector<std::string>> CliPort::choosePhotos() {
  if (!photos_.empty()) dialogFileName_ = photos_.front();
  return photos_;
}

std::string CliPort::photoDialogFileName() {
  return dialogFileName_;
}

void CliPort::photoStarts(int) {}

bool CliPort::stopRequested() {
  return gStopRequest.load();
}

void CliPort::clearStopRequest() {
  gStopRequest.store(false);
}

}  // namespace snapfolio::cli
