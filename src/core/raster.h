// Raster: a work surface of W x H pixels with 8 bits per channel. A pixel is addressed as a
// colour value 0x00BBGGRR (red in the lowest byte, 16777215 is white); in memory each pixel
// is the four bytes R, G, B, X, which is both libjpeg-turbo's JCS_EXT_RGBX and Qt's
// QImage::Format_RGBX8888, so decoders, encoders and painters work on the pixels in place.
// The X byte is kept at 0xFF as both of them expect; pixel() hides it and setPixel() sets it,
// so raw rows read as 0xFFBBGGRR.
//
// A Raster is a plain value; it is not shared between threads while one of them writes it.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include <QImage>

namespace snapfolio {

static_assert(std::endian::native == std::endian::little,
              "the 0x00BBGGRR pixel values rely on little-endian byte order");

inline constexpr int redOf(std::uint32_t colour) {
  return static_cast<int>(colour & 0xFF);
}
inline constexpr int greenOf(std::uint32_t colour) {
  return static_cast<int>((colour >> 8) & 0xFF);
}
inline constexpr int blueOf(std::uint32_t colour) {
  return static_cast<int>((colour >> 16) & 0xFF);
}
inline constexpr std::uint32_t rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r & 0xFF) | (static_cast<std::uint32_t>(g & 0xFF) << 8) |
         (static_cast<std::uint32_t>(b & 0xFF) << 16);
}

// Pixel memory that is left as it is when it grows (reshape), because whoever grows it writes
// every pixel next.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <typename U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U, typename... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }
};

class Raster {
 public:
  Raster() = default;
  // Throws Failure when either side is negative or the area exceeds kLimits.pixels.
  Raster(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  bool isEmpty() const { return width_ == 0 || height_ == 0; }

  // Gives the surface a new size; the content is black afterwards. Throws Failure as the
  // constructor does, leaving the surface unchanged.
  void resize(int width, int height);
  // Gives the surface a new size, keeping its memory when it is large enough; the content is
  // undefined afterwards, for a caller that writes every pixel next (a decoder). Throws as
  // resize does.
  void reshape(int width, int height);

  // The colour value 0x00BBGGRR of pixel (x, y).
  std::uint32_t pixel(int x, int y) const { return pixels_[index(x, y)] & 0x00FFFFFFu; }
  void setPixel(int x, int y, std::uint32_t colour) {
    pixels_[index(x, y)] = (colour & 0x00FFFFFFu) | kOpaque;
  }
  // Fills the whole surface with one colour value.
  void fill(std::uint32_t colour);

  static constexpr std::uint32_t kOpaque = 0xFF000000u;
  std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  std::uint32_t* data() { return pixels_.data(); }
  const std::uint32_t* data() const { return pixels_.data(); }

  // A QImage (Format_RGBX8888) over this raster's own pixels, for painting on it. Valid until
  // the raster is resized or destroyed.
  QImage view();
  // A deep copy as a QImage (Format_RGBX8888).
  QImage toImage() const;
  // A raster holding a copy of any QImage, converted to RGB.
  static Raster fromImage(const QImage& image);

  friend bool operator==(const Raster&, const Raster&) = default;

 private:
  std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t, UninitialisedAllocator<std::uint32_t>> pixels_;
};

}  // namespace snapfolio
