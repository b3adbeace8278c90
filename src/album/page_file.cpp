#include "album/page_file.h"

// Standard library
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

// System
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Project
#include "core/file_io.h"

namespace snapfolio {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBufferBytes = 1 << 16;

}  // namespace

std::string fileErrorReason(int error) {
  std::string text;
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      text = "フォルダが存在しない。";
      break;
    case EACCES:
    case EPERM:
      text = "書き込みの権限がない。";
      break;
    case EROFS:
      text = "読み取り専用の場所である。";
      break;
    case ENOSPC:
    case EDQUOT:
      text = "ディスクの空きが足りない。";
      break;
    case EISDIR:
      text = "同じ名前のフォルダがある。";
      break;
    case ENAMETOOLONG:
      text = "ファイル名が長すぎる。";
      break;
    case EFBIG:
      text = "ファイルが大きすぎる。";
      break;
    case EIO:
      text = "入出力エラーが起きた。";
      break;
    default:
      text = "ファイルを書き込めない。";
      break;
  }
  return text + "(" + std::error_code(error, std::generic_category()).message() + ")";
}

PageFile::PageFile(std::string path) : path_(std::move(path)) {
  // The file a write replaces: the target of a symbolic link rather than the link.
  fs::path target(path_);
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = resolved;
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) fail(EISDIR);
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) fail(errno);

  std::random_device random;
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  int error = EEXIST;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    fs::path candidate =
        dir / ("." + target.filename().string() + ".tmp-" + std::to_string(random()));
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      tempPath_ = candidate.string();
    } else if (errno != EEXIST) {
      error = errno;
      break;
    }
  }
  if (fd_ < 0) fail(error);
  if (exists) ::fchmod(fd_, old.st_mode & 07777);
  path_ = target.string();
  buffer_.reserve(kBufferBytes);
}

PageFile::~PageFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
}

void PageFile::write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferBytes) flush();
  if (bytes.size() >= kBufferBytes) {
    writeAll(bytes);  // large pieces go straight to the file
  } else {
    buffer_.append(bytes);
  }
}

void PageFile::flush() {
  writeAll(buffer_);
  buffer_.clear();
}

void PageFile::writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void PageFile::commit() {
  flush();
  if (::fsync(fd_) != 0) fail(errno);
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) fail(errno);
  if (::rename(tempPath_.c_str(), path_.c_str()) != 0) fail(errno);
  tempPath_.clear();
  // Make the rename itself durable; a file system that cannot sync directories is no failure.
  const fs::path dir = fs::path(path_).has_parent_path() ? fs::path(path_).parent_path() : ".";
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

void PageFile::fail(int error) const {
  throw FileWriteError(fileErrorReason(error));
}

}  // namespace snapfolio
