#include "album/album_values.h"

// Standard library
#include <exception>

// Project
#include "album/template_text.h"
#include "core/file_names.h"
#include "core/text_encoding.h"
#include "formats/image_encoder.h"
#include "timestamp/date_time.h"

namespace snapfolio {

namespace {

// A part of a file name as program text (UTF-8): as it is when it is UTF-8, else read as code
// page 932 (a name from a Windows medium), else byte for byte as Latin-1 (a name from an older
// Western system), so that no byte of it shows as a replacement character.
std::string nameText(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  std::string text = cp932ToUtf8(bytes);
  if (text.find("\uFFFD") == std::string::npos) return text;
  text.clear();
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | byte >> 6);
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

}  // namespace

AlbumValues::AlbumValues(std::string_view albumTemplate) : utf8_(isValidUtf8(albumTemplate)) {}

std::string AlbumValues::encode(std::string_view utf8Text) const {
  return utf8_ ? std::string(utf8Text) : utf8ToCp932WithReferences(utf8Text);
}

std::string AlbumValues::text(std::string_view utf8Text) const {
  return encode(escapeHtml(utf8Text));
}

std::string AlbumValues::title(std::string_view title) const {
  return encode(title);
}

std::string AlbumValues::outputUrl(std::string_view photoPath, std::string_view prefix,
                                   std::string_view suffix, OutputFormat format) const {
  // The bytes of the name as the run stores the file, not its display text: a name in another
  // encoding is percent-encoded byte by byte and so still leads to the file.
  return encode(
      escapeHtml(escapeUrlPath(outputImageName(photoPath, prefix, suffix, outputEncoder(format)))));
}

std::string AlbumValues::fileName(std::string_view photoPath) const {
  FileNameParts parts = splitFileName(photoPath);
  return encode(escapeHtml(nameText(parts.base) + nameText(parts.extension)));
}

std::string AlbumValues::fileDate(const DateTime& date) const {
  return encode(generalDateTime(date));
}

DateTime photoDate(const AlbumPhoto& photo, const FileTimeSource& fileTime) {
  if (photo.date) return *photo.date;
  try {
    if (!fileTime) throw Failure("no source of file times");
    return fileTime(photo.path);
  } catch (const std::exception& e) {
    throw PhotoDateError(photo.path, e.what());
  }
}

}  // namespace snapfolio
