#include "site/site_options.h"

// Project
#include "album/default_template.h"
#include "run/run_request.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace snapfolio::site {

namespace {

void overrideAll(TIniFile& ini, const std::vector<SettingOverride>& overrides) {
  for (const SettingOverride& o : overrides) ini.OverrideString(o.section, o.key, o.value);
}

template <typename Key>
SettingOverride choice(const Key& key, std::string_view value) {
  return {std::string(key.section), std::string(key.name), std::string(value)};
}

// Which output image a setting concerns: 1 or 2 for the keys of one image (the thumbnails
// follow output image 1, the view image output image 2), 0 for both.
int imageOfKey(const SettingOverride& o) {
  if (o.section == keys::kPict1Options) return 1;
  if (o.section == keys::kPict2Options) return 2;
  if (o.key.starts_with("TIM") && o.key != keys::TIMSTYLE1.name) {
    if (o.key.ends_with('1')) return 1;
    if (o.key.ends_with('2')) return 2;
  }
  return 0;
}

// The options an image of the site is made with, as a key: the format of the images, then
// the settings that concern the image, in their order.
std::string optionsKey(const std::vector<SettingOverride>& overrides, int image) {
  std::string key = "q90";
  for (const SettingOverride& o : overrides) {
    const int of = imageOfKey(o);
    if (of != 0 && of != image) continue;
    // The page's keys and the sizes are the site's own.
    if (o.section == keys::kOutStyl &&
        (o.key == "HTMLCK" || o.key == "HTMLFIL" || o.key == "ALBMTITL" || o.key == "HTMLTMP")) {
      continue;
    }
    if (o.key.starts_with("WIDTH") || o.key.starts_with("PRIFN") || o.key.starts_with("AFTFN") ||
        o.key.starts_with("GAZOU")) {
      continue;
    }
    key += ";" + o.section + "/" + o.key + "=" + o.value;
  }
  return key;
}

// The album's choices, in the order of their keys.
std::vector<SettingOverride> albumChoices() {
  return {
      choice(keys::IMAGE[0].gazou, "1"),
      choice(keys::IMAGE[0].width, "150"),
      choice(keys::IMAGE[0].priFn, "t_"),
      choice(keys::IMAGE[1].gazou, "1"),
      choice(keys::IMAGE[1].width, "1280"),
      choice(keys::IMAGE[1].aftFn, "_l"),
      choice(keys::HTMLCK, "1"),
      choice(keys::HTMLFIL, kDefaultPageFileName),
      // "HTMLTMP" stays empty: the run takes the shipped template of the interface's language.
      // The date of each photo on the page and in stamps: the date taken.
      choice(keys::DATESOURCE, "1"),
  };
}

// Every key at its default but the album's choices, then `overrides`.
StoredOptions albumOptions(const std::vector<SettingOverride>& overrides) {
  TIniFile ini("");
  overrideAll(ini, albumChoices());
  overrideAll(ini, overrides);
  return readStoredOptions(ini);
}

}  // namespace

void applyAlbumChoices(TIniFile& ini) {
  overrideAll(ini, albumChoices());
}

SiteJobPlan albumPlan(const std::vector<SettingOverride>& overrides) {
  // Small photos keep their size unless a setting says otherwise.
  std::vector<SettingOverride> all = overrides;
  all.insert(all.begin(), choice(keys::NOENLARGE, "1"));
  const StoredOptions options = albumOptions(all);
  SiteJobPlan plan;
  for (int n = 0; n < 2; ++n) {
    plan.inputs[n] = pipelineInputsOf(options, n);
    plan.options[n] = optionsKey(overrides, n + 1);
  }
  plan.format = options.run.photo.outputFormat;
  return plan;
}

}  // namespace snapfolio::site
