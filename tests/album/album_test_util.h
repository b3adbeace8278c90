// Helpers of the album tests: expanding a template into a string with a fake clock.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "album/html_analize.h"

namespace snapfolio::test {

// The date every photo has in these tests, unless a test gives its own clock.
inline const char* const kFakeDate = "2024/05/06 7:08:10";

struct Expanded {
  std::string page;
  int progress = 0;
};

// Photos "/photos/<name>" for each name.
inline std::vector<AlbumPhoto> photosNamed(const std::vector<std::string>& names) {
  std::vector<AlbumPhoto> photos;
  for (const std::string& name : names) photos.push_back("/photos/" + name);
  return photos;
}

inline AlbumPageInput pageInput(std::vector<AlbumPhoto> photos) {
  AlbumPageInput input;
  input.title = "Trip";
  input.photos = std::move(photos);
  input.prefix1 = "s_";
  input.width1Text = "150";
  return input;
}

// Every photo was last changed at 2024-05-06 07:08:10.
inline AnalizeOptions fakeClock() {
  AnalizeOptions options;
  options.fileTime = [](const std::string&) { return DateTime{2024, 5, 6, 7, 8, 10}; };
  return options;
}

// Expands and counts the progress steps. Lets failures through.
inline Expanded expand(std::string_view albumTemplate, AlbumPageInput input,
                       const AnalizeOptions& options = fakeClock()) {
  Expanded result;
  input.progressStep = [&result] { ++result.progress; };
  StringPageSink sink;
  HtmlAnalize(albumTemplate, input, sink, options);
  result.page = sink.text();
  return result;
}

// The worked example of the template language: four photos, rows of three, names under the
// thumbnails, and a dollar sign that is no tag.
inline const char* const kWorkedExample =
    "<!--$LOOP-->\n"
    "<tr><!--$SETLOOP=3--><td><img src=$JPEG1></td><!--$/SETLOOP--></tr>\n"
    "<!--$LCUNT=-3-->\n"
    "<tr><!--$SETLOOP=3--><td>$FILENAME</td><!--$/SETLOOP--></tr>\n"
    "<!--$/LOOP-->\n"
    "cost $5";

}  // namespace snapfolio::test
