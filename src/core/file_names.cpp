#include "core/file_names.h"

namespace snapfolio {

FileNameParts splitFileName(std::string_view path) {
  FileNameParts parts;
  std::size_t slash = path.rfind('/');
  std::string_view name = path;
  if (slash != std::string_view::npos) {
    parts.directory = std::string(path.substr(0, slash));
    name = path.substr(slash + 1);
  }
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    parts.base = std::string(name);
  } else {
    parts.base = std::string(name.substr(0, dot));
    parts.extension = std::string(name.substr(dot));
  }
  return parts;
}

std::string fileNamePart(std::string_view path) {
  std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string outputFileName(std::string_view photoPath, std::string_view prefix,
                           std::string_view suffix, std::string_view extension) {
  FileNameParts parts = splitFileName(photoPath);
  std::string name(prefix);
  name += parts.base;
  name += suffix;
  name += extension;
  return name;
}

std::string joinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  path += '/';
  path += name;
  return path;
}

}  // namespace snapfolio
