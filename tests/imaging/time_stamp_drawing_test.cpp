// Drawing the date-time stamp: size, placement, opaque and transparent backgrounds.
#include "imaging/time_stamp_drawing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "timestamp/font_substitution.h"

namespace snapfolio {
namespace {

constexpr std::uint32_t kGrey = 0x808080;
const std::string kText = "03:15 PM";

TimeStampStyle fixedStyle(int points) {
  TimeStampStyle style;
  style.autoSize = false;
  style.fontSize = points;
  return style;
}

// The text's advance and cell height with the stamp's font, measured independently.
QSize measured(const TimeStampStyle& style, int surfaceHeight, const std::string& text) {
  const QFontMetrics metrics(stampFont(style, surfaceHeight));
  return {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

bool inside(const StampRect& r, int x, int y) {
  return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

// Where the glyphs of `text` cover any pixel when drawn like the stamp, as alpha > 0.
QImage glyphCoverage(const Raster& surface, const TimeStampStyle& style, const std::string& text,
                     const StampRect& cell) {
  QImage mask(surface.width(), surface.height(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  QPainter painter(&mask);
  painter.setFont(stampFont(style, surface.height()));
  painter.setPen(Qt::black);
  painter.drawText(QPoint(cell.x, cell.y + painter.fontMetrics().ascent()),
                   QString::fromStdString(text));
  return mask;
}

class TimeStampDrawingTest : public testing::Test {
 protected:
  void SetUp() override { registerFontSubstitutions(); }
};

struct PositionCase {
  int position, width, height, textWidth, textHeight, x, y;
};

class StampPositionTest : public testing::TestWithParam<PositionCase> {};

TEST_P(StampPositionTest, PlacesTheCell) {
  const PositionCase& c = GetParam();
  EXPECT_EQ(stampPosition(c.position, c.width, c.height, c.textWidth, c.textHeight),
            (StampRect{c.x, c.y, c.textWidth, c.textHeight}));
}

INSTANTIATE_TEST_SUITE_P(
    Positions, StampPositionTest,
    testing::Values(
        PositionCase{1, 150, 112, 40, 13, 0, 0}, PositionCase{2, 150, 112, 40, 13, 55, 0},
        PositionCase{3, 150, 112, 40, 13, 110, 0}, PositionCase{4, 150, 112, 40, 13, 0, 99},
        PositionCase{5, 150, 112, 40, 13, 55, 99}, PositionCase{6, 150, 112, 40, 13, 110, 99},
        PositionCase{2, 150, 112, 41, 13, 54, 0}, PositionCase{5, 150, 112, 161, 13, -5, 99},
        PositionCase{6, 150, 112, 161, 120, -11, -8}, PositionCase{0, 150, 112, 40, 13, 110, 99},
        PositionCase{99, 150, 112, 40, 13, 110, 99}, PositionCase{-1, 150, 112, 40, 13, 110, 99}));

struct SizeCase {
  int surfaceHeight;
  bool autoSize;
  int fontSize;
  int points;
  int pixels;
};

class StampSizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(StampSizeTest, FollowsTheImageHeightOrTheStyle) {
  const SizeCase& c = GetParam();
  TimeStampStyle style;
  style.autoSize = c.autoSize;
  style.fontSize = c.fontSize;
  EXPECT_EQ(stampPoints(style, c.surfaceHeight), c.points);
  EXPECT_EQ(pointsToPixels(c.points), c.pixels);
  EXPECT_EQ(stampFont(style, c.surfaceHeight).pixelSize(), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, StampSizeTest,
    testing::Values(SizeCase{112, true, 12, 10, 13}, SizeCase{480, true, 12, 33, 44},
                    SizeCase{600, true, 12, 40, 53}, SizeCase{0, true, 12, 3, 4},
                    SizeCase{600, false, 12, 12, 16}, SizeCase{112, false, 72, 72, 96},
                    // Bad sizes are drawn at the nearest bound.
                    SizeCase{112, false, 0, 1, 1}, SizeCase{112, false, -5, 1, 1},
                    SizeCase{112, false, 5000, 1000, 1333},
                    SizeCase{250'000'000, true, 12, 1000, 1333}));

TEST_F(TimeStampDrawingTest, AutoSizeTouchesTheBottomRightCorner) {
  Raster surface(150, 112);
  surface.fill(kGrey);
  const TimeStampStyle style;  // auto size, position 6, red, transparent
  const StampRect cell = drawTimeStamp(surface, style, kText);
  const QSize size = measured(style, 112, kText);
  EXPECT_EQ(cell,
            (StampRect{150 - size.width(), 112 - size.height(), size.width(), size.height()}));
  EXPECT_EQ(stampFont(style, 112).pixelSize(), 13);  // 10 points
  // The glyphs reach the last columns of the cell.
  int rightmostInk = -1;
  for (int y = 0; y < 112; ++y) {
    for (int x = 0; x < 150; ++x) {
      if (surface.pixel(x, y) != kGrey) rightmostInk = std::max(rightmostInk, x);
    }
  }
  EXPECT_GE(rightmostInk, 150 - 4);
}

TEST_F(TimeStampDrawingTest, EveryPositionUsesTheMeasuredCell) {
  for (int position = 0; position <= 7; ++position) {
    Raster surface(150, 112);
    surface.fill(kGrey);
    TimeStampStyle style = fixedStyle(12);
    style.position = position;
    const StampRect cell = drawTimeStamp(surface, style, kText);
    const QSize size = measured(style, 112, kText);
    EXPECT_EQ(cell, stampPosition(position, 150, 112, size.width(), size.height()))
        << "position " << position;
    EXPECT_EQ(cell.height, size.height());
    int ink = 0;
    for (int y = 0; y < 112; ++y) {
      for (int x = 0; x < 150; ++x) {
        if (surface.pixel(x, y) == kGrey) continue;
        ++ink;
        EXPECT_TRUE(inside(cell, x, y)) << "position " << position << " ink at " << x << ',' << y;
      }
    }
    EXPECT_GT(ink, 20) << "position " << position;
  }
}

TEST_F(TimeStampDrawingTest, OpaqueBoxIsExactlyTheTextCell) {
  Raster surface(200, 120);
  surface.fill(0x000000);
  TimeStampStyle style = fixedStyle(12);
  style.transparent = false;
  style.backgroundColor = 65280.9f;  // green, truncated
  style.fontColor = 255;             // red
  style.position = 5;
  const StampRect cell = drawTimeStamp(surface, style, kText);
  const QSize size = measured(style, 120, kText);
  ASSERT_EQ(cell.width, size.width());
  ASSERT_EQ(cell.height, size.height());
  int glyph = 0;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 200; ++x) {
      const std::uint32_t p = surface.pixel(x, y);
      if (!inside(cell, x, y)) {
        ASSERT_EQ(p, 0u) << x << ',' << y;
        continue;
      }
      // Background green, glyph red, or a blend of the two at glyph edges.
      ASSERT_EQ(blueOf(p), 0) << x << ',' << y;
      ASSERT_NEAR(redOf(p) + greenOf(p), 255, 3) << x << ',' << y;
      if (redOf(p) > 128) ++glyph;
    }
  }
  EXPECT_GT(glyph, 20);
  for (auto [x, y] : {std::pair{cell.x, cell.y}, std::pair{cell.x + cell.width - 1, cell.y},
                      std::pair{cell.x, cell.y + cell.height - 1},
                      std::pair{cell.x + cell.width - 1, cell.y + cell.height - 1}}) {
    EXPECT_EQ(surface.pixel(x, y), 0x00FF00u) << x << ',' << y;
  }
}

TEST_F(TimeStampDrawingTest, TransparentStampTouchesOnlyItsGlyphs) {
  Raster surface(160, 90);
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 160; ++x) surface.setPixel(x, y, rgb(x, y * 2, 100));
  }
  const Raster before = surface;
  TimeStampStyle style = fixedStyle(14);
  style.fontColor = 0xFF0000;  // blue
  style.underline = true;
  style.position = 1;
  const StampRect cell = drawTimeStamp(surface, style, "2002/05/30 15:07");
  const QImage coverage = glyphCoverage(surface, style, "2002/05/30 15:07", cell);
  int changed = 0;
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 160; ++x) {
      if (qAlpha(coverage.pixel(x, y)) == 0) {
        ASSERT_EQ(surface.pixel(x, y), before.pixel(x, y)) << x << ',' << y;
      } else if (surface.pixel(x, y) != before.pixel(x, y)) {
        ++changed;
        EXPECT_GE(blueOf(surface.pixel(x, y)), 100) << x << ',' << y;
      }
    }
  }
  EXPECT_GT(changed, 50);
}

TEST_F(TimeStampDrawingTest, TwoImagesKeepTheirOwnStyles) {
  Raster one(150, 112);
  Raster two(400, 300);
  TimeStampStyle first = fixedStyle(12);
  first.transparent = false;
  first.backgroundColor = 16777215.0f;
  first.position = 1;
  TimeStampStyle second;
  second.transparent = false;
  second.backgroundColor = 16711680.0f;  // blue
  second.position = 3;
  const StampRect a = drawTimeStamp(one, first, kText);
  const StampRect b = drawTimeStamp(two, second, kText);
  EXPECT_EQ(one.pixel(a.x, a.y), 0xFFFFFFu);
  EXPECT_EQ(two.pixel(b.x + b.width - 1, b.y), 0xFF0000u);
  EXPECT_EQ(a.height, measured(first, 112, kText).height());
  EXPECT_EQ(b.height, measured(second, 300, kText).height());  // 20 points, auto-sized
  EXPECT_GT(b.height, a.height);
  EXPECT_EQ(b.x, 400 - b.width);
}

TEST_F(TimeStampDrawingTest, ColoursUseTheirLow24Bits) {
  Raster surface(150, 112);
  TimeStampStyle style = fixedStyle(12);
  style.transparent = false;
  style.fontColor = 0xFF0000FFu;
  style.backgroundColor = -1.0f;  // white
  const StampRect cell = drawTimeStamp(surface, style, "8");
  EXPECT_EQ(surface.pixel(cell.x, cell.y), 0xFFFFFFu);
  bool red = false;
  for (int y = cell.y; y < cell.y + cell.height; ++y) {
    for (int x = cell.x; x < cell.x + cell.width; ++x) red = red || surface.pixel(x, y) == 255u;
  }
  EXPECT_TRUE(red);

  style.backgroundColor = std::nanf("");
  const StampRect again = drawTimeStamp(surface, style, "8");
  EXPECT_EQ(surface.pixel(again.x, again.y), 0u);
}

TEST_F(TimeStampDrawingTest, BadInputDrawsSanely) {
  Raster surface(150, 112);
  surface.fill(kGrey);
  // Nothing to draw.
  EXPECT_EQ(drawTimeStamp(surface, TimeStampStyle{}, ""), StampRect{});
  EXPECT_EQ(surface, [] {
    Raster grey(150, 112);
    grey.fill(kGrey);
    return grey;
  }());
  Raster empty;
  EXPECT_EQ(drawTimeStamp(empty, TimeStampStyle{}, kText).x, -measured({}, 0, kText).width());

  // A face that names no installed font is drawn with a substitute.
  TimeStampStyle unknown = fixedStyle(12);
  unknown.fontName = "No Such Font 12345";
  const StampRect cell = drawTimeStamp(surface, unknown, kText);
  EXPECT_GT(cell.width, 0);
  bool ink = false;
  for (int y = cell.y; y < cell.y + cell.height; ++y) {
    for (int x = std::max(cell.x, 0); x < 150; ++x) ink = ink || surface.pixel(x, y) != kGrey;
  }
  EXPECT_TRUE(ink);

  // The largest size and a very long text: drawn clipped, quickly.
  const auto start = std::chrono::steady_clock::now();
  TimeStampStyle huge = fixedStyle(5000);
  huge.transparent = false;
  const StampRect big = drawTimeStamp(surface, huge, kText);
  EXPECT_EQ(big.height, measured(fixedStyle(1000), 112, kText).height());
  EXPECT_LT(big.x, 0);
  std::string longText;
  for (int k = 0; k < 2'500; ++k) longText += "12:34 ";  // 15,000 characters
  const StampRect cut = drawTimeStamp(surface, fixedStyle(12), longText);
  EXPECT_EQ(cut.width, measured(fixedStyle(12), 112, longText.substr(0, 10'000)).width());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace snapfolio
