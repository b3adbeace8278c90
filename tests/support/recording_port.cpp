#include "support/recording_port.h"

namespace snapfolio::test {

namespace {
const char* levelName(ProgressLevel level) {
  return level == ProgressLevel::Overall ? "overall" : "detail";
}
int slot(ProgressLevel level) {
  return level == ProgressLevel::Overall ? 0 : 1;
}
}  // namespace

RecordingPort::RecordingPort() : gauges{Gauge(1), Gauge(100)} {
  options.outputDir = "/tmp";
}

void RecordingPort::setStatusLine(ProgressLevel level, const std::string& text) {
  status[slot(level)] = text;
  calls.push_back(std::string(levelName(level)) + " status = " + text);
}

void RecordingPort::setProgressMaximum(ProgressLevel level, int maximum) {
  gauges[slot(level)].setMaximum(maximum);
  calls.push_back(std::string(levelName(level)) + " progress.max = " + std::to_string(maximum));
}

void RecordingPort::setProgressValue(ProgressLevel level, int value) {
  gauges[slot(level)].setValue(value);
  calls.push_back(std::string(levelName(level)) + " progress.value = " + std::to_string(value));
}

void RecordingPort::advanceProgress(ProgressLevel level) {
  gauges[slot(level)].advance();
  ++gaugeAdvances[slot(level)];
  // Row-wise advances of the detail gauge would drown the log; they are counted instead.
  if (level == ProgressLevel::Overall) calls.push_back("overall progress += 1");
}

void RecordingPort::showMessage(const std::string& text) {
  messages.push_back("Snapfolio: " + text);
  calls.push_back("message: " + text);
}

void RecordingPort::showError(const std::string& text) {
  messages.push_back("ERROR: " + text);
  calls.push_back("ERROR: " + text);
}

void RecordingPort::showFileError(const std::string& text) {
  messages.push_back("File Error: " + text);
  calls.push_back("File Error: " + text);
}

PipelineInputs RecordingPort::inputs(int imageNumber) const {
  PipelineInputs inputs;
  inputs.image = options.image[imageNumber - 1];
  inputs.format = format;
  inputs.style = styles[imageNumber - 1];
  inputs.correction = correction;
  inputs.photo = options.photo;
  return inputs;
}

void RecordingPort::surfaceReady(int imageNumber, const Raster& surface) {
  readySurfaces.push_back(std::to_string(imageNumber) + ": " + std::to_string(surface.width()) +
                          "x" + std::to_string(surface.height()));
  calls.push_back("surface " + readySurfaces.back());
}

RunRequest RecordingPort::request() const {
  RunRequest request;
  request.options = options;
  request.inputs[0] = inputs(1);
  request.inputs[1] = inputs(2);
  request.position = position;
  request.photoDialogFileName = dialogFileName;
  return request;
}

std::optional<std::vector<std::string>> RecordingPort::choosePhotos() {
  calls.push_back(selection ? "InFileOpen: " + std::to_string(selection->size()) + " photos"
                            : "InFileOpen: cancelled");
  if (selection && !selection->empty()) dialogFileName = selection->front();
  return selection;
}

void RecordingPort::photoStarts(int index) {
  ++photosStarted;
  calls.push_back("photo " + std::to_string(index) + " starts");
  if (onPhotoStarts) onPhotoStarts(index);
}

bool RecordingPort::stopRequested() {
  // The stop button was pressed while the previous photo was being converted.
  if (stopAtPhoto >= 0 && photosStarted == stopAtPhoto) stop = true;
  return stop;
}

void RecordingPort::clearStopRequest() {
  stop = false;
}

std::vector<std::string> RecordingPort::errors() const {
  std::vector<std::string> out;
  for (const auto& m : messages) {
    if (m.rfind("ERROR: ", 0) == 0) out.push_back(m.substr(7));
  }
  return out;
}

}  // namespace snapfolio::test
