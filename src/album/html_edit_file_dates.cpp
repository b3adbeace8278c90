// HtmlEdit as the conversion run calls it: the photos' dates come from their files.
#include "album/html_analize.h"
#include "album/html_edit.h"
#include "timestamp/date_time.h"

namespace snapfolio {

std::string albumFileDate(const std::string& photoPath) {
  return generalDateTime(fileDateTime(photoPath));
}

void HtmlEdit(const HtmlEditInput& input, MessagePort& messages, ErrorText& errorText) {
  AnalizeOptions options;
  options.fileDate = albumFileDate;
  HtmlEdit(input, messages, errorText, options);
}

}  // namespace snapfolio
