// The date-time format language of the stamps, with the values of a Japanese system.
#include "timestamp/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace snapfolio {
namespace {

// 15:07:09 on Thursday 30 May 2002.
constexpr DateTime kAfternoon{2002, 5, 30, 15, 7, 9};
// 09:04:05 on Saturday 2 February 2019.
constexpr DateTime kMorning{2019, 2, 2, 9, 4, 5};

struct FormatCase {
  const char* format;
  DateTime time;
  const char* expected;
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c) {
  return out << '"' << c.format << "\" at " << c.time.year << '-' << c.time.month << '-'
             << c.time.day << ' ' << c.time.hour << ':' << c.time.minute << ':' << c.time.second;
}

class FormatDateTimeTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatDateTimeTest, Formats) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatDateTime(c.format, c.time), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Specifiers, FormatDateTimeTest,
    testing::Values(
        FormatCase{"yyyy", kAfternoon, "2002"}, FormatCase{"yyy", kAfternoon, "2002"},
        FormatCase{"yy", kAfternoon, "02"}, FormatCase{"y", kAfternoon, "02"},
        FormatCase{"yyyy", {5, 1, 1, 0, 0, 0}, "0005"}, FormatCase{"mm", kAfternoon, "05"},
        FormatCase{"m", kAfternoon, "5"}, FormatCase{"mm", {2002, 11, 1, 0, 0, 0}, "11"},
        FormatCase{"dd", {2002, 5, 3, 0, 0, 0}, "03"}, FormatCase{"d", {2002, 5, 3, 0, 0, 0}, "3"},
        FormatCase{"hh", kMorning, "09"}, FormatCase{"h", kMorning, "9"},
        FormatCase{"hh", kAfternoon, "15"}, FormatCase{"hhh", kMorning, "09"},
        FormatCase{"nn", kMorning, "04"}, FormatCase{"n", kMorning, "4"},
        FormatCase{"ss", kMorning, "05"}, FormatCase{"s", kMorning, "5"},
        FormatCase{"gg", kAfternoon, "平成"}, FormatCase{"g", kAfternoon, "平"},
        FormatCase{"e", kAfternoon, "14"}, FormatCase{"e", {2019, 5, 1, 0, 0, 0}, "1"},
        FormatCase{"ee", {2019, 5, 1, 0, 0, 0}, "01"}, FormatCase{"/", kAfternoon, "/"},
        FormatCase{":", kAfternoon, ":"}, FormatCase{"x-#_ .", kAfternoon, "x-#_ ."},
        FormatCase{"年月日", kAfternoon, "年月日"},
        // Upper case works like lower case; runs of mixed case are one specifier.
        FormatCase{"YYYY/MM/DD HH:NN:SS", kAfternoon, "2002/05/30 15:07:09"},
        FormatCase{"YyYy", kAfternoon, "2002"}, FormatCase{"GGE", kAfternoon, "平成14"},
        // Names.
        FormatCase{"ddd", kAfternoon, "木"}, FormatCase{"dddd", kAfternoon, "木曜日"},
        FormatCase{"dddd", kMorning, "土曜日"}, FormatCase{"mmm", kAfternoon, "5月"},
        FormatCase{"mmmm", {2002, 12, 1, 0, 0, 0}, "12月"},
        FormatCase{"ddddd", kAfternoon, "2002/05/30"},
        FormatCase{"dddddd", kAfternoon, "2002年5月30日"},
        // An m right after an hour is a minute, as "hh:mm" is commonly written.
        FormatCase{"hh:mm", kAfternoon, "15:07"}, FormatCase{"h\"時\"m", kAfternoon, "15時7"},
        FormatCase{"mm hh", kAfternoon, "05 15"}, FormatCase{"hh x mm", kAfternoon, "15 x 05"}));

INSTANTIATE_TEST_SUITE_P(WorkedExamples, FormatDateTimeTest,
                         testing::Values(FormatCase{"hh:nn AM/PM", kAfternoon, "03:07 PM"},
                                         FormatCase{"hh:nn:ss", kAfternoon, "15:07:09"},
                                         FormatCase{"yy/m/d", kAfternoon, "02/5/30"}));

