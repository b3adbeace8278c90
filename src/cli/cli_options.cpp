#include "cli/cli_options.h"

// Project
#include "album/default_template.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace snapfolio::cli {

namespace {

void apply(TIniFile& ini, const std::vector<SettingOverride>& overrides) {
  for (const SettingOverride& o : overrides) ini.WriteString(o.section, o.key, o.value);
}

}  // namespace

StoredOptions readOptions(const std::string& settingsPath,
                          const std::vector<SettingOverride>& overrides) {
  TIniFile ini(settingsPath);
  ini.DetachFromFile();
  apply(ini, overrides);
  return readStoredOptions(ini);
}

StoredOptions albumOptions(const std::string& title,
                           const std::vector<SettingOverride>& overrides) {
  TIniFile ini("");
  ini.DetachFromFile();
  for (const keys::ImageKeys& image : keys::IMAGE) write(ini, image.gazou, true);
  write(ini, keys::IMAGE[0].width, "150");
  write(ini, keys::IMAGE[0].priFn, "t_");
  write(ini, keys::IMAGE[1].width, "1280");
  write(ini, keys::IMAGE[1].aftFn, "_l");
  write(ini, keys::HTMLCK, true);
  write(ini, keys::HTMLFIL, kDefaultPageFileName);
  write(ini, keys::ALBMTITL, title);
  // "HTMLTMP" stays empty: the run takes the shipped template of the interface's language.
  // The date of each photo on the page and in stamps: the date taken.
  // (Set here once the photo options' date source is a key of the settings file.)
  apply(ini, overrides);
  return readStoredOptions(ini);
}

void saveOverrides(const std::string& settingsPath, const std::vector<SettingOverride>& overrides) {
  if (overrides.empty()) return;
  TIniFile ini(settingsPath);
  apply(ini, overrides);
}

}  // namespace snapfolio::cli
