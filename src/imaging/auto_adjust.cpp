#include "imaging/auto_adjust.h"

// Standard library
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Project
#include "core/failure.h"
#include "core/translation.h"

namespace snapfolio {

namespace {

// Pi as the correction has always used it: the double nearest to pi.
constexpr long double kPi = 3.141592653589793;

constexpr int kChannelValues = 256;
constexpr int kBrightnessLevels = 256;

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The corrected channel values of one correction pass, indexed by the pixel's brightness,
// the channel and the channel's value. Within a pass the mean, the offsets, the gain and the
// limit are fixed, so the result of ColorAdjust depends on (lum, value) alone: each
// brightness level is evaluated once, the first time a pixel of that brightness is met, with
// the very functions ColorAdjust is made of. A brightness whose factor fails throws at its
// first pixel, exactly where the per-pixel evaluation would.
class CorrectionTable {
 public:
  CorrectionTable(int mean, const std::array<int, 3>& offsets, int gain, int limit)
      : mean_(mean),
        offsets_(offsets),
        gain_(gain),
        limit_(limit),
        values_(static_cast<std::size_t>(kBrightnessLevels) * 3 * kChannelValues) {}

  // The three result rows (red, green, blue; 256 entries each) of brightness `lum`.
  const std::uint8_t* levels(int lum) {
    if (!ready_[lum]) [[unlikely]]
      fill(lum);
    return values_.data() + static_cast<std::size_t>(lum) * 3 * kChannelValues;
  }

 private:
  // Evaluates brightness `lum`; throws when its factor fails.
  void fill(int lum);