// The 14 offered formats of the dialog's list, in the afternoon and in the morning.
INSTANTIATE_TEST_SUITE_P(
    OfferedFormats, FormatDateTimeTest,
    testing::Values(
        FormatCase{"hh:nn AM/PM", kAfternoon, "03:07 PM"},
        FormatCase{"hh:nn AM/PM", kMorning, "09:04 AM"},
        FormatCase{"h:nn AM/PM", kAfternoon, "3:07 PM"},
        FormatCase{"h:nn AM/PM", kMorning, "9:04 AM"},
        FormatCase{"hh:nn A/P", kAfternoon, "03:07 P"},
        FormatCase{"hh:nn A/P", kMorning, "09:04 A"},
        FormatCase{"hh:nn:ss", kAfternoon, "15:07:09"},
        FormatCase{"hh:nn:ss", kMorning, "09:04:05"}, FormatCase{"hh:nn", kAfternoon, "15:07"},
        FormatCase{"hh:nn", kMorning, "09:04"}, FormatCase{"h:nn", kAfternoon, "15:07"},
        FormatCase{"h:nn", kMorning, "9:04"}, FormatCase{"mm/dd", kAfternoon, "05/30"},
        FormatCase{"mm/dd", kMorning, "02/02"},
        FormatCase{"mm/dd hh:nn", kAfternoon, "05/30 15:07"},
        FormatCase{"mm/dd hh:nn", kMorning, "02/02 09:04"},
        FormatCase{"mm/dd hh:nn A/P", kAfternoon, "05/30 03:07 P"},
        FormatCase{"mm/dd hh:nn A/P", kMorning, "02/02 09:04 A"},
        FormatCase{"yyyy/mm/dd", kAfternoon, "2002/05/30"},
        FormatCase{"yyyy/mm/dd", kMorning, "2019/02/02"},
        FormatCase{"yy/m/d", kAfternoon, "02/5/30"}, FormatCase{"yy/m/d", kMorning, "19/2/2"},
        // The full-width ” after the n opens a quote that the final " closes.
        FormatCase{"gge\"年\"mm\"月\"dd\"日\"h\"時\"n”分\"", kAfternoon, "平成14年05月30日15時7分"},
        FormatCase{"gge\"年\"mm\"月\"dd\"日\"h\"時\"n”分\"", kMorning, "平成31年02月02日9時4分"},
        // The unclosed quote copies the rest.
        FormatCase{"gge\"年\"mm\"月\"dd\"日", kAfternoon, "平成14年05月30日"},
        FormatCase{"gge\"年\"mm\"月\"dd\"日", kMorning, "平成31年02月02日"},
        FormatCase{"yyyy/mm/dd hh:nn", kAfternoon, "2002/05/30 15:07"},
        FormatCase{"yyyy/mm/dd hh:nn", kMorning, "2019/02/02 09:04"}));

INSTANTIATE_TEST_SUITE_P(
    Quoting, FormatDateTimeTest,
    testing::Values(FormatCase{"\"yyyy\"", kAfternoon, "yyyy"},
                    FormatCase{"'hh:nn'", kAfternoon, "hh:nn"},
                    FormatCase{"\"it's\" hh", kAfternoon, "it's 15"},
                    FormatCase{"'say \"hi\"'", kAfternoon, "say \"hi\""},
                    FormatCase{"yy\"abc", kAfternoon, "02abc"},
                    FormatCase{"yy'abc", kAfternoon, "02abc"}, FormatCase{"\"", kAfternoon, ""},
                    FormatCase{"\"\"", kAfternoon, ""}, FormatCase{"\"\"\"", kAfternoon, ""},
                    FormatCase{"''''", kAfternoon, ""}, FormatCase{"\"\"yy", kAfternoon, "02"},
                    // Inside quotes, AM/PM is text and does not switch to the 12-hour clock.
                    FormatCase{"hh \"AM/PM\"", kAfternoon, "15 AM/PM"},
                    // An ASCII quote ends only at an ASCII quote; a full-width one at either.
                    FormatCase{"\"”\"", kAfternoon, "”"}, FormatCase{"“hh”hh", kAfternoon, "hh15"},
                    FormatCase{"＂hh\"hh", kAfternoon, "hh15"},
                    FormatCase{"”hh", kAfternoon, "hh"}));

INSTANTIATE_TEST_SUITE_P(TwelveHourClock, FormatDateTimeTest,
                         testing::Values(FormatCase{"hh AM/PM", {2002, 5, 30, 0, 30, 0}, "12 AM"},
                                         FormatCase{"h A/P", {2002, 5, 30, 0, 30, 0}, "12 A"},
                                         FormatCase{"hh AM/PM", {2002, 5, 30, 11, 59, 0}, "11 AM"},
                                         FormatCase{"hh AM/PM", {2002, 5, 30, 12, 0, 0}, "12 PM"},
                                         FormatCase{"hh AM/PM", {2002, 5, 30, 12, 30, 0}, "12 PM"},
                                         FormatCase{"hh AM/PM", {2002, 5, 30, 13, 0, 0}, "01 PM"},
                                         FormatCase{"hh AM/PM", {2002, 5, 30, 23, 59, 0}, "11 PM"},
                                         // AM/PM anywhere in the format, also before the hour.
                                         FormatCase{"AM/PM h:nn", kAfternoon, "PM 3:07"},
                                         FormatCase{"h:nn hh:nn A/P", kAfternoon, "3:07 03:07 P"},
                                         // The letters as written.
                                         FormatCase{"h am/pm", kAfternoon, "3 pm"},
                                         FormatCase{"h Am/pM", kMorning, "9 Am"},
                                         FormatCase{"h a/p", kMorning, "9 a"},
                                         FormatCase{"h AMPM", kAfternoon, "3 午後"},
                                         FormatCase{"h AMPM", kMorning, "9 午前"},
                                         // An A that starts none of them is copied.
                                         FormatCase{"A h", kAfternoon, "A 15"}));

