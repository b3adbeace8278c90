#include "core/resample.h"

// Standard library
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace snapfolio {

namespace {

// Fixed point: weights in Q14 (their sum is exactly 1 << 14), the horizontally filtered rows
// in Q8 (16 bits per channel), so a constant image stays exactly constant and 1:1 is exact.
constexpr int kWeightBits = 14;
constexpr std::int32_t kWeightOne = 1 << kWeightBits;
constexpr int kRowShift = kWeightBits - 8;
constexpr int kFinalShift = kWeightBits + 8;

// The filter of one axis for a run of consecutive target indices.
struct Taps {
  std::vector<int> first;             // first source index of each target index
  std::vector<int> count;             // number of source pixels of each target index
  std::vector<std::int32_t> weights;  // count[i] weights starting at i * stride
  int stride = 0;                     // at least the largest count
};

// Rounds the weights of one target index to Q14 so that they sum to exactly one. Rounding the
// running sum keeps the rounding errors from piling up on wide filters of equal weights.
void quantise(const double* exact, int count, std::int32_t* out) {
  double running = 0;
  std::int32_t previous = 0;
  for (int k = 0; k + 1 < count; ++k) {
    running += exact[k];
    const auto rounded = static_cast<std::int32_t>(std::lround(running * kWeightOne));
    out[k] = rounded - previous;
    previous = rounded;
  }
  out[count - 1] = kWeightOne - previous;
}

// Taps for target indices firstTarget .. firstTarget + n - 1 of an axis that maps
// sourceLength pixels onto targetLength pixels.
Taps makeTaps(int sourceLength, long long targetLength, long long firstTarget, int n) {
  Taps taps;
  taps.first.resize(n);
  taps.count.resize(n);
  const bool shrinking = sourceLength > targetLength;
  taps.stride = shrinking ? static_cast<int>(sourceLength / targetLength) + 2 : 2;
  taps.weights.assign(static_cast<std::size_t>(n) * taps.stride, 0);
  std::vector<double> exact(taps.stride);

  for (int i = 0; i < n; ++i) {
    const long long t = firstTarget + i;
    std::int32_t* weights = taps.weights.data() + static_cast<std::size_t>(i) * taps.stride;
    if (shrinking) {
      // Area averaging, in units of 1 / targetLength source pixels: target pixel t covers
      // [t * S, (t + 1) * S) and source pixel j covers [j * T, (j + 1) * T).
      const long long start = t * sourceLength;
      const long long end = start + sourceLength;
      const long long first = start / targetLength;
      const long long last = (end - 1) / targetLength;
      const int count = static_cast<int>(last - first + 1);
      for (int k = 0; k < count; ++k) {
        const long long j = first + k;
        const long long overlap =
            std::min(end, (j + 1) * targetLength) - std::max(start, j * targetLength);
        exact[k] = static_cast<double>(overlap) / static_cast<double>(sourceLength);
      }
      taps.first[i] = static_cast<int>(first);
      taps.count[i] = count;
      quantise(exact.data(), count, weights);
    } else {
      // Bilinear between the centres of the two nearest source pixels; the borders repeat.
      const double centre =
          (static_cast<double>(t) + 0.5) * sourceLength / static_cast<double>(targetLength) - 0.5;
      double floor = std::floor(centre);
      double fraction = centre - floor;
      if (floor < 0) {
        floor = 0;
        fraction = 0;
      } else if (floor >= sourceLength - 1) {
        floor = sourceLength - 1;
        fraction = 0;
      }
      const auto right = static_cast<std::int32_t>(std::lround(fraction * kWeightOne));
      taps.first[i] = static_cast<int>(floor);
      if (right == 0) {
        taps.count[i] = 1;
        weights[0] = kWeightOne;
      } else if (right == kWeightOne) {
        taps.first[i] += 1;
        taps.count[i] = 1;
        weights[0] = kWeightOne;
      } else {
        taps.count[i] = 2;
        weights[0] = kWeightOne - right;
        weights[1] = right;
      }
    }
  }
  return taps;
}

// One source row filtered horizontally into Q8 R, G, B triples.
void filterRow(const std::uint32_t* source, const Taps& taps, int n, std::uint16_t* out) {
  for (int x = 0; x < n; ++x) {
    const std::uint32_t* pixels = source + taps.first[x];
    const std::int32_t* weights = taps.weights.data() + static_cast<std::size_t>(x) * taps.stride;
    std::int32_t r = 0, g = 0, b = 0;
    for (int k = 0; k < taps.count[x]; ++k) {
      const std::uint32_t p = pixels[k];
      r += weights[k] * static_cast<std::int32_t>(p & 0xFF);
      g += weights[k] * static_cast<std::int32_t>((p >> 8) & 0xFF);
      b += weights[k] * static_cast<std::int32_t>((p >> 16) & 0xFF);
    }
    constexpr std::int32_t half = 1 << (kRowShift - 1);
    out[3 * x] = static_cast<std::uint16_t>((r + half) >> kRowShift);
    out[3 * x + 1] = static_cast<std::uint16_t>((g + half) >> kRowShift);
    out[3 * x + 2] = static_cast<std::uint16_t>((b + half) >> kRowShift);
  }
}

}  // namespace

void resampleInto(const Raster& source, Raster& target, const QRect& rect) {
  if (source.isEmpty() || rect.width() <= 0 || rect.height() <= 0) return;
  const long long left = rect.x(), top = rect.y();
  const long long width = rect.width(), height = rect.height();
  const long long x0 = std::max(left, 0LL), x1 = std::min(left + width, (long long)target.width());
  const long long y0 = std::max(top, 0LL), y1 = std::min(top + height, (long long)target.height());
  if (x0 >= x1 || y0 >= y1) return;
  const int nx = static_cast<int>(x1 - x0);
  const int ny = static_cast<int>(y1 - y0);

  if (source.width() == width && source.height() == height) {
    for (int y = 0; y < ny; ++y) {
      std::memcpy(target.row(static_cast<int>(y0) + y) + x0,
                  source.row(static_cast<int>(y0 - top) + y) + (x0 - left),
                  static_cast<std::size_t>(nx) * sizeof(std::uint32_t));
    }
    return;
  }

  const Taps horizontal = makeTaps(source.width(), width, x0 - left, nx);
  const Taps vertical = makeTaps(source.height(), height, y0 - top, ny);

  // The horizontally filtered source rows live in a ring just large enough for the rows of
  // one target row; the rows a target row needs never move backwards.
  const int ringRows = vertical.stride;
  const std::size_t rowValues = static_cast<std::size_t>(nx) * 3;
  std::vector<std::uint16_t> ring(ringRows * rowValues);
  std::vector<std::int32_t> sums(rowValues);
  int nextRow = 0;  // source rows before this one have been filtered (or are not needed)

  for (int y = 0; y < ny; ++y) {
    const int first = vertical.first[y];
    const int count = vertical.count[y];
    for (int r = std::max(nextRow, first); r < first + count; ++r) {
      filterRow(source.row(r), horizontal, nx, ring.data() + (r % ringRows) * rowValues);
    }
    nextRow = std::max(nextRow, first + count);

    std::fill(sums.begin(), sums.end(), 0);
    const std::int32_t* weights =
        vertical.weights.data() + static_cast<std::size_t>(y) * vertical.stride;
    for (int k = 0; k < count; ++k) {
      const std::uint16_t* row = ring.data() + ((first + k) % ringRows) * rowValues;
      const std::int32_t w = weights[k];
      for (std::size_t i = 0; i < rowValues; ++i) sums[i] += w * row[i];
    }

    constexpr std::int32_t half = 1 << (kFinalShift - 1);
    std::uint32_t* out = target.row(static_cast<int>(y0) + y) + x0;
    for (int x = 0; x < nx; ++x) {
      const auto r = static_cast<std::uint32_t>(std::min((sums[3 * x] + half) >> kFinalShift, 255));
      const auto g =
          static_cast<std::uint32_t>(std::min((sums[3 * x + 1] + half) >> kFinalShift, 255));
      const auto b =
          static_cast<std::uint32_t>(std::min((sums[3 * x + 2] + half) >> kFinalShift, 255));
      out[x] = r | (g << 8) | (b << 16) | Raster::kOpaque;
    }
  }
}

Raster resampled(const Raster& source, int width, int height) {
  Raster target(width, height);
  resampleInto(source, target, QRect(0, 0, width, height));
  return target;
}

}  // namespace snapfolio
