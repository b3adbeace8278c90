// The automatic correction on photo-sized surfaces: the table-driven pass of AoutAdjust
// against the plain per-pixel evaluation (ColorAdjust three times per pixel). Reports the
// time per pixel as the counter "per_pixel" (seconds; "1.5n" is 1.5 ns).
#include <benchmark/benchmark.h>

// Standard library
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

// Project
#include "core/raster.h"
#include "imaging/auto_adjust.h"

namespace snapfolio {
namespace {

class NullProgress : public ProgressPort {
 public:
  void setStatusLine(ProgressLevel, const std::string&) override {}
  void setProgressMaximum(ProgressLevel, int) override {}
  void setProgressValue(ProgressLevel, int) override {}
  void advanceProgress(ProgressLevel) override {}
};

const CorrectionValues kValues{"5", "0", "-5", 40, 25};

// Photo-like content: a sky gradient over a darker, textured ground, a few bright and dark
// objects, and sensor noise, so that the pixels use nearly every brightness level.
Raster photoLike(int width, int height) {
  Raster surface(width, height);
  std::mt19937 random(12345);
  std::normal_distribution<double> noise(0.0, 6.0);
  const auto channel = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 255.0)); };
  for (int y = 0; y < height; ++y) {
    const double fy = static_cast<double>(y) / height;
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width;
      double r, g, b;
      if (fy < 0.45 + 0.05 * std::sin(fx * 9.0)) {  // sky
        r = 120 + 90 * fy;
        g = 160 + 60 * fy;
        b = 235 - 30 * fy;
      } else {  // ground with texture
        const double texture = 40 * std::sin(fx * 180.0) * std::cos(fy * 140.0);
        r = 70 + 60 * fx + texture;
        g = 90 + 30 * fy + texture;
        b = 40 + texture;
      }
      const double dx = fx - 0.7, dy = fy - 0.6;
      if (dx * dx + dy * dy < 0.01) r = g = b = 245;               // a white wall
      if (std::abs(fx - 0.25) < 0.03 && fy > 0.5) r = g = b = 12;  // a dark post
      const double n = noise(random);
      surface.setPixel(x, y, rgb(channel(r + n), channel(g + n), channel(b + n)));
    }
  }
  return surface;
}

// The plain way: sampling as AoutAdjust does, then ColorAdjust per channel of every pixel.
void naiveCorrection(Raster& surface, const CorrectionValues& v) {
  double sum = 0;
  unsigned count = 0;
  for (int y = 0; y < surface.height(); y += 10) {
    for (int x = 0; x < surface.width(); x += 10, ++count) {
      const std::uint32_t p = surface.pixel(x, y);
      sum += redOf(p) + greenOf(p) + blueOf(p);
    }
  }
  const int mean = static_cast<int>(std::floor(sum / (3.0 * count)));
  const int red = lenientInteger(v.red), green = lenientInteger(v.green),
            blue = lenientInteger(v.blue);
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      const std::uint32_t p = surface.pixel(x, y);
      const int lum = (redOf(p) + greenOf(p) + blueOf(p)) / 3;
      surface.setPixel(x, y,
                       rgb(ColorAdjust(redOf(p), red, mean, lum, v.gain, v.limit),
                           ColorAdjust(greenOf(p), green, mean, lum, v.gain, v.limit),
                           ColorAdjust(blueOf(p), blue, mean, lum, v.gain, v.limit)));
    }
  }
}

template <typename Pass>
void runPass(benchmark::State& state, Pass pass) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const Raster original = photoLike(width, height);
  Raster work;
  for (auto _ : state) {
    state.PauseTiming();
    work = original;
    state.ResumeTiming();
    pass(work);
    benchmark::DoNotOptimize(work.data());
  }
  state.counters["per_pixel"] = benchmark::Counter(
      static_cast<double>(width) * height,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_AoutAdjust(benchmark::State& state) {
  NullProgress progress;
  runPass(state, [&](Raster& surface) { AoutAdjust(surface, kValues, progress); });
}

void BM_NaivePerPixel(benchmark::State& state) {
  runPass(state, [](Raster& surface) { naiveCorrection(surface, kValues); });
}

BENCHMARK(BM_AoutAdjust)->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaivePerPixel)->Args({640, 480})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace snapfolio
