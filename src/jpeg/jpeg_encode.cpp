#include "jpeg/jpeg_encode.h"

// Standard library
#include <algorithm>
#include <array>
#include <string>

// Qt
#include <QCoreApplication>

// Project
#include "core/translation.h"
#include "jpeg/jpeg_codec.h"
#include "jpeg/jpeg_image.h"

namespace snapfolio::jpeg {

namespace {

constexpr JDIMENSION kRowBatch = 16;

}  // namespace

std::vector<std::uint8_t> encodeJpeg(const Raster& raster, const EncodeSettings& settings) {
  std::vector<std::uint8_t> bytes;
  if (raster.isEmpty()) return bytes;
  if (raster.width() > JPEG_MAX_DIMENSION || raster.height() > JPEG_MAX_DIMENSION) {
    const std::string size =
        std::to_string(raster.width()) + " x " + std::to_string(raster.height());
    throw EJPEG(
        "JPEG image of " + size + " pixels is too large",
        fillIn(QCoreApplication::translate(
                   "TJPEGImage", "画像が大きすぎる(JPEGの縦横は%1ピクセルまで、この画像は%2)。"),
               {std::to_string(JPEG_MAX_DIMENSION), size}));
  }

  Compressor compressor(bytes);
  jpeg_compress_struct& cinfo = *compressor.get();
  cinfo.image_width = static_cast<JDIMENSION>(raster.width());
  cinfo.image_height = static_cast<JDIMENSION>(raster.height());
  // The raster's memory is R, G, B, X per pixel: the library reads it as it is.
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_RGBX;
  compressor.setDefaults();
  compressor.setQuality(settings.quality, true);
  if (settings.grayscale) compressor.setColorspace(JCS_GRAYSCALE);
  if (settings.progressive) compressor.simpleProgression();
  compressor.startCompress();

  std::array<JSAMPROW, kRowBatch> rows{};
  while (cinfo.next_scanline < cinfo.image_height) {
    const JDIMENSION count = std::min(kRowBatch, cinfo.image_height - cinfo.next_scanline);
    for (JDIMENSION i = 0; i < count; ++i) {
      // The library only reads input rows; its row type is not const.
      rows[i] = reinterpret_cast<JSAMPROW>(
          const_cast<std::uint32_t*>(raster.row(static_cast<int>(cinfo.next_scanline + i))));
    }
    compressor.writeScanlines(rows.data(), count);
  }
  compressor.finishCompress();
  return bytes;
}

}  // namespace snapfolio::jpeg
