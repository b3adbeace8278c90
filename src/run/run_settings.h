// The options of a run as the windows load them from the settings file at start-up: the main
// window's options, both time-stamp styles with the format, and the correction values. The
// command line builds its runs from these; the windows keep them in their controls instead.
#pragma once

#include <string>

#include "imaging/correction_values.h"
#include "run/run_port.h"
#include "settings/ini_file.h"
#include "timestamp/time_stamp_style.h"

namespace snapfolio {

struct StoredOptions {
  RunOptions run;  // outputDir holds "OUTDIR" as stored (not yet checked)
  std::string inDir;
  std::string format;
  TimeStampStyle styles[2];
  CorrectionValues correction;
};

StoredOptions readStoredOptions(const TIniFile& ini);

}  // namespace snapfolio
