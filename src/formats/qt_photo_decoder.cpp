#include "formats/qt_photo_decoder.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <tiffio.h>
#include <exiv2/exiv2.hpp>

namespace snapfolio {

namespace {

QByteArray viewOf(const std::vector<std::uint8_t>& bytes) {
  return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<qsizetype>(bytes.size()));
}

const char* qtFormatName(PhotoFormat format) {
  switch (format) {
    case PhotoFormat::Tiff:
      return "tiff";
    case PhotoFormat::Webp:
      return "webp";
    default:
      return "png";
  }
}

bool startsWith(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text) {
  return bytes.size() >= at + text.size() &&
         std::memcmp(bytes.data() + at, text.data(), text.size()) == 0;
}

// Whether every chunk of a PNG file but its image data fits in it. libpng allocates what a
// chunk's length claims before it reads the chunk: a few bytes claiming a gigabyte of text would
// cost that much. Image data cut short stays the reader's to report.
bool pngChunksFit(std::span<const std::uint8_t> bytes) {
  for (std::size_t at = 8; at + 8 <= bytes.size();) {
    const std::size_t length = (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) |
                               (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
    if (length > bytes.size() - (at + 8)) return startsWith(bytes, at + 4, "IDAT");
    at += 12 + length;  // length, type, data, CRC
  }
  return true;
}

// libtiff writes its warnings and errors on stderr, between the run's own messages: a warning
// for every tag it does not know, as cameras and editors write them. Warnings are dropped; the
// first error of a reading on this thread is kept to say why a TIFF photo could not be read
// (Qt's reader says no more than that it could not).
thread_local std::string tiffError;

void keepTiffError(const char*, const char* format, va_list args) {
  if (!tiffError.empty()) return;
  char text[256];
  std::vsnprintf(text, sizeof text, format, args);
  // Qt opens every TIFF stream under the name "foo", which libtiff puts before its message.
  std::string_view message(text);
  if (message.starts_with("foo: ")) message.remove_prefix(5);
  tiffError = message;
}

// Starts a reading: libtiff's handlers set once, the last reading's error forgotten.
void startReading() {
  static std::once_flag handlers;
  std::call_once(handlers, [] {
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(&keepTiffError);
  });
  tiffError.clear();
}

// Why a reading failed: libtiff's own error when it gave one, else what Qt's reader says.
std::string readingError(const char* format, const std::string& readers) {
  return std::string(format) + ": " + (tiffError.empty() ? readers : tiffError);
}

}  // namespace

bool QtPhotoDecoder::isPng(std::span<const std::uint8_t> bytes) {
  return startsWith(bytes, 0, std::string_view("\x89PNG\r\n\x1A\n", 8));
}

bool QtPhotoDecoder::isTiff(std::span<const std::uint8_t> bytes) {
  // Classic TIFF and BigTIFF, in either byte order.
  for (std::string_view magic : {std::string_view("II*\0", 4), std::string_view("MM\0*", 4),
                                 std::string_view("II+\0", 4), std::string_view("MM\0+", 4)}) {
    if (startsWith(bytes, 0, magic)) return true;
  }
  return false;
}

bool QtPhotoDecoder::isWebp(std::span<const std::uint8_t> bytes) {
  return startsWith(bytes, 0, "RIFF") && startsWith(bytes, 8, "WEBP");
}

std::optional<PhotoFormat> QtPhotoDecoder::formatOf(std::span<const std::uint8_t> bytes) {
  if (isPng(bytes)) return PhotoFormat::Png;
  if (isTiff(bytes)) return PhotoFormat::Tiff;
  if (isWebp(bytes)) return PhotoFormat::Webp;
  return std::nullopt;
}

QtPhotoDecoder::QtPhotoDecoder(std::vector<std::uint8_t> bytes, const Limits& limits)
    : WholePhotoDecoder(std::move(bytes)), limits_(limits) {
  format_ = formatOf(bytes_).value_or(PhotoFormat::Png);
  if (format_ == PhotoFormat::Png && !pngChunksFit(bytes_)) {
    throw unreadablePhoto("png: a chunk is longer than the file");
  }
  QByteArray data = viewOf(bytes_);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, qtFormatName(format_));
  startReading();
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) {
    // Qt's readers say no more than "Unknown error" for a header they cannot read.
    throw unreadablePhoto(
        readingError(qtFormatName(format_), reader.error() == QImageReader::UnknownError
                                                ? std::string("the header cannot be read")
                                                : reader.errorString().toStdString()));
  }
  width_ = size.width();
  height_ = size.height();
  checkPhotoSize(width_, height_, limits_);
  const QImage::Format stored = reader.imageFormat();
  grey_ = stored == QImage::Format_Grayscale8 || stored == QImage::Format_Grayscale16;
}

PhotoBlocks blocksByExiv2(std::span<const std::uint8_t> bytes, const Limits& limits) {
  PhotoBlocks blocks;
  static std::once_flag quiet;
  std::call_once(quiet, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
  try {
    auto image = Exiv2::ImageFactory::open(bytes.data(), static_cast<long>(bytes.size()));
    if (image.get() == nullptr) return blocks;
    image->readMetadata();
    if (image->iccProfileDefined()) {
      const Exiv2::DataBuf* icc = image->iccProfile();
      if (icc->size_ > 0 && static_cast<std::size_t>(icc->size_) <= limits.iccProfileBytes) {
        blocks.icc.assign(icc->pData_, icc->pData_ + icc->size_);
      }
    }
    if (!image->exifData().empty()) {
      Exiv2::Blob exif;
      Exiv2::ExifParser::encode(
          exif,
          image->byteOrder() == Exiv2::invalidByteOrder ? Exiv2::littleEndian : image->byteOrder(),
          image->exifData());
      if (exif.size() <= limits.exifBytes) blocks.exif = std::move(exif);
    }
  } catch (...) {
    // Metadata that cannot be read leaves the photo as stored.
  }
  return blocks;
}

PhotoBlocks QtPhotoDecoder::blocks() const {
  PhotoBlocks blocks = blocksByExiv2(bytes_, limits_);
  blocks.kind = grey_ ? jpeg::PixelKind::Gray : jpeg::PixelKind::Rgb;
  return blocks;
}

void QtPhotoDecoder::decodeInto(Raster& raster) {
  QByteArray data = viewOf(bytes_);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, qtFormatName(format_));
  reader.setAutoTransform(false);
  // Qt's bound in MiB: the photo at 8 bytes a pixel, as the limits allow it.
  reader.setAllocationLimit(static_cast<int>((8LL * width_ * height_ >> 20) + 1));
  startReading();
  QImage image = reader.read();
  if (image.isNull()) {
    throw unreadablePhoto(readingError(qtFormatName(format_), reader.errorString().toStdString()));
  }
  if (image.width() != width_ || image.height() != height_) {
    throw unreadablePhoto("the picture's size differs from its header's");
  }
  const bool deep = image.depth() > 32 || image.format() == QImage::Format_Grayscale16;
  image.convertTo(deep ? QImage::Format_RGBA64 : QImage::Format_RGBA8888);
  raster.reshape(width_, height_);
  for (int y = 0; y < height_; ++y) {
    if (deep) {
      putRow16(reinterpret_cast<const std::uint16_t*>(image.constScanLine(y)), 4, width_,
               raster.row(y));
    } else {
      putRow8(image.constScanLine(y), 4, width_, raster.row(y));
    }
  }
}

}  // namespace snapfolio
