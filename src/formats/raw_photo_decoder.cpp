#include "formats/raw_photo_decoder.h"

#include <cmath>
#include <cstring>
#include <string_view>

#include <libraw/libraw.h>

#include "formats/jpeg_photo_decoder.h"
#include "formats/qt_photo_decoder.h"
#include "formats/whole_photo_decoder.h"

namespace snapfolio {

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text) {
  return bytes.size() >= at + text.size() &&
         std::memcmp(bytes.data() + at, text.data(), text.size()) == 0;
}

void check(int code) {
  if (code != LIBRAW_SUCCESS)
    throw unreadablePhoto(std::string("LibRaw: ") + libraw_strerror(code));
}

// LibRaw's flip as an EXIF orientation.
int orientationOf(int flip) {
  switch (flip) {
    case 3:
      return 3;
    case 5:
      return 8;
    case 6:
      return 6;
    default:
      return 1;
  }
}

std::unique_ptr<LibRaw> openRaw(std::vector<std::uint8_t>& bytes) {
  auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
  const int code = raw->open_buffer(bytes.data(), bytes.size());
  if (code != LIBRAW_SUCCESS || raw->imgdata.idata.make[0] == '\0') return nullptr;
  return raw;
}

}  // namespace

bool RawPhotoDecoder::isMine(std::span<const std::uint8_t> bytes) {
  return (startsWith(bytes, 0, std::string_view("II*\0", 4)) && startsWith(bytes, 8, "CR")) ||
         startsWith(bytes, 0, "IIRO") || startsWith(bytes, 0, "IIRS") ||
         startsWith(bytes, 0, "MMOR") || startsWith(bytes, 0, std::string_view("IIU\0", 4)) ||
         startsWith(bytes, 0, "FUJIFILMCCD-RAW") ||
         (startsWith(bytes, 4, "ftyp") && startsWith(bytes, 8, "crx "));
}

std::unique_ptr<PhotoDecoder> RawPhotoDecoder::tryOpen(std::vector<std::uint8_t>& bytes,
                                                       const Limits& limits) {
  if (!openRaw(bytes)) return nullptr;
  return std::make_unique<RawPhotoDecoder>(std::move(bytes), limits);
}

RawPhotoDecoder::RawPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits)
    : bytes_(std::move(bytes)), limits_(limits) {
  raw_ = openRaw(bytes_);
  if (!raw_)
    throw unreadablePhoto("LibRaw: " + std::string(libraw_strerror(LIBRAW_FILE_UNSUPPORTED)));
  const libraw_image_sizes_t& sizes = raw_->imgdata.sizes;
  width_ = sizes.width;
  height_ = sizes.height;
  if (width_ <= 0 || height_ <= 0) throw unreadablePhoto("LibRaw: no image size");
  checkPhotoSize(width_, height_, limits_);
  checkPhotoSize(sizes.raw_width, sizes.raw_height, limits_);
  orientation_ = orientationOf(sizes.flip);
  // A JPEG preview of the picture's own proportions (within 1 %) may stand for it.
  if (raw_->unpack_thumb() == LIBRAW_SUCCESS &&
      raw_->imgdata.thumbnail.tformat == LIBRAW_THUMBNAIL_JPEG) {
    const libraw_thumbnail_t& thumb = raw_->imgdata.thumbnail;
    const int w = thumb.twidth;
    const int h = thumb.theight;
    if (w > 0 && h > 0 &&
        std::fabs(static_cast<double>(w) * height_ / (static_cast<double>(h) * width_) - 1) <
            0.01) {
      previewWidth_ = w;
      previewHeight_ = h;
    }
  }
}

RawPhotoDecoder::~RawPhotoDecoder() = default;

PhotoBlocks RawPhotoDecoder::blocks() const {
  PhotoBlocks blocks = blocksByExiv2(bytes_, limits_);
  blocks.icc.clear();  // both the preview and the full decoding are sRGB
  blocks.orientation = orientation_;
  return blocks;
}

bool RawPhotoDecoder::previewServes(QSize size) const {
  if (previewWidth_ == 0) return false;
  if (size.isEmpty()) size = QSize(width_, height_);
  return previewWidth_ >= size.width() && previewHeight_ >= size.height();
}

const Raster& RawPhotoDecoder::decodeFor(QSize size) {
  const bool preview = previewServes(size);
  if (!decoded_ || preview != fromPreview_ || (!preview && decoding_.width() != width_)) {
    if (preview) {
      decodePreview(size);
    } else {
      decodeRaw();
    }
    decoded_ = true;
    fromPreview_ = preview;
  }
  return decoding_;
}

void RawPhotoDecoder::decodePreview(QSize size) {
  const libraw_thumbnail_t& thumb = raw_->imgdata.thumbnail;
  std::vector<std::uint8_t> jpeg(
      reinterpret_cast<const std::uint8_t*>(thumb.thumb),
      reinterpret_cast<const std::uint8_t*>(thumb.thumb) + thumb.tlength);
  JpegPhotoDecoder decoder(std::move(jpeg), limits_);
  decoding_ = decoder.decodeFor(size.isEmpty() ? QSize(previewWidth_, previewHeight_) : size);
  if (decoding_.isEmpty()) throw unreadablePhoto("LibRaw: the preview holds no picture");
}

void RawPhotoDecoder::decodeRaw() {
  libraw_output_params_t& params = raw_->imgdata.params;
  params.use_camera_wb = 1;
  params.output_color = 1;  // sRGB
  params.output_bps = 8;
  params.user_flip = 0;  // as the sensor lies: the pipeline turns it
  check(raw_->unpack());
  check(raw_->dcraw_process());
  int code = LIBRAW_SUCCESS;
  std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> image(
      raw_->dcraw_make_mem_image(&code), LibRaw::dcraw_clear_mem);
  if (!image) check(code == LIBRAW_SUCCESS ? LIBRAW_UNSPECIFIED_ERROR : code);
  if (image->type != LIBRAW_IMAGE_BITMAP || image->colors != 3 || image->bits != 8 ||
      image->width != width_ || image->height != height_) {
    throw unreadablePhoto("LibRaw: unexpected decoding");
  }
  decoding_.reshape(width_, height_);
  for (int y = 0; y < height_; ++y) {
    putRow8(image->data + static_cast<std::size_t>(y) * 3 * width_, 3, width_, decoding_.row(y));
  }
}

void RawPhotoDecoder::swapDecodeBuffer(Raster& buffer) {
  std::swap(decoding_, buffer);
  decoded_ = false;
}

long long RawPhotoDecoder::decodedPixels(QSize size) const {
  if (previewServes(size)) return 1LL * previewWidth_ * previewHeight_;
  return 1LL * width_ * height_;
}

}  // namespace snapfolio
