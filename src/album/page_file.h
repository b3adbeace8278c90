// PageFile: the album page being written, as a PageSink over a temporary file in the page's
// directory that commit() renames over the page. Until commit() the page of that name (if any)
// is untouched; a PageFile destroyed without commit() removes its temporary file, so a failed
// expansion never leaves a half-written page. The replaced page keeps its permission bits; a new
// one gets 0666 less the umask. A read-only page is refused, as a direct write would be.
//
// Errors are thrown as FileWriteError whose text is the reason in Japanese, followed by the
// system's own words in parentheses. One object, one thread.
#pragma once

#include <string>
#include <string_view>

#include "album/html_analize.h"

namespace snapfolio {

class PageFile : public PageSink {
 public:
  // Creates the temporary file for the page at `path`. Throws FileWriteError.
  explicit PageFile(std::string path);
  ~PageFile() override;
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  void write(std::string_view bytes) override;
  // Flushes the page to the disk and puts it in place under its name. Throws FileWriteError.
  void commit();

 private:
  void flush();
  void writeAll(std::string_view bytes);
  [[noreturn]] void fail(int error) const;

  std::string path_;
  std::string tempPath_;
  int fd_ = -1;
  std::string buffer_;
};

// The reason of a failed file operation in Japanese, with the system's text: "書き込みの権限が
// ない。(Permission denied)".
std::string fileErrorReason(int error);

}  // namespace snapfolio
