// The album page: HtmlEdit reads the template and writes the page into the output directory.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/error_text.h"
#include "core/ports.h"

namespace snapfolio {

// What the expansion reads.
struct AlbumPageInput {
  std::string title;                   // ALBUMTITLE, inserted as typed
  std::vector<std::string> photos;     // full paths, in the photo dialog's order
  std::string prefix1, suffix1;        // PriFileName1, AftFileName1
  std::string prefix2, suffix2;        // PriFileName2, AftFileName2
  std::string width1Text;              // Width1
  std::function<void()> progressStep;  // advances the overall gauge by one
};

struct HtmlEditInput {
  std::string templatePath;  // HtmlTemplateFile
  std::string pageFileName;  // HtmlFile
  std::string outputDir;     // the output directory
  AlbumPageInput page;
};

// Writes the page and returns true, or reports a missing template with a plain message and
// returns false (no page written). Failures of its own (a malformed template, a page that cannot be
// written) set their message in `errorText` and throw, for the run's failure handler.
//
// The template is read whole; the page (output directory + "/" + page file name) is written
// through a temporary file and replaces an earlier page only when it is complete. Messages set
// in `errorText` ("\r\n" separates the lines):
//   "000F : HTMLページの作成に失敗した。"  the step as a whole (set first)
//   "0010 : " + template + "のテンプレートファイルが読み込めない。" + reason
//   "0011 : " + template + "のテンプレートの書式が正しくない。" + line, column and problem
//   "0012 : " + page + "のHTMLページが書き込めない。" + reason
//   "0013 : " + photo + "のファイル日付が取得できない。"
bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages, ErrorText& errorText);

// The same with the expansion's options given (tests give a fake clock for the file dates).
struct AnalizeOptions;
bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages, ErrorText& errorText,
              const AnalizeOptions& options);

}  // namespace snapfolio
