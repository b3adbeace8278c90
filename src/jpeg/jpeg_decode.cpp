#include "jpeg/jpeg_decode.h"

// Standard library
#include <algorithm>
#include <array>
#include <string>
#include <vector>

// Project
#include "core/limits.h"
#include "jpeg/jpeg_codec.h"
#include "jpeg/jpeg_image.h"

namespace snapfolio::jpeg {

namespace {

// Quantised output keeps 20 of 256 palette entries free, as 8-bit displays reserve them.
constexpr int kQuantisedColours = 236;
// Rows handed to the library per call.
constexpr JDIMENSION kRowBatch = 16;

void checkPixelLimit(long long width, long long height) {
  if (width * height > kLimits.pixels) {
    throw EJPEG("JPEG image of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels exceeds the limit of " + std::to_string(kLimits.pixels) + " pixels");
  }
}

enum class Output { Rgbx, Quantised, Cmyk };

Output configure(jpeg_decompress_struct& cinfo, const DecodeSettings& settings) {
  cinfo.scale_num = static_cast<unsigned>(settings.scaleNum);
  cinfo.scale_denom = static_cast<unsigned>(settings.scaleDenom);
  cinfo.do_block_smoothing = settings.blockSmoothing ? TRUE : FALSE;
  if (settings.fast) {
    cinfo.dct_method = JDCT_IFAST;
    cinfo.two_pass_quantize = FALSE;
    cinfo.dither_mode = JDITHER_ORDERED;
  }
  // The library cannot turn CMYK into RGB; the program does that itself.
  if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
    cinfo.out_color_space = JCS_CMYK;
    return Output::Cmyk;
  }
  if (settings.grayscale || cinfo.jpeg_color_space == JCS_GRAYSCALE) {
    cinfo.out_color_space = JCS_GRAYSCALE;
  } else if (settings.depth8) {
    cinfo.out_color_space = JCS_RGB;
  } else {
    cinfo.out_color_space = JCS_EXT_RGBX;
    return Output::Rgbx;
  }
  cinfo.quantize_colors = TRUE;
  cinfo.desired_number_of_colors = kQuantisedColours;
  return Output::Quantised;
}

// The library's colour map as raster pixels: grey maps repeat component 0, colour maps hold
// red, green and blue in components 0, 1 and 2.
std::array<std::uint32_t, 256> paletteOf(const jpeg_decompress_struct& cinfo) {
  std::array<std::uint32_t, 256> palette{};
  const int colours = std::clamp(cinfo.actual_number_of_colors, 0, 256);
  for (int i = 0; i < colours; ++i) {
    const int r = cinfo.colormap[0][i];
    const int g = cinfo.out_color_components == 1 ? r : cinfo.colormap[1][i];
    const int b = cinfo.out_color_components == 1 ? r : cinfo.colormap[2][i];
    palette[i] = rgb(r, g, b) | Raster::kOpaque;
  }
  return palette;
}

// (a * b) / 255, rounded.
inline int multiply255(int a, int b) {
  const int t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

void cmykToRgb(const JSAMPLE* in, std::uint32_t* out, int width, bool inverted, bool gray) {
  for (int x = 0; x < width; ++x, in += 4) {
    // Adobe files store 255 - ink; others store the ink itself.
    const int c = inverted ? in[0] : 255 - in[0];
    const int m = inverted ? in[1] : 255 - in[1];
    const int y = inverted ? in[2] : 255 - in[2];
    const int k = inverted ? in[3] : 255 - in[3];
    int r = multiply255(c, k), g = multiply255(m, k), b = multiply255(y, k);
    if (gray) r = g = b = (299 * r + 587 * g + 114 * b + 500) / 1000;
    out[x] = rgb(r, g, b) | Raster::kOpaque;
  }
}

// The ink values as they are (0 = no ink), four bytes per pixel.
void inkValues(const JSAMPLE* in, std::uint32_t* out, int width, bool inverted) {
  const std::uint32_t flip = inverted ? 0xFFFFFFFFu : 0u;
  for (int x = 0; x < width; ++x, in += 4) {
    const std::uint32_t ink = static_cast<std::uint32_t>(in[0]) | (std::uint32_t{in[1]} << 8) |
                              (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[3]} << 24);
    out[x] = ink ^ flip;
  }
}

}  // namespace

JpegHeader readJpegHeader(std::span<const std::uint8_t> bytes) {
  Decompressor decompressor;
  decompressor.setSource(bytes.data(), bytes.size());
  decompressor.readHeader();
  const jpeg_decompress_struct& cinfo = *decompressor.get();
  checkPixelLimit(cinfo.image_width, cinfo.image_height);
  JpegHeader header;
  header.width = static_cast<int>(cinfo.image_width);
  header.height = static_cast<int>(cinfo.image_height);
  header.gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  header.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  header.progressive = decompressor.hasMultipleScans();
  return header;
}

Raster decodeJpeg(std::span<const std::uint8_t> bytes, const DecodeSettings& settings) {
  Decompressor decompressor;
  decompressor.setSource(bytes.data(), bytes.size());
  decompressor.readHeader();
  jpeg_decompress_struct& cinfo = *decompressor.get();
  // Checked before the library allocates anything for the image itself.
  checkPixelLimit(cinfo.image_width, cinfo.image_height);
  const Output output = configure(cinfo, settings);
  const bool invertedCmyk = output == Output::Cmyk && cinfo.saw_Adobe_marker;
  decompressor.calcOutputDimensions();
  checkPixelLimit(cinfo.output_width, cinfo.output_height);

  // The library refuses a multi-scan file whose coefficients exceed its memory bound while
  // starting; only then is the raster allocated.
  decompressor.startDecompress();
  Raster raster(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  const int width = raster.width();
  const std::size_t rowBytes = static_cast<std::size_t>(width) * cinfo.output_components;
  std::vector<JSAMPLE> buffer(output == Output::Rgbx ? 0 : rowBytes * kRowBatch);
  const std::array<std::uint32_t, 256> palette =
      output == Output::Quantised ? paletteOf(cinfo) : std::array<std::uint32_t, 256>{};

  std::array<JSAMPROW, kRowBatch> rows{};
  while (cinfo.output_scanline < cinfo.output_height) {
    const int top = static_cast<int>(cinfo.output_scanline);
    const JDIMENSION wanted = std::min(kRowBatch, cinfo.output_height - cinfo.output_scanline);
    for (JDIMENSION i = 0; i < wanted; ++i) {
      // Colour output goes straight into the raster's rows (R, G, B, X per pixel).
      rows[i] = output == Output::Rgbx ? reinterpret_cast<JSAMPROW>(raster.row(top + int(i)))
                                       : buffer.data() + i * rowBytes;
    }
    const JDIMENSION read = decompressor.readScanlines(rows.data(), wanted);
    if (output == Output::Rgbx) continue;
    for (JDIMENSION i = 0; i < read; ++i) {
      const JSAMPLE* in = rows[i];
      std::uint32_t* out = raster.row(top + int(i));
      if (output == Output::Cmyk && settings.inkValues) {
        inkValues(in, out, width, invertedCmyk);
      } else if (output == Output::Cmyk) {
        cmykToRgb(in, out, width, invertedCmyk, settings.grayscale);
      } else {
        for (int x = 0; x < width; ++x) out[x] = palette[in[x]];
      }
    }
  }
  decompressor.finishDecompress();
  return raster;
}

}  // namespace snapfolio::jpeg
