// JpegPhotoDecoder: a JPEG photo behind the PhotoDecoder interface, through the JPEG image
// object (jpeg/jpeg_image.h): the header read once, the decoding scaled in the DCT domain,
// CMYK and YCCK photos decoded at full size.
//
// Not thread-safe, as PhotoDecoder.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "formats/photo_decoder.h"
#include "jpeg/jpeg_image.h"

namespace snapfolio {

// The metadata blocks in the header of JPEG bytes; empty ones when there is no header.
PhotoBlocks readJpegBlocks(std::span<const std::uint8_t> bytes, const Limits& limits);

class JpegPhotoDecoder final : public PhotoDecoder {
 public:
  // Whether the bytes begin as a JPEG file does (FF D8 FF).
  static bool isMine(std::span<const std::uint8_t> bytes);

  // Takes the bytes and reads their header. Throws EJPEG when they are no JPEG header or
  // exceed the limits; a zero-byte file opens (and has no size).
  JpegPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits);

  PhotoFormat format() const override { return PhotoFormat::Jpeg; }
  int width() const override { return jpeg_.ImageWidth(); }
  int height() const override { return jpeg_.ImageHeight(); }
  std::span<const std::uint8_t> bytes() const override;
  PhotoBlocks blocks() const override;
  const Raster& decodeFor(QSize size) override;
  Raster decodeStored() override;
  void swapDecodeBuffer(Raster& buffer) override { jpeg_.SwapDecodeBuffer(buffer); }
  std::string damage() const override;
  long long decodedPixels(QSize size) const override;
  long long codecBytes() const override;

 private:
  Limits limits_;  // before jpeg_, which reads under them
  TJPEGImage jpeg_;
};

}  // namespace snapfolio
