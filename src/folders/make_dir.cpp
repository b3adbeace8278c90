#include "folders/make_dir.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace snapfolio {

namespace {

// Whether the process could make `dir` its working directory: an existing directory with
// search permission.
bool canEnter(const std::string& dir) {
  if (dir.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_directory(dir, ec) && ::access(dir.c_str(), X_OK) == 0;
}

bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

MakeDirResult makeSubdirectory(const std::string& outputDir, const std::string& name) {
  if (!canEnter(outputDir)) return {MakeDirOutcome::CannotEnter, {}};
  if (!isPlainName(name)) return {MakeDirOutcome::CannotCreate, {}};
  const std::string directory = outputDir + "/" + name;
  if (::mkdir(directory.c_str(), 0777) != 0) return {MakeDirOutcome::CannotCreate, {}};
  return {MakeDirOutcome::Created, directory};
}

}  // namespace snapfolio
