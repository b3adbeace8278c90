// WholePhotoDecoder: the part common to the decoders of formats that decode a photo only at
// its full size (HEIF, PNG, TIFF, WebP): the file's bytes, the one decoding kept in memory the
// caller lends, and how their pixels become the raster's opaque RGB.
//
// A pixel with an alpha channel is composed onto kPhotoBackground, the page background of
// the shipped album template (#F5F5F2), so that a transparent part looks as the page does.
// Pixels of 16 bits are reduced to 8 by rounding (v * 255 / 65535 to the nearest).
//
// Not thread-safe, as PhotoDecoder.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/failure.h"
#include "formats/photo_decoder.h"

namespace snapfolio {

// The colour a transparent pixel is composed onto: the shipped album page's background.
inline constexpr std::uint32_t kPhotoBackground = rgb(0xF5, 0xF5, 0xF2);

// Writes `width` pixels of interleaved 8-bit channels (3: RGB, 4: RGBA, not premultiplied)
// into a raster row as opaque RGB.
void putRow8(const std::uint8_t* in, int channels, int width, std::uint32_t* out);
// The same for 16-bit channels.
void putRow16(const std::uint16_t* in, int channels, int width, std::uint32_t* out);

// The Failure of a photo larger than the limits allow ("写真が大きすぎる。").
Failure photoTooLarge(long long width, long long height, const Limits& limits);
// Throws photoTooLarge when a photo of this size exceeds the limits.
void checkPhotoSize(long long width, long long height, const Limits& limits);
// The Failure of a photo its library cannot read: "写真として読めない。(<detail>)", the detail
// being what the library said.
Failure unreadablePhoto(const std::string& detail);

class WholePhotoDecoder : public PhotoDecoder {
 public:
  std::span<const std::uint8_t> bytes() const override { return bytes_; }
  const Raster& decodeFor(QSize size) override;
  Raster decodeStored() override { return decodeFor(QSize()); }
  void swapDecodeBuffer(Raster& buffer) override;
  std::string damage() const override { return {}; }
  long long decodedPixels(QSize) const override { return 1LL * width() * height(); }

 protected:
  explicit WholePhotoDecoder(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  // Decodes the whole photo into `raster` (reshaped to width() x height()). Throws Failure.
  virtual void decodeInto(Raster& raster) = 0;

  std::vector<std::uint8_t> bytes_;

 private:
  Raster decoding_;
  bool decoded_ = false;
};

}  // namespace snapfolio
