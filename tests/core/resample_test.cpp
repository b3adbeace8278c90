// The resampler behind DrawTo: exact at 1:1, exact area averages when shrinking, bilinear and
// smooth when enlarging, constant images stay constant, and rectangles are clipped.
#include "core/resample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>

namespace snapfolio {
namespace {

Raster randomRaster(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Raster raster(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) raster.setPixel(x, y, random() & 0xFFFFFF);
  }
  return raster;
}

Raster rowOf(std::initializer_list<int> greys) {
  Raster raster(static_cast<int>(greys.size()), 1);
  int x = 0;
  for (int g : greys) raster.setPixel(x++, 0, rgb(g, g, g));
  return raster;
}

TEST(ResampleTest, OneToOneIsAnExactCopy) {
  const Raster source = randomRaster(37, 23, 1);
  EXPECT_EQ(resampled(source, 37, 23), source);

  Raster canvas(50, 40);
  resampleInto(source, canvas, QRect(5, 7, 37, 23));
  for (int y = 0; y < 23; ++y) {
    for (int x = 0; x < 37; ++x) ASSERT_EQ(canvas.pixel(x + 5, y + 7), source.pixel(x, y));
  }
  EXPECT_EQ(canvas.pixel(4, 7), 0u);
  EXPECT_EQ(canvas.pixel(42, 29), 0u);
}

// (source width, source height, target width, target height)
class ConstantTest : public testing::TestWithParam<std::tuple<int, int, int, int>> {};

TEST_P(ConstantTest, ConstantImageStaysConstant) {
  const auto [sw, sh, tw, th] = GetParam();
  for (std::uint32_t colour : {rgb(0, 0, 0), rgb(255, 255, 255), rgb(13, 200, 77)}) {
    Raster source(sw, sh);
    source.fill(colour);
    const Raster target = resampled(source, tw, th);
    for (int y = 0; y < th; ++y) {
      for (int x = 0; x < tw; ++x) {
        ASSERT_EQ(target.pixel(x, y), colour) << x << "," << y;
        ASSERT_EQ(target.row(y)[x] & Raster::kOpaque, Raster::kOpaque);  // X stays 0xFF
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ConstantTest,
    testing::Values(std::make_tuple(100, 80, 7, 3), std::make_tuple(3, 2, 50, 40),
                    std::make_tuple(100, 3, 10, 30), std::make_tuple(1, 1, 17, 9),
                    std::make_tuple(1000, 1, 1, 1), std::make_tuple(7, 7, 6, 6),
                    std::make_tuple(6028, 2, 150, 1)));

TEST(ResampleTest, ShrinkingAveragesTheCoveredArea) {
  // 2:1 in both directions: each target pixel is the mean of a 2 x 2 block.
  Raster source(4, 2);
  const int values[2][4] = {{0, 100, 200, 255}, {50, 10, 0, 1}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) source.setPixel(x, y, rgb(values[y][x], 0, 255 - values[y][x]));
  }
  const Raster half = resampled(source, 2, 1);
  EXPECT_EQ(redOf(half.pixel(0, 0)), 40);   // (0 + 100 + 50 + 10) / 4
  EXPECT_EQ(redOf(half.pixel(1, 0)), 114);  // (200 + 255 + 0 + 1) / 4
  EXPECT_EQ(blueOf(half.pixel(0, 0)), 215);

  // 3 to 2: the middle pixel is split between both target pixels.
  const Raster split = resampled(rowOf({0, 90, 180}), 2, 1);
  EXPECT_EQ(redOf(split.pixel(0, 0)), 30);   // (0 * 1 + 90 * 0.5) / 1.5
  EXPECT_EQ(redOf(split.pixel(1, 0)), 150);  // (90 * 0.5 + 180 * 1) / 1.5
}

TEST(ResampleTest, FineDetailDoesNotAlias) {
  // A one-pixel checkerboard reduced by a non-integer factor is mid-grey everywhere; a plain
  // nearest-pixel stretch would give black and white blotches.
  Raster board(301, 301);
  for (int y = 0; y < 301; ++y) {
    for (int x = 0; x < 301; ++x) board.setPixel(x, y, (x + y) % 2 ? 0xFFFFFF : 0);
  }
  const Raster small = resampled(board, 37, 37);
  for (int y = 0; y < 37; ++y) {
    for (int x = 0; x < 37; ++x) ASSERT_NEAR(redOf(small.pixel(x, y)), 127.5, 4) << x << "," << y;
  }
}

TEST(ResampleTest, EnlargingInterpolatesBetweenPixelCentres) {
  const Raster four = resampled(rowOf({0, 255}), 4, 1);
  EXPECT_EQ(redOf(four.pixel(0, 0)), 0);    // left of the first centre: the border repeats
  EXPECT_EQ(redOf(four.pixel(1, 0)), 64);   // a quarter of the way
  EXPECT_EQ(redOf(four.pixel(2, 0)), 191);  // three quarters
  EXPECT_EQ(redOf(four.pixel(3, 0)), 255);
}

TEST(ResampleTest, EnlargementIsSmooth) {
  const Raster source = randomRaster(6, 5, 3);
  const Raster big = resampled(source, 60, 50);  // 10x: no blocks of repeated pixels
  int largestStep = 0;
  for (int y = 0; y < 50; ++y) {
    for (int x = 1; x < 60; ++x) {
      for (int shift = 0; shift < 24; shift += 8) {
        const int a = (big.pixel(x - 1, y) >> shift) & 0xFF;
        const int b = (big.pixel(x, y) >> shift) & 0xFF;
        largestStep = std::max(largestStep, std::abs(a - b));
      }
    }
  }
  // Neighbours differ by at most a tenth of the largest source step (255), plus rounding.
  EXPECT_LE(largestStep, 27);
  // A ramp stays monotonic.
  const Raster ramp = resampled(rowOf({0, 40, 200, 255}), 41, 1);
  for (int x = 1; x < 41; ++x) ASSERT_GE(redOf(ramp.pixel(x, 0)), redOf(ramp.pixel(x - 1, 0)));
}

TEST(ResampleTest, ClippedRectangleMatchesTheWindowOfTheWholeResampling) {
  const Raster source = randomRaster(50, 40, 4);
  for (const auto& [tw, th] : {std::pair{80, 60}, std::pair{23, 17}}) {
    const Raster whole = resampled(source, tw, th);
    Raster canvas(15, 12);
    canvas.fill(rgb(1, 2, 3));
    resampleInto(source, canvas, QRect(-7, -3, tw, th));
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 15; ++x) {
        const bool inside = x + 7 < tw && y + 3 < th;
        ASSERT_EQ(canvas.pixel(x, y), inside ? whole.pixel(x + 7, y + 3) : rgb(1, 2, 3))
            << tw << ": " << x << "," << y;
      }
    }
  }
}

TEST(ResampleTest, EmptyRectanglesAndSourcesDrawNothing) {
  const Raster source = randomRaster(10, 10, 5);
  Raster canvas(10, 10);
  canvas.fill(rgb(7, 7, 7));
  const Raster before = canvas;
  resampleInto(source, canvas, QRect(0, 0, 0, 10));
  resampleInto(source, canvas, QRect(0, 0, 10, 0));
  resampleInto(source, canvas, QRect(20, 20, 5, 5));    // entirely outside
  resampleInto(source, canvas, QRect(-9, -9, 5, 5));    // entirely outside
  resampleInto(Raster(), canvas, QRect(0, 0, 10, 10));  // nothing to draw
  EXPECT_EQ(canvas, before);
  EXPECT_TRUE(resampled(source, 0, 0).isEmpty());
}

}  // namespace
}  // namespace snapfolio
