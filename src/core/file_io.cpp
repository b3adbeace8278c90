#include "core/file_io.h"

// Standard library
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

// System
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace snapfolio {

namespace {

namespace fs = std::filesystem;

std::string reason(int error) {
  return std::error_code(error, std::generic_category()).message();
}

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
  throw FileWriteError("cannot write " + path + ": " + what + ": " + reason(error));
}

// Closes the descriptor and removes the temporary file unless the write went through.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Creates a new file next to `target`; returns errno, or 0.
  int create(const fs::path& target) {
    std::random_device random;
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
      const fs::path candidate =
          dir / ("." + target.filename().string() + ".tmp-" + std::to_string(random()));
      const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        fd_ = fd;
        path_ = candidate.string();
        return 0;
      }
      if (errno != EEXIST) return errno;
    }
    return EEXIST;
  }
  // Closes the descriptor; returns errno, or 0.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }
  void keep() { path_.clear(); }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// The file a write replaces: the target of a symbolic link rather than the link.
fs::path resolveTarget(const std::string& path) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    fs::path target = fs::canonical(path, ec);
    if (!ec) return target;
  }
  return fs::path(path);
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty()) throw FileWriteError("cannot write a file without a name");
  const fs::path target = resolveTarget(path);

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) fail("it is a directory", path, EISDIR);
  // Replacing by rename would succeed on a read-only file too; a file the user made
  // read-only is left alone, as a direct write to it would be refused.
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    fail("the file is not writable", path, errno);
  }

  TempFile temp;
  if (const int error = temp.create(target)) fail("cannot create a temporary file", path, error);
  if (exists) {
    // Keep the settings of the file being replaced; an owner we may not set is left as is.
    ::fchmod(temp.fd(), old.st_mode & 07777);
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(temp.fd(), old.st_uid, old.st_gid);
      ::fchmod(temp.fd(), old.st_mode & 07777);  // fchown may clear set-id bits
    }
  }
  while (!bytes.empty()) {
    const ssize_t written = ::write(temp.fd(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("write failed", path, errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (::fsync(temp.fd()) != 0) fail("flushing to the disk failed", path, errno);
  if (const int error = temp.close()) fail("closing failed", path, error);
  if (::rename(temp.path().c_str(), target.c_str()) != 0) {
    fail("cannot replace the file", path, errno);
  }
  temp.keep();

  // Make the rename itself durable; a file system that cannot sync directories is no failure.
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

ReadResult readFileLimited(const std::string& path, std::size_t maxBytes, std::string& bytes) {
  bytes.clear();
  // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Unreadable;
  }
  struct stat info {};
  ReadResult result = ReadResult::Ok;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<unsigned long long>(info.st_size) > maxBytes) {
    result = ReadResult::Unreadable;
  } else {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    while (true) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0) {
        if (errno == EINTR) continue;
        result = ReadResult::Unreadable;
        break;
      }
      if (got == 0) break;
      // The file may grow while it is read; the limit still holds.
      if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
        result = ReadResult::Unreadable;
        break;
      }
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  if (result != ReadResult::Ok) bytes.clear();
  return result;
}

}  // namespace snapfolio
