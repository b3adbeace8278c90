// Resampling of a whole raster onto a rectangle of another raster: the stretch-drawing behind
// TJPEGImage::DrawTo.
//
// Separable, per axis: area averaging when the axis shrinks (each target pixel is the exact
// coverage-weighted mean of the source pixels under it, so fine detail does not alias),
// bilinear interpolation between pixel centres when it grows, and an exact copy at 1:1. Only
// the part of the rectangle that lies inside the target is computed and written; the rest of
// the target is left alone. Sizes are in pixels.
//
// Plain functions; no state. Any thread, as long as the rasters are not shared while written.
#pragma once

#include <QRect>

#include "core/raster.h"

namespace snapfolio {

// Maps the whole of `source` onto the whole of `rect` (in target coordinates) and writes the
// pixels of `rect` that lie inside `target`. Nothing happens when the rectangle or the source
// is empty.
void resampleInto(const Raster& source, Raster& target, const QRect& rect);

// A new width x height raster holding the whole of `source` resampled.
Raster resampled(const Raster& source, int width, int height);

}  // namespace snapfolio
