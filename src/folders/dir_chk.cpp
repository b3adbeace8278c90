#include "folders/dir_chk.h"

#include <filesystem>
#include <system_error>

namespace snapfolio {

namespace {

bool isExistingDirectory(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

std::string DirChk(const std::string& path) {
  std::string copy = path;
  while (!isExistingDirectory(copy)) {
    if (!copy.empty() && copy.back() == '/') copy.pop_back();
    const std::size_t slash = copy.rfind('/');
    if (slash == std::string::npos) {
      copy.clear();
    } else {
      copy.erase(slash + 1);  // the "/" itself stays: the ancestor is returned with it
    }
    if (copy.find('/') == std::string::npos) break;
  }
  return copy;
}

}  // namespace snapfolio
