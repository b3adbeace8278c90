#include "imaging/photo_options.h"

#include "settings/settings_keys.h"

namespace snapfolio {

namespace {

// An enumeration stored as its code; a code the program does not know reads as the default.
template <typename Enum>
Enum readCode(const TIniFile& ini, const keys::IntegerKey& key, int last) {
  const int code = read(ini, key);
  return static_cast<Enum>(code >= 0 && code <= last ? code : key.defaultValue);
}

}  // namespace

PhotoOptions readPhotoOptions(const TIniFile& ini) {
  PhotoOptions options;
  options.orientation = read(ini, keys::ORIENTATION);
  options.colourProfile = read(ini, keys::COLORPROFILE);
  options.dateSource = readCode<DateSource>(ini, keys::DATESOURCE, 1);
  options.metadata = readCode<MetadataMode>(ini, keys::METADATA, 2);
  options.neverEnlarge = read(ini, keys::NOENLARGE);
  return options;
}

void writePhotoOptions(TIniFile& ini, const PhotoOptions& options) {
  write(ini, keys::ORIENTATION, options.orientation);
  write(ini, keys::COLORPROFILE, options.colourProfile);
  write(ini, keys::DATESOURCE, static_cast<int>(options.dateSource));
  write(ini, keys::METADATA, static_cast<int>(options.metadata));
  write(ini, keys::NOENLARGE, options.neverEnlarge);
}

}  // namespace snapfolio
