#include "timestamp/date_time.h"

// Standard library
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>
#include <utility>

// System
#include <sys/stat.h>

// Project
#include "core/failure.h"
#include "core/utf8.h"

namespace snapfolio {

namespace {

// Values of a Japanese system.
constexpr std::string_view kShortDate = "yyyy/mm/dd";
constexpr std::string_view kLongTime = "h:nn:ss";
constexpr std::string_view kLongDate = "yyyy\"年\"m\"月\"d\"日\"";
constexpr std::string_view kDateSeparator = "/";
constexpr std::string_view kTimeSeparator = ":";
constexpr std::string_view kAm = "午前";
constexpr std::string_view kPm = "午後";
constexpr std::array<std::string_view, 7> kShortDayNames = {"日", "月", "火", "水",
                                                            "木", "金", "土"};
constexpr std::array<std::string_view, 7> kLongDayNames = {"日曜日", "月曜日", "火曜日", "水曜日",
                                                           "木曜日", "金曜日", "土曜日"};

struct EraStart {
  std::string_view name;
  int year, month, day;
};
// Newest first. The year within an era counts from the Gregorian year of its start.
constexpr std::array<EraStart, 5> kEras = {{{"令和", 2019, 5, 1},
                                            {"平成", 1989, 1, 8},
                                            {"昭和", 1926, 12, 25},
                                            {"大正", 1912, 7, 30},
                                            {"明治", 1868, 9, 8}}};

enum class Kind {
  Literal,  // copied as is
  Year,
  Month,
  MonthName,
  Minute,
  Day,
  DayName,
  ShortDate,
  LongDate,
  Hour,
  Second,
  AmPm,        // "AM/PM" as written
  AP,          // "A/P" as written
  AmPmLocale,  // "AMPM"
  Era,
  EraYear,
  DateSeparator,
  TimeSeparator,
};

struct Token {
  Kind kind;
  int count;              // length of the letter run (number forms)
  std::string_view text;  // the literal, or the AM/PM or A/P spelling as written
};

char upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (upper(text[at + k]) != upper(word[k])) return false;
  }
  return true;
}

// Length of a full-width double quotation mark (“ ” ＂) at `at`, or 0.
std::size_t wideQuoteAt(std::string_view text, std::size_t at) {
  if (text.size() - at < 3) return 0;
  std::string_view three = text.substr(at, 3);
  if (three == "\u201C" || three == "\u201D" || three == "\uFF02") return 3;
  return 0;
}

// Bytes of the character at `at` (a malformed byte is one character).
std::size_t utf8Length(std::string_view text, std::size_t at) {
  return decodeUtf8(text.substr(at)).length;
}

// The kind of a run of `count` letters `letter` (upper case), or nothing when the letter starts
// no run. `previousLetter` is the letter read before the run ("hh:mm": an m right after an hour
// is a minute). One flat switch over the run letters, so that the format language reads in one
// place.
std::optional<Kind> runKind(char letter, std::size_t count, char previousLetter) {
  switch (letter) {
    case 'Y':
      return Kind::Year;
    case 'M':
      if (count > 2) return Kind::MonthName;
      return previousLetter == 'H' ? Kind::Minute : Kind::Month;
    case 'D':
      return count <= 2   ? Kind::Day
             : count <= 4 ? Kind::DayName
             : count == 5 ? Kind::ShortDate
                          : Kind::LongDate;
    case 'H':
      return Kind::Hour;
    case 'N':
      return Kind::Minute;
    case 'S':
      return Kind::Second;
    case 'G':
      return Kind::Era;
    case 'E':
      return Kind::EraYear;
    default:
      return std::nullopt;
  }
}

