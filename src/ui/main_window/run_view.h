// RunView: the main window as a conversion run and the preview see it: its status lines and
// gauges, its message boxes, photo dialog and confirmation, the preview panel and the window
// itself. MainWindowPort hands the engine's calls from the worker thread to it;
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

  // The status line (repainted at once) and the gauge of a progress level: Label8 and CGauge1
  // show the overall level, Label9 and CGauge2 the detail level.
  virtual void showStatusLine(ProgressLevel level, const QString& text) = 0;
  virtual void setProgressMaximum(ProgressLevel level, int maximum) = 0;
  virtual void setProgressValue(ProgressLevel level, int value) = 0;
  virtual void advanceProgress(ProgressLevel level) = 0;

  virtual WindowDialogs& dialogs() = 0;
  // The photo dialog (InFileOpen), and the question whether to convert photos given before the
  // run; both remember the first photo of a confirmed choice.
  virtual std::optional<QStringList> choosePhotos() = 0;
  virtual bool confirmPhotos(const QStringList& photos) = 0;

  // Shows the picture of work surface 1 in the preview panel.
  virtual void showPreview(const QImage& picture) = 0;
  // A run starts photo `index` (counted from 0): the window comes to the foreground.
  virtual void photoStarts(int index) = 0;
};

}  // namespace snapfolio
