#include "album/default_template.h"

// Standard library
#include <filesystem>
#include <system_error>

namespace snapfolio {

std::string defaultTemplatePath(std::string_view installedDataDir, std::string_view sourceDataDir) {
  for (std::string_view dir : {installedDataDir, sourceDataDir}) {
    if (dir.empty()) continue;
    std::string path = std::string(dir) + "/templates/album.dat";
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return {};
}

std::string defaultTemplatePath() {
  return defaultTemplatePath(SNAPFOLIO_DATA_DIR, SNAPFOLIO_SOURCE_DATA_DIR);
}

}  // namespace snapfolio
