// Creation of a new directory inside the output directory (the MakeDir button). No widgets;
// any thread.
#pragma once

#include <string>

namespace snapfolio {

enum class MakeDirOutcome {
  Created,       // the directory exists now
  CannotEnter,   // the output directory is not an existing directory that can be entered
  CannotCreate,  // the name is not a plain name, or the system refused to create it
};

struct MakeDirResult {
  MakeDirOutcome outcome = MakeDirOutcome::CannotCreate;
  std::string directory;  // on success: outputDir + "/" + name, as text (the new output dir)
};

// Creates `name` inside `outputDir` by absolute path; the process's working directory is left
// alone. `name` must be a plain name: empty, ".", "..", a name holding "/" or a NUL character
// is refused (nothing is created outside the output directory). An existing file or
// directory of that name, a directory without write permission or a name too long for the
// file system fail as the system reports. The result's directory is `outputDir` + "/" +
// `name` even when `outputDir` already ends in "/" (at the root that gives "//name").
MakeDirResult makeSubdirectory(const std::string& outputDir, const std::string& name);

}  // namespace snapfolio
