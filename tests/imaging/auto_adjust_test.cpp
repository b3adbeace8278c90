#include "imaging/auto_adjust.h"

// Standard library
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// Qt
#include <QImage>
#include <QImageReader>

// Other libraries
#include <gtest/gtest.h>

// Project
#include "core/failure.h"
#include "core/gauge.h"
#include "support/fixtures.h"
#include "support/reference_correction.h"

namespace snapfolio {
namespace {

// The message of the step `call` failed in; empty when it did not fail.
template <typename Call>
std::string stepMessage(Call&& call) {
  try {
    call();
  } catch (const StepFailure& e) {
    return e.message();
  }
  return {};
}

// A ProgressPort that keeps every call in order and the detail gauge's state.
class RecordingProgress : public ProgressPort {
 public:
  void setStatusLine(ProgressLevel level, const std::string& text) override {
    events.push_back((level == ProgressLevel::Detail ? "detail: " : "overall: ") + text);
  }
  void setProgressMaximum(ProgressLevel level, int maximum) override {
    if (level == ProgressLevel::Detail) detail.setMaximum(maximum);
    events.push_back("maximum " + std::to_string(maximum));
  }
  void setProgressValue(ProgressLevel level, int value) override {
    if (level == ProgressLevel::Detail) detail.setValue(value);
    events.push_back("value " + std::to_string(value));
  }
  void advanceProgress(ProgressLevel level) override {
    if (level == ProgressLevel::Detail) {
      detail.advance();
      ++detailAdvances;
    } else {
      events.push_back("advance overall");
    }
  }

