#include "cli/cli_options.h"

// Project
#include "settings/ini_file.h"

namespace snapfolio::cli {

namespace {

void apply(TIniFile& ini, const std::vector<SettingOverride>& overrides) {
  for (const SettingOverride& o : overrides) ini.OverrideString(o.section, o.key, o.value);
}

}  // namespace

StoredOptions readOptions(const std::string& settingsPath,
                          const std::vector<SettingOverride>& overrides, std::string& notice) {
  TIniFile ini(settingsPath);
  notice = notSettingsMessage(ini);
  apply(ini, overrides);
  return readStoredOptions(ini);
}

void saveOverrides(const std::string& settingsPath, const std::vector<SettingOverride>& overrides) {
  if (overrides.empty()) return;
  TIniFile ini(settingsPath);
  SettingsBatch batch(ini);
  for (const SettingOverride& o : overrides) ini.WriteString(o.section, o.key, o.value);
  if (!batch.commit()) throw SettingsWriteError(notSettingsMessage(ini));
}

}  // namespace snapfolio::cli
