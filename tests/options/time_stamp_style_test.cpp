// The stamp style's value forms.
#include "options/time_stamp_style.h"

#include <gtest/gtest.h>

#include <cmath>

namespace snapfolio {
namespace {

TEST(ColourFromNumberTest, TruncatesAndKeepsLow24Bits) {
  EXPECT_EQ(colourFromNumber(255.0), 255u);
  EXPECT_EQ(colourFromNumber(255.99), 255u);
  EXPECT_EQ(colourFromNumber(16777215.0), 0xFFFFFFu);
  EXPECT_EQ(colourFromNumber(16777216.0), 0u);
  EXPECT_EQ(colourFromNumber(-1.0), 0xFFFFFFu);
  EXPECT_EQ(colourFromNumber(-0.5), 0u);
  EXPECT_EQ(colourFromNumber(1e300), colourFromNumber(std::fmod(1e300, 16777216.0)));
  EXPECT_EQ(colourFromNumber(std::nan("")), 0u);
  EXPECT_EQ(colourFromNumber(HUGE_VAL), 0u);
}

}  // namespace
}  // namespace snapfolio
