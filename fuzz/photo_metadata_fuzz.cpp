// libFuzzer target: the metadata and colour profile path of every photo. Reads the EXIF block
// and the ICC profile from the bytes' JPEG header (libjpeg's marker reader), the orientation
// and the date taken (Exiv2), builds the profile's transform to sRGB and applies it to a small
// raster (lcms2), and makes the EXIF of an output image in both keeping modes and writes it
// into a small JPEG (Exiv2). Reading never fails on what a photo holds; writing may refuse with
// a Failure. Anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "core/failure.h"
#include "core/raster.h"
#include "imaging/colour_profile.h"
#include "imaging/orientation.h"
#include "imaging/photo_metadata.h"
#include "jpeg/jpeg_image.h"

namespace {

using namespace snapfolio;

// The output image the kept EXIF is written into.
const std::vector<std::uint8_t>& smallJpeg() {
  static const std::vector<std::uint8_t> bytes = [] {
    Raster raster(16, 12);
    raster.fill(rgb(200, 120, 40));
    TJPEGImage image;
    image.Assign(raster);
    std::ostringstream out;
    image.WriteTo(out);
    const std::string text = out.str();
    return std::vector<std::uint8_t>(text.begin(), text.end());
  }();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PhotoMetadata metadata = readPhotoMetadata(std::span<const std::uint8_t>(data, size));
  if (!isOrientation(metadata.orientation)) __builtin_trap();
  // The date read with the metadata is the one read from the block alone.
  if (metadata.dateTaken != dateTakenOf(metadata.exif)) __builtin_trap();

  if (!metadata.icc.empty()) {
    if (auto transform = ColourTransform::toSrgb(metadata.icc, metadata.kind)) {
      Raster raster(17, 3);
      for (int x = 0; x < raster.width(); ++x) {
        for (int y = 0; y < raster.height(); ++y) raster.setPixel(x, y, rgb(x * 15, y * 120, 77));
      }
      transform->apply(raster);
      for (int y = 0; y < raster.height(); ++y) {
        for (int x = 0; x < raster.width(); ++x) {
          if ((raster.row(y)[x] & Raster::kOpaque) != Raster::kOpaque) __builtin_trap();
        }
      }
    }
  }

  for (MetadataMode mode : {MetadataMode::KeepPrivate, MetadataMode::KeepAll}) {
    const std::vector<std::uint8_t> exif = outputExif(metadata, mode, 16, 12, true);
    if (exif.empty()) continue;
    try {
      const std::vector<std::uint8_t> out = withExif(smallJpeg(), exif);
      // What was written reads back with orientation 1.
      if (readPhotoMetadata(out).orientation != 1) __builtin_trap();
    } catch (const Failure&) {
      // Exiv2 refused to write the block.
    }
  }
  return 0;
}
