// WebpEncoder: output images as lossy WebP files through libwebp, at a quality whose look
// matches the JPEG encoder's quality 90: bench/webp_quality.py finds the lowest WebP quality
// whose mean SSIM on five sample photos at 1280 pixels reaches that of JPEG quality 90 (WebP 90:
// 0.9827 against JPEG's 0.9823, at 195 KB against 254 KB a photo).
//
// No state; any thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "formats/image_encoder.h"

namespace snapfolio {

class WebpEncoder final : public ImageEncoder {
 public:
  static constexpr float kQuality = 90;

  std::vector<std::uint8_t> encode(const Raster& raster) const override;
  // ".webp" for every photo.
  std::string extension(std::string_view photoPath,
                        std::optional<PhotoFormat> source) const override;
  std::string_view mimeType() const override { return "image/webp"; }
};

// Whether the bytes are a WebP file (RIFF ... WEBP).
bool isWebpFile(std::span<const std::uint8_t> bytes);
// The WebP file with `exif` as its EXIF chunk (libwebpmux), replacing one it had. Throws
// Failure when it cannot be written.
std::vector<std::uint8_t> webpWithExif(std::span<const std::uint8_t> webp,
                                       std::span<const std::uint8_t> exif);

}  // namespace snapfolio
