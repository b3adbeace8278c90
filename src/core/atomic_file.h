// AtomicFile: the one way the program writes a file (output images, the album page, the
// settings file), so that a failure or a kill never leaves a half-written file under the final
// name and never destroys the previous file.
//
// The bytes go to a new file in the target's folder that has no name while it is written
// (Linux O_TMPFILE; where the file system lacks it, a file created exclusively under an
// unguessable name). commit() flushes it to the disk, gives it a unique name of the pattern
// ".snapfolio-<pid>-<16 hex digits>.tmp", renames that over the target and flushes the folder.
// Until commit() the target is untouched; an object destroyed without commit() leaves nothing
// behind. A kill can leave a named temporary only between those two steps of commit(); the
// first AtomicFile of a process that writes into a folder removes such leftovers of processes
// that are gone (same user, this name pattern only).
//
// The file replaced keeps its permission bits and, where the process may set them, its owner
// and group; a new file gets 0666 less the umask. A target that is a symbolic link is written
// through to the file the link names, also when that file does not exist yet (a dangling link
// stays a link), when only this user or root can have put the link there: it belongs to one of
// them, and so does its folder, which nobody else may write to (or which is sticky, like
// /tmp). Any other link is refused with a message naming it, so that a link planted in another
// user's folder never leads a write into a file of this user's. A target that is a directory
// or not a regular file, or one the process may not write to (a read-only file), is refused as
// a direct write would be.
//
// Failures throw FileWriteError, which keeps the system's error number for the message.
// The process should ignore SIGXFSZ, so that a write over the file size limit fails with EFBIG
// instead of ending the process.
//
// One object is used by one thread; separate objects may be used on separate threads (the
// record of folders already cleaned is shared under a lock).
#pragma once

#include <string>
#include <string_view>

#include "core/failure.h"

namespace snapfolio {

// A write that did not reach the disk. what() is "cannot write <path>: <step>: <system text>".
class FileWriteError : public Failure {
 public:
  // `cause`: the reason for the user; empty for the one of `error` (fileErrorReason).
  FileWriteError(const std::string& path, const std::string& step, int error,
                 std::string cause = {});
  // The errno value of the failed step.
  int error() const { return error_; }

 private:
  int error_;
};

class AtomicFile {
 public:
  // Prepares the write of `path` (creates the nameless file). Throws FileWriteError.
  explicit AtomicFile(std::string path);
  // Without commit(): discards what was written; the target stays as it was.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes (buffered). Throws FileWriteError.
  void write(std::string_view bytes);
  // Puts the file in place under its name, durably. Throws FileWriteError (the target is then
  // as before). Nothing may be written after it.
  void commit();

  // The name given to the constructor.
  const std::string& path() const { return path_; }

 private:
  void open();
  void discard() noexcept;
  [[noreturn]] void fail(const std::string& step, int error) const;
  void flush();
  void writeAll(std::string_view bytes);
  int nameTemporary();

  std::string path_;
  std::string name_;           // the file replaced, in folderFd_ (a link's destination)
  std::string temporaryName_;  // set once the file has a name of its own
  std::string buffer_;
  int folderFd_ = -1;
  int fd_ = -1;
  bool committed_ = false;
};

// The file a write of `path` replaces: `path` itself, or the file its links lead to when they
// may be followed (see above). Throws FileWriteError, naming a link that may not be followed.
std::string writeTarget(const std::string& path);

// Replaces (or creates) the file at `path` with `bytes`. Throws FileWriteError.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// The reason of a failed file operation in the interface language, with the system's text:
// "書き込みの権限がない。(Permission denied)". A FileWriteError carries it as its cause().
std::string fileErrorReason(int error);

}  // namespace snapfolio
