#include "formats/heif_photo_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>

#include <lcms2.h>
#include <libheif/heif.h>

namespace snapfolio {

namespace {

void initLibheif() {
  static std::once_flag once;
  std::call_once(once, [] { heif_init(nullptr); });
}

void check(const heif_error& error) {
  if (error.code != heif_error_Ok) {
    throw unreadablePhoto(std::string("libheif: ") +
                          (error.message != nullptr ? error.message : "error"));
  }
}

// Brands of HEIF files that hold still images (a sequence's file also holds its cover image).
bool isHeifBrand(std::string_view brand) {
  static constexpr std::array<std::string_view, 7> kHevc = {"heic", "heix", "hevc", "heim",
                                                            "heis", "mif1", "msf1"};
  if (std::find(kHevc.begin(), kHevc.end(), brand) != kHevc.end()) {
    return heif_have_decoder_for_format(heif_compression_HEVC) != 0;
  }
  if (brand == "avif" || brand == "avis") {
    return heif_have_decoder_for_format(heif_compression_AV1) != 0;
  }
  return false;
}

// An ICC profile for an nclx colour description, made by lcms2: its primaries and white point
// with the sRGB tone curve (what phones write for Display P3), or linear light. Nothing when
// the description is sRGB's own primaries, or says none.
std::vector<std::uint8_t> iccOfNclx(const heif_color_profile_nclx& nclx) {
  if (nclx.color_primaries == heif_color_primaries_ITU_R_BT_709_5 ||
      nclx.color_primaries == heif_color_primaries_unspecified) {
    return {};
  }
  const cmsCIExyY white = {nclx.color_primary_white_x, nclx.color_primary_white_y, 1.0};
  const cmsCIExyYTRIPLE primaries = {{nclx.color_primary_red_x, nclx.color_primary_red_y, 1.0},
                                     {nclx.color_primary_green_x, nclx.color_primary_green_y, 1.0},
                                     {nclx.color_primary_blue_x, nclx.color_primary_blue_y, 1.0}};
  // IEC 61966-2-1: the parametric curve of type 4.
  const double srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  const double linear[1] = {1.0};
  cmsToneCurve* curve = nclx.transfer_characteristics == heif_transfer_characteristic_linear
                            ? cmsBuildParametricToneCurve(nullptr, 1, linear)
                            : cmsBuildParametricToneCurve(nullptr, 4, srgb);
  if (curve == nullptr) return {};
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(curve);
  if (profile == nullptr) return {};
  std::vector<std::uint8_t> icc;
  cmsUInt32Number size = 0;
  if (cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
    icc.resize(size);
    if (!cmsSaveProfileToMem(profile, icc.data(), &size)) icc.clear();
  }
  cmsCloseProfile(profile);
  return icc;
}

// The EXIF block of a HEIF "Exif" item: a 4-byte offset to the TIFF header, then the block.
std::vector<std::uint8_t> exifOf(const heif_image_handle* handle, const Limits& limits) {
  heif_item_id id = 0;
  if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1) return {};
  const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
  if (size < 4 || size > limits.exifBytes + 4 + 64) return {};
  std::vector<std::uint8_t> item(size);
  if (heif_image_handle_get_metadata(handle, id, item.data()).code != heif_error_Ok) return {};
  const std::size_t offset = (std::size_t{item[0]} << 24) | (std::size_t{item[1]} << 16) |
                             (std::size_t{item[2]} << 8) | item[3];
  if (offset > size - 4) return {};
  std::vector<std::uint8_t> exif(item.begin() + 4 + static_cast<long>(offset), item.end());
  if (exif.size() > limits.exifBytes) return {};
  return exif;
}

}  // namespace

bool HeifPhotoDecoder::isMine(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 12 || std::memcmp(bytes.data() + 4, "ftyp", 4) != 0) return false;
  initLibheif();
  return isHeifBrand(std::string_view(reinterpret_cast<const char*>(bytes.data() + 8), 4));
}

