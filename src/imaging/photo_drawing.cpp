#include "imaging/photo_drawing.h"

// Project
#include "imaging/orientation.h"
#include "imaging/resample.h"
#include "jpeg/jpeg_decode.h"

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

int uprightWidth(const TJPEGImage& jpeg, const PhotoLook& look) {
  return swapsAxes(look.orientation) ? jpeg.ImageHeight() : jpeg.ImageWidth();
}

int uprightHeight(const TJPEGImage& jpeg, const PhotoLook& look) {
  return swapsAxes(look.orientation) ? jpeg.ImageWidth() : jpeg.ImageHeight();
}

void drawPhoto(TJPEGImage& jpeg, const PhotoLook& look, Raster& surface, const QRect& rect) {
  const auto& bytes = jpeg.Data().Stream;
  if ((look.orientation == 1 && !look.colour) || !bytes) {
    jpeg.DrawTo(surface, rect);
    return;
  }
  if (rect.width() <= 0 || rect.height() <= 0) return;

  Raster work;
  if (look.colour && look.colour->kind() == jpeg::PixelKind::Ink) {
    // Ink values go through the profile as they are, so they are decoded at full size (the
    // reduced DCT scale would average inks, which is not averaging colours).
    jpeg::DecodeSettings settings;
    settings.blockSmoothing = jpeg.Options().BlockSmoothing;
    settings.inkValues = true;
    work = jpeg::decodeJpeg(*bytes, settings);
    look.colour->apply(work);
    work = upright(work, look.orientation);
  } else {
    // The reduced decoding is chosen for the rectangle as the stored photo lies.
    const QRect stored = swapsAxes(look.orientation) ? QRect(0, 0, rect.height(), rect.width())
                                                     : QRect(0, 0, rect.width(), rect.height());
    work = upright(jpeg.DecodedFor(stored), look.orientation);
    if (look.colour) look.colour->apply(work);
  }
  resampleInto(work, surface, rect);
}

}  // namespace snapfolio
