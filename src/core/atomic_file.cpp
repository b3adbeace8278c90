#include "core/atomic_file.h"

// Standard library
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <random>
#include <set>
#include <system_error>
#include <tuple>
#include <utility>

// System
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

// Qt
#include <QCoreApplication>

// Project
#include "core/translation.h"

namespace snapfolio {

namespace {

constexpr std::size_t kBufferBytes = 1 << 16;
constexpr std::string_view kTemporaryPrefix = ".snapfolio-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr int kMaxLinkHops = 40;  // as the kernel's own bound for one path

std::string systemText(int error) {
  return std::error_code(error, std::generic_category()).message();
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether a link may be followed: only when nobody but this user or root can have put it there.
// The link belongs to this user or to root, and its folder belongs to one of them and no one
// else may change it (not writable by group or others), or it is sticky (like /tmp: then only
// the link's owner and the folder's may replace the link). This is the kernel's rule for
// links in sticky shared folders (fs.protected_symlinks) carried to every folder, so that a
// link planted in another user's folder never leads a write into a file of this user's.
bool mayFollow(const std::string& link, const struct stat& linkInfo) {
  const auto trusted = [](uid_t owner) { return owner == ::geteuid() || owner == 0; };
  struct stat folder {};
  if (!trusted(linkInfo.st_uid) || ::stat(folderOf(link).c_str(), &folder) != 0 ||
      !trusted(folder.st_uid)) {
    return false;
  }
  return (folder.st_mode & S_ISVTX) != 0 || (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The file a write of `path` replaces: symbolic links followed to the name they give, which
// need not exist. Returns errno, or 0 with the name in `resolved`; a link that may not be
// followed gives EACCES, with its name in `refused`.
int resolveLinks(const std::string& path, std::string& resolved, std::string& refused) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) return errno;
      resolved = current;  // a new file (or its folder is missing, which opening will tell)
      return 0;
    }
    if (!S_ISLNK(info.st_mode)) {
      resolved = current;
      return 0;
    }
    if (!mayFollow(current, info)) {
      refused = current;
      return EACCES;
    }
    std::string destination(static_cast<std::size_t>(info.st_size) + 1, '\0');
    const ssize_t length = ::readlink(current.c_str(), destination.data(), destination.size());
    if (length < 0) return errno;
    // A link that changed size meanwhile reads truncated; resolve it again.
    if (static_cast<std::size_t>(length) >= destination.size()) continue;
    destination.resize(static_cast<std::size_t>(length));
    if (destination.empty()) return ENOENT;
    current = destination.front() == '/' ? destination : folderOf(current) + "/" + destination;
  }
  return ELOOP;
}

std::string temporaryName() {
  std::uint64_t random = 0;
  if (::getrandom(&random, sizeof random, 0) != sizeof random) {
    // Without the kernel's generator (never on a working system), fall back to the C++ one.
    std::random_device device;
    random = (std::uint64_t{device()} << 32) ^ device();
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(random));
  return std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-" + hex +
         std::string(kTemporarySuffix);
}

// The process that made a temporary of this program, or 0 when `name` is no such temporary.
pid_t temporaryOwner(std::string_view name) {
  if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) return 0;
  name.remove_prefix(kTemporaryPrefix.size());
  if (name.size() < kTemporarySuffix.size() ||
      name.substr(name.size() - kTemporarySuffix.size()) != kTemporarySuffix) {
    return 0;
  }
  name.remove_suffix(kTemporarySuffix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos || name.size() - dash - 1 != 16 ||
      name.find_first_not_of("0123456789abcdef", dash + 1) != std::string_view::npos) {
    return 0;
  }
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dash, pid);
  return error == std::errc() && end == name.data() + dash && pid > 0 ? pid : 0;
}

// Removes the temporaries that killed processes of this program left in the folder, once per
// folder and process: a folder of many files is read only once. A folder is known by its name
// and its inode (a folder made anew under an old name, or on a reused inode, is read again).
void removeLeftovers(int folderFd, const std::string& folderName) {
  struct stat folder {};
  if (::fstat(folderFd, &folder) != 0) return;
  static std::mutex mutex;
  static std::set<std::tuple<dev_t, ino_t, std::string>> cleaned;
  {
    const std::lock_guard lock(mutex);
    if (!cleaned.insert({folder.st_dev, folder.st_ino, folderName}).second) return;
  }
  const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return;
  DIR* list = ::fdopendir(listFd);
  if (list == nullptr) {
    ::close(listFd);
    return;
  }
  while (const dirent* entry = ::readdir(list)) {
    const pid_t owner = temporaryOwner(entry->d_name);
    // A process that lives (or that this user may not signal) may still be writing it.
    if (owner == 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
    struct stat info {};
    if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
      ::unlinkat(folderFd, entry->d_name, 0);
    }
  }
  ::closedir(list);
}

}  // namespace

FileWriteError::FileWriteError(const std::string& path, const std::string& step, int error,
                               std::string cause)
    : Failure("cannot write " + path + ": " + step + ": " + systemText(error),
              cause.empty() ? fileErrorReason(error) : std::move(cause)),
      error_(error) {}

std::string writeTarget(const std::string& path) {
  std::string target, refused;
  if (const int error = resolveLinks(path, target, refused)) {
    if (refused.empty()) throw FileWriteError(path, "cannot look up the file", error);
    throw FileWriteError(
        path, "the link " + refused + " is not followed: another user could have put it there",
        error,
        fillIn(QCoreApplication::translate(
                   "AtomicFile", "リンク %1 は他のユーザーが置けた場所にあるため、たどらない。"),
               {refused}));
  }
  return target;
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
  buffer_.reserve(kBufferBytes);
  try {
    open();
  } catch (...) {
    discard();
    throw;
  }
}

