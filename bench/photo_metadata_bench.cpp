// What the photo options add to one pipeline call, piece by piece: reading the metadata of a
// photo's header (libjpeg's marker reader and Exiv2), making its profile's transform (lcms2),
// converting and turning a 1280 x 800 draft (what a 640-wide output image of a 2560 x 1600
// photo decodes), and drawing the photo as stored and turned upright. It prints figures and
// judges nothing.
//
// The photos come from $SNAPFOLIO_PHOTOS (tests/fixtures/fetch-photos.sh).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include <QRect>

#include "core/raster.h"
#include "formats/photo_decoder.h"
#include "imaging/colour_profile.h"
#include "imaging/orientation.h"
#include "imaging/photo_drawing.h"
#include "imaging/photo_metadata.h"
#include "jpeg/jpeg_image.h"

namespace {

using namespace snapfolio;

std::string photo(const char* name) {
  const char* dir = std::getenv("SNAPFOLIO_PHOTOS");
  const std::string base = dir != nullptr && *dir != '\0'
                               ? std::string(dir)
                               : std::string(std::getenv("HOME")) + "/.cache/snapfolio/photos";
  return base + "/" + name;
}

std::vector<std::uint8_t> bytesOf(const char* name) {
  TJPEGImage image;
  image.LoadFromFile(photo(name));
  return *image.Data().Stream;
}

void readMetadata(benchmark::State& state, const char* name) {
  const std::vector<std::uint8_t> bytes = bytesOf(name);
  for (auto _ : state) benchmark::DoNotOptimize(readPhotoMetadata(bytes));
}
// EXIF with maker notes and an sRGB profile; EXIF with maker notes; an Adobe RGB profile.
BENCHMARK_CAPTURE(readMetadata, srgb_444, "icc-srgb-444.jpg")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(readMetadata, dslr_420, "dslr-420.jpeg")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(readMetadata, adobergb, "icc-adobergb.jpg")->Unit(benchmark::kMicrosecond);

void makeTransform(benchmark::State& state, const char* name) {
  const PhotoMetadata metadata = readPhotoMetadata(bytesOf(name));
  for (auto _ : state) {
    benchmark::DoNotOptimize(ColourTransform::toSrgb(metadata.icc, metadata.kind));
  }
}
// The sRGB profile is found to change nothing (and gives no transform).
BENCHMARK_CAPTURE(makeTransform, srgb, "icc-srgb-444.jpg")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(makeTransform, adobergb, "icc-adobergb.jpg")->Unit(benchmark::kMicrosecond);

void BM_ConvertDraft(benchmark::State& state) {
  const PhotoMetadata metadata = readPhotoMetadata(bytesOf("icc-adobergb.jpg"));
  const auto transform = ColourTransform::toSrgb(metadata.icc, metadata.kind);
  Raster draft(1280, 800);
  draft.fill(rgb(200, 100, 50));
  for (auto _ : state) {
    transform->apply(draft);
    benchmark::DoNotOptimize(draft.data());
  }
}
BENCHMARK(BM_ConvertDraft)->Unit(benchmark::kMillisecond);

void BM_TurnDraft(benchmark::State& state) {
  Raster draft(1280, 800);
  draft.fill(rgb(200, 100, 50));
  for (auto _ : state) benchmark::DoNotOptimize(upright(draft, static_cast<int>(state.range(0))));
}
BENCHMARK(BM_TurnDraft)->Arg(1)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);

// Loading and drawing a 2560 x 1600 photo into a 640-pixel surface (the pipeline's main work)
// as stored (orientation 1) and turned a quarter (orientation 6, into a 400 x 640 surface):
// the same decoding, so the difference is what turning costs.
void BM_DrawPhoto640(benchmark::State& state) {
  PhotoLook look;
  look.orientation = static_cast<int>(state.range(0));
  const bool turned = swapsAxes(look.orientation);
  const QRect rect(0, 0, turned ? 400 : 640, turned ? 640 : 400);
  for (auto _ : state) {
    const auto decoder = PhotoDecoder::openFile(photo("dslr-420.jpeg"), kLimits);
    Raster surface(rect.width(), rect.height());
    drawPhoto(*decoder, look, surface, rect);
    benchmark::DoNotOptimize(surface.data());
  }
}
BENCHMARK(BM_DrawPhoto640)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace
