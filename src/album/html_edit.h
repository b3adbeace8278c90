// The album page: HtmlEdit reads the template and writes the page into the output directory.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "album/photo_order.h"
#include "core/ports.h"
#include "timestamp/date_time.h"

namespace snapfolio {

// The size of an image in pixels.
struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// One photo of the page with what the run learnt about it while converting it. What the run did
// not learn is looked up by the page step: the date from the photo (AnalizeOptions::fileTime),
// the size of an output image from its file in the output directory.
struct AlbumPhoto {
  AlbumPhoto(std::string photoPath) : path(std::move(photoPath)) {}  // NOLINT: a bare path
  AlbumPhoto(const char* photoPath) : path(photoPath) {}             // NOLINT

  std::string path;                   // full path
  std::optional<DateTime> date;       // the photo's date as the run used it
  std::optional<PixelSize> image[2];  // output image 1 and 2 as the run saved them
};

// What the expansion reads.
struct AlbumPageInput {
  std::string title;                   // ALBUMTITLE, inserted as typed
  std::vector<AlbumPhoto> photos;      // in the order of the page
  std::string prefix1, suffix1;        // PriFileName1, AftFileName1
  std::string prefix2, suffix2;        // PriFileName2, AftFileName2
  std::string width1Text;              // Width1
  std::function<void()> progressStep;  // advances the overall gauge by one
};

struct HtmlEditInput {
  std::string templatePath;     // HtmlTemplateFile; empty: the shipped template of `language`
  std::string pageFileName;     // HtmlFile; empty: "index.html"
  std::string outputDir;        // the output directory
  std::string language = "ja";  // the interface language ("ja" or "en"): the shipped template
  PhotoOrder order = PhotoOrder::AsChosen;  // the photos' order in the page
  AlbumPageInput page;
};

// Puts page.photos in the order asked for, then writes the page and returns true, or reports a
// missing template with a plain message and returns false (no page written). Failures of its
// own (a malformed template, a page that cannot be written) leave as a StepFailure with their
// message, for the run's failure handler.
//
// The template is read whole; the page (output directory + "/" + page file name) is written
// through a temporary file and replaces an earlier page only when it is complete. The messages
// of its failures ("\r\n" separates the lines):
//   "000F : HTMLページの作成に失敗した。"  the steps of the page as a whole
//   "0010 : " + template + "のテンプレートファイルが読み込めない。" + reason
//   "0011 : " + template + "のテンプレートの書式が正しくない。" + line, column and problem
//   "0012 : " + page + "のHTMLページが書き込めない。" + reason
//   "0013 : " + photo + "のファイル日付が取得できない。"
bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages);

// The same with the expansion's options given (tests give a fake clock for the file dates).
struct AnalizeOptions;
bool HtmlEdit(const HtmlEditInput& input, MessagePort& messages, const AnalizeOptions& options);

}  // namespace snapfolio
