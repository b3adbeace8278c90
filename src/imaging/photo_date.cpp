#include "imaging/photo_date.h"

#include "imaging/photo_metadata.h"

namespace snapfolio {

DateTime photoDateTime(const std::string& path, DateSource source) {
  if (source == DateSource::DateTaken) {
    if (std::optional<DateTime> taken = readDateTaken(path)) return *taken;
  }
  return fileDateTime(path);
}

}  // namespace snapfolio
