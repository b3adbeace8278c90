#include "formats/whole_photo_decoder.h"

#include <utility>

#include <QCoreApplication>
#include "core/failure.h"

#include "core/translation.h"

namespace snapfolio {

namespace {

// c over the background b, both in 0..max, with alpha a in 0..max; rounded.
template <unsigned Max>
unsigned over(unsigned c, unsigned b, unsigned a) {
  return (c * a + b * (Max - a) + Max / 2) / Max;
}

template <typename Channel, unsigned Max>
void putRow(const Channel* in, int channels, int width, std::uint32_t* out) {
  // The background in the channels' own range, so that composing rounds once.
  const unsigned scale = Max / 255;
  const unsigned back[3] = {redOf(kPhotoBackground) * scale, greenOf(kPhotoBackground) * scale,
                            blueOf(kPhotoBackground) * scale};
  for (int x = 0; x < width; ++x, in += channels) {
    unsigned c[3] = {in[0], in[1], in[2]};
    if (channels == 4 && in[3] != Max) {
      for (int i = 0; i < 3; ++i) c[i] = over<Max>(c[i], back[i], in[3]);
    }
    if constexpr (Max != 255) {
      for (unsigned& v : c) v = (v * 255 + Max / 2) / Max;
    }
    out[x] = rgb(static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2])) |
             Raster::kOpaque;
  }
}

}  // namespace

void putRow8(const std::uint8_t* in, int channels, int width, std::uint32_t* out) {
  putRow<std::uint8_t, 255>(in, channels, width, out);
}

void putRow16(const std::uint16_t* in, int channels, int width, std::uint32_t* out) {
  putRow<std::uint16_t, 65535>(in, channels, width, out);
}

Failure photoTooLarge(long long width, long long height, const Limits& limits) {
  return Failure("photo of " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels exceeds the limit of " + std::to_string(limits.pixels),
                 translated("TJPEGImage", QT_TRANSLATE_NOOP("TJPEGImage", "写真が大きすぎる。")));
}

void checkPhotoSize(long long width, long long height, const Limits& limits) {
  if (width > limits.pixels || height > limits.pixels || width * height > limits.pixels) {
    throw photoTooLarge(width, height, limits);
  }
}

Failure unreadablePhoto(const std::string& detail) {
  return Failure("photo cannot be read: " + detail,
                 withDetail(translated("PhotoDecoder",
                                       QT_TRANSLATE_NOOP("PhotoDecoder", "写真として読めない。")),
                            detail));
}

const Raster& WholePhotoDecoder::decodeFor(QSize) {
  if (!decoded_) {
    decodeInto(decoding_);
    decoded_ = true;
  }
  return decoding_;
}

void WholePhotoDecoder::swapDecodeBuffer(Raster& buffer) {
  std::swap(decoding_, buffer);
  decoded_ = false;
}

}  // namespace snapfolio
