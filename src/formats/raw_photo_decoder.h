// RawPhotoDecoder: camera raw files (DNG, CR2, CR3, NEF, ARW, ORF, RAF, RW2 and the others
// LibRaw knows) behind the PhotoDecoder interface.
//
// An output image is made from the camera's own rendering, the JPEG preview embedded in the
// file, when that preview is at least as large as the decoding asked for (fast: a JPEG decoded
// at its reduced DCT scale); otherwise from LibRaw's full decoding (camera white balance, sRGB,
// 8 bits). Both are produced as the sensor lies; the orientation comes from the raw's own
// metadata (LibRaw's flip) and is applied by the pipeline as for JPEG. The EXIF block (date
// taken, metadata options) is read by Exiv2 from the TIFF-based files.
//
// Not thread-safe, as PhotoDecoder. LibRaw itself may use OpenMP threads in its full decoding.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/photo_decoder.h"

class LibRaw;

namespace snapfolio {

// Gives LibRaw's object back to its thread's spare, cleared for the next file.
struct LibRawRelease {
  void operator()(LibRaw* raw) const;
};
using LibRawHandle = std::unique_ptr<LibRaw, LibRawRelease>;

class RawPhotoDecoder final : public PhotoDecoder {
 public:
  // Whether the bytes begin with the signature of a raw format of its own (CR2, CR3, ORF, RW2,
  // RAF); raws that begin as plain TIFF files do (DNG, NEF, ARW) are told by tryOpen.
  static bool isMine(std::span<const std::uint8_t> bytes);
  // The decoder of the bytes when LibRaw reads them as a camera's raw file; nothing otherwise.
  // Throws Failure when they are a raw file that exceeds the limits.
  static std::unique_ptr<PhotoDecoder> tryOpen(std::vector<std::uint8_t>& bytes,
                                               const Limits& limits);

  // Opens the raw file. Throws Failure when LibRaw cannot, or when it exceeds the limits.
  RawPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits);
  ~RawPhotoDecoder() override;

  PhotoFormat format() const override { return PhotoFormat::Raw; }
  int width() const override { return width_; }
  int height() const override { return height_; }
  std::span<const std::uint8_t> bytes() const override { return bytes_; }
  PhotoBlocks blocks() const override;
  const Raster& decodeFor(QSize size) override;
  Raster decodeStored() override { return decodeFor(QSize()); }
  void swapDecodeBuffer(Raster& buffer) override;
  std::string damage() const override { return {}; }
  long long decodedPixels(QSize size) const override;
  // The unpacked sensor data and LibRaw's 4 x 16-bit working image.
  long long codecBytes() const override { return 10LL * width_ * height_; }

 private:
  // The same with `opened`, LibRaw's reading of the bytes, when tryOpen has made it.
  RawPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits, LibRawHandle opened);
  // Whether the embedded JPEG preview serves a decoding of `size` (empty: the full size).
  bool previewServes(QSize size) const;
  void decodePreview(QSize size);
  void decodeRaw();

  std::vector<std::uint8_t> bytes_;
  Limits limits_;
  LibRawHandle raw_;
  int width_ = 0;
  int height_ = 0;
  int orientation_ = 1;
  int previewWidth_ = 0;  // of a JPEG preview; 0: none
  int previewHeight_ = 0;
  Raster decoding_;
  bool decoded_ = false;
  bool fromPreview_ = false;
};

}  // namespace snapfolio
