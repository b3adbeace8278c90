// ColourTransform: decoded photo pixels converted through the photo's embedded ICC profile to
// sRGB, with lcms2 (perceptual intent, which for the matrix profiles of cameras and phones is
// the colorimetric conversion).
//
// A profile that lcms2 cannot read, that does not describe the photo's pixels (an RGB profile
// on a grey photo, say) or that gives no transform yields no ColourTransform: the photo is then
// taken as sRGB, exactly as a photo without a profile. So does an sRGB profile (the one most
// cameras embed: sRGB's colorants and tone curves), which saves the conversion.
//
// A ColourTransform is immutable after construction and may be applied from several threads at
// once (the transform keeps no cache). Copies share the transform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "core/limits.h"
#include "core/raster.h"
#include "jpeg/jpeg_markers.h"

namespace snapfolio {

class ColourTransform {
 public:
  // The transform from `profile` to sRGB for decoded pixels of `kind`, or nothing (see above).
  // Never throws for a bad profile: untrusted bytes are only ever refused.
  // What lcms2 may hold meanwhile is capped (Limits::colourTransformBytes): a profile whose
  // tables would need more yields nothing, as a broken one does.
  static std::optional<ColourTransform> toSrgb(std::span<const std::uint8_t> profile,
                                               jpeg::PixelKind kind,
                                               const Limits& limits = kLimits);

  // Converts the raster in place. Rgb and Gray rasters hold colour values (grey in all three
  // channels); Ink rasters hold the ink values C, M, Y, K (0 = no ink) in the four bytes of
  // each pixel, as jpeg::decodeJpeg gives them with `inkValues`. The result is sRGB.
  void apply(Raster& raster) const;

  jpeg::PixelKind kind() const { return kind_; }
  // Bytes the transform holds, for a memory budget.
  std::size_t heldBytes() const;

 private:
  struct Held;
  ColourTransform(std::shared_ptr<const Held> held, jpeg::PixelKind kind)
      : held_(std::move(held)), kind_(kind) {}

  std::shared_ptr<const Held> held_;  // the lcms2 transform in its own context
  jpeg::PixelKind kind_;
};

}  // namespace snapfolio
