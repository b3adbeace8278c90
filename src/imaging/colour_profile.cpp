#include "imaging/colour_profile.h"

// Standard library
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

// Other libraries
#include <lcms2.h>
#include <lcms2_plugin.h>

// Project
#include "core/limits.h"

namespace snapfolio {

// What lcms2 holds for one transform: every allocation of the transform's own context is
// counted, and one beyond the cap is refused, so that a profile whose tables claim far more
// than its bytes can hold fails to open instead of costing that memory (lcms2 would allocate,
// and zero, a table of the claimed size before it finds the data missing).
struct LcmsBudget {
  std::size_t cap = 0;
  std::atomic<std::size_t> used{0};
};

namespace {

// Each block carries its size and budget in front of it (16 bytes keep the block aligned).
struct alignas(16) BlockHeader {
  std::size_t size;
  LcmsBudget* budget;  // null for the few blocks lcms2 makes before the context knows its budget
};

void* budgetMalloc(cmsContext context, cmsUInt32Number size) {
  auto* budget = static_cast<LcmsBudget*>(cmsGetContextUserData(context));
  if (budget != nullptr &&
      budget->used.fetch_add(size, std::memory_order_relaxed) + size > budget->cap) {
    budget->used.fetch_sub(size, std::memory_order_relaxed);
    return nullptr;
  }
  void* block = std::malloc(sizeof(BlockHeader) + size);
  if (block == nullptr) {
    if (budget != nullptr) budget->used.fetch_sub(size, std::memory_order_relaxed);
    return nullptr;
  }
  return new (block) BlockHeader{size, budget} + 1;
}

void budgetFree(cmsContext, void* pointer) {
  if (pointer == nullptr) return;
  BlockHeader* header = static_cast<BlockHeader*>(pointer) - 1;
  if (header->budget != nullptr) {
    header->budget->used.fetch_sub(header->size, std::memory_order_relaxed);
  }
  std::free(header);
}

void* budgetRealloc(cmsContext context, void* pointer, cmsUInt32Number size) {
  void* moved = budgetMalloc(context, size);
  if (moved == nullptr || pointer == nullptr) return moved;
  std::memcpy(moved, pointer,
              std::min<std::size_t>((static_cast<BlockHeader*>(pointer) - 1)->size, size));
  budgetFree(context, pointer);
  return moved;
}

cmsPluginMemHandler kBudgetAllocator = {
    {cmsPluginMagicNumber, 2000, cmsPluginMemHandlerSig, nullptr},
    budgetMalloc,
    budgetFree,
    budgetRealloc,
    nullptr,
    nullptr,
    nullptr};

}  // namespace

// The transform with the context that holds it and that context's budget; the transform goes
// before its context.
struct ColourTransform::Held {
  LcmsBudget budget;
  cmsContext context = nullptr;
  cmsHTRANSFORM transform = nullptr;

  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (transform != nullptr) cmsDeleteTransform(transform);
    if (context != nullptr) cmsDeleteContext(context);
  }
};

namespace {

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
                                                       jpeg::PixelKind kind, const Limits& limits) {
  if (profile.empty() || profile.size() > std::numeric_limits<cmsUInt32Number>::max()) {
    return std::nullopt;
  }
  auto held = std::make_shared<Held>();
  held->budget.cap =
      limits.colourTransformBytes + limits.colourTransformBytesPerProfileByte * profile.size();
  held->context = cmsCreateContext(&kBudgetAllocator, &held->budget);
  if (held->context == nullptr) return std::nullopt;
  // Messages of lcms2 about a broken profile are not for the user: the photo simply converts
  // without its profile.
  cmsSetLogErrorHandlerTHR(held->context, [](cmsContext, cmsUInt32Number, const char*) {});
  {
    Profile input(cmsOpenProfileFromMemTHR(held->context, profile.data(),
                                           static_cast<cmsUInt32Number>(profile.size())));
    if (!input || cmsGetColorSpace(input.get()) != colourSpace(kind)) return std::nullopt;
    Profile srgb(cmsCreate_sRGBProfileTHR(held->context));
    if (!srgb || isSrgb(input.get(), srgb.get(), kind)) return std::nullopt;
    // No cache: the transform is then safe to share between threads.
    held->transform =
        cmsCreateTransformTHR(held->context, input.get(), inputFormat(kind), srgb.get(), TYPE_RGB_8,
                              INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    if (held->transform == nullptr) return std::nullopt;
  }
  return ColourTransform(std::move(held), kind);
}

std::size_t ColourTransform::heldBytes() const {
  return held_->budget.used.load(std::memory_order_relaxed);
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
        cmsDoTransform(held_->transform, row, packed.data(), count);
        break;
      case jpeg::PixelKind::Gray:
        for (int x = 0; x < width; ++x) grey[x] = static_cast<std::uint8_t>(redOf(row[x]));
        cmsDoTransform(held_->transform, grey.data(), packed.data(), count);
        break;
      default:
        for (int x = 0; x < width; ++x) {
          packed[3 * x] = static_cast<std::uint8_t>(redOf(row[x]));
          packed[3 * x + 1] = static_cast<std::uint8_t>(greenOf(row[x]));
          packed[3 * x + 2] = static_cast<std::uint8_t>(blueOf(row[x]));
        }
        cmsDoTransform(held_->transform, packed.data(), packed.data(), count);
        break;
    }
    for (int x = 0; x < width; ++x) {
      row[x] = rgb(packed[3 * x], packed[3 * x + 1], packed[3 * x + 2]) | Raster::kOpaque;
    }
  }
}

}  // namespace snapfolio