// The token that starts with the letter or separator at `i` (upper-cased `letter`), and how many
// bytes it takes; anything else is a one-byte literal.
std::pair<Token, std::size_t> letterToken(std::string_view format, std::size_t i, char letter,
                                          char previousLetter) {
  std::size_t end = i;
  while (end < format.size() && upper(format[end]) == letter) ++end;
  const std::size_t count = end - i;
  if (const std::optional<Kind> kind = runKind(letter, count, previousLetter)) {
    return {Token{*kind, static_cast<int>(count), {}}, count};
  }
  if (letter == 'A') {
    if (startsWithNoCase(format, i, "AM/PM")) return {Token{Kind::AmPm, 0, format.substr(i, 5)}, 5};
    if (startsWithNoCase(format, i, "A/P")) return {Token{Kind::AP, 0, format.substr(i, 3)}, 3};
    if (startsWithNoCase(format, i, "AMPM")) return {Token{Kind::AmPmLocale, 0, {}}, 4};
  }
  if (letter == '/') return {Token{Kind::DateSeparator, 1, {}}, 1};
  if (letter == ':') return {Token{Kind::TimeSeparator, 1, {}}, 1};
  return {Token{Kind::Literal, 1, format.substr(i, 1)}, 1};
}

// Splits the format into tokens in one pass and hands each to `emit`.
template <typename Emit>
void scanFormat(std::string_view format, Emit&& emit) {
  const std::size_t n = format.size();
  std::size_t i = 0;
  char lastLetter = 0;  // the last letter read outside quotes, upper case
  while (i < n) {
    const char c = format[i];
    if (c == '"' || c == '\'') {
      const std::size_t close = format.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? n : close;
      emit(Token{Kind::Literal, 0, format.substr(i + 1, end - i - 1)});
      i = close == std::string_view::npos ? n : close + 1;
      continue;
    }
    if (const std::size_t open = wideQuoteAt(format, i); open != 0) {
      // Closed by the next double quotation mark, ASCII or full-width.
      std::size_t j = i + open;
      std::size_t closeLength = 0;
      while (j < n) {
        if (format[j] == '"') {
          closeLength = 1;
          break;
        }
        if ((closeLength = wideQuoteAt(format, j)) != 0) break;
        j += utf8Length(format, j);
      }
      emit(Token{Kind::Literal, 0, format.substr(i + open, j - i - open)});
      i = j < n ? j + closeLength : n;
      continue;
    }
    if (static_cast<unsigned char>(c) >= 0x80) {
      const std::size_t length = utf8Length(format, i);
      emit(Token{Kind::Literal, 0, format.substr(i, length)});
      i += length;
      continue;
    }
    const char letter = upper(c);
    const char previousLetter = lastLetter;
    if (isLetter(c)) lastLetter = letter;
    const auto [token, count] = letterToken(format, i, letter, previousLetter);
    emit(token);
    i += count;
  }
}

void appendNumber(std::string& out, long long value, int digits) {
  if (value < 0) {
    out += '-';
    value = -value;
  }
  const std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits) out.append(digits - text.size(), '0');
  out += text;
}

// Days since 1970-01-01 of a proleptic Gregorian date (any month and day are accepted).
long long daysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int weekday(const DateTime& t) {  // 0 = Sunday
  const long long days = daysFromCivil(t.year, t.month, t.day);
  return static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
}

void appendMonthName(std::string& out, int month) {
  out += std::to_string(month);
  out += "月";
}

std::string firstCharacter(std::string_view text) {
  if (text.empty()) return {};
  return std::string(text.substr(0, utf8Length(text, 0)));
}

// The hour on a twelve-hour clock: 0 and 12 are 12.
int clockHour(int hour) {
  if (hour == 0) return 12;
  return hour > 12 ? hour - 12 : hour;
}

void render(std::string& out, std::string_view format, const DateTime& t);

