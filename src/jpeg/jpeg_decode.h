// Decoding of JPEG bytes into a Raster, used by the JPEG image object.
//
// Plain functions over bytes the caller owns; no state. Any thread, one call per buffer.
#pragma once

#include <cstdint>
#include <span>

#include "core/limits.h"
#include "core/raster.h"

namespace snapfolio {
struct JpegDamage;
}

namespace snapfolio::jpeg {

// What the header of a JPEG file announces.
struct JpegHeader {
  int width = 0;   // pixels, full size
  int height = 0;  // pixels, full size
  bool gray = false;
  bool cmyk = false;         // CMYK or YCCK ink values
  bool progressive = false;  // the file has multiple scans
};

// How to decode.
struct DecodeSettings {
  // Output scale numerator over denominator; the library supports n/8 for n = 1..16 and
  // 1/1, 1/2, 1/4, 1/8.
  int scaleNum = 1;
  int scaleDenom = 1;
  bool blockSmoothing = true;
  bool grayscale = false;  // decode colour photos to grey
  bool depth8 = false;     // quantise colour photos to 236 colours
  bool fast = false;       // fast inverse DCT, one-pass quantisation, ordered dithering
  // CMYK and YCCK files: the ink values C, M, Y, K (0 = no ink) in the four bytes of each
  // pixel instead of RGB, for a colour profile to convert.
  bool inkValues = false;
  // The bounds for untrusted input the decoding works under; outlives the call.
  const Limits* limits = &kLimits;
};

// Reads the header up to the first scan. Throws EJPEG on a library error, when the image
// exceeds limits.pixels, and when the first scan has no data or far less than the header's
// size needs (with the cause), before anything large is allocated.
JpegHeader readJpegHeader(std::span<const std::uint8_t> bytes, const Limits& limits = kLimits);

// Decodes the whole image into RGB. Greyscale output (a greyscale file, or `grayscale`) and
// `depth8` output are quantised to at most 236 levels or colours and then expanded to RGB.
// CMYK and YCCK files are converted to RGB (Adobe files store inverted values). Throws EJPEG
// as readJpegHeader does, on a library error, or when the output would exceed the pixel limit.
// Damaged data that the library completes is no failure: `damage`, when given, receives the
// library's warnings about it (zero warnings: the data was sound).
Raster decodeJpeg(std::span<const std::uint8_t> bytes, const DecodeSettings& settings,
                  JpegDamage* damage = nullptr);
// The same into `raster`, whose memory is reused when it is large enough (its content is
// undefined after a failure).
void decodeJpeg(std::span<const std::uint8_t> bytes, const DecodeSettings& settings, Raster& raster,
                JpegDamage* damage = nullptr);

}  // namespace snapfolio::jpeg
