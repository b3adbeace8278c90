// Calendar date and time of day as the format language and the album see them.
//
// Plain functions and values; any thread may call them.
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
//
// Specifiers (letters in either case; a run of the same letter is one specifier):
//   y yy / yyy yyyy    year, last two digits / four digits
//   m mm               month without / with leading zero; minute when it follows an h or hh
//   mmm mmmm           month name ("5月")
//   d dd               day without / with leading zero
//   ddd dddd           weekday name ("木" / "木曜日")
//   ddddd dddddd       short date ("2002/05/30") / long date ("2002年5月30日")
//   h hh               hour without / with leading zero; 12-hour clock when the format holds
//                      AM/PM, A/P or AMPM outside quoted text, else 24-hour
//   n nn, s ss         minute, second without / with leading zero
//   AM/PM A/P          "AM"/"PM", "A"/"P" in the letter case written ("am/pm" gives "pm")
//   AMPM               "午前" / "午後"
//   g gg               era name, its first character / in full ("平" / "平成"); empty before
//                      明治 (1868-09-08)
//   e ee               year within the era without / with leading zero (the Gregorian year
//                      before 明治)
//   "..." '...'        copied without the quotes; an unclosed quote copies the rest. A
//                      full-width double quotation mark (“ ” ＂) opens a quote too, closed by
//                      the next double quotation mark of either width
//   / :                the date and time separators
// Every other character is copied. The empty format gives generalDateTime. Linear time.
std::string FormatDateTime(const std::string& format, const DateTime& dateTime);

// The locale's short date, a blank and the long time; only the short date at 00:00:00.
std::string generalDateTime(const DateTime& dateTime);

// The Japanese era of a date: its name ("令和") and the year within it; before 明治 an empty
// name and the Gregorian year.
struct JapaneseEra {
  std::string name;
  int year = 0;
};
JapaneseEra japaneseEra(const DateTime& dateTime);

}  // namespace snapfolio
