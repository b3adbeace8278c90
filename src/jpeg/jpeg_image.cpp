#include "jpeg/jpeg_image.h"

// Standard library
#include <filesystem>
#include <istream>
#include <ostream>
#include <utility>

// Qt
#include <QCoreApplication>
#include <QString>

// Project
#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/limits.h"
#include "core/resample.h"
#include "core/translation.h"
#include "jpeg/jpeg_decode.h"
#include "jpeg/jpeg_encode.h"

namespace snapfolio {

namespace {

constexpr std::size_t kReadChunk = 1 << 20;

[[noreturn]] void throwTooLarge(long long bytes) {
  throw photoFileTooLarge(bytes);
}

jpeg::DecodeSettings decodeSettingsOf(const JpegOptions& options, const Limits& limits) {
  jpeg::DecodeSettings settings;
  settings.limits = &limits;
  settings.scaleDenom = 1 << static_cast<int>(options.DecodeScale);
  settings.blockSmoothing = options.BlockSmoothing;
  settings.grayscale = options.GrayDecode;
  settings.depth8 = options.DecodeDepth == JpegDepth::Depth8;
  settings.fast = options.FastDecode == JpegPerformance::BestSpeed;
  return settings;
}

// Decodes into `raster` and records the damage the decoding got past (nothing when it met
// none).
void decode(std::span<const std::uint8_t> bytes, const jpeg::DecodeSettings& settings,
            Raster& raster, std::optional<JpegDamage>& damage) {
  JpegDamage found;
  jpeg::decodeJpeg(bytes, settings, raster, &found);
  damage.reset();
  if (found.warnings > 0) damage = std::move(found);
}

}  // namespace

int draftScaleFor(long long photoWidth, long long photoHeight, long long width, long long height) {
  for (int n = 1; n < 8; ++n) {
    const long long scaledWidth = (photoWidth * n + 7) / 8;
    const long long scaledHeight = (photoHeight * n + 7) / 8;
    if (scaledWidth >= 2 * width && scaledHeight >= 2 * height) return n;
  }
  return 8;
}

EJPEG photoFileTooLarge(long long bytes, const Limits& limits) {
  return EJPEG(
      "JPEG file of " + std::to_string(bytes) + " bytes exceeds the limit of " +
          std::to_string(limits.photoFileBytes) + " bytes",
      fillIn(QCoreApplication::translate("TJPEGImage", "ファイルが大きすぎる(%1 MiBまで)。"),
             {std::to_string(limits.photoFileBytes >> 20)}));
}

std::string jpegErrorMessage(int messageCode) {
  return "JPEG エラー #" + std::to_string(messageCode);
}

std::string JpegDamage::cause() const {
  const char* reason = truncated ? QT_TRANSLATE_NOOP("TJPEGImage", "データが途中で終わっている。")
                                 : QT_TRANSLATE_NOOP("TJPEGImage", "データが壊れている。");
  return withDetail(translated("TJPEGImage", reason), detail);
}

TJPEGImage::TJPEGImage() : data_(std::make_shared<TJPEGData>()), options_(JpegDefaults) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::LoadFromFile(const std::string& fileName) {
  // The name is used as its bytes: a photo named in any encoding is found.
  std::vector<std::uint8_t> bytes;
  if (!readWholeFile(fileName, static_cast<std::size_t>(kLimits.photoFileBytes), bytes)) {
    std::error_code ec;
    throwTooLarge(static_cast<long long>(std::filesystem::file_size(fileName, ec)));
  }
  limits_ = &kLimits;
  adopt(std::move(bytes));
}

void TJPEGImage::ReadFrom(std::istream& stream) {
  std::vector<std::uint8_t> bytes;
  while (stream) {
    const std::size_t used = bytes.size();
    bytes.resize(used + kReadChunk);
    stream.read(reinterpret_cast<char*>(bytes.data() + used), kReadChunk);
    bytes.resize(used + static_cast<std::size_t>(stream.gcount()));
    if (bytes.size() > kLimits.photoFileBytes) throwTooLarge(static_cast<long long>(bytes.size()));
  }
  if (stream.bad()) throw Failure("cannot read the JPEG stream");
  ReadFrom(std::move(bytes));
}

void TJPEGImage::ReadFrom(std::vector<std::uint8_t>&& bytes, const Limits& limits) {
  if (bytes.size() > static_cast<unsigned long long>(limits.photoFileBytes)) {
    throw photoFileTooLarge(static_cast<long long>(bytes.size()), limits);
  }
  limits_ = &limits;
  adopt(std::move(bytes));
}

void TJPEGImage::adopt(std::vector<std::uint8_t> bytes) {
  data_ = std::make_shared<TJPEGData>();
  bitmap_.reset();
  bitmapIsDecoded_ = false;
  dropDecodings();
  damage_.reset();
  data_->Stream.emplace(std::move(bytes));
  if (data_->Stream->empty()) return;  // decoding will fail with the library's empty-input error
  const jpeg::JpegHeader header = jpeg::readJpegHeader(*data_->Stream, *limits_);
  data_->Width = header.width;
  data_->Height = header.height;
  data_->Gray = header.gray;
  data_->Cmyk = header.cmyk;
  options_.ProgressiveWrite = header.progressive;
}

void TJPEGImage::SaveToFile(const std::string& fileName) {
  // Encode first: a failing encoder never touches the file system.
  EnsureEncoded();
  const std::vector<std::uint8_t>& bytes = *data_->Stream;
  writeFileAtomically(fileName,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TJPEGImage::WriteTo(std::ostream& stream) {
  EnsureEncoded();
  const std::vector<std::uint8_t>& bytes = *data_->Stream;
  stream.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  if (!stream) throw Failure("cannot write the JPEG stream");
}

void TJPEGImage::EnsureEncoded() {
  if (data_->Stream) return;
  std::vector<std::uint8_t> bytes;
  if (bitmap_ && !bitmap_->isEmpty()) {
    jpeg::EncodeSettings settings;
    settings.quality = options_.EncodeQuality;
    settings.grayscale = options_.GrayDecode;
    settings.progressive = options_.ProgressiveWrite;
    // On failure no stream is kept, so a later save cannot write half an encoding.
    bytes = jpeg::encodeJpeg(*bitmap_, settings);
    data_->Width = bitmap_->width();
    data_->Height = bitmap_->height();
    if (options_.GrayDecode) data_->Gray = true;
  }
  data_->Stream = std::move(bytes);
}

int TJPEGImage::ImageWidth() const {
  if (bitmap_) return bitmap_->width();
  const int shift = static_cast<int>(options_.DecodeScale);
  return static_cast<int>((static_cast<long long>(data_->Width) + (1 << shift) - 1) >> shift);
}

int TJPEGImage::ImageHeight() const {
  if (bitmap_) return bitmap_->height();
  const int shift = static_cast<int>(options_.DecodeScale);
  return static_cast<int>((static_cast<long long>(data_->Height) + (1 << shift) - 1) >> shift);
}

void TJPEGImage::SetImageWidth(int) {
  throw EInvalidGraphicOperation("JPEG イメージのサイズは変更できません");
}

void TJPEGImage::SetImageHeight(int) {
  throw EInvalidGraphicOperation("JPEG イメージのサイズは変更できません");
}

bool TJPEGImage::IsEmpty() const {
  if (data_->Stream) return false;
  return !bitmap_ || bitmap_->isEmpty();
}

const Raster& TJPEGImage::DecodedBitmap() {
  if (bitmap_) return *bitmap_;
  if (!data_->Stream) {
    // Nothing to decode: an object without an image has an empty one.
    bitmap_.emplace();
  } else {
    Raster decoded;
    decode(*data_->Stream, decodeSettingsOf(options_, *limits_), decoded, damage_);
    bitmap_.emplace(std::move(decoded));
  }
  bitmapIsDecoded_ = true;
  dropDecodings();
  return *bitmap_;
}

void TJPEGImage::DrawTo(Raster& canvas, const QRect& rect) {
  if (rect.width() <= 0 || rect.height() <= 0) return;
  resampleInto(DecodedFor(rect), canvas, rect);
}

const Raster& TJPEGImage::DecodedFor(const QRect& rect) {
  // Ink values turn into RGB by products (red = cyan x black), so averaging them in the DCT
  // domain is not averaging the colours: CMYK photos are always decoded at full size.
  if (bitmap_ || !data_->Stream || data_->Cmyk || options_.DecodeScale != JpegScale::FullSize) {
    return DecodedBitmap();
  }
  // A target much smaller than the photo: let the decoder scale in the DCT domain and
  // resample what is left (the draft stays at least twice the target's size).
  const int scale = draftScaleFor(data_->Width, data_->Height, rect.width(), rect.height());
  if (scale >= 8) return DecodedBitmap();
  if (draftScale_ != scale) {
    jpeg::DecodeSettings settings = decodeSettingsOf(options_, *limits_);
    settings.scaleNum = scale;
    settings.scaleDenom = 8;
    // The memory of an earlier decoding (or of SwapDecodeBuffer's) is reused.
    draftScale_ = 0;
    decode(*data_->Stream, settings, draft_, damage_);
    draftScale_ = scale;
  }
  return draft_;
}

void TJPEGImage::dropDecodings() {
  draft_ = Raster();
  draftScale_ = 0;
}

void TJPEGImage::SwapDecodeBuffer(Raster& buffer) {
  std::swap(draft_, buffer);
  draftScale_ = 0;
}

void TJPEGImage::Assign(const Raster& bitmap) {
  data_ = std::make_shared<TJPEGData>();
  bitmap_.emplace(bitmap);
  bitmapIsDecoded_ = false;
  dropDecodings();
  damage_.reset();
}

void TJPEGImage::Assign(const TJPEGImage& source) {
  if (&source == this) return;
  data_ = source.data_;
  limits_ = source.limits_;
  bitmap_ = source.bitmap_;
  bitmapIsDecoded_ = source.bitmapIsDecoded_;
  dropDecodings();
  damage_ = source.damage_;
}

void TJPEGImage::AssignTo(Raster& target) {
  target = DecodedBitmap();
}

void TJPEGImage::SetOptions(const JpegOptions& options) {
  const bool decodingChanged =
      options.GrayDecode != options_.GrayDecode || options.FastDecode != options_.FastDecode ||
      options.DecodeDepth != options_.DecodeDepth || options.DecodeScale != options_.DecodeScale ||
      options.BlockSmoothing != options_.BlockSmoothing;
  options_ = options;
  if (!decodingChanged) return;
  dropDecodings();
  // A decoding made with the old options is made again; an assigned raster is the image.
  if (bitmapIsDecoded_ && data_->Stream) {
    bitmap_.reset();
    bitmapIsDecoded_ = false;
  }
}

}  // namespace snapfolio