  std::vector<std::string> events;
  Gauge detail{0};
  int detailAdvances = 0;
};

Raster uniform(int width, int height, int r, int g, int b) {
  Raster surface(width, height);
  surface.fill(rgb(r, g, b));
  return surface;
}

CorrectionValues values(std::string red, std::string green, std::string blue, int gain, int limit) {
  return CorrectionValues{std::move(red), std::move(green), std::move(blue), gain, limit};
}

// ---- The per-channel formula ------------------------------------------------------------

struct FormulaCase {
  int value, offset, mean, lum, gain, limit;
  int expected;
};

class ColorAdjustCase : public testing::TestWithParam<FormulaCase> {};

TEST_P(ColorAdjustCase, GivesTheWorkedResult) {
  const FormulaCase& c = GetParam();
  EXPECT_EQ(ColorAdjust(c.value, c.offset, c.mean, c.lum, c.gain, c.limit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedNumbers, ColorAdjustCase,
    testing::Values(FormulaCase{100, 0, 100, 100, 40, 25, 122},    // t 0, w 2, d 350
                    FormulaCase{255, 0, 100, 255, 40, 25, 255},    // t 1, w 0, k exactly 1
                    FormulaCase{200, 0, 100, 200, 40, 25, 207},    // d 600, r 207.46
                    FormulaCase{10, 0, 50, 10, 40, 25, 19},        // t < 0, r 19.69
                    FormulaCase{100, 30, 120, 90, 0, 25, 130},     // A 0: offset only
                    FormulaCase{0, 0, 0, 1, 80, 50, 0},            // mean 0 with lum 1 is fine
                    FormulaCase{5, -10, 100, 30, 40, 25, 0},       // negative r clamps to 0
                    FormulaCase{200, 300, 100, 30, 0, 0, 255},     // offset beyond 255
                    FormulaCase{0, INT_MAX, 100, 30, 80, 0, 255},  // no overflow in the sum
                    FormulaCase{255, INT_MIN, 100, 30, 80, 0, 0}));

TEST(ColorAdjust, IntermediateFactorsMatchTheWorkedNumbers) {
  EXPECT_NEAR(static_cast<double>(correctionFactor(100, 100, 40, 25)), 1.2285714285714, 1e-12);
  EXPECT_NEAR(static_cast<double>(correctionFactor(100, 200, 40, 25)), 1.037307, 1e-6);
  EXPECT_NEAR(static_cast<double>(correctionFactor(50, 10, 40, 25)), 1.969562, 1e-6);
  // White keeps exactly 1, and so does a gain of 0 at any brightness.
  EXPECT_EQ(correctionFactor(100, 255, 40, 25), 1.0L);
  EXPECT_EQ(correctionFactor(37, 12, 0, 50), 1.0L);
}

TEST(ColorAdjust, TruncatesProductsJustBelowAnInteger) {
  // r = 1 x k; these factors lie within one long double step of an integer, closer than a
  // double can resolve, so a rounding on the way would give the integer above.
  for (int n : {1, 2, 100, 199, 200, 255, 256}) {
    const long double below = std::nextafter(static_cast<long double>(n), 0.0L);
    EXPECT_EQ(applyCorrectionFactor(1, 0, below), std::min(n - 1, 255)) << n;
    EXPECT_EQ(applyCorrectionFactor(1, 0, static_cast<long double>(n)), std::min(n, 255)) << n;
  }
  EXPECT_EQ(applyCorrectionFactor(1, 0, -0.5L), 0);
  EXPECT_EQ(applyCorrectionFactor(0, 0, 3.0L), 0);
}

TEST(ColorAdjust, ExtremeOffsetsSaturateForEveryInput) {
  for (int mean = 0; mean < 255; mean += 17) {
    for (int lum = 1; lum < 256; lum += 11) {
      for (int value = 0; value < 256; value += 5) {
        ASSERT_EQ(ColorAdjust(value, -255, mean, lum, 80, 25), 0) << mean << " " << lum;
        ASSERT_EQ(ColorAdjust(value, 255, mean, lum, 80, 25), 255) << mean << " " << lum;
      }
    }
  }
}

TEST(ColorAdjust, DivisionByZeroIsAFailure) {
  for (int lum : {0, 1, 100, 255}) {
    EXPECT_THROW(ColorAdjust(100, 0, 255, lum, 40, 25), Failure) << lum;  // 255 - mean is 0
  }
  EXPECT_THROW(ColorAdjust(0, 0, 0, 0, 40, 25), Failure);   // d = 0, A / d
  EXPECT_THROW(ColorAdjust(0, 0, 0, 0, 0, 25), Failure);    // 0 / 0 as well
  EXPECT_THROW(ColorAdjust(90, 0, 0, 90, 40, 0), Failure);  // a limit of 0 with mean 0
  EXPECT_NO_THROW(ColorAdjust(90, 0, 1, 90, 40, 0));
}

// ---- Lenient offsets -----------------------------------------------------------------------

class LenientInteger : public testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(LenientInteger, ReadsTheLeadingNumber) {
  EXPECT_EQ(lenientInteger(std::get<0>(GetParam())), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LenientInteger,
    testing::Values(std::tuple{"12abc", 12}, std::tuple{"abc", 0}, std::tuple{" -30", -30},
                    std::tuple{"", 0}, std::tuple{"-", 0}, std::tuple{"+7", 7},
                    std::tuple{"\t 5", 5}, std::tuple{"007", 7}, std::tuple{"1 2", 1},
                    std::tuple{"--3", 0}, std::tuple{"- 3", 0}, std::tuple{"0x1F", 0},
                    std::tuple{"2147483647", INT_MAX}, std::tuple{"-2147483648", INT_MIN},
                    std::tuple{"2147483648", INT_MAX}, std::tuple{"-2147483649", INT_MIN},
                    std::tuple{"99999999999999999999999999", INT_MAX},
                    std::tuple{"-99999999999999999999999999x", INT_MIN}));

// ---- Sampling ------------------------------------------------------------------------------

// A surface that is white except on the sampling grid, where it has brightness `level`: the
// mean is `level` only if exactly the grid pixels are read and counted.
Raster whiteOffGrid(int width, int height, int level) {
  Raster surface = uniform(width, height, 255, 255, 255);
  for (int y = 0; y < height; y += 10) {
    for (int x = 0; x < width; x += 10) surface.setPixel(x, y, rgb(level, level, level));
  }
  return surface;
}

class SamplingGrid : public testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(SamplingGrid, ReadsEveryTenthColumnOfEveryTenthRow) {
  const auto [width, height, sampledRows] = GetParam();
  RecordingProgress progress;
  progress.detail.setMaximum(1000);
  EXPECT_EQ(sampledMeanBrightness(whiteOffGrid(width, height, 40), progress), 40);
  EXPECT_EQ(progress.detailAdvances, sampledRows);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SamplingGrid,
                         testing::Values(std::tuple{15, 15, 2}, std::tuple{10, 10, 1},
                                         std::tuple{11, 11, 2}, std::tuple{1, 1, 1},
                                         std::tuple{101, 9, 1}, std::tuple{7, 95, 10}));

TEST(Sampling, CountsCeilOfBothSides) {
  // 15 x 15: samples (0,0), (10,0), (0,10), (10,10). Their sum 4 x 3 x 60 over a count of 4
  // gives 60; any other count would give another mean.
  Raster surface = uniform(15, 15, 0, 0, 0);
  for (auto [x, y] : {std::pair{0, 0}, {10, 0}, {0, 10}, {10, 10}}) {
    surface.setPixel(x, y, rgb(60, 60, 60));
  }
  RecordingProgress progress;
  EXPECT_EQ(sampledMeanBrightness(surface, progress), 60);
  // 10 x 10: the top-left pixel alone.
  Raster single = uniform(10, 10, 0, 0, 0);
  single.setPixel(0, 0, rgb(90, 30, 0));
  EXPECT_EQ(sampledMeanBrightness(single, progress), 40);
}

TEST(Sampling, TruncatesTheMean) {
  // Ten samples on one row: nine of brightness 100 and one of 99 average 99.9.
  Raster surface = uniform(100, 1, 100, 100, 100);
  surface.setPixel(50, 0, rgb(99, 99, 99));
  RecordingProgress progress;
  EXPECT_EQ(sampledMeanBrightness(surface, progress), 99);
  // The channels are pooled before dividing: (1 + 1 + 0) / 3 truncates to 0.
  EXPECT_EQ(sampledMeanBrightness(uniform(3, 3, 1, 1, 0), progress), 0);
}

// ---- The whole correction -------------------------------------------------------------------

TEST(AoutAdjust, ReportsItsStepsAndFillsTheGauge) {
  Raster surface = uniform(25, 25, 100, 100, 100);
  RecordingProgress progress;
  AoutAdjust(surface, values("0", "0", "0", 40, 25), progress);

  const std::vector<std::string> expected = {
      "value 0", "maximum 25", "detail:   << 画像情報収集 >>", "detail: ###　画像補正中　###",
      "detail: ***　画像補正完了　***"};
  EXPECT_EQ(progress.events, expected);
  EXPECT_EQ(progress.detailAdvances, 3 + 25);
  EXPECT_EQ(progress.detail.value(), 25);
  EXPECT_EQ(surface, uniform(25, 25, 122, 122, 122));  // mean 100, lum 100
}

TEST(AoutAdjust, GaugeMaximumIsTruncatedOnePercentMore) {
  for (auto [height, maximum] :
       {std::pair{1, 1}, {99, 99}, {100, 101}, {199, 200}, {250, 252}, {3000, 3030}}) {
    Raster surface = uniform(2, height, 10, 10, 10);
    RecordingProgress progress;
    AoutAdjust(surface, values("0", "0", "0", 0, 0), progress);
    EXPECT_EQ(progress.events.at(1), "maximum " + std::to_string(maximum)) << height;
    EXPECT_EQ(progress.detail.value(), maximum) << height;
  }
}

TEST(AoutAdjust, ReadsTheOffsetsLeniently) {
  Raster surface = uniform(4, 4, 100, 100, 100);
  RecordingProgress progress;
  AoutAdjust(surface, values("12abc", "abc", " -30", 0, 0), progress);
  EXPECT_EQ(surface, uniform(4, 4, 112, 100, 70));
}

TEST(AoutAdjust, KeepsTheHighByteOfEveryPixel) {
  Raster surface = uniform(3, 2, 100, 100, 100);
  surface.row(1)[2] = 0x12646464u;
  RecordingProgress progress;
  AoutAdjust(surface, values("1", "2", "3", 0, 0), progress);
  EXPECT_EQ(surface.row(1)[2], 0x12676665u);
  EXPECT_EQ(surface.row(0)[0], 0xFF676665u);
}

TEST(AoutAdjust, AllWhiteFailsAtTheFirstPixelAndStaysWhite) {
  Raster surface = uniform(30, 20, 255, 255, 255);
  const Raster before = surface;
  RecordingProgress progress;
  EXPECT_EQ(stepMessage([&] { AoutAdjust(surface, values("0", "0", "0", 40, 25), progress); }),
            "0300 : 画像補正計算のエラー");
  EXPECT_EQ(surface, before);
  EXPECT_EQ(progress.detailAdvances, 2);  // the sampled rows only
  EXPECT_EQ(progress.events.back(), "detail: ###　画像補正中　###");
}

TEST(AoutAdjust, SurfaceWithoutPixelsFailsWhileSampling) {
  // A 3000 x 10 photo scaled to width 150 has height 0.
  for (auto [width, height] : {std::pair{150, 0}, {0, 10}, {0, 0}}) {
    Raster surface(width, height);
    RecordingProgress progress;
    EXPECT_EQ(stepMessage([&] { AoutAdjust(surface, values("0", "0", "0", 40, 25), progress); }),
              "0200 : 画素の集計でエラーが発生した ");
    EXPECT_EQ(surface.width(), width);
    EXPECT_EQ(surface.height(), height);
    EXPECT_EQ(progress.events.back(), "detail:   << 画像情報収集 >>");
  }
}

// The sampled grid of a 15 x 15 surface sums to 9 < 3 x 4, so the mean is 0 although the
// grid pixels (0,0), (10,0) and (0,10) are not black; every other pixel is coloured; the
// black grid pixel (10,10) has brightness 0 and fails the formula with mean 0.
TEST(AoutAdjust, FailurePartWayLeavesEarlierPixelsCorrected) {
  Raster surface = uniform(15, 15, 30, 60, 90);
  surface.setPixel(0, 0, rgb(1, 1, 1));
  surface.setPixel(10, 0, rgb(1, 1, 1));
  surface.setPixel(0, 10, rgb(1, 1, 1));
  surface.setPixel(10, 10, rgb(0, 0, 0));
  const Raster before = surface;
  RecordingProgress progress;
  const CorrectionValues v = values("0", "0", "0", 40, 25);
  EXPECT_EQ(stepMessage([&] { AoutAdjust(surface, v, progress); }), "0300 : 画像補正計算のエラー");
  EXPECT_EQ(progress.detailAdvances, 2 + 10);  // sampled rows, then rows 0 to 9

  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 15; ++x) {
      const std::uint32_t old = before.pixel(x, y);
      const bool corrected = y < 10 || (y == 10 && x < 10);
      const int lum = (redOf(old) + greenOf(old) + blueOf(old)) / 3;
      const std::uint32_t expected = corrected ? rgb(ColorAdjust(redOf(old), 0, 0, lum, 40, 25),
                                                     ColorAdjust(greenOf(old), 0, 0, lum, 40, 25),
                                                     ColorAdjust(blueOf(old), 0, 0, lum, 40, 25))
                                               : old;
      ASSERT_EQ(surface.pixel(x, y), expected) << x << ", " << y;
    }
  }
  EXPECT_NE(surface.pixel(1, 0), before.pixel(1, 0));  // the correction really brightened
}

// ---- Equivalence with the per-pixel evaluation ---------------------------------------------

// The correction written the plain way: every pixel through ColorAdjust three times.
struct NaiveResult {
  bool failed = false;
  std::string message;  // of the step that failed
};
NaiveResult naiveAoutAdjust(Raster& surface, const CorrectionValues& v) {
  double sum = 0;
  unsigned count = 0;
  for (int y = 0; y < surface.height(); y += 10) {
    for (int x = 0; x < surface.width(); x += 10, ++count) {
      const std::uint32_t p = surface.pixel(x, y);
      sum += redOf(p) + greenOf(p) + blueOf(p);
    }
  }
  if (count == 0) return {true, "0200 : 画素の集計でエラーが発生した "};
  const int mean = static_cast<int>(std::floor(sum / (3.0 * count)));
  const int offsets[3] = {lenientInteger(v.red), lenientInteger(v.green), lenientInteger(v.blue)};
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      const std::uint32_t p = surface.pixel(x, y);
      const int lum = (redOf(p) + greenOf(p) + blueOf(p)) / 3;
      try {
        const int r = ColorAdjust(redOf(p), offsets[0], mean, lum, v.gain, v.limit);
        const int g = ColorAdjust(greenOf(p), offsets[1], mean, lum, v.gain, v.limit);
        const int b = ColorAdjust(blueOf(p), offsets[2], mean, lum, v.gain, v.limit);
        surface.setPixel(x, y, rgb(r, g, b));
      } catch (const Failure&) {
        return {true, "0300 : 画像補正計算のエラー"};
      }
    }
  }
  return {false, ""};
}

TEST(AoutAdjust, MatchesThePerPixelEvaluationOnRandomSurfaces) {
  std::mt19937 random(20240611);
  auto uniformInt = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  int failures = 0;
  int partWay = 0;
  for (int round = 0; round < 400; ++round) {
    const int width = uniformInt(0, 45);
    const int height = uniformInt(0, 45);
    Raster surface(width, height);
    const int style = round % 4;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        int r = uniformInt(0, 255), g = uniformInt(0, 255), b = uniformInt(0, 255);
        if (style == 1) r = g = b = uniformInt(0, 3);  // near black: mean 0, lum 0 pixels
        // a black grid but for the first pixel: mean 0, failing at the next grid pixel
        if (style == 2 && x % 10 == 0 && y % 10 == 0) r = g = b = (x == 0 && y == 0) ? 1 : 0;
        if (style == 3) r = g = b = 255 - uniformInt(0, 1);  // near white: mean 254 or 255
        surface.setPixel(x, y, rgb(r, g, b));
      }
    }
    const auto offset = [&] {
      const int n = uniformInt(-300, 300);
      return uniformInt(0, 5) == 0 ? std::to_string(n) + "x" : std::to_string(n / 4);
    };
    const CorrectionValues v =
        values(offset(), offset(), offset(), uniformInt(0, 80), uniformInt(0, 50));

