// AlbumValues: the texts that the value tags of one template write, in the template's encoding.
//
// A template that is valid UTF-8 gets UTF-8 values; any other template is taken as code page
// 932 and gets its values in code page 932, with an HTML numeric character reference for a
// character that code page 932 cannot hold. Names taken from files are HTML-escaped, so a photo
// whose name holds markup cannot change the page; the title is inserted as typed. A file name
// that is not valid UTF-8 is read as code page 932 (a name from a Windows medium), or as Latin-1
// when it is not that either.
//
// Holds no reference to the template; one object serves one expansion on one thread.
#pragma once

#include <string>
#include <string_view>

#include "options/photo_options.h"

#include "album/html_analize.h"

namespace snapfolio {

class AlbumValues {
 public:
  explicit AlbumValues(std::string_view albumTemplate);

  bool utf8() const { return utf8_; }

  // "$TITLE": the title as typed.
  std::string title(std::string_view title) const;
  // "$JPEG1"/"$JPEG2": prefix + base name + suffix + extension of the photo as a relative URL
  // (escapeUrlPath), then HTML-escaped.
  std::string outputUrl(std::string_view photoPath, std::string_view prefix,
                        std::string_view suffix, OutputFormat format = OutputFormat::Jpeg) const;
  // "$FILENAME": base name + extension, escaped.
  std::string fileName(std::string_view photoPath) const;
  // "$FILEDATE": the photo's date as the short date, a blank and the long time (the date alone
  // at 00:00:00).
  std::string fileDate(const DateTime& date) const;
  // A text of the album tags (a name, a URL, a camera field): escaped.
  std::string text(std::string_view utf8Text) const;
  // Numbers ("$COUNT", "$IMG1W", ...) in decimal.
  std::string number(long long value) const { return std::to_string(value); }

 private:
  std::string encode(std::string_view utf8Text) const;

  bool utf8_;
};

// The date of a photo as the page shows it: the date the run used when it converted the photo,
// else the time that `fileTime` reads from the photo. Throws PhotoDateError when neither is
// there.
DateTime photoDate(const AlbumPhoto& photo, const FileTimeSource& fileTime);

}  // namespace snapfolio
