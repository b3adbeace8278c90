// The number reader of the control tags, positions in messages, and escaping.
#include "album/template_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace snapfolio {
namespace {

struct NumberCase {
  std::string text;
  std::size_t at;
  std::optional<std::int32_t> number;
  friend void PrintTo(const NumberCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class ReadDecimal : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadDecimal, ReadsLikeACDecimalConversion) {
  EXPECT_EQ(readDecimal(GetParam().text, GetParam().at), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ReadDecimal,
    testing::Values(NumberCase{"3-->", 0, 3}, NumberCase{"$SETLOOP=12-->", 9, 12},
                    NumberCase{"-3-->", 0, -3}, NumberCase{"+7", 0, 7},
                    NumberCase{" \t\r\n\v\f42", 0, 42}, NumberCase{"007", 0, 7},
                    NumberCase{"-->", 0, std::nullopt}, NumberCase{"- 3", 0, std::nullopt},
                    NumberCase{"+-3", 0, std::nullopt}, NumberCase{"   ", 0, std::nullopt},
                    NumberCase{"", 0, std::nullopt}, NumberCase{"12", 2, std::nullopt},
                    NumberCase{"12", 99, std::nullopt}, NumberCase{"x5", 0, std::nullopt},
                    NumberCase{"2147483647", 0, 2147483647},
                    NumberCase{"2147483648", 0, 2147483647},
                    NumberCase{"-2147483648", 0, -2147483647 - 1},
                    NumberCase{"-2147483649", 0, -2147483647 - 1},
                    NumberCase{"99999999999999999999999999", 0, 2147483647},
                    NumberCase{std::string("1\0"
                                           "2",
                                           3),
                               0, 1}));

TEST(TextPosition, CountsLinesAndCharacters) {
  EXPECT_EQ(textPosition("abc", 0, true).line, 1);
  EXPECT_EQ(textPosition("abc", 2, true).column, 3);
  TextPosition p = textPosition("a\r\nbc\n写真$", 12, true);
  EXPECT_EQ(p.line, 3);
  EXPECT_EQ(p.column, 3);
  // Code page 932: "写真" is four bytes, two characters; "ｱ" (0xB1) is one byte.
  TextPosition q = textPosition("\x8E\xCA\x90\x5E\xB1$", 5, false);
  EXPECT_EQ(q.line, 1);
  EXPECT_EQ(q.column, 4);
  EXPECT_EQ(textPosition("ab", 99, true).column, 3);  // clamped to the end
}

TEST(EscapeHtml, EscapesTheFiveMarkupCharacters) {
  EXPECT_EQ(escapeHtml("a&b<c>d\"e'f 写真"), "a&amp;b&lt;c&gt;d&quot;e&#39;f 写真");
  EXPECT_EQ(escapeHtml(""), "");
}

class EscapeUrlPath : public testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(EscapeUrlPath, LeadsToTheFileOfThatName) {
  EXPECT_EQ(escapeUrlPath(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EscapeUrlPath,
    testing::Values(std::pair{"IMG_0001.JPG", "IMG_0001.JPG"},
                    std::pair{"a b#c?d%e.jpg", "a%20b%23c%3Fd%25e.jpg"},
                    std::pair{"<&\">'.jpg", "%3C&%22%3E'.jpg"},
                    std::pair{"c:x[1]{2}|^`\\.jpg", "c%3Ax%5B1%5D%7B2%7D%7C%5E%60%5C.jpg"},
                    std::pair{"tab\t\x7F.jpg", "tab%09%7F.jpg"},
                    // a srcset list splits at commas and blanks
                    std::pair{",lead, 2x.jpg", "%2Clead%2C%202x.jpg"},
                    std::pair{"写真 ①.jpg", "写真%20①.jpg"}, std::pair{"sub/a.jpg", "sub/a.jpg"},
                    // "写真" in code page 932: the bytes as they stand
                    std::pair{"\x8E\xCA\x90\x5E.jpg", "%8E%CA%90%5E.jpg"}));

}  // namespace
}  // namespace snapfolio
