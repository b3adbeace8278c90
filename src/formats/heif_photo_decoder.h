// HeifPhotoDecoder: a HEIF photo (HEIC from phones and cameras, AVIF when libheif has an AV1
// decoder) behind the PhotoDecoder interface, through libheif.
//
// Only the primary image is read; its alpha channel is composed onto the page background, a
// depth map or thumbnails are ignored. libheif applies the container's transformations
// (rotation, mirror, crop) while decoding, so the decoding is upright: the EXIF orientation,
// which a HEIF file's EXIF may still carry, is not applied again (PhotoBlocks::orientation is 1).
// The colour profile is the file's ICC profile, or one made from its nclx colour description when
// that is not sRGB (Display P3 from phones). libheif decodes with Limits::decodingThreads
// threads: one beside a run's several workers, every core for a lone worker.
//
// Not thread-safe, as PhotoDecoder.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/whole_photo_decoder.h"

struct heif_context;
struct heif_image_handle;

namespace snapfolio {

class HeifPhotoDecoder final : public WholePhotoDecoder {
 public:
  // Whether the bytes begin with an ISO BMFF "ftyp" box of a HEIF still-image brand that
  // libheif can decode.
  static bool isMine(std::span<const std::uint8_t> bytes);

  // Reads the container and finds the primary image. Throws Failure when it cannot, or when
  // the image exceeds the limits.
  HeifPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits);
  ~HeifPhotoDecoder() override;

  PhotoFormat format() const override { return PhotoFormat::Heif; }
  int width() const override { return width_; }
  int height() const override { return height_; }
  PhotoBlocks blocks() const override;
  // The coded planes (YCbCr at up to 16 bits) and the interleaved copy libheif makes.
  long long codecBytes() const override { return 10LL * width_ * height_; }

 private:
  void decodeInto(Raster& raster) override;

  Limits limits_;
  std::unique_ptr<heif_context, void (*)(heif_context*)> context_;
  std::unique_ptr<const heif_image_handle, void (*)(const heif_image_handle*)> handle_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace snapfolio
