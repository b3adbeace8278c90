#include "album/html_edit.h"

// Standard library
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>
#include <tuple>

// System
#include <unistd.h>

// Qt
#include <QCoreApplication>

// Project
#include "album/album_values.h"
#include "album/default_template.h"
#include "album/html_analize.h"
#include "core/atomic_file.h"
#include "core/failure.h"
#include "core/file_io.h"
#include "core/file_names.h"
#include "core/limits.h"
#include "core/translation.h"
#include "formats/photo_decoder.h"

namespace snapfolio {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLineBreak = "\r\n";
constexpr const char* kPageFailed =
    QT_TRANSLATE_NOOP("HtmlEdit", "000F : HTMLページの作成に失敗した。");

std::string text(const char* source) {
  return translated("HtmlEdit", source);
}

// The page being written: the expansion's output streamed into an AtomicFile.
class PageFile : public PageSink {
 public:
  explicit PageFile(const std::string& path) : file_(path) {}
  void write(std::string_view bytes) override { file_.write(bytes); }
  void commit() { file_.commit(); }

 private:
  AtomicFile file_;
};

// A template "exists" when something other than a directory stands under its name: the
// template field starts out as a directory name followed by "/".
bool templateExists(const std::string& path) {
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  return !ec && fs::exists(status) && !fs::is_directory(status);
}

std::string templateReadReason(const std::string& path) {
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  if (!ec && !fs::is_regular_file(status))
    return text(QT_TRANSLATE_NOOP("HtmlEdit", "通常のファイルではない。"));
  std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > kLimits.templateBytes) {
    return fillIn(QCoreApplication::translate("HtmlEdit", "ファイルが大きすぎる(%1 MiBまで)。"),
                  {std::to_string(kLimits.templateBytes >> 20)});
  }
  if (::access(path.c_str(), R_OK) != 0) {
    const int error = errno;
    return withDetail(text(QT_TRANSLATE_NOOP("HtmlEdit", "読み取りの権限がない。")),
                      std::error_code(error, std::generic_category()).message());
  }
  return text(QT_TRANSLATE_NOOP("HtmlEdit", "読み込み中にエラーが起きた。"));
}

// The size of an output image made by an earlier run, from its header.
std::optional<PixelSize> outputImageSizeIn(const std::string& outputDir,
                                           const std::string& outputFileName) {
  try {
    const auto image = PhotoDecoder::openFile(joinPath(outputDir, outputFileName), kLimits);
    if (image->width() <= 0 || image->height() <= 0) return std::nullopt;
    return PixelSize{image->width(), image->height()};
  } catch (...) {
    return std::nullopt;  // no such image: the page gets 0 x 0
  }
}

// Puts the photos in the order asked for. Sorting is stable: photos of equal date or name keep
// the order in which they were chosen. Sorting by date gives each photo the date the page will
// show. Throws PhotoDateError.
void orderPhotos(std::vector<AlbumPhoto>& photos, PhotoOrder order,
                 const FileTimeSource& fileTime) {
  if (order == PhotoOrder::ByDate) {
    for (AlbumPhoto& photo : photos) photo.date = photoDate(photo, fileTime);
    auto key = [](const DateTime& d) {
      return std::tie(d.year, d.month, d.day, d.hour, d.minute, d.second);
    };
    std::stable_sort(photos.begin(), photos.end(), [&](const AlbumPhoto& a, const AlbumPhoto& b) {
      return key(*a.date) < key(*b.date);
    });
  } else if (order == PhotoOrder::ByName) {
    std::stable_sort(photos.begin(), photos.end(), [](const AlbumPhoto& a, const AlbumPhoto& b) {
      return naturalLess(fileNamePart(a.path), fileNamePart(b.path));
    });
  }
}

// The messages of the page's steps.
struct PageMessages {
  std::string pageFailed;   // 000F: the page as a whole
  std::string readFailed;   // 0010: the template cannot be read
  std::string malformed;    // 0011: the template is malformed
  std::string writeFailed;  // 0012: the page cannot be written
};

