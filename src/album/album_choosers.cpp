#include "album/album_choosers.h"

#include "core/file_names.h"

namespace snapfolio {

std::string pageFileNameFromChoice(std::string_view chosenPath) {
  return fileNamePart(chosenPath);
}

std::string templateFieldBeforeChoosing(std::string_view field, std::string_view startupDirectory) {
  if (!field.empty()) return std::string(field);
  return std::string(startupDirectory) + "/";
}

std::string templateChooserDirectory(std::string_view field) {
  std::size_t slash = field.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(field.substr(0, slash + 1));
}

}  // namespace snapfolio
