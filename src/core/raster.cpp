#include "core/raster.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <QCoreApplication>

#include "core/failure.h"
#include "core/limits.h"
#include "core/translation.h"

namespace snapfolio {

namespace {

void checkSize(int width, int height) {
  if (width < 0 || height < 0) {
    throw Failure("surface size " + std::to_string(width) + " x " + std::to_string(height) +
                  " is negative");
  }
  if (static_cast<long long>(width) * height > kLimits.pixels) {
    throw Failure(
        "surface size " + std::to_string(width) + " x " + std::to_string(height) +
            " exceeds the limit of " + std::to_string(kLimits.pixels) + " pixels",
        fillIn(QCoreApplication::translate("Raster",
                                           "出力画像が大きすぎる(%1 x %2ピクセル、%3画素まで)。"),
               {std::to_string(width), std::to_string(height), std::to_string(kLimits.pixels)}));
  }
}

}  // namespace

Raster::Raster(int width, int height) {
  resize(width, height);
}

void Raster::resize(int width, int height) {
  checkSize(width, height);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, kOpaque);
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
}

void Raster::fill(std::uint32_t colour) {
  std::fill(pixels_.begin(), pixels_.end(), (colour & 0x00FFFFFFu) | kOpaque);
}

QImage Raster::view() {
  if (isEmpty()) return QImage();
  return QImage(reinterpret_cast<uchar*>(pixels_.data()), width_, height_,
                static_cast<qsizetype>(width_) * 4, QImage::Format_RGBX8888);
}

QImage Raster::toImage() const {
  if (isEmpty()) return QImage();
  QImage image(width_, height_, QImage::Format_RGBX8888);
  for (int y = 0; y < height_; ++y) {
    std::memcpy(image.scanLine(y), row(y), static_cast<std::size_t>(width_) * 4);
  }
  return image;
}

Raster Raster::fromImage(const QImage& image) {
  Raster raster(image.width(), image.height());
  if (raster.isEmpty()) return raster;
  QImage rgbx = image.convertToFormat(QImage::Format_RGBX8888);
  for (int y = 0; y < raster.height_; ++y) {
    std::memcpy(raster.row(y), rgbx.constScanLine(y), static_cast<std::size_t>(raster.width_) * 4);
  }
  return raster;
}

}  // namespace snapfolio
