// EXIF orientation: how the stored pixels of a photo are turned to show it upright.
//
// The eight values of the EXIF tag (1 to 8): 1 upright, 2 mirrored left to right, 3 turned
// 180 degrees, 4 mirrored top to bottom, 5 mirrored along the diagonal from the top-left,
// 6 to be turned 90 degrees clockwise, 7 mirrored along the other diagonal, 8 to be turned 90
// degrees counter-clockwise. Values 5 to 8 swap width and height.
//
// Plain functions; no state. Any thread, as long as the rasters are not shared while written.
#pragma once

#include "core/raster.h"

namespace snapfolio {

// Whether the orientation is one of the eight (others are treated as 1 by every caller).
inline constexpr bool isOrientation(int orientation) {
  return orientation >= 1 && orientation <= 8;
}

// Whether the upright image is the stored one with width and height swapped (5 to 8).
inline constexpr bool swapsAxes(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// The upright image of `stored` for an EXIF orientation (a copy for 1 and unknown values).
// One pass over the pixels, in tiles so that the turning copies stay within the caches.
Raster upright(const Raster& stored, int orientation);

}  // namespace snapfolio
