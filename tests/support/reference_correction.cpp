#include "support/reference_correction.h"

#include <cmath>

namespace snapfolio::test {

int referenceChannel(int value, int offset, int mean, int lum, int gain, int limit) {
  const long double t = static_cast<long double>(lum - mean) / static_cast<long double>(255 - mean);
  const double product = static_cast<double>(t * static_cast<long double>(3.141592653589793));
  const long double w = static_cast<long double>(std::cos(product)) + 1.0L;
  const long double d = static_cast<long double>(limit) * static_cast<long double>(lum) * 0.1L +
                        static_cast<long double>(mean);
  const long double k = w * (static_cast<long double>(gain) / d) + 1.0L;
  const long double r = (static_cast<long double>(offset) + static_cast<long double>(value)) * k;
  const long double truncated = std::trunc(r);
  return truncated > 255 ? 255 : truncated < 0 ? 0 : static_cast<int>(truncated);
}

int referenceMean(const Raster& surface) {
  double sum = 0;
  long long count = 0;
  for (int y = 0; y < surface.height(); y += 10) {
    for (int x = 0; x < surface.width(); x += 10, ++count) {
      const std::uint32_t p = surface.pixel(x, y);
      sum += redOf(p) + greenOf(p) + blueOf(p);
    }
  }
  return static_cast<int>(sum / (3.0 * static_cast<double>(count)));
}

Raster referenceCorrection(const Raster& surface, int redOffset, int greenOffset, int blueOffset,
                           int gain, int limit) {
  const int mean = referenceMean(surface);
  Raster out = surface;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      const std::uint32_t p = surface.pixel(x, y);
      const int lum = (redOf(p) + greenOf(p) + blueOf(p)) / 3;
      out.setPixel(x, y,
                   rgb(referenceChannel(redOf(p), redOffset, mean, lum, gain, limit),
                       referenceChannel(greenOf(p), greenOffset, mean, lum, gain, limit),
                       referenceChannel(blueOf(p), blueOffset, mean, lum, gain, limit)));
    }
  }
  return out;
}

}  // namespace snapfolio::test
