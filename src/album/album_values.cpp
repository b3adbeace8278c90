#include "album/album_values.h"

// Standard library
#include <exception>

// Project
#include "album/template_text.h"
#include "core/file_names.h"
#include "core/text_encoding.h"
#include "timestamp/date_time.h"

namespace snapfolio {

namespace {

// A part of a file name as program text (UTF-8).
std::string nameText(std::string_view bytes) {
  return isValidUtf8(bytes) ? std::string(bytes) : cp932ToUtf8(bytes);
}

}  // namespace

AlbumValues::AlbumValues(std::string_view albumTemplate) : utf8_(isValidUtf8(albumTemplate)) {}

std::string AlbumValues::encode(std::string_view utf8Text) const {
  return utf8_ ? std::string(utf8Text) : utf8ToCp932WithReferences(utf8Text);
}

std::string AlbumValues::title(std::string_view title) const {
  return encode(title);
}

std::string AlbumValues::outputName(std::string_view photoPath, std::string_view prefix,
                                    std::string_view suffix) const {
  FileNameParts parts = splitFileName(photoPath);
  std::string name = nameText(prefix);
  name += nameText(parts.base);
  name += nameText(suffix);
  name += nameText(parts.extension);
  return encode(escapeHtml(name));
}

std::string AlbumValues::fileName(std::string_view photoPath) const {
  FileNameParts parts = splitFileName(photoPath);
  return encode(escapeHtml(nameText(parts.base) + nameText(parts.extension)));
}

std::string AlbumValues::fileDate(const std::string& photoPath,
                                  const FileTimeSource& fileTime) const {
  DateTime time;
  try {
    if (!fileTime) throw Failure("no source of file times");
    time = fileTime(photoPath);
  } catch (const std::exception& e) {
    throw PhotoDateError(photoPath, e.what());
  }
  return encode(generalDateTime(time));
}

}  // namespace snapfolio
