// Fuzz target of the album template expansion: any bytes as a template, over a few fake photos.
//
// Input layout: byte 0 picks the number of photos (0 to 5), byte 1 the width text of output
// image 1; then the photo names, each ended by a byte 0x01; the rest is the template. A name
// that starts with "!" has no readable file date.
//
// The expansion must end (the loop guard), throw nothing but TemplateError and PhotoDateError,
// respect the page size limit, copy a template without "$" unchanged, and give valid UTF-8 for
// an ASCII template.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "album/html_analize.h"
#include "core/text_encoding.h"

namespace {

using namespace snapfolio;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.size() < 2) return 0;
  static const char* const kWidths[] = {"150", "", "-3", "99999999999", " 20px", "x"};
  const int photoCount = static_cast<unsigned char>(input[0]) % 6;
  AlbumPageInput page;
  page.width1Text = kWidths[static_cast<unsigned char>(input[1]) % 6];
  page.title = "Album <b>夏</b> 🍣";
  page.prefix1 = "t_";
  page.suffix2 = "_l";
  input.remove_prefix(2);
  for (int i = 0; i < photoCount; ++i) {
    std::size_t end = input.find('\x01');
    if (end == std::string_view::npos) end = input.size();
    page.photos.push_back("/photos/" + std::string(input.substr(0, end)));
    input.remove_prefix(std::min(end + 1, input.size()));
  }
  int progress = 0;
  page.progressStep = [&progress] { ++progress; };

  AnalizeOptions options;
  options.maxPageBytes = 1 << 22;
  options.fileTime = [](const std::string& path) {
    if (path.starts_with("/photos/!")) throw Failure("no date");
    const int n = static_cast<int>(path.size());
    return DateTime{1990 + n % 40, 1 + n % 12, 1 + n % 28, n % 24, n % 60, (n * 2) % 60};
  };

  const std::string_view albumTemplate = input.substr(0, input.find('\0'));
  StringPageSink sink;
  bool expanded = false;
  try {
    HtmlAnalize(input, page, sink, options);
    expanded = true;
  } catch (const TemplateError& e) {
    check(e.line() >= 1 && e.column() >= 1 && e.offset() < albumTemplate.size());
  } catch (const PhotoDateError&) {
  }
  check(sink.text().size() <= options.maxPageBytes);
  if (albumTemplate.find('$') == std::string_view::npos) {
    check(expanded && sink.text() == albumTemplate && progress == 0);
  }
  bool ascii = true;
  for (char c : albumTemplate) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (expanded && ascii) check(isValidUtf8(sink.text()));
  return 0;
}
