#include "album/default_template.h"

// Standard library
#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace snapfolio {

namespace fs = std::filesystem;

std::string dataDirBeside(std::string_view executablePath, std::string_view dataDirFromBin) {
  if (executablePath.empty()) return {};
  fs::path dir = fs::path(executablePath).parent_path() / fs::path(dataDirFromBin);
  return dir.lexically_normal().string();
}

std::string runningExecutablePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string defaultTemplatePath(std::string_view executablePath, std::string_view installedDataDir,
                                std::string_view sourceDataDir, std::string_view fileName) {
  const std::string beside = dataDirBeside(executablePath, SNAPFOLIO_DATA_DIR_FROM_BIN);
  for (std::string_view dir : {std::string_view(beside), installedDataDir, sourceDataDir}) {
    if (dir.empty()) continue;
    std::string path = (fs::path(dir) / "templates" / fs::path(fileName)).string();
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) return path;
  }
  return {};
}

std::string defaultTemplatePath() {
  return shippedTemplatePath("ja");
}

std::string_view shippedTemplateFileName(std::string_view language) {
  return language == "en" ? "album-en.dat" : "album.dat";
}

std::string shippedTemplatePath(std::string_view language) {
  return shippedTemplateFile(shippedTemplateFileName(language));
}

std::string shippedTemplateFile(std::string_view fileName) {
  return defaultTemplatePath(runningExecutablePath(), SNAPFOLIO_DATA_DIR, SNAPFOLIO_SOURCE_DATA_DIR,
                             fileName);
}

std::string templatePathOrShipped(std::string_view field, std::string_view language) {
  return field.empty() ? shippedTemplatePath(language) : std::string(field);
}

std::string pageFileNameOrDefault(std::string_view field) {
  return std::string(field.empty() ? kDefaultPageFileName : field);
}

}  // namespace snapfolio
