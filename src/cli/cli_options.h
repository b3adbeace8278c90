// The options of a command, as plain structs: read from the settings file as the windows read
// it at start-up (convert, render), with the --set overrides applied in memory. Nothing here
// writes a file except saveOverrides (--save), and nothing goes through a scratch copy.
//
// Plain functions; any thread.
#pragma once

#include <string>
#include <vector>

#include "cli/arguments.h"
#include "settings/options.h"

namespace snapfolio::cli {

// The settings file at `settingsPath` (missing: every key its default), then the overrides.
// A file that is no settings file reads as empty, and `notice` says so (else it is empty).
StoredOptions readOptions(const std::string& settingsPath,
                          const std::vector<SettingOverride>& overrides, std::string& notice);

// --save: writes the overrides into the settings file, in one batch. Throws SettingsWriteError
// when the file cannot be written or is no settings file (it is then unchanged).
void saveOverrides(const std::string& settingsPath, const std::vector<SettingOverride>& overrides);

}  // namespace snapfolio::cli
