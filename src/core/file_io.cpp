#include "core/file_io.h"

// Standard library
#include <cerrno>
#include <system_error>

// System
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Qt
#include <QCoreApplication>

// Project
#include "core/translation.h"

namespace snapfolio {

namespace {

// Reads the whole regular file at `path` into `bytes` (left empty on failure). Returns 0, or the
// errno of the failed step: EISDIR or EINVAL for a folder or anything else that is no regular
// file, EFBIG for a file larger than `maxBytes` (also one that grows past it while it is read).
template <class Bytes>
int readAll(const std::string& path, std::size_t maxBytes, Bytes& bytes) {
  bytes.clear();
  // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno;
  int error = 0;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
  } else if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
    error = EFBIG;
  } else {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    while (true) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        error = got < 0 ? errno : 0;
        break;
      }
      if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
        error = EFBIG;
        break;
      }
      bytes.insert(bytes.end(), buffer, buffer + got);
    }
  }
  ::close(fd);
  if (error != 0) bytes.clear();
  return error;
}

}  // namespace

ReadResult readFileLimited(const std::string& path, std::size_t maxBytes, std::string& bytes) {
  const int error = readAll(path, maxBytes, bytes);
  if (error == 0) return ReadResult::Ok;
  return error == ENOENT || error == ENOTDIR ? ReadResult::Missing : ReadResult::Unreadable;
}

bool readWholeFile(const std::string& path, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes) {
  const int error = readAll(path, maxBytes, bytes);
  if (error == EFBIG) return false;
  if (error != 0) {
    throw Failure("cannot read " + path + ": " +
                  std::error_code(error, std::generic_category()).message());
  }
  return true;
}

std::vector<std::uint8_t> readFileStart(const std::string& path, std::size_t count) {
  std::vector<std::uint8_t> bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.resize(count);
    std::size_t got = 0;
    while (got < count) {
      const ssize_t n = ::read(fd, bytes.data() + got, count - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
  }
  ::close(fd);
  return bytes;
}

std::string readFailureCause(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  const int error = fd < 0 ? errno : 0;
  struct stat info {};
  const bool regular = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (fd >= 0) ::close(fd);
  if (regular) return {};
  const char* text = nullptr;
  switch (error) {
    case 0:
    case EISDIR:
      text = S_ISDIR(info.st_mode) || error == EISDIR
                 ? QT_TRANSLATE_NOOP("Files", "ファイルではなくフォルダである。")
                 : QT_TRANSLATE_NOOP("Files", "通常のファイルではない。");
      break;
    case ENOENT:
    case ENOTDIR:
      text = QT_TRANSLATE_NOOP("Files", "ファイルが存在しない。");
      break;
    case EACCES:
    case EPERM:
      text = QT_TRANSLATE_NOOP("Files", "読み取りの権限がない。");
      break;
    default:
      text = QT_TRANSLATE_NOOP("Files", "ファイルを読み込めない。");
      break;
  }
  const std::string cause = translated("Files", text);
  return error == 0 ? cause
                    : withDetail(cause, std::error_code(error, std::generic_category()).message());
}

}  // namespace snapfolio
