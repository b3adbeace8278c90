#include "support/make_photo.h"

#include <stdexcept>

#include <QColor>
#include <QImage>
#include <QString>

namespace snapfolio::test {

void makePhoto(const std::filesystem::path& path, int width, int height, std::int64_t flat) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (flat >= 0) {
        auto c = static_cast<std::uint32_t>(flat);
        image.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
      } else {
        image.setPixel(
            x, y, qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), 128));
      }
    }
  }
  if (!image.save(QString::fromStdString(path.string()), "JPG", 95)) {
    throw std::runtime_error("cannot write test photo " + path.string());
  }
}

}  // namespace snapfolio::test