// One flat switch over the token kinds: each case is a line or two, and the kinds read best side
// by side, so it stays one function.
void appendToken(std::string& out, const Token& token, const DateTime& t, bool twelveHour) {
  const bool pm = t.hour >= 12;
  switch (token.kind) {
    case Kind::Literal:
      out += token.text;
      break;
    case Kind::Year:
      if (token.count <= 2) {
        appendNumber(out, ((t.year % 100) + 100) % 100, 2);
      } else {
        appendNumber(out, t.year, 4);
      }
      break;
    case Kind::Month:
      appendNumber(out, t.month, token.count >= 2 ? 2 : 1);
      break;
    case Kind::MonthName:
      appendMonthName(out, t.month);
      break;
    case Kind::Minute:
      appendNumber(out, t.minute, token.count >= 2 ? 2 : 1);
      break;
    case Kind::Day:
      appendNumber(out, t.day, token.count >= 2 ? 2 : 1);
      break;
    case Kind::DayName:
      out += token.count == 3 ? kShortDayNames[weekday(t)] : kLongDayNames[weekday(t)];
      break;
    case Kind::ShortDate:
      render(out, kShortDate, t);
      break;
    case Kind::LongDate:
      render(out, kLongDate, t);
      break;
    case Kind::Hour:
      appendNumber(out, twelveHour ? clockHour(t.hour) : t.hour, token.count >= 2 ? 2 : 1);
      break;
    case Kind::Second:
      appendNumber(out, t.second, token.count >= 2 ? 2 : 1);
      break;
    case Kind::AmPm:
      out += pm ? token.text.substr(3, 2) : token.text.substr(0, 2);
      break;
    case Kind::AP:
      out += pm ? token.text.substr(2, 1) : token.text.substr(0, 1);
      break;
    case Kind::AmPmLocale:
      out += pm ? kPm : kAm;
      break;
    case Kind::Era: {
      const JapaneseEra era = japaneseEra(t);
      out += token.count == 1 ? firstCharacter(era.name) : era.name;
      break;
    }
    case Kind::EraYear:
      appendNumber(out, japaneseEra(t).year, token.count >= 2 ? 2 : 1);
      break;
    case Kind::DateSeparator:
      out += kDateSeparator;
      break;
    case Kind::TimeSeparator:
      out += kTimeSeparator;
      break;
  }
}

void render(std::string& out, std::string_view format, const DateTime& t) {
  bool twelveHour = false;
  scanFormat(format, [&](const Token& token) {
    twelveHour = twelveHour || token.kind == Kind::AmPm || token.kind == Kind::AP ||
                 token.kind == Kind::AmPmLocale;
  });
  scanFormat(format, [&](const Token& token) { appendToken(out, token, t, twelveHour); });
}

}  // namespace

JapaneseEra japaneseEra(const DateTime& t) {
  for (const EraStart& era : kEras) {
    const bool started = t.year != era.year
                             ? t.year > era.year
                             : (t.month != era.month ? t.month > era.month : t.day >= era.day);
    if (started) return {std::string(era.name), t.year - era.year + 1};
  }
  return {std::string(), t.year};
}

std::string FormatDateTime(const std::string& format, const DateTime& dateTime) {
  if (format.empty()) return generalDateTime(dateTime);
  std::string out;
  out.reserve(format.size() + 16);
  render(out, format, dateTime);
  return out;
}

std::string generalDateTime(const DateTime& dateTime) {
  std::string out;
  render(out, kShortDate, dateTime);
  if (dateTime.hour != 0 || dateTime.minute != 0 || dateTime.second != 0) {
    out += ' ';
    render(out, kLongTime, dateTime);
  }
  return out;
}

DateTime fileDateTime(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    throw Failure("cannot read the time of " + path + ": " + std::strerror(errno));
  }
  std::tm local{};
  const std::time_t seconds = status.st_mtim.tv_sec;
  if (::localtime_r(&seconds, &local) == nullptr) {
    throw Failure("the time of " + path + " is out of range");
  }
  // Stored file dates have a resolution of two seconds: 15:07:09 reads as 15:07:08.
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec & ~1};
}

}  // namespace snapfolio
