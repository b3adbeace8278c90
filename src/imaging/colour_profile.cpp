#include "imaging/colour_profile.h"

// Standard library
#include <cmath>
#include <limits>
#include <vector>

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

// lcms2 converts packed pixels without a fourth byte several times faster than pixels with
// one, so each row is packed before and unpacked after: RGB and grey photos convert from
// three and one bytes per pixel, ink from the raster's own four bytes; all into packed RGB.
cmsUInt32Number inputFormat(jpeg::PixelKind kind) {
  switch (kind) {
    case jpeg::PixelKind::Gray:
      return TYPE_GRAY_8;
    case jpeg::PixelKind::Ink:
      return TYPE_CMYK_8;
    default:
      return TYPE_RGB_8;
  }
}

cmsColorSpaceSignature colourSpace(jpeg::PixelKind kind) {
  switch (kind) {
    case jpeg::PixelKind::Gray:
      return cmsSigGrayData;
    case jpeg::PixelKind::Ink:
      return cmsSigCmykData;
    default:
      return cmsSigRgbData;
  }
}

struct CurveFreer {
  void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};

// Whether an RGB or grey profile is sRGB (as most cameras embed): the colorants of sRGB, and
// tone curves that give every 8-bit level back within half a level through sRGB's inverse
// curve. Such a photo is taken as sRGB without converting it, like a photo without a profile;
// the comparison costs microseconds where making the transform costs milliseconds.
bool isSrgb(cmsHPROFILE profile, cmsHPROFILE srgb, jpeg::PixelKind kind) {
  if (kind == jpeg::PixelKind::Ink || !cmsIsMatrixShaper(profile)) return false;
  const auto* reference = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, cmsSigRedTRCTag));
  if (reference == nullptr) return false;
  const std::unique_ptr<cmsToneCurve, CurveFreer> inverse(cmsReverseToneCurve(reference));
  if (!inverse) return false;
  auto sameCurve = [&](cmsTagSignature tag) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag));
    if (curve == nullptr) return false;
    for (int level = 0; level < 256; ++level) {
      const float x = static_cast<float>(level) / 255.0f;
      const float back = cmsEvalToneCurveFloat(inverse.get(), cmsEvalToneCurveFloat(curve, x));
      if (std::fabs(back - x) * 255.0f > 0.5f) return false;
    }
    return true;
  };
  if (kind == jpeg::PixelKind::Gray) return sameCurve(cmsSigGrayTRCTag);
  for (cmsTagSignature tag :
       {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag}) {
    const auto* own = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag));
    const auto* ref = static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, tag));
    if (own == nullptr || ref == nullptr || std::fabs(own->X - ref->X) > 0.002 ||
        std::fabs(own->Y - ref->Y) > 0.002 || std::fabs(own->Z - ref->Z) > 0.002) {
      return false;
    }
  }
  return sameCurve(cmsSigRedTRCTag) && sameCurve(cmsSigGreenTRCTag) && sameCurve(cmsSigBlueTRCTag);
}

}  // namespace

std::optional<ColourTransform> ColourTransform::toSrgb(std::span<const std::uint8_t> profile,
                                                       jpeg::PixelKind kind) {
  if (profile.empty() || profile.size() > std::numeric_limits<cmsUInt32Number>::max()) {
    return std::nullopt;
  }
  const cmsContext context = quietContext();
  Profile input(cmsOpenProfileFromMemTHR(context, profile.data(),
                                         static_cast<cmsUInt32Number>(profile.size())));
  if (!input || cmsGetColorSpace(input.get()) != colourSpace(kind)) return std::nullopt;
  Profile srgb(cmsCreate_sRGBProfileTHR(context));
  if (!srgb || isSrgb(input.get(), srgb.get(), kind)) return std::nullopt;
  // No cache: the transform is then safe to share between threads.
  cmsHTRANSFORM transform =
      cmsCreateTransformTHR(context, input.get(), inputFormat(kind), srgb.get(), TYPE_RGB_8,
                            INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
  if (transform == nullptr) return std::nullopt;
  return ColourTransform(std::shared_ptr<void>(transform, cmsDeleteTransform), kind);
}

void ColourTransform::apply(Raster& raster) const {
  const int width = raster.width();
  const auto count = static_cast<cmsUInt32Number>(width);
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(width) * 3);
  std::vector<std::uint8_t> grey(kind_ == jpeg::PixelKind::Gray ? width : 0);
  for (int y = 0; y < raster.height(); ++y) {
    std::uint32_t* row = raster.row(y);
    switch (kind_) {
      case jpeg::PixelKind::Ink:
        cmsDoTransform(transform_.get(), row, packed.data(), count);
        break;
      case jpeg::PixelKind::Gray:
        for (int x = 0; x < width; ++x) grey[x] = static_cast<std::uint8_t>(redOf(row[x]));
        cmsDoTransform(transform_.get(), grey.data(), packed.data(), count);
        break;
      default:
        for (int x = 0; x < width; ++x) {
          packed[3 * x] = static_cast<std::uint8_t>(redOf(row[x]));
          packed[3 * x + 1] = static_cast<std::uint8_t>(greenOf(row[x]));
          packed[3 * x + 2] = static_cast<std::uint8_t>(blueOf(row[x]));
        }
        cmsDoTransform(transform_.get(), packed.data(), packed.data(), count);
        break;
    }
    for (int x = 0; x < width; ++x) {
      row[x] = rgb(packed[3 * x], packed[3 * x + 1], packed[3 * x + 2]) | Raster::kOpaque;
    }
  }
}

}  // namespace snapfolio
