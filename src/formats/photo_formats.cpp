// The formats a photo is read from, each with its signature test and its decoder: a new
// format is one class of its own and one row here.
#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <memory>
#include <utility>

#include "core/file_io.h"
#include "formats/heif_photo_decoder.h"
#include "formats/jpeg_photo_decoder.h"
#include "formats/photo_decoder.h"
#include "formats/qt_photo_decoder.h"
#include "formats/raw_photo_decoder.h"

namespace snapfolio {

namespace {

struct FormatEntry {
  PhotoFormat format;
  bool (*isMine)(std::span<const std::uint8_t> bytes);
  std::unique_ptr<PhotoDecoder> (*open)(std::vector<std::uint8_t> bytes, const Limits& limits);
};

template <class Decoder>
std::unique_ptr<PhotoDecoder> make(std::vector<std::uint8_t> bytes, const Limits& limits) {
  return std::make_unique<Decoder>(std::move(bytes), limits);
}

// A file that begins as a TIFF file is a camera's raw file when LibRaw reads it as one (DNG,
// NEF, ARW), else a TIFF picture.
std::unique_ptr<PhotoDecoder> makeTiff(std::vector<std::uint8_t> bytes, const Limits& limits) {
  if (auto raw = RawPhotoDecoder::tryOpen(bytes, limits)) return raw;
  return std::make_unique<QtPhotoDecoder>(std::move(bytes), limits);
}

// The first entry also reads the bytes no format claims.
constexpr std::array kFormats = {
    FormatEntry{PhotoFormat::Jpeg, &JpegPhotoDecoder::isMine, &make<JpegPhotoDecoder>},
    FormatEntry{PhotoFormat::Heif, &HeifPhotoDecoder::isMine, &make<HeifPhotoDecoder>},
    FormatEntry{PhotoFormat::Png, &QtPhotoDecoder::isPng, &make<QtPhotoDecoder>},
    FormatEntry{PhotoFormat::Raw, &RawPhotoDecoder::isMine, &make<RawPhotoDecoder>},
    FormatEntry{PhotoFormat::Tiff, &QtPhotoDecoder::isTiff, &makeTiff},
    FormatEntry{PhotoFormat::Webp, &QtPhotoDecoder::isWebp, &make<QtPhotoDecoder>},
};

// The longest signature any format looks at.
constexpr std::size_t kSignatureBytes = 16;

const FormatEntry* entryFor(std::span<const std::uint8_t> bytes) {
  for (const FormatEntry& entry : kFormats) {
    if (entry.isMine(bytes)) return &entry;
  }
  return nullptr;
}

}  // namespace

bool hasPhotoExtension(std::string_view name) {
  for (std::string_view extension : kPhotoExtensions) {
    if (name.size() < extension.size()) continue;
    const std::string_view end = name.substr(name.size() - extension.size());
    if (std::equal(end.begin(), end.end(), extension.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == b;
        })) {
      return true;
    }
  }
  return false;
}

std::optional<PhotoFormat> PhotoDecoder::sniff(std::span<const std::uint8_t> bytes) {
  const FormatEntry* entry = entryFor(bytes);
  return entry ? std::optional(entry->format) : std::nullopt;
}

std::optional<PhotoFormat> PhotoDecoder::sniffFile(const std::string& path) {
  const std::vector<std::uint8_t> head = readFileStart(path, kSignatureBytes);
  return sniff(head);
}

std::unique_ptr<PhotoDecoder> PhotoDecoder::open(std::vector<std::uint8_t> bytes,
                                                 const Limits& limits) {
  if (bytes.size() > static_cast<unsigned long long>(limits.photoFileBytes)) {
    throw photoFileTooLarge(static_cast<long long>(bytes.size()), limits);
  }
  const FormatEntry* entry = entryFor(bytes);
  return (entry ? *entry : kFormats.front()).open(std::move(bytes), limits);
}

std::unique_ptr<PhotoDecoder> PhotoDecoder::openFile(const std::string& path,
                                                     const Limits& limits) {
  // The name is used as its bytes: a photo named in any encoding is found.
  std::vector<std::uint8_t> bytes;
  if (!readWholeFile(path, static_cast<std::size_t>(limits.photoFileBytes), bytes)) {
    std::error_code ec;
    throw photoFileTooLarge(static_cast<long long>(std::filesystem::file_size(path, ec)), limits);
  }
  return open(std::move(bytes), limits);
}

}  // namespace snapfolio
