// RunPort: what a conversion run needs from the main window (or the command line, or a test).
//
// Thread rule: a run started from the window calls these from its worker thread; the window's
// implementation hands each call to the user-interface thread (modal boxes and the photo dialog
// block the run until the user answers).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "album/photo_order.h"
#include "imaging/photo_pipeline.h"

namespace snapfolio {

// The main window's options of a run, read when the run needs them.
struct RunOptions {
  ImageOptions image[2];
  bool htmlCnv = false;
  std::string htmlFile;          // HtmlFile
  std::string albumTitle;        // ALBUMTITLE
  std::string htmlTemplateFile;  // HtmlTemplateFile
  std::string outputDir;         // the current directory of DirectoryListBox1
  int top = 0;                   // main window position
  int left = 0;
  PhotoOrder albumOrder = PhotoOrder::AsChosen;  // "AlbumOptions"/"ORDER"; no control
  PhotoOptions photo;            // the 詳細設定 dialog's options
};

class RunPort : public PipelinePort {
 public:
  virtual RunOptions runOptions() = 0;
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
};

}  // namespace snapfolio
