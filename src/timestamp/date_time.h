// Calendar date and time of day as the format language and the album see them.
#pragma once

#include <string>

namespace snapfolio {

struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The file's last-modification time in local time, truncated to an even second (the two-second
// resolution of the stored file dates). Throws Failure when the file does not exist or its time
// cannot be read.
DateTime fileDateTime(const std::string& path);

// The date-time format language of the stamps ("yyyy/mm/dd hh:nn", "gge\"年\"", ...), with the
// values of a Japanese system: date separator "/", time separator ":", short date
// "yyyy/mm/dd", long time "h:nn:ss", Japanese era names.
std::string FormatDateTime(const std::string& format, const DateTime& dateTime);

// The locale's short date, a blank and the long time; only the short date at 00:00:00.
std::string generalDateTime(const DateTime& dateTime);

}  // namespace snapfolio
