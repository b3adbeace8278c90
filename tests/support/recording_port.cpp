#include "support/recording_port.h"

namespace snapfolio::test {

namespace {
const char* lineName(StatusLine line) {
  return line == StatusLine::Overall ? "Label8" : "Label9";
}
const char* gaugeName(GaugeId gauge) {
  return gauge == GaugeId::Overall ? "CGauge1" : "CGauge2";
}
int slot(GaugeId gauge) {
  return gauge == GaugeId::Overall ? 0 : 1;
}
}  // namespace

RecordingPort::RecordingPort() : gauges{Gauge(1), Gauge(100)} {
  options.outputDir = "/tmp";
}

void RecordingPort::setStatus(StatusLine line, const std::string& text) {
  status[line == StatusLine::Overall ? 0 : 1] = text;
  calls.push_back(std::string(lineName(line)) + " = " + text);
}

void RecordingPort::setGaugeMaximum(GaugeId gauge, int maximum) {
  gauges[slot(gauge)].setMaximum(maximum);
  calls.push_back(std::string(gaugeName(gauge)) + ".max = " + std::to_string(maximum));
}

void RecordingPort::setGaugeValue(GaugeId gauge, int value) {
  gauges[slot(gauge)].setValue(value);
  calls.push_back(std::string(gaugeName(gauge)) + ".value = " + std::to_string(value));
}

void RecordingPort::advanceGauge(GaugeId gauge) {
  gauges[slot(gauge)].advance();
  ++gaugeAdvances[slot(gauge)];
  // Row-wise advances of the detail gauge would drown the log; they are counted instead.
  if (gauge == GaugeId::Overall) calls.push_back("CGauge1 += 1");
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

PipelineInputs RecordingPort::pipelineInputs(int imageNumber) {
  PipelineInputs inputs;
  inputs.image = options.image[imageNumber - 1];
  inputs.format = format;
  inputs.style = styles[imageNumber - 1];
  inputs.correction = correction;
  inputs.photo = options.photo;
  return inputs;
}

void RecordingPort::placePreview(const Raster& surface, int left, int top) {
  previewShown = true;
  previewLeft = left;
  previewTop = top;
  previewWidth = surface.width();
  previewHeight = surface.height();
  calls.push_back("preview at " + std::to_string(left) + "," + std::to_string(top));
}

RunOptions RecordingPort::runOptions() {
  return options;
}

std::optional<std::vector<std::string>> RecordingPort::choosePhotos() {
  calls.push_back(selection ? "InFileOpen: " + std::to_string(selection->size()) + " photos"
                            : "InFileOpen: cancelled");
  if (selection && !selection->empty()) dialogFileName = selection->front();
  return selection;
}

std::string RecordingPort::photoDialogFileName() {
  return dialogFileName;
}

void RecordingPort::bringToForeground() {
  ++foregroundCount;
  calls.push_back("foreground");
}

bool RecordingPort::stopRequested() {
  // The stop button was pressed while the previous photo was being converted.
  if (stopAtPhoto >= 0 && foregroundCount == stopAtPhoto) stop = true;
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