INSTANTIATE_TEST_SUITE_P(Eras, FormatDateTimeTest,
                         testing::Values(FormatCase{"gge", {1868, 9, 7, 0, 0, 0}, "1868"},
                                         FormatCase{"gge", {1868, 9, 8, 0, 0, 0}, "明治1"},
                                         FormatCase{"gge", {1912, 7, 29, 0, 0, 0}, "明治45"},
                                         FormatCase{"gge", {1912, 7, 30, 0, 0, 0}, "大正1"},
                                         FormatCase{"gge", {1926, 12, 24, 0, 0, 0}, "大正15"},
                                         FormatCase{"gge", {1926, 12, 25, 0, 0, 0}, "昭和1"},
                                         FormatCase{"gge", {1989, 1, 7, 0, 0, 0}, "昭和64"},
                                         FormatCase{"gge", {1989, 1, 8, 0, 0, 0}, "平成1"},
                                         FormatCase{"gge", {2019, 4, 30, 0, 0, 0}, "平成31"},
                                         FormatCase{"gge", {2019, 5, 1, 0, 0, 0}, "令和1"},
                                         FormatCase{"gg ee", {2025, 1, 1, 0, 0, 0}, "令和 07"}));

INSTANTIATE_TEST_SUITE_P(EmptyFormat, FormatDateTimeTest,
                         testing::Values(FormatCase{"", kAfternoon, "2002/05/30 15:07:09"},
                                         FormatCase{"", kMorning, "2019/02/02 9:04:05"},
                                         FormatCase{"", {2002, 5, 30, 0, 0, 0}, "2002/05/30"},
                                         FormatCase{
                                             "", {2002, 5, 30, 0, 0, 1}, "2002/05/30 0:00:01"}));

TEST(GeneralDateTimeTest, IsShortDateAndLongTime) {
  EXPECT_EQ(generalDateTime(kAfternoon), "2002/05/30 15:07:09");
  EXPECT_EQ(generalDateTime({2002, 5, 30, 0, 0, 0}), "2002/05/30");
}

// Multi-byte characters are copied whole, never split or reordered.
TEST(FormatDateTimeLongTest, KeepsMultiByteCharacters) {
  const std::string format = "日時：yyyy年m月d日（ddd）🙂";
  EXPECT_EQ(FormatDateTime(format, kAfternoon), "日時：2002年5月30日（木）🙂");
}

// Long formats stay linear: 10,000 characters of specifiers, of quotes, of an unclosed quote.
TEST(FormatDateTimeLongTest, TenThousandCharacters) {
  std::string specifiers;
  std::string expected;
  for (int k = 0; k < 2000; ++k) {
    specifiers += "hh:n ";
    expected += "15:7 ";
  }
  std::string quotes(10'000, '"');
  std::string singles(10'000, '\'');
  std::string unclosed = "\"" + std::string(9'999, 'h');
  std::string wide;
  for (int k = 0; k < 3'334; ++k) wide += "”";
  // A/P at the very end still switches every hour before it to the 12-hour clock.
  std::string late = std::string(9'996, 'h') + " A/P";

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FormatDateTime(specifiers, kAfternoon), expected);
  EXPECT_EQ(FormatDateTime(quotes, kAfternoon), "");
  EXPECT_EQ(FormatDateTime(singles, kAfternoon), "");
  EXPECT_EQ(FormatDateTime(unclosed, kAfternoon), std::string(9'999, 'h'));
  EXPECT_EQ(FormatDateTime(wide, kAfternoon), "");  // pairs of full-width quotes
  EXPECT_EQ(FormatDateTime(late, kAfternoon), "03 P");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(1));
}

TEST(JapaneseEraTest, GivesNameAndYear) {
  const JapaneseEra era = japaneseEra({1989, 1, 7, 23, 59, 59});
  EXPECT_EQ(era.name, "昭和");
  EXPECT_EQ(era.year, 64);
  EXPECT_EQ(japaneseEra({1800, 1, 1, 0, 0, 0}).name, "");
  EXPECT_EQ(japaneseEra({1800, 1, 1, 0, 0, 0}).year, 1800);
}

}  // namespace
}  // namespace snapfolio
