#include "site/site_scan.h"

// Standard library
#include <algorithm>
#include <cerrno>
#include <cstring>

// System
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Project
#include "formats/photo_format.h"

namespace snapfolio::site {

namespace {

long long mtimeOf(const struct stat& st) {
  return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

struct Walk {
  dev_t siteDev = 0;
  ino_t siteIno = 0;
  bool haveSite = false;
  ScanResult* result = nullptr;

  // Adds the photos of the folder open as `fd` (rel: its path from the source, "" or "a/b/").
  void folder(int fd, long long source, const std::string& base, const std::string& rel) {
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
      result->errors.push_back(base + rel + ": " + std::strerror(errno));
      ::close(fd);
      return;
    }
    std::vector<std::string> folders;
    std::vector<ScannedFile> files;
    errno = 0;
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.empty() || name.front() == '.') continue;
      const bool maybeFolder = entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN;
      const bool maybePhoto =
          (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) &&
          isPhotoName(name);
      if (!maybeFolder && !maybePhoto) continue;
      struct stat st {};
      const int flags = entry->d_type == DT_LNK ? 0 : AT_SYMLINK_NOFOLLOW;
      if (fstatat(dirfd(dir), entry->d_name, &st, flags) != 0) continue;
      if (S_ISDIR(st.st_mode) && entry->d_type != DT_LNK) {
        if (haveSite && st.st_dev == siteDev && st.st_ino == siteIno) continue;
        folders.push_back(name);
      } else if (S_ISREG(st.st_mode) && isPhotoName(name)) {
        files.push_back({source, rel + name, base + rel + name, static_cast<long long>(st.st_size),
                         mtimeOf(st)});
      }
    }
    if (errno != 0) result->errors.push_back(base + rel + ": " + std::strerror(errno));
    std::sort(files.begin(), files.end(),
              [](const ScannedFile& a, const ScannedFile& b) { return a.rel < b.rel; });
    for (ScannedFile& file : files) result->files.push_back(std::move(file));
    std::sort(folders.begin(), folders.end());
    for (const std::string& name : folders) {
      const int child =
          openat(dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) {
        result->errors.push_back(base + rel + name + ": " + std::strerror(errno));
        continue;
      }
      folder(child, source, base, rel + name + "/");
    }
    closedir(dir);
  }
};

}  // namespace

bool isPhotoName(const std::string& name) {
  return hasPhotoExtension(name);
}

ScanResult scanSources(const std::vector<SourceRecord>& sources, const std::string& siteDir) {
  ScanResult result;
  Walk walk;
  walk.result = &result;
  struct stat site {};
  if (stat(siteDir.c_str(), &site) == 0) {
    walk.siteDev = site.st_dev;
    walk.siteIno = site.st_ino;
    walk.haveSite = true;
  }
  for (const SourceRecord& source : sources) {
    struct stat st {};
    if (source.isFile) {
      // A photo named alone that is gone counts as deleted.
      if (stat(source.path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        const std::size_t slash = source.path.rfind('/');
        result.files.push_back({source.id, source.path.substr(slash + 1), source.path,
                                static_cast<long long>(st.st_size), mtimeOf(st)});
      }
      continue;
    }
    const int fd = ::open(source.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      result.missingSources.push_back(source.id);
      continue;
    }
    const std::string base = source.path == "/" ? "/" : source.path + "/";
    walk.folder(fd, source.id, base, "");
  }
  return result;
}

}  // namespace snapfolio::site
