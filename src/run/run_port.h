// RunPort: where a conversion run reports to, and asks the user its questions (the main window,
// the command line, or a test). What the run reads comes before it starts (RunRequest).
//
// Thread rule: a run started from the window calls these from its worker thread; the window's
// implementation hands each call to the user-interface thread (modal boxes and the photo dialog
// block the run until the user answers).
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "imaging/photo_pipeline.h"

namespace snapfolio {

class RunPort : public PipelinePort {
 public:
  // The photo dialog: the full names of the chosen photos in the order chosen, or nothing when
  // the user cancels.
  virtual std::optional<std::vector<std::string>> choosePhotos() = 0;
  // Asked instead of the photo dialog when the photos were given before the run: whether to
  // convert them. Yes by default (the command line asks nothing).
  virtual bool confirmPhotos(const std::vector<std::string>& photos) {
    static_cast<void>(photos);
    return true;
  }
  // The run starts photo `index` (counted from 0 in the chosen order), before anything else is
  // done for it.
  virtual void photoStarts(int index) = 0;
  // The user's request to stop before the next photo: tests it, and clears it.
  virtual bool stopRequested() = 0;
  virtual void clearStopRequest() = 0;
  // Once for each photo the run is done with (its output images written or failed), for a
  // count of photos done; nothing by default.
  virtual void photoDone() {}

  // A photo whose data was damaged was converted all the same ("0103 : …", once per photo; the
  // text may hold a line break). The run goes on: a box per photo would stop a batch at every
  // damaged photo, so by default the overall status line shows it.
  virtual void showWarning(const std::string& text) {
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    setStatusLine(ProgressLevel::Overall, line);
  }
  // Once at the end of a run that met damaged photos: the list of them. By default one plain
  // message box.
  virtual void showDamagedPhotos(const std::string& text) { showMessage(text); }
  // Whether surfaceReady looks at the pixels (the window shows them; the command line does
  // not). A port that does not is told empty surfaces, and the photos made ahead of their turn
  // hold only their encoded files, not their surfaces, until the run takes them.
  virtual bool showsSurfaces() const { return true; }
};

}  // namespace snapfolio
