// Encoding of a Raster into JPEG bytes, used by the JPEG image object.
//
// A plain function; no state. Any thread, one call per raster.
#pragma once

#include <cstdint>
#include <vector>

#include "core/raster.h"

namespace snapfolio::jpeg {

struct EncodeSettings {
  int quality = 90;          // 1 to 100; baseline-compatible tables are always forced
  bool grayscale = false;    // write a greyscale file
  bool progressive = false;  // the library's simple progressive script
};

// The complete JPEG file of `raster`, encoded from its R, G, B, X pixels with the library's
// default sampling and Huffman tables. An empty raster gives no bytes. Throws EJPEG on a
// library error (for example a side longer than the format allows).
std::vector<std::uint8_t> encodeJpeg(const Raster& raster, const EncodeSettings& settings);

}  // namespace snapfolio::jpeg
