#include "jpeg/jpeg_decode.h"

// Standard library
#include <algorithm>
#include <array>
#include <string>
#include <vector>

// Qt
#include <QCoreApplication>

// Project
#include "core/limits.h"
#include "core/translation.h"
#include "jpeg/jpeg_codec.h"
#include "jpeg/jpeg_image.h"

namespace snapfolio::jpeg {

namespace {

// Quantised output keeps 20 of 256 palette entries free, as 8-bit displays reserve them.
constexpr int kQuantisedColours = 236;
// Rows handed to the library per call.
constexpr JDIMENSION kRowBatch = 16;

void checkPixelLimit(long long width, long long height, const Limits& limits) {
  if (width * height > limits.pixels) {
    throw EJPEG(
        "JPEG image of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels exceeds the limit of " + std::to_string(limits.pixels) + " pixels",
        fillIn(QCoreApplication::translate("TJPEGImage",
                                           "写真の画素数が多すぎる(%1 x %2ピクセル、%3画素まで)。"),
               {std::to_string(width), std::to_string(height), std::to_string(limits.pixels)}));
  }
}

// The least number of entropy-coded bits that the first scan needs for the picture the header
// claims, or 0 when no bound is known. A valid file cannot be smaller, however flat its
// picture: every code of a Huffman table is at least one bit long, so a sequential scan spends
// at least two bits on each 8 x 8 block (its DC difference and at least one AC code, an end of
// block at the least); a progressive DC scan at least one (a difference category or a
// refinement bit); a progressive AC scan can skip 32,767 blocks with one end-of-band run. The
// blocks counted are those of the components themselves, without the padding of interleaved
// MCUs. Arithmetic coding has no such bound: its coder may spend far less than a bit on a
// decision and may even drop trailing zero bytes, so a flat picture of any size can be coded
// in almost nothing.
long long leastScanBits(const jpeg_decompress_struct& cinfo) {
  if (cinfo.arith_code) return 0;
  long long blocks = 0;
  for (int i = 0; i < cinfo.comps_in_scan; ++i) {
    const jpeg_component_info* component = cinfo.cur_comp_info[i];
    blocks += static_cast<long long>(component->width_in_blocks) * component->height_in_blocks;
  }
  if (!cinfo.progressive_mode) return 2 * blocks;
  if (cinfo.Ss == 0) return blocks;
  return (blocks + 32766) / 32767;
}

// Refuses a file whose first scan has no data, or whose data could not hold even
// 1/limits.leastScanDataShare of the picture in its header (leastScanBits): such a header claims a
// picture that its data could never show, and decoding it would only allocate a raster of that
// size and fill it with grey, at a cost out of all proportion to the file. The share leaves
// room for photos that were merely cut short: they convert, with a warning. Called after the
// header has been read, when the source stands at the first byte of the scan's data;
// everything from there to the end of the file is counted (later scans too), so the bound only
// errs on the side of decoding.
void checkScanData(const jpeg_decompress_struct& cinfo, const Limits& limits) {
  const std::size_t available = cinfo.src->bytes_in_buffer;
  const JOCTET* data = cinfo.src->next_input_byte;
  if (available == 0) {
    throw EJPEG("JPEG file ends after its scan header",
                translated("TJPEGImage", kCauseNoImageData));
  }
  if (cinfo.arith_code) return;
  // Huffman-coded data is never empty and a 0xFF byte in it is followed by 0x00 (or by fill
  // 0xFF bytes, or a restart marker): a marker right after the scan header means no data.
  std::size_t i = 0;
  while (i < available && data[i] == 0xFF) ++i;
  if (i > 0 &&
      (i == available || (data[i] != 0x00 && (data[i] < JPEG_RST0 || data[i] > JPEG_RST0 + 7)))) {
    throw EJPEG("JPEG file has no data after its scan header",
                translated("TJPEGImage", kCauseNoImageData));
  }
  const long long leastBits = leastScanBits(cinfo);
  if (static_cast<long long>(available) * 8 * limits.leastScanDataShare < leastBits) {
    const std::string size =
        std::to_string(cinfo.image_width) + " x " + std::to_string(cinfo.image_height);
    const std::string share = "1/" + std::to_string(limits.leastScanDataShare);
    throw EJPEG(
        "JPEG header claims " + size + " pixels, but its " + std::to_string(available) +
            " bytes of scan data cannot hold " + share + " of them (at least " +
            std::to_string((leastBits + 7) / 8) + " bytes for all)",
        fillIn(QCoreApplication::translate(
                   "TJPEGImage",
                   "画像データが少なすぎる(%1バイトでは、ヘッダの%2ピクセルの%3も表せない)。"),
               {std::to_string(available), size, share}));
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

JpegHeader readJpegHeader(std::span<const std::uint8_t> bytes, const Limits& limits) {
  Decompressor decompressor(limits);
  decompressor.setSource(bytes.data(), bytes.size());
  decompressor.readHeader();
  const jpeg_decompress_struct& cinfo = *decompressor.get();
  checkPixelLimit(cinfo.image_width, cinfo.image_height, limits);
  checkScanData(cinfo, limits);
  JpegHeader header;
  header.width = static_cast<int>(cinfo.image_width);
  header.height = static_cast<int>(cinfo.image_height);
  header.gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  header.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  header.progressive = decompressor.hasMultipleScans();
  return header;
}

Raster decodeJpeg(std::span<const std::uint8_t> bytes, const DecodeSettings& settings,
                  JpegDamage* damage) {
  Raster raster;
  decodeJpeg(bytes, settings, raster, damage);
  return raster;
}

void decodeJpeg(std::span<const std::uint8_t> bytes, const DecodeSettings& settings, Raster& raster,
                JpegDamage* damage) {
  const Limits& limits = *settings.limits;
  Decompressor decompressor(limits);
  decompressor.setSource(bytes.data(), bytes.size());
  decompressor.readHeader();
  jpeg_decompress_struct& cinfo = *decompressor.get();
  // Checked before the library allocates anything for the image itself.
  checkPixelLimit(cinfo.image_width, cinfo.image_height, limits);
  checkScanData(cinfo, limits);
  const Output output = configure(cinfo, settings);
  const bool invertedCmyk = output == Output::Cmyk && cinfo.saw_Adobe_marker;
  decompressor.calcOutputDimensions();
  checkPixelLimit(cinfo.output_width, cinfo.output_height, limits);

  // The library refuses a multi-scan file whose coefficients exceed its memory bound while
  // starting; only then is the raster allocated.
  decompressor.startDecompress();
  // Every pixel is written below (the library completes a picture whose data ends early).
  raster.reshape(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
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
  if (damage != nullptr) {
    const DamageLog& log = decompressor.damage();
    damage->truncated = log.truncated;
    damage->warnings = log.warnings;
    damage->detail = log.warnings > 0 ? log.firstText : "";
  }
}

}  // namespace snapfolio::jpeg
