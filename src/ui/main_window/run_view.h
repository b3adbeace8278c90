// RunView: the main window as a conversion run and the preview see it: its status lines and
// gauges, its message boxes and photo dialog, the options in force, the preview panel and the
// window itself. MainWindowPort hands the engine's calls from the worker thread to it;
// TSnapfolio implements it.
//
// User-interface thread only.
#pragma once

#include <optional>
#include <string>

#include <QString>
#include <QStringList>

#include "core/ports.h"
#include "imaging/photo_pipeline.h"
#include "run/run_port.h"

class QImage;

namespace snapfolio {

class WindowDialogs;

class RunView {
 public:
  virtual ~RunView() = default;

  // Sets a status line's text and repaints it at once.
  virtual void showStatus(StatusLine line, const QString& text) = 0;
  virtual void setGaugeMaximum(GaugeId gauge, int maximum) = 0;
  virtual void setGaugeValue(GaugeId gauge, int value) = 0;
  virtual void advanceGauge(GaugeId gauge) = 0;

  virtual WindowDialogs& dialogs() = 0;
  // Snapshots of the options in force.
  virtual RunOptions runOptions() const = 0;
  virtual PipelineInputs pipelineInputs(int imageNumber) const = 0;
  // The photo dialog (InFileOpen) and the first photo of its last confirmed selection.
  virtual std::optional<QStringList> choosePhotos() = 0;
  virtual std::string photoDialogFileName() const = 0;

  // Shows `picture` as Image1 in Panel1 with its top-left corner at (left, top).
  virtual void placePreview(const QImage& picture, int left, int top) = 0;
  // Brings the window to the foreground.
  virtual void bringToForeground() = 0;
};

}  // namespace snapfolio
