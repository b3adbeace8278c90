// libFuzzer target: JPEG loading, the parser of untrusted input behind every photo. Reads the
// bytes into a TJPEGImage, asks for the size from the header, and when the image is small
// decodes it (at full size and through DrawTo's reduced-scale path) and encodes it again.
// Failures the object reports (EJPEG, Failure) are expected; anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>

#include <QRect>

#include "core/failure.h"
#include "core/raster.h"
#include "jpeg/jpeg_image.h"

namespace {

// Larger images would only make each run slow without reaching new code.
constexpr long long kFuzzMaxPixels = 1'000'000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace snapfolio;
  try {
    TJPEGImage image;
    image.ReadFrom(std::span<const std::uint8_t>(data, size));
    const long long width = image.ImageWidth();
    const long long height = image.ImageHeight();
    if (width * height > kFuzzMaxPixels) return 0;

    Raster thumbnail(32, 24);
    image.DrawTo(thumbnail, QRect(0, 0, 32, 24));
    const Raster& decoded = image.DecodedBitmap();
    if (decoded.width() != width || decoded.height() != height) __builtin_trap();

    if (width * height <= 256 * 256) {
      TJPEGImage copy;
      copy.Assign(decoded);
      std::ostringstream out;
      copy.WriteTo(out);
    }
  } catch (const Failure&) {
    // A refused or broken file: the expected outcome for most inputs.
  }
  return 0;
}
