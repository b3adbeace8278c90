// The album command: makes or updates a kept album (site/site_build.h) from the command line's
// sources, with the album's image choices over the defaults and the --set overrides.
//
// On the run's thread (the main thread); the Qt application is made only when a photo is to be
// converted, so a run with nothing to do starts no graphics machinery.
#pragma once

#include "cli/arguments.h"

namespace snapfolio::cli {

// The exit status (as --help documents it). `programName`: argv[0], for the Qt application.
int keptAlbum(const Arguments& args, char* programName);

}  // namespace snapfolio::cli
