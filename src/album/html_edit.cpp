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

}  // namespace

bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages, ErrorText& errorText,
              const AnalizeOptions& options) {
  errorText.set(text(kPageFailed));
  std::string templatePath = templatePathOrShipped(input.templatePath, input.language);
  const std::string missing =
      text(QT_TRANSLATE_NOOP("HtmlEdit", "テンプレートファイルが存在しません。")) + kLineBreak +
      (templatePath.empty() ? "templates/" + std::string(shippedTemplateFileName(input.language))
                            : templatePath);
  if (templatePath.empty() || !templateExists(templatePath)) {
    messages.showMessage(missing);
    return false;
  }

  const std::string readFailed = fillIn(
      QCoreApplication::translate("HtmlEdit", "0010 : %1のテンプレートファイルが読み込めない。"),
      {templatePath});
  errorText.set(readFailed);
  std::string albumTemplate;
  switch (readFileLimited(templatePath, kLimits.templateBytes, albumTemplate)) {
    case ReadResult::Ok:
      break;
    case ReadResult::Missing:  // removed since the test above
      messages.showMessage(missing);
      return false;
    case ReadResult::Unreadable:
      errorText.set(readFailed + kLineBreak + templateReadReason(templatePath));
      throw Failure(errorText.text());
  }

  const std::string pagePath = joinPath(input.outputDir, pageFileNameOrDefault(input.pageFileName));
  const std::string writeFailed = fillIn(
      QCoreApplication::translate("HtmlEdit", "0012 : %1のHTMLページが書き込めない。"), {pagePath});
  AnalizeOptions pageOptions = options;
  if (!pageOptions.outputImageSize) {
    pageOptions.outputImageSize = [dir = input.outputDir](const std::string& name) {
      return outputImageSizeIn(dir, name);
    };
  }
  try {
    errorText.set(text(kPageFailed));
    AlbumPageInput pageInput = input.page;
    orderPhotos(pageInput.photos, input.order, pageOptions.fileTime);
    errorText.set(writeFailed);
    PageFile page(pagePath);
    errorText.set(text(kPageFailed));
    HtmlAnalize(albumTemplate, pageInput, page, pageOptions);
    errorText.set(writeFailed);
    page.commit();
    return true;
  } catch (const TemplateError& e) {
    errorText.set(fillIn(QCoreApplication::translate("HtmlEdit",
                                                     "0011 : %1のテンプレートの書式が正しくない。"),
                         {templatePath}) +
                  kLineBreak + e.what());
    throw;
  } catch (const PhotoDateError& e) {
    errorText.set(
        fillIn(QCoreApplication::translate("HtmlEdit", "0013 : %1のファイル日付が取得できない。"),
               {e.photo()}));
    throw;
  } catch (const FileWriteError& e) {
    errorText.set(writeFailed + kLineBreak + fileErrorReason(e.error()));
    throw;
  }
}

bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages, ErrorText& errorText) {
  return HtmlEdit(input, messages, errorText, AnalizeOptions{});
}

}  // namespace snapfolio
