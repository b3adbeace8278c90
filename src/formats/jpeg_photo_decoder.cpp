#include "formats/jpeg_photo_decoder.h"

#include <utility>

#include <QRect>

#include "jpeg/jpeg_decode.h"

namespace snapfolio {

PhotoBlocks readJpegBlocks(std::span<const std::uint8_t> bytes, const Limits& limits) {
  PhotoBlocks blocks;
  try {
    jpeg::JpegMarkers markers = jpeg::readJpegMarkers(bytes, limits);
    blocks.kind = markers.kind;
    blocks.exif = std::move(markers.exif);
    blocks.icc = std::move(markers.icc);
  } catch (...) {
    return {};  // not even a header: reading the photo reports that
  }
  return blocks;
}

bool JpegPhotoDecoder::isMine(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

JpegPhotoDecoder::JpegPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits)
    : limits_(limits) {
  jpeg_.ReadFrom(std::move(bytes), limits_);
}

std::span<const std::uint8_t> JpegPhotoDecoder::bytes() const {
  return *jpeg_.Data().Stream;
}

PhotoBlocks JpegPhotoDecoder::blocks() const {
  return readJpegBlocks(bytes(), limits_);
}

const Raster& JpegPhotoDecoder::decodeFor(QSize size) {
  return jpeg_.DecodedFor(QRect(QPoint(0, 0), size));
}

Raster JpegPhotoDecoder::decodeStored() {
  // Ink values go through a profile as they are, so they are decoded at full size: the
  // reduced DCT scale would average inks, which is not averaging colours.
  jpeg::DecodeSettings settings;
  settings.blockSmoothing = jpeg_.Options().BlockSmoothing;
  settings.inkValues = true;
  settings.limits = &limits_;
  return jpeg::decodeJpeg(bytes(), settings);
}

std::string JpegPhotoDecoder::damage() const {
  return jpeg_.Damage() ? jpeg_.Damage()->cause() : std::string();
}

long long JpegPhotoDecoder::decodedPixels(QSize size) const {
  const TJPEGData& data = jpeg_.Data();
  const long long photoPixels = 1LL * data.Width * data.Height;
  if (data.Cmyk || size.isEmpty()) return photoPixels;
  const long long n = draftScaleFor(data.Width, data.Height, size.width(), size.height());
  return ((data.Width * n + 7) / 8) * ((data.Height * n + 7) / 8);
}

long long JpegPhotoDecoder::codecBytes() const {
  // A multi-scan file keeps its coefficients (about 3 bytes a pixel for 4:2:0) while it is
  // decoded.
  const TJPEGData& data = jpeg_.Data();
  return jpeg_.Options().ProgressiveWrite ? 3LL * data.Width * data.Height : 0;
}

}  // namespace snapfolio
