// RunRequest: everything a conversion run takes from its surroundings, captured by the window or
// the command line before the run starts. The run reads nothing else from them: during the run
// its port only reports and asks the user's questions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "imaging/photo_pipeline.h"
#include "options/run_options.h"
#include "options/window_position.h"
#include "settings/options.h"

namespace snapfolio {

struct RunRequest {
  RunOptions options;
  PipelineInputs inputs[2];  // of output image 1 and 2
  // Where the window stands; the run stores it with the options of its start, so that the
  // window opens there next time (the command line hands back what it read).
  WindowPosition position;
  // The photos, when they are known before the run (dropped on the window, named on the command
  // line): the port confirms them where the photo dialog would be shown. Nothing: the dialog.
  std::optional<std::vector<std::string>> photos;
  // The first photo of the most recent confirmed choice before the run (by a run or by the
  // window's preview), or empty; the run's own choice replaces it.
  std::string photoDialogFileName;
};

// What the pipeline of output image `n` (0 or 1) reads from stored options.
inline PipelineInputs pipelineInputsOf(const StoredOptions& options, int n) {
  PipelineInputs inputs;
  inputs.image = options.run.image[n];
  inputs.format = options.format;
  inputs.style = options.styles[n];
  inputs.correction = options.correction;
  inputs.photo = options.run.photo;
  return inputs;
}

}  // namespace snapfolio
