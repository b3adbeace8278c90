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
