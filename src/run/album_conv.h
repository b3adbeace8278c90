// The conversion run: validation of the options (OKButtonClick) and the run over the chosen
// photos (AlbumConv): output images, the album page, the settings stored at run start and end.
//
// Synchronous: the caller decides the thread (the main window runs it off the user-interface
// thread; the command line on its only thread). Takes everything it reads in its RunRequest and
// talks to its surroundings only through the RunPort; the work surfaces persist in the caller's
// Workspace between runs.
#pragma once

#include <string>

#include "imaging/photo_pipeline.h"
#include "run/run_port.h"
#include "run/run_request.h"

namespace snapfolio {

// The outcome of a run, for callers that need more than the messages (the command line).
struct RunSummary {
  bool started = false;      // the validation let the run start
  bool failed = false;       // an "ERROR" box was shown (by the run or by a pipeline call)
  int photos = 0;            // photos chosen
  int imagesWritten = 0;     // output images saved
  bool pageWritten = false;  // the album page was written
  int damagedPhotos = 0;     // photos converted although part of their data was damaged
};

// Checks the options and starts AlbumConv, or shows why not. With an empty `settingsPath` the
// run stores no settings (the command line without --save).
RunSummary OKButtonClick(const RunRequest& request, RunPort& port, Workspace& workspace,
                         const std::string& settingsPath);

// The run itself, in its steps: start (the settings of its start), choose (the photos), convert
// each photo, write the page, end (the settings of its end).
RunSummary AlbumConv(const RunRequest& request, RunPort& port, Workspace& workspace,
                     const std::string& settingsPath);

// The warning "0103 : " + photo + "の一部が読めないため、補って変換した。" + line break + cause,
// for a photo converted although its data was damaged (PipelineResult::damage is the cause).
std::string damageWarning(const std::string& photo, const std::string& cause);

// The maximum of the overall gauge for a run of `photoCount` photos with these options.
int overallGaugeMaximum(const RunOptions& options, int photoCount);

}  // namespace snapfolio
