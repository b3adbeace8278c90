// A width read where it comes in: the text kept as given, the number it reads as, the pixels.
#include "options/pixel_width.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace snapfolio {
namespace {

struct WidthCase {
  const char* text;
  bool isNumber;
  std::optional<int> pixels;
};

class PixelWidthTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(PixelWidthTest, ReadsTheTextOnceAndKeepsIt) {
  const WidthCase& c = GetParam();
  const PixelWidth width{std::string(c.text)};
  EXPECT_EQ(width.text(), c.text);
  EXPECT_EQ(width.empty(), std::string(c.text).empty());
  EXPECT_EQ(width.isNumber(), c.isNumber);
  EXPECT_EQ(width.pixels(), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PixelWidthTest,
    ::testing::Values(WidthCase{"150", true, 150}, WidthCase{"150.9", true, 150},
                      WidthCase{" 640\r\n", true, 640}, WidthCase{"+8", true, 8},
                      WidthCase{"1e3", true, 1000}, WidthCase{"0.99", true, std::nullopt},
                      WidthCase{"0", true, std::nullopt}, WidthCase{"-5", true, std::nullopt},
                      WidthCase{"3000000000", true, std::nullopt},
                      WidthCase{"2147483647", true, 2147483647}, WidthCase{"", false, std::nullopt},
                      WidthCase{"12abc", false, std::nullopt},
                      WidthCase{"inf", false, std::nullopt},
                      WidthCase{"1 5", false, std::nullopt}));

}  // namespace
}  // namespace snapfolio
