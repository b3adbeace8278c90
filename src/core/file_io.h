// Whole-file writes that never leave a half-written file under the final name.
//
// The bytes go to a new temporary file in the target's directory, are flushed to the disk
// (fsync), and the temporary file is renamed over the target. A failure at any step removes the
// temporary file and leaves the previous target untouched. An existing target keeps its
// permission bits (and its owner where the process may set it); a new one gets 0666 less the
// umask. A symbolic link as target is followed: the file it points to is replaced. A target
// the process may not write to (a read-only file) is refused, as a direct write would be.
//
// Plain functions without shared state; any thread may call them (for different targets).
#pragma once

#include <string>
#include <string_view>

#include "core/failure.h"

namespace snapfolio {

// A write that did not reach the disk; the message names the file and the system's reason.
class FileWriteError : public Failure {
 public:
  using Failure::Failure;
};

// Replaces (or creates) the file at `path` with `bytes`. Throws FileWriteError.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// Reading with an explicit size limit, for files of untrusted content.
enum class ReadResult { Ok, Missing, Unreadable };
// Reads the whole regular file at `path` into `bytes` (empty unless Ok). Missing: no file by
// that name. Unreadable: something is there but it is not a regular file that could be read
// whole, or it is larger than `maxBytes`. Never blocks on a FIFO or device.
ReadResult readFileLimited(const std::string& path, std::size_t maxBytes, std::string& bytes);

}  // namespace snapfolio
