// How a loaded photo is drawn into a work surface: upright by its EXIF orientation and in sRGB
// through its embedded colour profile, as the PhotoOptions allow.
//
// A photo without either (or with both options off) is resampled straight from the decoding
// its decoder makes for the rectangle (for a JPEG the path of TJPEGImage::DrawTo, pixel for
// pixel). Otherwise the photo is decoded (at the reduced scale the decoder picks for the
// rectangle as the stored photo lies), converted by lcms2 before it is scaled, and turned
// upright by one tiled copy: of the decoding before resampling when the output is larger, of
// the resampled image when it is smaller (the usual case, where that copy is several times
// cheaper).
//
// Plain functions; no state. One call per decoder at a time (its decodings are cached).
#pragma once

#include <optional>

#include <QRect>

#include "core/raster.h"
#include "formats/photo_decoder.h"
#include "imaging/colour_profile.h"
#include "imaging/photo_metadata.h"
#include "options/photo_options.h"

namespace snapfolio {

struct PhotoLook {
  int orientation = 1;                    // EXIF orientation to undo; 1: as stored
  std::optional<ColourTransform> colour;  // nothing: the pixels are taken as sRGB
};

// What the options make of the photo's metadata.
PhotoLook photoLook(const PhotoMetadata& metadata, const PhotoOptions& options);

// The size of the photo as it is drawn (width and height swapped for orientations 5 to 8).
int uprightWidth(const PhotoDecoder& decoder, const PhotoLook& look);
int uprightHeight(const PhotoDecoder& decoder, const PhotoLook& look);

// Maps the whole upright photo onto the whole rectangle of the surface, as DrawTo does. The
// photo is decoded as for an upright output of `decodeSize` (the rectangle's size when empty),
// so that the output images of one photo share one decoding made for the largest of them.
// With `inSrgb`, the decoding converted by the colour profile is kept there (and taken from
// there when it is not empty), so that it is converted once for all of them.
// Throws Failure (EJPEG for a JPEG) when the photo cannot be decoded.
void drawPhoto(PhotoDecoder& decoder, const PhotoLook& look, Raster& surface, const QRect& rect,
               QSize decodeSize = {}, Raster* inSrgb = nullptr);

}  // namespace snapfolio
