// RunPort: what a conversion run needs from the main window (or the command line, or a test).
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
#include "options/run_options.h"
#include "settings/options.h"

namespace snapfolio {

class RunPort : public PipelinePort {
 public:
  // The main window's options, read when the run needs them.
  virtual RunOptions runOptions() = 0;
  // Where the main window stands; the run stores it with the options of its start, so that the
  // window opens there next time (the command line hands back what it read).
  virtual WindowPosition windowPosition() = 0;
  // The photo choice: the full names of the chosen photos in the order chosen, or nothing when
  // the user cancels.
  virtual std::optional<std::vector<std::string>> choosePhotos() = 0;
  // The first photo of the most recent confirmed choice (by a run or by the window's preview),
  // or empty when there has been none.
  virtual std::string photoDialogFileName() = 0;
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
};

}  // namespace snapfolio
