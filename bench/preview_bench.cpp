// The window's preview of a photo: one call of the photo pipeline for output image 1 (read,
// decode at the reduced DCT scale, scale into the surface), as the preview button makes it, on
// the camera photos of 20, 18 and 13 megapixels at 150 and 640 pixels wide. Colour profiles and
// orientation on, as by default. It prints figures and judges nothing.
//
// The photos come from $SNAPFOLIO_PHOTOS (tests/fixtures/fetch-photos.sh).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "imaging/photo_pipeline.h"

namespace {

using namespace snapfolio;

std::string photo(const char* name) {
  const char* dir = std::getenv("SNAPFOLIO_PHOTOS");
  const std::string base = dir != nullptr && *dir != '\0'
                               ? std::string(dir)
                               : std::string(std::getenv("HOME")) + "/.cache/snapfolio/photos";
  return base + "/" + name;
}

// A window that shows nothing: the figures are the engine's.
class QuietPort : public PipelinePort {
 public:
  void setStatusLine(ProgressLevel, const std::string&) override {}
  void setProgressMaximum(ProgressLevel, int) override {}
  void setProgressValue(ProgressLevel, int) override {}
  void advanceProgress(ProgressLevel) override {}
  void showMessage(const std::string&) override {}
  void showError(const std::string& text) override { failure = text; }
  void showFileError(const std::string&) override {}
  void surfaceReady(int, const Raster&) override {}
  std::string failure;
};

void preview(benchmark::State& state, const char* name) {
  const std::string file = photo(name);
  const std::string width = std::to_string(state.range(0));
  QuietPort port;
  Workspace workspace;
  for (auto _ : state) {
    PhotDispSet(file, PipelineInputs{}, width, 1, workspace, port);
    benchmark::DoNotOptimize(workspace.surface(1).data());
  }
  if (!port.failure.empty()) state.SkipWithError(port.failure.c_str());
}

void BM_Preview20mp(benchmark::State& state) {
  preview(state, "landscape-20mp.jpg");
}
void BM_Preview18mp(benchmark::State& state) {
  preview(state, "landscape-18mp.jpg");
}
void BM_Preview13mpPortrait(benchmark::State& state) {
  preview(state, "portrait-13mp.JPG");
}

BENCHMARK(BM_Preview20mp)->Arg(150)->Arg(640)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview18mp)->Arg(150)->Arg(640)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview13mpPortrait)->Arg(150)->Arg(640)->Unit(benchmark::kMillisecond);

}  // namespace
