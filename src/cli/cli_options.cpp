#include "cli/cli_options.h"

// Project
#include "album/default_template.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace snapfolio::cli {

namespace {

void apply(TIniFile& ini, const std::vector<SettingOverride>& overrides) {
  for (const SettingOverride& o : overrides) ini.OverrideString(o.section, o.key, o.value);
}

template <typename Key>
SettingOverride choice(const Key& key, std::string_view value) {
  return {std::string(key.section), std::string(key.name), std::string(value)};
}

}  // namespace

StoredOptions readOptions(const std::string& settingsPath,
                          const std::vector<SettingOverride>& overrides, std::string& notice) {
  TIniFile ini(settingsPath);
  notice = notSettingsMessage(ini);
  apply(ini, overrides);
  return readStoredOptions(ini);
}

StoredOptions albumOptions(const std::string& title,
                           const std::vector<SettingOverride>& overrides) {
  TIniFile ini("");
  apply(ini, {
                 choice(keys::IMAGE[0].gazou, "1"),
                 choice(keys::IMAGE[0].width, "150"),
                 choice(keys::IMAGE[0].priFn, "t_"),
                 choice(keys::IMAGE[1].gazou, "1"),
                 choice(keys::IMAGE[1].width, "1280"),
                 choice(keys::IMAGE[1].aftFn, "_l"),
                 choice(keys::HTMLCK, "1"),
                 choice(keys::HTMLFIL, kDefaultPageFileName),
                 choice(keys::ALBMTITL, title),
                 // "HTMLTMP" stays empty: the run takes the shipped template of the interface's
                 // language.
                 // The date of each photo on the page and in stamps: the date taken.
                 choice(keys::DATESOURCE, "1"),
             });
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
