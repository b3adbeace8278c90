#include "core/file_io.h"

// Standard library
#include <algorithm>
#include <cerrno>
#include <system_error>

// System
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace snapfolio {

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

FileReadError::FileReadError(const std::string& path, int error)
    : Failure("cannot read " + path + ": " +
              std::error_code(error, std::generic_category()).message()),
      error_(error) {}

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
  return text + "(" + std::error_code(error, std::generic_category()).message() + ")";
}

bool readWholeFile(const std::string& path, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw FileReadError(path, errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) throw FileReadError(path, errno);
  if (!S_ISREG(info.st_mode)) throw FileReadError(path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) return false;
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t used = 0;
  while (true) {
    // The file may grow while it is read; the limit still holds.
    if (used == bytes.size()) {
      if (used >= maxBytes) {
        char probe = 0;
        const ssize_t more = ::read(fd, &probe, 1);
        if (more < 0 && errno == EINTR) continue;
        if (more < 0) throw FileReadError(path, errno);
        if (more == 0) break;
        bytes.clear();
        return false;
      }
      bytes.resize(std::min(maxBytes, std::max<std::size_t>(used * 2, 65536)));
    }
    const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileReadError(path, errno);
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  return true;
}

}  // namespace snapfolio