HeifPhotoDecoder::HeifPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits)
    : WholePhotoDecoder(std::move(bytes)),
      limits_(limits),
      context_(nullptr, heif_context_free),
      handle_(nullptr, heif_image_handle_release) {
  initLibheif();
  context_.reset(heif_context_alloc());
  if (!context_) throw unreadablePhoto("libheif: no context");
  heif_context_set_max_decoding_threads(context_.get(), std::max(1, limits.decodingThreads));
  heif_context_set_maximum_image_size_limit(
      context_.get(),
      static_cast<int>(std::min<long long>(limits.pixels, std::numeric_limits<int>::max())));
  check(heif_context_read_from_memory_without_copy(context_.get(), bytes_.data(), bytes_.size(),
                                                   nullptr));
  heif_image_handle* handle = nullptr;
  check(heif_context_get_primary_image_handle(context_.get(), &handle));
  handle_.reset(handle);
  // The size after the container's transformations (a rotation swaps the sides).
  width_ = heif_image_handle_get_width(handle);
  height_ = heif_image_handle_get_height(handle);
  if (width_ <= 0 || height_ <= 0) throw unreadablePhoto("libheif: no image size");
  checkPhotoSize(width_, height_, limits_);
}

HeifPhotoDecoder::~HeifPhotoDecoder() = default;

PhotoBlocks HeifPhotoDecoder::blocks() const {
  PhotoBlocks blocks;
  blocks.orientation = 1;
  const heif_image_handle* handle = handle_.get();
  blocks.exif = exifOf(handle, limits_);
  switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
      const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
      if (size == 0 || size > limits_.iccProfileBytes) break;
      blocks.icc.resize(size);
      if (heif_image_handle_get_raw_color_profile(handle, blocks.icc.data()).code !=
          heif_error_Ok) {
        blocks.icc.clear();
      }
      break;
    }
    case heif_color_profile_type_nclx: {
      heif_color_profile_nclx* nclx = nullptr;
      if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok &&
          nclx != nullptr) {
        blocks.icc = iccOfNclx(*nclx);
      }
      heif_nclx_color_profile_free(nclx);
      break;
    }
    default:
      break;
  }
  return blocks;
}

void HeifPhotoDecoder::decodeInto(Raster& raster) {
  const bool alpha = heif_image_handle_has_alpha_channel(handle_.get()) != 0;
  std::unique_ptr<heif_decoding_options, void (*)(heif_decoding_options*)> options(
      heif_decoding_options_alloc(), heif_decoding_options_free);
  if (options) options->convert_hdr_to_8bit = 1;
  heif_image* decoded = nullptr;
  check(heif_decode_image(handle_.get(), &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          options.get()));
  std::unique_ptr<const heif_image, void (*)(const heif_image*)> image(decoded, heif_image_release);
  const int width = heif_image_get_width(decoded, heif_channel_interleaved);
  const int height = heif_image_get_height(decoded, heif_channel_interleaved);
  int stride = 0;
  const std::uint8_t* plane =
      heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
  if (plane == nullptr || width != width_ || height != height_ ||
      heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved) != 8) {
    throw unreadablePhoto("libheif: unexpected decoding");
  }
  const bool premultiplied = alpha && heif_image_is_premultiplied_alpha(decoded) != 0;
  raster.reshape(width, height);
  std::vector<std::uint8_t> unpremultiplied(premultiplied ? 4 * width : 0);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = plane + static_cast<std::ptrdiff_t>(y) * stride;
    if (premultiplied) {
      for (int i = 0; i < 4 * width; i += 4) {
        const unsigned a = row[i + 3];
        for (int c = 0; c < 3; ++c) {
          unpremultiplied[i + c] =
              a == 0 ? 0
                     : static_cast<std::uint8_t>(std::min(255u, (row[i + c] * 255u + a / 2) / a));
        }
        unpremultiplied[i + 3] = static_cast<std::uint8_t>(a);
      }
      row = unpremultiplied.data();
    }
    putRow8(row, alpha ? 4 : 3, width, raster.row(y));
  }
}

}  // namespace snapfolio
