#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace snapfolio::test {

namespace fs = std::filesystem;

fs::path fixturePath(const std::string& name) {
  return fs::path(SNAPFOLIO_TEST_FIXTURES) / name;
}

fs::path photoPath(const std::string& name) {
  const char* dir = std::getenv("SNAPFOLIO_PHOTOS");
  if (dir == nullptr || *dir == '\0') {
    ADD_FAILURE() << "SNAPFOLIO_PHOTOS is not set; run tests/fixtures/fetch-photos.sh DIR";
    return {};
  }
  fs::path path = fs::path(dir) / name;
  if (!fs::exists(path)) {
    ADD_FAILURE() << "missing fixture photo " << path << "; run tests/fixtures/fetch-photos.sh "
                  << dir;
    return {};
  }
  return path;
}

const std::initializer_list<const char*>& allPhotoNames() {
  static const std::initializer_list<const char*> names = {
      "landscape-18mp.jpg", "landscape-20mp.jpg", "portrait-13mp.JPG", "portrait-exif6.jpg",
      "icc-srgb-444.jpg",   "progressive.jpg",    "phone-420.jpg",     "dslr-420.jpeg",
      "dark.jpg",           "grey.jpg",           "grey-exif.jpg",     "cmyk.jpeg",
      "tiny.JPG",           "icc-adobergb.jpg",   "panorama.jpg"};
  return names;
}

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("snapfolio-test-" + std::to_string(rd()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only directories behind; make them writable before removing.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::set<std::string> namesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

bool runningAsRoot() {
  return ::geteuid() == 0;
}

}  // namespace snapfolio::test
