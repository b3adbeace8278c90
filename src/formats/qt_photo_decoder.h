// QtPhotoDecoder: PNG, TIFF and WebP photos behind the PhotoDecoder interface, through Qt's
// image readers (libpng and, from Qt's image format plugins, libtiff and libwebp).
//
// The size is read from the header and checked against the limits before anything is
// decoded, and Qt's own allocation limit is set to the same bound. Greyscale photos decode as
// grey (their profile then is a grey one), 16-bit photos are rounded to 8 bits, and alpha is
// composed onto the page background (whole_photo_decoder.h). The metadata blocks (EXIF, ICC
// profile) are read by Exiv2 from the file; the EXIF orientation (for TIFF the Orientation
// tag itself) is applied by the pipeline as for JPEG, never by Qt.
//
// Not thread-safe, as PhotoDecoder.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "formats/whole_photo_decoder.h"

namespace snapfolio {

// The EXIF block and the ICC profile of a file Exiv2 reads (PNG, TIFF, WebP, TIFF-based raw
// files), bounded by the limits; empty ones when it cannot.
PhotoBlocks blocksByExiv2(std::span<const std::uint8_t> bytes, const Limits& limits);

class QtPhotoDecoder final : public WholePhotoDecoder {
 public:
  // The format whose signature the bytes begin with (PNG, TIFF or WebP); nothing otherwise.
  static std::optional<PhotoFormat> formatOf(std::span<const std::uint8_t> bytes);
  static bool isPng(std::span<const std::uint8_t> bytes);
  static bool isTiff(std::span<const std::uint8_t> bytes);
  static bool isWebp(std::span<const std::uint8_t> bytes);

  // Reads the header. Throws Failure when the bytes are no image Qt reads, or when it exceeds
  // the limits.
  QtPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits);

  PhotoFormat format() const override { return format_; }
  int width() const override { return width_; }
  int height() const override { return height_; }
  PhotoBlocks blocks() const override;
  // Qt's own decoding, at up to 8 bytes a pixel, beside the raster.
  long long codecBytes() const override { return 8LL * width_ * height_; }

 private:
  void decodeInto(Raster& raster) override;

  Limits limits_;
  PhotoFormat format_ = PhotoFormat::Png;
  int width_ = 0;
  int height_ = 0;
  bool grey_ = false;
};

}  // namespace snapfolio