    Raster expected = surface;
    const NaiveResult naive = naiveAoutAdjust(expected, v);
    RecordingProgress progress;
    const std::string message = stepMessage([&] { AoutAdjust(surface, v, progress); });
    const bool failed = !message.empty();
    ASSERT_EQ(failed, naive.failed) << "round " << round;
    ASSERT_EQ(message, naive.message) << "round " << round;
    ASSERT_EQ(surface, expected) << "round " << round;
    failures += failed;
    partWay += failed && progress.detailAdvances > (height + 9) / 10;
  }
  // The rounds must really cover failing and part-way failing surfaces.
  EXPECT_GT(failures, 20);
  EXPECT_GT(partWay, 5);
}

// ---- A real photo ----------------------------------------------------------------------------

TEST(AoutAdjust, CorrectsARealPhotoLikeTheFormula) {
  QImageReader reader(QString::fromStdString(test::photoPath("dark.jpg").string()));
  const QImage photo = reader.read();
  ASSERT_FALSE(photo.isNull()) << reader.errorString().toStdString();
  Raster surface = Raster::fromImage(photo.scaledToWidth(640, Qt::SmoothTransformation));
  ASSERT_EQ(surface.width(), 640);
  const Raster before = surface;

  const int mean = test::referenceMean(before);
  ASSERT_GT(mean, 0);
  ASSERT_LT(mean, 128);  // the photo is dark

  RecordingProgress progress;
  AoutAdjust(surface, values("10", "0", "-5", 40, 25), progress);

  long long changed = 0;
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      const std::uint32_t p = before.pixel(x, y);
      const int lum = (redOf(p) + greenOf(p) + blueOf(p)) / 3;
      const std::uint32_t expected = rgb(test::referenceChannel(redOf(p), 10, mean, lum, 40, 25),
                                         test::referenceChannel(greenOf(p), 0, mean, lum, 40, 25),
                                         test::referenceChannel(blueOf(p), -5, mean, lum, 40, 25));
      ASSERT_EQ(surface.pixel(x, y), expected) << x << ", " << y;
      changed += surface.pixel(x, y) != p;
    }
  }
  EXPECT_GT(changed, static_cast<long long>(before.width()) * before.height() / 2);
}

}  // namespace
}  // namespace snapfolio
