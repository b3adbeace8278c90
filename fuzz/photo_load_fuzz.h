// The body of the photo load fuzz targets (jpeg_load_fuzz, heif_load_fuzz, qt_formats_fuzz):
// a photo's bytes on the path every photo of a run takes. Opens them through the photo source
// seam (the format chosen by their content), reads the size and the metadata blocks, and when
// the picture is small draws it into a work surface as the pipeline does (upright, through its
// colour profile, decoded at the reduced scale the surface needs), then decodes it at full
// size, looks at the damage the decoder got past and encodes the surface as an output image
// (JPEG or WebP, by the input's length). The input's length picks whether the orientation and
// the colour profile are used, as the photo options do.
// Failures the decoder reports (EJPEG, Failure) are expected; anything else is a finding.
//
// Pictures are kept small: past a few blocks in each direction a larger picture reaches no new
// code, it only makes each run slower (the whole codec is the same for 8 x 8 and 4000 x 3000).
// The decoder's limits are small too, so that a header claiming a huge picture is refused.
// The targets differ in their seeds only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QRect>
#include <QtGlobal>

#include "core/failure.h"
#include "core/limits.h"
#include "core/raster.h"
#include "formats/image_encoder.h"
#include "formats/photo_decoder.h"
#include "imaging/photo_drawing.h"
#include "imaging/photo_metadata.h"
#include "jpeg/jpeg_image.h"

namespace fuzz {

// Decoded at all only up to this many pixels (the decoder's limit) and 512 pixels a side;
// encoded again only up to kFuzzMaxEncodePixels.
constexpr long long kFuzzMaxPixels = 64 * 64;
constexpr long long kFuzzMaxSide = 512;
constexpr long long kFuzzMaxEncodePixels = 32 * 32;

inline void check(bool condition) {
  if (!condition) __builtin_trap();
}

inline snapfolio::Limits fuzzLimits() {
  snapfolio::Limits limits;
  limits.pixels = kFuzzMaxPixels;
  limits.photoFileBytes = 1 << 20;
  limits.codecMemoryBytes = 64L << 20;
  limits.progressiveScans = 100;
  return limits;
}

}  // namespace fuzz

inline int fuzzPhotoLoad(const std::uint8_t* data, std::size_t size) {
  using namespace snapfolio;
  static const Limits limits = fuzz::fuzzLimits();
  // Qt's readers warn of every broken header (libtiff's complaints among them): writing those
  // cost more than reading most inputs.
  static const bool quiet =
      (qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {}), true);
  (void)quiet;
  try {
    auto decoder = PhotoDecoder::open(std::vector<std::uint8_t>(data, data + size), limits);
    const long long width = decoder->width();
    const long long height = decoder->height();
    if (width > fuzz::kFuzzMaxSide || height > fuzz::kFuzzMaxSide) return 0;
    PhotoOptions options;
    options.orientation = size % 2 == 0;
    options.colourProfile = size % 3 != 0;
    const PhotoLook look = photoLook(photoMetadataOf(decoder->blocks()), options);

    Raster surface(32, 24);
    drawPhoto(*decoder, look, surface, QRect(0, 0, 32, 24));
    const Raster& decoded =
        decoder->decodeFor(QSize(static_cast<int>(width), static_cast<int>(height)));
    // A raw file's embedded preview may stand for its picture at another size.
    fuzz::check((decoded.width() == width && decoded.height() == height) ||
                (decoder->format() == PhotoFormat::Raw && !decoded.isEmpty()));
    fuzz::check(decoder->damage().empty() || decoder->damage().size() > 2);

    if (width * height <= fuzz::kFuzzMaxEncodePixels) {
      const OutputFormat format = size % 5 == 0 ? OutputFormat::Webp : OutputFormat::Jpeg;
      fuzz::check(!outputEncoder(format).encode(surface).empty());
    }
  } catch (const EJPEG& e) {
    // A refused or broken file: the expected outcome for most inputs.
    fuzz::check(e.what()[0] != '\0');
  } catch (const Failure&) {
  }
  return 0;
}