void AtomicFile::open() {
  if (path_.empty()) fail("the file has no name", ENOENT);
  const std::string target = writeTarget(path_);
  name_ = nameOf(target);
  if (name_.empty() || name_ == "." || name_ == "..") fail("it is a directory", EISDIR);

  const std::string folder = folderOf(target);
  folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) fail("cannot open the folder", errno);
  struct stat old {};
  const bool exists = ::fstatat(folderFd_, name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists && S_ISDIR(old.st_mode)) fail("it is a directory", EISDIR);
  // A link that appeared since it was resolved is replaced, never followed.
  if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode)) {
    fail("it is not a regular file", EINVAL);
  }
  // Replacing by rename would succeed on a read-only file too; a file the user made read-only
  // is left alone, as a direct write to it would be refused.
  if (exists && S_ISREG(old.st_mode) &&
      ::faccessat(folderFd_, name_.c_str(), W_OK, AT_EACCESS) != 0) {
    fail("the file is not writable", errno);
  }
  removeLeftovers(folderFd_, folder);

  fd_ = ::openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // No nameless files on this file system: an exclusive new name that nobody can foresee.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      std::string candidate = temporaryName();
      fd_ = ::openat(folderFd_, candidate.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        temporaryName_ = std::move(candidate);
      } else if (errno != EEXIST) {
        break;
      }
    }
  }
  if (fd_ < 0) fail("cannot create a temporary file", errno);
  if (exists && S_ISREG(old.st_mode)) {
    // Keep the settings of the file being replaced; an owner we may not set is left as is.
    ::fchmod(fd_, old.st_mode & 07777);
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(fd_, old.st_uid, old.st_gid);
      ::fchmod(fd_, old.st_mode & 07777);  // fchown may clear set-id bits
    }
  }
}

AtomicFile::~AtomicFile() {
  discard();
}

void AtomicFile::discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!committed_ && !temporaryName_.empty()) ::unlinkat(folderFd_, temporaryName_.c_str(), 0);
  temporaryName_.clear();
  if (folderFd_ >= 0) ::close(folderFd_);
  folderFd_ = -1;
}

void AtomicFile::fail(const std::string& step, int error) const {
  throw FileWriteError(path_, step, error);
}

void AtomicFile::write(std::string_view bytes) {
  if (fd_ < 0) fail("the file is already closed", EBADF);
  if (buffer_.size() + bytes.size() > kBufferBytes) flush();
  if (bytes.size() >= kBufferBytes) {
    writeAll(bytes);  // large pieces go straight to the file
  } else {
    buffer_.append(bytes);
  }
}

void AtomicFile::flush() {
  writeAll(buffer_);
  buffer_.clear();
}

void AtomicFile::writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("write failed", errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Gives the nameless file its unique temporary name; returns errno, or 0.
int AtomicFile::nameTemporary() {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = temporaryName();
    int result = ::linkat(AT_FDCWD, self.c_str(), folderFd_, candidate.c_str(), AT_SYMLINK_FOLLOW);
    if (result != 0 && errno == ENOENT) {
      // No /proc: linking the descriptor itself needs a capability that root has.
      result = ::linkat(fd_, "", folderFd_, candidate.c_str(), AT_EMPTY_PATH);
    }
    if (result == 0) {
      temporaryName_ = std::move(candidate);
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

void AtomicFile::commit() {
  if (fd_ < 0) fail("the file is already closed", EBADF);
  flush();
  if (::fsync(fd_) != 0) fail("flushing to the disk failed", errno);
  if (temporaryName_.empty()) {
    if (const int error = nameTemporary()) fail("cannot name the temporary file", error);
  }
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) fail("closing failed", errno);
  if (::renameat(folderFd_, temporaryName_.c_str(), folderFd_, name_.c_str()) != 0) {
    fail("cannot replace the file", errno);
  }
  committed_ = true;
  // Make the rename itself durable; a file system that cannot sync folders is no failure.
  ::fsync(folderFd_);
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFile file(path);
  file.write(bytes);
  file.commit();
}

std::string fileErrorReason(int error) {
  const char* text = nullptr;
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      text = QT_TRANSLATE_NOOP("AtomicFile", "フォルダが存在しない。");
      break;
    case EACCES:
    case EPERM:
      text = QT_TRANSLATE_NOOP("AtomicFile", "書き込みの権限がない。");
      break;
    case EROFS:
      text = QT_TRANSLATE_NOOP("AtomicFile", "読み取り専用の場所である。");
      break;
    case ENOSPC:
    case EDQUOT:
      text = QT_TRANSLATE_NOOP("AtomicFile", "ディスクの空きが足りない。");
      break;
    case EISDIR:
      text = QT_TRANSLATE_NOOP("AtomicFile", "同じ名前のフォルダがある。");
      break;
    case EINVAL:
      text = QT_TRANSLATE_NOOP("AtomicFile", "通常のファイルではない。");
      break;
    case ENAMETOOLONG:
      text = QT_TRANSLATE_NOOP("AtomicFile", "ファイル名が長すぎる。");
      break;
    case EILSEQ:
      text = QT_TRANSLATE_NOOP("AtomicFile", "ファイル名にこの場所で使えない文字がある。");
      break;
    case EFBIG:
      text = QT_TRANSLATE_NOOP("AtomicFile", "ファイルが大きすぎる。");
      break;
    case EIO:
      text = QT_TRANSLATE_NOOP("AtomicFile", "入出力エラーが起きた。");
      break;
    default:
      text = QT_TRANSLATE_NOOP("AtomicFile", "ファイルを書き込めない。");
      break;
  }
  return withDetail(translated("AtomicFile", text), systemText(error));
}

}  // namespace snapfolio
