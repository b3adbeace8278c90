// HtmlAnalize: expands one album template into one page.
//
// The template is a byte text with $-tags (see docs/template-language.md). The expansion makes
// one forward pass over it and jumps back to remembered positions to repeat the photo loops; it
// writes the page piece by piece into a PageSink, so the page is never held in memory.
//
// Failures are exceptions: TemplateError for a template that cannot be expanded (with the
// byte offset, line and column of the tag at fault), PhotoDateError for a photo whose file date
// cannot be read, and whatever the sink throws for a failed write. Output written before a
// failure stays in the sink; HtmlEdit discards it.
//
// Not thread-affine: one expansion runs on the calling thread and shares no state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "album/html_analize_tags.h"
#include "album/html_edit.h"
#include "core/failure.h"
#include "core/limits.h"
#include "timestamp/date_time.h"

namespace snapfolio {

// Where the page goes. write() receives the page in order; it throws (a Failure) when the
// bytes cannot be stored.
class PageSink {
 public:
  virtual ~PageSink() = default;
  virtual void write(std::string_view bytes) = 0;
};

// A page kept in a string, for tests and small previews.
class StringPageSink : public PageSink {
 public:
  void write(std::string_view bytes) override { text_.append(bytes); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// A template that cannot be expanded. offset is the byte offset of the "$" of the tag at fault;
// line and column count from 1 (columns in characters of the template's encoding).
class TemplateError : public Failure {
 public:
  TemplateError(std::string problem, std::size_t offset, int line, int column);
  const std::string& problem() const { return problem_; }
  std::size_t offset() const { return offset_; }
  int line() const { return line_; }
  int column() const { return column_; }
  // what(): "3行目 14文字目: " + problem

 private:
  std::string problem_;
  std::size_t offset_;
  int line_;
  int column_;
};

// A photo whose file date could not be read (the file vanished, for example).
class PhotoDateError : public Failure {
 public:
  PhotoDateError(std::string photo, const std::string& reason);
  const std::string& photo() const { return photo_; }

 private:
  std::string photo_;
};

// Where the photos' file times come from: the files themselves in the program (fileDateTime),
// a fake clock in tests. Throws when the time cannot be read.
using FileTimeSource = std::function<DateTime(const std::string& photoPath)>;

// The pixel size of an output image that the run did not report (made by an earlier run, say),
// by its file name in the output directory; nothing when there is no such image.
using OutputImageSizeSource =
    std::function<std::optional<PixelSize>(const std::string& outputFileName)>;

struct AnalizeOptions {
  FileTimeSource fileTime = fileDateTime;
  // Unset: an output image that the run did not report has the size 0 x 0.
  OutputImageSizeSource outputImageSize;
  // Upper bound of the page size; a template that would write more is reported.
  std::uint64_t maxPageBytes = kLimits.pageBytes;
  // Upper bound of the template bytes scanned, as a multiple of (photos + 1) times the
  // template's size.
  std::uint64_t scanFactor = kLimits.templateReadingsPerPhoto;
  // The page of a kept album: what its album tags read (album/html_analize_tags.h), with as
  // many photos as input.photos. Unset: album tags are not read (their "$" is dropped).
  const AlbumTagSource* albumTags = nullptr;
};

// Expands `albumTemplate` (its bytes up to the first zero byte) over input.photos into `page`.
// Calls input.progressStep once per "$/SETLOOP" met. A template that is valid UTF-8 receives
// UTF-8 values; any other template is taken as code page 932 and receives the values in it.
void HtmlAnalize(std::string_view albumTemplate, const AlbumPageInput& input, PageSink& page,
                 const AnalizeOptions& options);

}  // namespace snapfolio
