#include "imaging/orientation.h"

// Standard library
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace snapfolio {

namespace {

// Pixels per side of a tile: 32 x 32 pixels of four bytes read and written stay in the L1
// cache even when one of the two walks goes down columns.
constexpr int kTile = 32;

// Where output pixel (x, y) comes from: stored index = origin + x * stepX + y * stepY.
struct Walk {
  std::ptrdiff_t origin;
  std::ptrdiff_t stepX;
  std::ptrdiff_t stepY;
};

Walk walkFor(int orientation, std::ptrdiff_t w, std::ptrdiff_t h) {
  const std::ptrdiff_t last = (h - 1) * w;  // first pixel of the stored bottom row
  switch (orientation) {
    case 2:
      return {w - 1, -1, w};
    case 3:
      return {last + w - 1, -1, -w};
    case 4:
      return {last, 1, -w};
    case 5:
      return {0, w, 1};
    case 6:
      return {last, -w, 1};
    case 7:
      return {last + w - 1, -w, -1};
    case 8:
      return {w - 1, w, -1};
    default:
      return {0, 1, w};
  }
}

}  // namespace

Raster upright(const Raster& stored, int orientation) {
  if (!isOrientation(orientation) || orientation == 1 || stored.isEmpty()) return stored;
  const int width = swapsAxes(orientation) ? stored.height() : stored.width();
  const int height = swapsAxes(orientation) ? stored.width() : stored.height();
  Raster out(width, height);
  const Walk walk = walkFor(orientation, stored.width(), stored.height());
  const std::uint32_t* in = stored.data();
  for (int top = 0; top < height; top += kTile) {
    const int bottom = std::min(height, top + kTile);
    for (int left = 0; left < width; left += kTile) {
      const int right = std::min(width, left + kTile);
      for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = out.row(y);
        const std::uint32_t* from = in + walk.origin + y * walk.stepY + left * walk.stepX;
        for (int x = left; x < right; ++x, from += walk.stepX) row[x] = *from;
      }
    }
  }
  return out;
}

}  // namespace snapfolio
