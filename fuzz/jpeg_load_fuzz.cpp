// libFuzzer target: JPEG loading, the parser of untrusted input behind every photo. Reads the
// bytes into a TJPEGImage, asks for the size from the header, and when the image is small
// decodes it (at full size and through DrawTo's reduced-scale path), looks at the damage the
// decoder got past and encodes the picture again. The input's length picks one of the decoding
// options, so that greyscale, 236-colour, fast and half-size decoding are reached too.
// Failures the object reports (EJPEG, Failure) are expected; anything else is a finding.
//
// Pictures are kept small: past a few blocks in each direction a larger picture reaches no new
// code, it only makes each run slower (the whole codec is the same for 8 x 8 and 4000 x 3000).
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>

#include <QRect>

#include "core/failure.h"
#include "core/raster.h"
#include "jpeg/jpeg_image.h"

namespace {

// Decoded at all only up to this many pixels (and 512 pixels a side); encoded again only up
// to kFuzzMaxEncodePixels.
constexpr long long kFuzzMaxPixels = 64 * 64;
constexpr long long kFuzzMaxSide = 512;
constexpr long long kFuzzMaxEncodePixels = 32 * 32;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

snapfolio::JpegOptions optionsFor(std::size_t size) {
  snapfolio::JpegOptions options = snapfolio::JpegDefaults;
  switch (size % 5) {
    case 1:
      options.GrayDecode = true;
      break;
    case 2:
      options.DecodeDepth = snapfolio::JpegDepth::Depth8;
      break;
    case 3:
      options.FastDecode = snapfolio::JpegPerformance::BestSpeed;
      break;
    case 4:
      options.DecodeScale = snapfolio::JpegScale::HalfSize;
      break;
    default:
      break;
  }
  return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace snapfolio;
  try {
    TJPEGImage image;
    image.ReadFrom(std::span<const std::uint8_t>(data, size));
    image.SetOptions(optionsFor(size));
    const long long width = image.ImageWidth();
    const long long height = image.ImageHeight();
    if (width * height > kFuzzMaxPixels || width > kFuzzMaxSide || height > kFuzzMaxSide) {
      return 0;
    }

    Raster thumbnail(32, 24);
    image.DrawTo(thumbnail, QRect(0, 0, 32, 24));
    const Raster& decoded = image.DecodedBitmap();
    check(decoded.width() == width && decoded.height() == height);
    if (image.Damage()) {
      check(image.Damage()->warnings > 0 && !image.Damage()->cause().empty());
    }

    if (width * height <= kFuzzMaxEncodePixels) {
      TJPEGImage copy;
      copy.Assign(decoded);
      std::ostringstream out;
      copy.WriteTo(out);
    }
  } catch (const EJPEG& e) {
    // A refused or broken file: the expected outcome for most inputs.
    check(e.what()[0] != '\0');
  } catch (const Failure&) {
  }
  return 0;
}
