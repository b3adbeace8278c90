#include "imaging/colour_profile.h"

// Standard library
#include <limits>

// Other libraries
#include <lcms2.h>

namespace snapfolio {

namespace {

// Messages of lcms2 about a broken profile are not for the user: the photo simply converts
// without its profile.
void ignoreMessage(cmsContext, cmsUInt32Number, const char*) {}

cmsContext quietContext() {
  static const cmsContext context = [] {
    cmsContext c = cmsCreateContext(nullptr, nullptr);
    cmsSetLogErrorHandlerTHR(c, ignoreMessage);
    return c;
  }();
  return context;
}

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

// The pixel layouts of a Raster as lcms2 formats: four bytes per pixel, the colour first.
constexpr cmsUInt32Number kRgbx = TYPE_RGBA_8;
constexpr cmsUInt32Number kGreyxxx =
    COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1) | EXTRA_SH(3);
constexpr cmsUInt32Number kCmyk = TYPE_CMYK_8;

}  // namespace

std::optional<ColourTransform> ColourTransform::toSrgb(std::span<const std::uint8_t> profile,
                                                       jpeg::PixelKind kind) {
  if (profile.empty() || profile.size() > std::numeric_limits<cmsUInt32Number>::max()) {
    return std::nullopt;
  }
  const cmsContext context = quietContext();
  Profile input(cmsOpenProfileFromMemTHR(context, profile.data(),
                                         static_cast<cmsUInt32Number>(profile.size())));
  if (!input) return std::nullopt;
  cmsUInt32Number format = kRgbx;
  cmsColorSpaceSignature expected = cmsSigRgbData;
  if (kind == jpeg::PixelKind::Gray) {
    format = kGreyxxx;
    expected = cmsSigGrayData;
  } else if (kind == jpeg::PixelKind::Ink) {
    format = kCmyk;
    expected = cmsSigCmykData;
  }
  if (cmsGetColorSpace(input.get()) != expected) return std::nullopt;
  Profile srgb(cmsCreate_sRGBProfileTHR(context));
  if (!srgb) return std::nullopt;
  // No cache: the transform is then safe to share between threads.
  cmsHTRANSFORM transform = cmsCreateTransformTHR(context, input.get(), format, srgb.get(), kRgbx,
                                                  INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
  if (transform == nullptr) return std::nullopt;
  return ColourTransform(std::shared_ptr<void>(transform, cmsDeleteTransform), kind);
}

void ColourTransform::apply(Raster& raster) const {
  const auto width = static_cast<cmsUInt32Number>(raster.width());
  for (int y = 0; y < raster.height(); ++y) {
    // Input and output pixels have the same size, so the row converts in place; the X byte
    // is not written by the transform.
    std::uint32_t* row = raster.row(y);
    cmsDoTransform(transform_.get(), row, row, width);
    if (kind_ == jpeg::PixelKind::Ink) {
      // The fourth byte held the black ink.
      for (cmsUInt32Number x = 0; x < width; ++x) row[x] |= Raster::kOpaque;
    }
  }
}

}  // namespace snapfolio
