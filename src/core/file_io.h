// Reading whole files of untrusted content with an explicit size limit. (Files are written
// through AtomicFile, core/atomic_file.h.)
//
// Plain functions without shared state; any thread may call them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/failure.h"

namespace snapfolio {

// Reading with an explicit size limit, for files of untrusted content.
enum class ReadResult { Ok, Missing, Unreadable };
// Reads the whole regular file at `path` into `bytes` (empty unless Ok). Missing: no file by
// that name. Unreadable: something is there but it is not a regular file that could be read
// whole, or it is larger than `maxBytes`. Never blocks on a FIFO or device.
ReadResult readFileLimited(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Up to `count` bytes from the start of the regular file at `path`; empty when it is no
// regular file or cannot be read. Never blocks on a FIFO or device.
std::vector<std::uint8_t> readFileStart(const std::string& path, std::size_t count);

// Why the file at `path` cannot be read, in the user's language with the system's text
// ("ファイルが存在しない。(No such file or directory)"); empty when it opens for reading as a
// regular file.
std::string readFailureCause(const std::string& path);

// Reads the whole regular file at `path` by its bytes, as given (no conversion of the name).
// Returns false, with nothing read, when it is larger than `maxBytes`. Throws Failure (without a
// cause: readFailureCause tells it) when it cannot be opened or read, or is no regular file.
bool readWholeFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes);

}  // namespace snapfolio
