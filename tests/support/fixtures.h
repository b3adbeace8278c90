// Paths of test fixtures and scratch directories for the tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace snapfolio::test {

// A small committed fixture under tests/fixtures.
std::filesystem::path fixturePath(const std::string& name);

// A real camera photo fetched by tests/fixtures/fetch-photos.sh into $SNAPFOLIO_PHOTOS.
// Fails the current test (and returns an empty path) when the photo is not there: photos are
// never skipped silently.
std::filesystem::path photoPath(const std::string& name);

// The names of all fifteen fixture photos.
const std::initializer_list<const char*>& allPhotoNames();

// A fresh directory removed again when the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Whole-file helpers.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// The names in a folder (to check that no temporary file stays behind).
std::set<std::string> namesIn(const std::filesystem::path& dir);

// Root may write whatever the permissions say: permission tests need another situation.
bool runningAsRoot();

}  // namespace snapfolio::test
