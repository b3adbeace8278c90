// AlbumValues: the texts that the value tags of one template write, in the template's encoding.
//
// A template that is valid UTF-8 gets UTF-8 values; any other template is taken as code page
// 932 and gets its values in code page 932, with an HTML numeric character reference for a
// character that code page 932 cannot hold. Names taken from files are HTML-escaped, so a photo
// whose name holds markup cannot change the page; the title is inserted as typed. A file name
// that is not valid UTF-8 (a name from a Windows medium) is read as code page 932.
//
// Holds no reference to the template; one object serves one expansion on one thread.
#pragma once

#include <string>
#include <string_view>

#include "album/html_analize.h"

namespace snapfolio {

class AlbumValues {
 public:
  explicit AlbumValues(std::string_view albumTemplate);

  bool utf8() const { return utf8_; }

  // "$TITLE": the title as typed.
  std::string title(std::string_view title) const;
  // "$JPEG1"/"$JPEG2": prefix + base name + suffix + extension of the photo, escaped.
  std::string outputName(std::string_view photoPath, std::string_view prefix,
                         std::string_view suffix) const;
  // "$FILENAME": base name + extension, escaped.
  std::string fileName(std::string_view photoPath) const;
  // "$FILEDATE": the photo's file time as the short date, a blank and the long time (the date
  // alone at 00:00:00). Throws PhotoDateError when the time cannot be read.
  std::string fileDate(const std::string& photoPath, const FileTimeSource& fileTime) const;

 private:
  std::string encode(std::string_view utf8Text) const;

  bool utf8_;
};

}  // namespace snapfolio