  int mean_;
  std::array<int, 3> offsets_;
  int gain_;
  int limit_;
  std::vector<std::uint8_t> values_;
  std::array<bool, kBrightnessLevels> ready_{};
};

// Kept out of line: it runs at most once per brightness level, the lookups every pixel.
[[gnu::noinline]] void CorrectionTable::fill(int lum) {
  const long double k = correctionFactor(mean_, lum, gain_, limit_);
  // A channel of a pixel of brightness lum is at most R + G + B <= 3 * lum + 2; entries
  // above that can never be looked up and are left unfilled.
  const int highest = std::min(kChannelValues - 1, 3 * lum + 2);
  std::uint8_t* rows = values_.data() + static_cast<std::size_t>(lum) * 3 * kChannelValues;
  for (int channel = 0; channel < 3; ++channel) {
    std::uint8_t* row = rows + channel * kChannelValues;
    for (int value = 0; value <= highest; ++value) {
      row[value] = static_cast<std::uint8_t>(applyCorrectionFactor(value, offsets_[channel], k));
    }
  }
  ready_[lum] = true;
}

// The correction pass: every pixel in row order, one gauge step per finished row.
void correctSurface(Raster& surface, CorrectionTable& table, ProgressPort& progress) {
  const int width = surface.width();
  for (int y = 0; y < surface.height(); ++y) {
    std::uint32_t* row = surface.row(y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = row[x];
      const int red = redOf(pixel);
      const int green = greenOf(pixel);
      const int blue = blueOf(pixel);
      // may throw: this pixel and the rest are then left as they are
      const std::uint8_t* levels = table.levels((red + green + blue) / 3);
      row[x] = (pixel & 0xFF000000u) | levels[red] |
               (static_cast<std::uint32_t>(levels[kChannelValues + green]) << 8) |
               (static_cast<std::uint32_t>(levels[2 * kChannelValues + blue]) << 16);
    }
    progress.advanceProgress(ProgressLevel::Detail);
  }
}

}  // namespace

long double correctionFactor(int mean, int lum, int gain, int limit) {
  const long double span = 255.0L - mean;
  if (span == 0) {
    throw Failure("colour correction: division by zero (mean brightness " + std::to_string(mean) +
                  ")");
  }
  const long double t = (static_cast<long double>(lum) - mean) / span;
  // The cosine of the C library, on the product rounded to double.
  const long double w = static_cast<long double>(std::cos(static_cast<double>(t * kPi))) + 1;
  // C x lum first, then x 0.1, then + mean: the order decides results at integer boundaries.
  const long double d = static_cast<long double>(limit) * lum * 0.1L + mean;
  if (d == 0) {
    throw Failure("colour correction: division by zero (mean " + std::to_string(mean) +
                  ", brightness " + std::to_string(lum) + ", limit " + std::to_string(limit) + ")");
  }
  return w * (static_cast<long double>(gain) / d) + 1;
}

int applyCorrectionFactor(int value, int offset, long double k) {
  // The sum is exact in long double, also for offsets near the int limits.
  const long double r = (static_cast<long double>(offset) + value) * k;
  if (std::isnan(r)) throw Failure("colour correction: the gain factor is not a number");
  // Clamping before the conversion keeps it defined; trunc then clamp gives the same results.
  if (r >= 256) return 255;
  if (r < 0) return 0;  // trunc of (-1, 0) is 0 as well
  // trunc(r) for 0 <= r < 256. A direct long double to int conversion switches the x87
  // rounding mode twice; going through double is cheaper, and since rounding to double never
  // crosses an integer downwards, its truncation is trunc(r) or, when r lies just below an
  // integer and rounded up to it, one more, which the exact comparison takes back.
  int truncated = static_cast<int>(static_cast<double>(r));
  if (static_cast<long double>(truncated) > r) --truncated;
  return truncated;
}

int ColorAdjust(int value, int offset, int mean, int lum, int gain, int limit) {
  return applyCorrectionFactor(value, offset, correctionFactor(mean, lum, gain, limit));
}

int lenientInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulated as a negative number so that INT_MIN itself is representable; saturates.
  long long magnitude = 0;
  const long long bound = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = std::min(bound, magnitude * 10 + (text[i] - '0'));
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int sampledMeanBrightness(const Raster& surface, ProgressPort& progress) {
  double sumRed = 0;
  double sumGreen = 0;
  double sumBlue = 0;
  for (int y = 0; y < surface.height(); y += 10) {
    const std::uint32_t* row = surface.row(y);
    for (int x = 0; x < surface.width(); x += 10) {
      sumRed += redOf(row[x]);
      sumGreen += greenOf(row[x]);
      sumBlue += blueOf(row[x]);
    }
    progress.advanceProgress(ProgressLevel::Detail);
  }
  const auto tenths = [](int side) { return (static_cast<std::uint32_t>(side) + 9u) / 10u; };
  const std::uint32_t count = tenths(surface.width()) * tenths(surface.height());
  if (count == 0) {
    throw Failure("automatic correction: the surface has no pixels to sample");
  }
  return static_cast<int>(std::floor((sumRed + sumGreen + sumBlue) / (3.0 * count)));
}

void AoutAdjust(Raster& surface, const CorrectionValues& values, ProgressPort& progress) {
  const int height = surface.height();
  progress.setProgressValue(ProgressLevel::Detail, 0);
  // trunc(1.01 x H), computed exactly in integers
  progress.setProgressMaximum(ProgressLevel::Detail, height + height / 100);
  progress.setStatusLine(ProgressLevel::Detail, translated("AoutAdjust", kStatusSampling));

  const int mean = inStep(translated("AoutAdjust", kSamplingError), [&] {
    const int sampled = sampledMeanBrightness(surface, progress);
    progress.setStatusLine(ProgressLevel::Detail, translated("AoutAdjust", kStatusCorrecting));
    return sampled;
  });

  const std::array<int, 3> offsets = inStep(translated("AoutAdjust", kOffsetError), [&] {
    return std::array<int, 3>{lenientInteger(values.red), lenientInteger(values.green),
                              lenientInteger(values.blue)};
  });

  // Every pixel's formula runs in this step.
  inStep(translated("AoutAdjust", kFormulaError), [&] {
    CorrectionTable table(mean, offsets, values.gain, values.limit);
    correctSurface(surface, table, progress);
    progress.setStatusLine(ProgressLevel::Detail, translated("AoutAdjust", kStatusDone));
  });
}

}  // namespace snapfolio
