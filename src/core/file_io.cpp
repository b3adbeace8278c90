#include "core/file_io.h"

// Standard library
#include <cerrno>
#include <system_error>

// System
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace snapfolio {

namespace {

std::string systemText(int error) {
  return std::error_code(error, std::generic_category()).message();
}

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

FileReadError::FileReadError(const std::string& path, int error)
    : Failure("cannot read " + path + ": " + systemText(error)), error_(error) {}

std::string fileReadReason(int error) {
  std::string text;
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      text = "ファイルが見つからない。";
      break;
    case EACCES:
    case EPERM:
      text = "読み込みの権限がない。";
      break;
    case EINVAL:
    case EISDIR:
      text = "通常のファイルではない。";
      break;
    case ENAMETOOLONG:
      text = "ファイル名が長すぎる。";
      break;
    case EIO:
      text = "入出力エラーが起きた。";
      break;
    default:
      text = "ファイルを読み込めない。";
      break;
  }
  return text + "(" + systemText(error) + ")";
}

bool readWholeFile(const std::string& path, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes) {
  const int error = readAll(path, maxBytes, bytes);
  if (error == EFBIG) return false;
  if (error != 0) throw FileReadError(path, error);
  return true;
}

}  // namespace snapfolio
