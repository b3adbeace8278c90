#include "album/html_edit.h"

// Standard library
#include <cerrno>
#include <filesystem>
#include <system_error>

// System
#include <unistd.h>

// Project
#include "album/html_analize.h"
#include "core/atomic_file.h"
#include "core/failure.h"
#include "core/file_io.h"
#include "core/file_names.h"
#include "core/limits.h"

namespace snapfolio {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLineBreak = "\r\n";

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
  if (!ec && !fs::is_regular_file(status)) return "通常のファイルではない。";
  std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > kLimits.templateBytes) {
    return "ファイルが大きすぎる(" + std::to_string(kLimits.templateBytes >> 20) + " MiBまで)。";
  }
  if (::access(path.c_str(), R_OK) != 0) {
    const int error = errno;
    return "読み取りの権限がない。(" + std::error_code(error, std::generic_category()).message() +
           ")";
  }
  return "読み込み中にエラーが起きた。";
}

}  // namespace

bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages, ErrorText& errorText,
              const AnalizeOptions& options) {
  errorText.set("000F : HTMLページの作成に失敗した。");
  const std::string& templatePath = input.templatePath;
  const std::string missing =
      std::string("テンプレートファイルが存在しません。") + kLineBreak + templatePath;
  if (!templateExists(templatePath)) {
    messages.showMessage(missing);
    return false;
  }

  const std::string readFailed =
      "0010 : " + templatePath + "のテンプレートファイルが読み込めない。";
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

  const std::string pagePath = joinPath(input.outputDir, input.pageFileName);
  const std::string writeFailed = "0012 : " + pagePath + "のHTMLページが書き込めない。";
  errorText.set(writeFailed);
  if (input.pageFileName.empty()) {
    errorText.set(writeFailed + kLineBreak + "HTMLファイル名が指定されていない。");
    throw Failure(errorText.text());
  }
  try {
    PageFile page(pagePath);
    errorText.set("000F : HTMLページの作成に失敗した。");
    HtmlAnalize(albumTemplate, input.page, page, options);
    errorText.set(writeFailed);
    page.commit();
    return true;
  } catch (const TemplateError& e) {
    errorText.set("0011 : " + templatePath + "のテンプレートの書式が正しくない。" + kLineBreak +
                  e.what());
    throw;
  } catch (const PhotoDateError& e) {
    errorText.set("0013 : " + e.photo() + "のファイル日付が取得できない。");
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
