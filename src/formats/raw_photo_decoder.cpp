#include "formats/raw_photo_decoder.h"

#include <algorithm>
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

// Whether the first directory of a TIFF file names a camera maker or a DNG version, as every
// raw file that begins as a TIFF file does (LibRaw reads no raw file without its maker): a
// plain TIFF picture is told without LibRaw, whose opening costs far more.
bool namesCamera(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 8 || bytes[0] != bytes[1] || (bytes[0] != 'I' && bytes[0] != 'M')) return true;
  const bool little = bytes[0] == 'I';
  const auto read = [&](std::size_t at, int length) -> std::uint32_t {
    std::uint32_t value = 0;
    for (int i = 0; i < length; ++i) {
      const std::uint32_t byte = bytes[at + static_cast<std::size_t>(little ? length - 1 - i : i)];
      value = value << 8 | byte;
    }
    return value;
  };
  if (read(2, 2) != 42) return true;  // BigTIFF and the rest: LibRaw tells
  const std::size_t directory = read(4, 4);
  if (directory > bytes.size() - 2) return false;
  const std::size_t entries = read(directory, 2);
  for (std::size_t i = 0; i < entries && directory + 2 + 12 * (i + 1) <= bytes.size(); ++i) {
    const std::uint32_t tag = read(directory + 2 + 12 * i, 2);
    if (tag == 271 || tag == 50706) return true;  // Make, DNGVersion
  }
  return false;
}

// LibRaw's object is large (about 750 KB, cleared as it is made and again as it identifies a
// file): each thread keeps one, recycled between files, instead of making one per photo.
thread_local std::unique_ptr<LibRaw> spareRaw;

// LibRaw writes what it finds wrong in a file's data on stderr; the photo's own message says it.
void quietDataError(void*, const char*, int) {}

LibRawHandle takeRaw() {
  if (spareRaw) return LibRawHandle(spareRaw.release());
  LibRawHandle raw(new LibRaw(LIBRAW_OPTIONS_NONE));
  raw->set_dataerror_handler(&quietDataError, nullptr);
  return raw;
}

LibRawHandle openRaw(std::vector<std::uint8_t>& bytes) {
  LibRawHandle raw = takeRaw();
  const int code = raw->open_buffer(bytes.data(), bytes.size());
  if (code != LIBRAW_SUCCESS || raw->imgdata.idata.make[0] == '\0') return nullptr;
  return raw;
}

// OpenMP's thread count for the calling thread's parallel regions, when LibRaw was built with
// OpenMP (Debian's is): its demosaicing and some decompressors run in such regions.
extern "C" void omp_set_num_threads(int threads) __attribute__((weak));

void limitThreads(const Limits& limits) {
  if (omp_set_num_threads != nullptr) omp_set_num_threads(std::max(1, limits.decodingThreads));
}

}  // namespace

void LibRawRelease::operator()(LibRaw* raw) const {
  raw->recycle();
  if (spareRaw) {
    delete raw;
  } else {
    spareRaw.reset(raw);
  }
}

bool RawPhotoDecoder::isMine(std::span<const std::uint8_t> bytes) {
  return (startsWith(bytes, 0, std::string_view("II*\0", 4)) && startsWith(bytes, 8, "CR")) ||
         startsWith(bytes, 0, "IIRO") || startsWith(bytes, 0, "IIRS") ||
         startsWith(bytes, 0, "MMOR") || startsWith(bytes, 0, std::string_view("IIU\0", 4)) ||
         startsWith(bytes, 0, "FUJIFILMCCD-RAW") ||
         (startsWith(bytes, 4, "ftyp") && startsWith(bytes, 8, "crx "));
}

std::unique_ptr<PhotoDecoder> RawPhotoDecoder::tryOpen(std::vector<std::uint8_t>& bytes,
                                                       const Limits& limits) {
  if (!namesCamera(bytes)) return nullptr;
  LibRawHandle raw = openRaw(bytes);
  if (!raw) return nullptr;
  // LibRaw holds the address of the bytes, which moving the vector keeps.
  return std::unique_ptr<PhotoDecoder>(
      new RawPhotoDecoder(std::move(bytes), limits, std::move(raw)));
}

RawPhotoDecoder::RawPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits)
    : RawPhotoDecoder(std::move(bytes), limits, nullptr) {}

RawPhotoDecoder::RawPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits,
                                 LibRawHandle opened)
    : bytes_(std::move(bytes)), limits_(limits), raw_(std::move(opened)) {
  if (!raw_) raw_ = openRaw(bytes_);
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
  limitThreads(limits_);
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