PageMessages pageMessages(const std::string& templatePath, const std::string& pagePath) {
  return {
      text(kPageFailed),
      fillIn(QCoreApplication::translate("HtmlEdit",
                                         "0010 : %1のテンプレートファイルが読み込めない。"),
             {templatePath}),
      fillIn(QCoreApplication::translate("HtmlEdit", "0011 : %1のテンプレートの書式が正しくない。"),
             {templatePath}),
      fillIn(QCoreApplication::translate("HtmlEdit", "0012 : %1のHTMLページが書き込めない。"),
             {pagePath})};
}

// Runs one step of the page. A malformed template, a photo without a file date and a write
// that failed have messages of their own (with the problem on a second line); any other
// failure gets the step's.
template <typename Step>
void pageStep(const std::string& message, const PageMessages& m, Step&& step) {
  inStep(message, [&] {
    try {
      step();
    } catch (const TemplateError& e) {
      throw StepFailure(m.malformed + kLineBreak + e.what(), {});
    } catch (const PhotoDateError& e) {
      throw StepFailure(
          fillIn(QCoreApplication::translate("HtmlEdit", "0013 : %1のファイル日付が取得できない。"),
                 {e.photo()}),
          {});
    } catch (const FileWriteError& e) {
      throw StepFailure(m.writeFailed + kLineBreak + fileErrorReason(e.error()), {});
    }
  });
}

// The template read whole, or nothing when it has gone since it was found (said with the
// `missing` message).
std::optional<std::string> readTemplate(const std::string& templatePath, const PageMessages& m,
                                        const std::string& missing, MessagePort& messages) {
  std::string albumTemplate;
  const ReadResult read = inStep(m.readFailed, [&] {
    return readFileLimited(templatePath, kLimits.templateBytes, albumTemplate);
  });
  switch (read) {
    case ReadResult::Ok:
      return albumTemplate;
    case ReadResult::Missing:
      messages.showMessage(missing);
      return std::nullopt;
    case ReadResult::Unreadable:
      break;
  }
  throw StepFailure(m.readFailed + kLineBreak + templateReadReason(templatePath), {});
}

// Expands the template over the photos in the order asked for into the page, which replaces an
// earlier page only when it is complete.
void writePage(const std::string& albumTemplate, const HtmlEditInput& input,
               const std::string& pagePath, const PageMessages& m, AnalizeOptions options) {
  if (!options.outputImageSize) {
    options.outputImageSize = [dir = input.outputDir](const std::string& name) {
      return outputImageSizeIn(dir, name);
    };
  }
  AlbumPageInput pageInput = input.page;
  pageStep(m.pageFailed, m, [&] { orderPhotos(pageInput.photos, input.order, options.fileTime); });
  std::optional<PageFile> page;
  pageStep(m.writeFailed, m, [&] { page.emplace(pagePath); });
  pageStep(m.pageFailed, m, [&] { HtmlAnalize(albumTemplate, pageInput, *page, options); });
  pageStep(m.writeFailed, m, [&] { page->commit(); });
}

}  // namespace

bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages, const AnalizeOptions& options) {
  const std::string pageFailed = text(kPageFailed);
  const std::string templatePath =
      inStep(pageFailed, [&] { return templatePathOrShipped(input.templatePath, input.language); });
  const std::string missing = inStep(pageFailed, [&] {
    return text(QT_TRANSLATE_NOOP("HtmlEdit", "テンプレートファイルが存在しません。")) +
           kLineBreak +
           (templatePath.empty()
                ? "templates/" + std::string(shippedTemplateFileName(input.language))
                : templatePath);
  });
  if (templatePath.empty() || !inStep(pageFailed, [&] { return templateExists(templatePath); })) {
    messages.showMessage(missing);
    return false;
  }
  const std::string pagePath = joinPath(input.outputDir, pageFileNameOrDefault(input.pageFileName));
  const PageMessages m = pageMessages(templatePath, pagePath);
  const std::optional<std::string> albumTemplate = readTemplate(templatePath, m, missing, messages);
  if (!albumTemplate) return false;
  writePage(*albumTemplate, input, pagePath, m, options);
  return true;
}

bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages) {
  return HtmlEdit(input, messages, AnalizeOptions{});
}

}  // namespace snapfolio
