#include "imaging/photo_drawing.h"

// Standard library
#include <algorithm>
#include <cstdint>

// Project
#include "core/resample.h"
#include "imaging/orientation.h"

namespace snapfolio {

PhotoLook photoLook(const PhotoMetadata& metadata, const PhotoOptions& options) {
  PhotoLook look;
  if (options.orientation && isOrientation(metadata.orientation)) {
    look.orientation = metadata.orientation;
  }
  if (options.colourProfile && !metadata.icc.empty()) {
    look.colour = ColourTransform::toSrgb(metadata.icc, metadata.kind);
  }
  return look;
}

int uprightWidth(const PhotoDecoder& decoder, const PhotoLook& look) {
  return swapsAxes(look.orientation) ? decoder.height() : decoder.width();
}

int uprightHeight(const PhotoDecoder& decoder, const PhotoLook& look) {
  return swapsAxes(look.orientation) ? decoder.width() : decoder.height();
}

namespace {

// Copies `from` into `to` with its top-left corner at the rectangle's; only the part inside
// `to` is written.
void place(const Raster& from, Raster& to, const QRect& rect) {
  const QRect inside = rect.intersected(QRect(0, 0, to.width(), to.height()));
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    const std::uint32_t* in = from.row(y - rect.top()) + (inside.left() - rect.left());
    std::copy(in, in + inside.width(), to.row(y) + inside.left());
  }
}

}  // namespace

void drawPhoto(PhotoDecoder& decoder, const PhotoLook& look, Raster& surface, const QRect& rect,
               QSize decodeSize, Raster* inSrgb) {
  if (rect.width() <= 0 || rect.height() <= 0) return;
  // The rectangle, and the one the decoding is made for, as the stored photo lies.
  const bool swapped = swapsAxes(look.orientation);
  const QRect stored(0, 0, swapped ? rect.height() : rect.width(),
                     swapped ? rect.width() : rect.height());
  if (decodeSize.isEmpty()) decodeSize = rect.size();
  const QSize decoded = swapped ? decodeSize.transposed() : decodeSize;
  if (look.orientation == 1 && !look.colour) {
    resampleInto(decoder.decodeFor(decoded), surface, rect);
    return;
  }

  Raster converted;
  const Raster* source = &converted;
  if (look.colour && inSrgb != nullptr && !inSrgb->isEmpty()) {
    source = inSrgb;
  } else if (look.colour && look.colour->kind() == jpeg::PixelKind::Ink) {
    // Ink values go through the profile as they are stored, at full size.
    converted = decoder.decodeStored();
    look.colour->apply(converted);
  } else if (look.colour) {
    converted = decoder.decodeFor(decoded);
    look.colour->apply(converted);
  } else {
    source = &decoder.decodeFor(decoded);
  }
  if (look.colour && inSrgb != nullptr && source == &converted) {
    *inSrgb = std::move(converted);
    source = inSrgb;
  }
  if (look.orientation == 1) {
    resampleInto(*source, surface, rect);
    return;
  }
  // Turning is one pass over the pixels it turns: it is done on the smaller of the decoding and
  // the output image. Resampling commutes with turning (up to the rounding of its two passes).
  const long long sourcePixels = 1LL * source->width() * source->height();
  if (sourcePixels <= 1LL * rect.width() * rect.height()) {
    resampleInto(upright(*source, look.orientation), surface, rect);
  } else {
    Raster scaled(stored.width(), stored.height());
    resampleInto(*source, scaled, stored);
    place(upright(scaled, look.orientation), surface, rect);
  }
}

}  // namespace snapfolio
