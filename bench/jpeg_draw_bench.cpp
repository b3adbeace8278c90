// Decoding and drawing one photo into a thumbnail-sized surface, as the photo pipeline does:
// LoadFromFile + DrawTo, with the reduced-scale DCT decoding (the normal path) and with a
// full-size decoding (DecodedBitmap first), for a 20-megapixel and a 2560 x 1600 photo at 150
// and 640 pixels wide. It prints figures and judges nothing.
//
// The photos come from $SNAPFOLIO_PHOTOS (tests/fixtures/fetch-photos.sh).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include <QRect>

#include "core/raster.h"
#include "jpeg/jpeg_image.h"

namespace {

std::string photo(const char* name) {
  const char* dir = std::getenv("SNAPFOLIO_PHOTOS");
  const std::string base = dir != nullptr && *dir != '\0'
                               ? std::string(dir)
                               : std::string(std::getenv("HOME")) + "/.cache/snapfolio/photos";
  return base + "/" + name;
}

void drawPhoto(benchmark::State& state, const char* name, bool fullSize) {
  const int width = static_cast<int>(state.range(0));
  for (auto _ : state) {
    snapfolio::TJPEGImage image;
    image.LoadFromFile(photo(name));
    const int height = image.ImageHeight() * width / image.ImageWidth();
    snapfolio::Raster surface(width, height);
    if (fullSize) image.DecodedBitmap();
    image.DrawTo(surface, QRect(0, 0, width, height));
    benchmark::DoNotOptimize(surface.data());
  }
}

void BM_Landscape20mp(benchmark::State& state) {
  drawPhoto(state, "landscape-20mp.jpg", false);
}
void BM_Landscape20mpFullDecode(benchmark::State& state) {
  drawPhoto(state, "landscape-20mp.jpg", true);
}
void BM_Photo2560x1600(benchmark::State& state) {
  drawPhoto(state, "dslr-420.jpeg", false);
}
void BM_Photo2560x1600FullDecode(benchmark::State& state) {
  drawPhoto(state, "dslr-420.jpeg", true);
}

}  // namespace

BENCHMARK(BM_Landscape20mp)->Arg(150)->Arg(640)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Landscape20mpFullDecode)->Arg(150)->Arg(640)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Photo2560x1600)->Arg(150)->Arg(640)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Photo2560x1600FullDecode)->Arg(150)->Arg(640)->Unit(benchmark::kMillisecond);
