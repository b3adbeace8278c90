#include "imaging/photo_metadata.h"

// Standard library
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <memory>
#include <mutex>
#include <string_view>

// Other libraries
#include <exiv2/exiv2.hpp>

// Project
#include "core/failure.h"
#include "formats/jpeg_photo_decoder.h"

namespace snapfolio {

namespace {

// The largest EXIF block one JPEG segment carries (65533 bytes less "Exif\0\0").
constexpr std::size_t kMaxSegmentExif = 65527;

// Exiv2 reports what it finds odd on stderr; a photo's metadata is not the user's concern.
void quietExiv2() {
  static std::once_flag once;
  std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

// The TIFF structure of an EXIF block, read only as far as the sizes of its entries' data.
class ExifStructure {
 public:
  explicit ExifStructure(std::span<const std::uint8_t> block) : block_(block) {}

  // The data the block's entries point at, summed over the entries (each entry's data at most
  // as long as the block, where Exiv2 looks for it): an upper bound of what Exiv2 copies when
  // it decodes them. Nothing when the block has no TIFF header.
  std::optional<std::uint64_t> dataBytes() {
    if (block_.size() < 8) return std::nullopt;
    if (block_[0] == 'I' && block_[1] == 'I' && u16(2) == 42) {
      little_ = true;
    } else {
      little_ = false;
      if (block_[0] != 'M' || block_[1] != 'M' || u16(2) != 42) return std::nullopt;
    }
    // The thumbnail and strips are copied once more as data areas: at most the block again.
    std::uint64_t sum = block_.size();
    std::vector<std::uint32_t> pending = {u32(4)};
    std::vector<std::uint32_t> seen;
    while (!pending.empty() && seen.size() < kMostDirectories) {
      const std::uint32_t at = pending.back();
      pending.pop_back();
      if (std::find(seen.begin(), seen.end(), at) != seen.end()) continue;
      seen.push_back(at);
      sum += directoryBytes(at, &pending);
    }
    return sum;
  }

 private:
  static constexpr std::size_t kMostDirectories = 64;
  static constexpr std::uint16_t kMakerNote = 0x927c;

  std::uint16_t u16(std::size_t at) const {
    if (at + 2 > block_.size()) return 0;
    return little_ ? block_[at] | block_[at + 1] << 8 : block_[at] << 8 | block_[at + 1];
  }
  std::uint32_t u32(std::size_t at) const {
    if (at + 4 > block_.size()) return 0;
    const std::uint32_t a = u16(at), b = u16(at + 2);
    return little_ ? a | b << 16 : a << 16 | b;
  }

  static std::uint64_t typeSize(std::uint16_t type) {
    static constexpr std::uint8_t kSizes[] = {1, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    // Exiv2 reads a type it does not know as bytes.
    return type < std::size(kSizes) ? kSizes[type] : 1;
  }

  // The data of the directory at `at` (an offset into the block), as Exiv2 reads it: not at
  // all when it has more than 256 entries or does not fit the block. The directories it
  // points at are added to `pending`; a maker note's is counted with it (`inNote`: the
  // directory is a maker note's, whose sub-directories are counted with it, wherever their
  // offsets are taken from, when they are of type IFD).
  std::uint64_t directoryBytes(std::size_t at, std::vector<std::uint32_t>* pending,
                               std::size_t inNote = 0) const {
    if (at == 0 || at + 2 > block_.size()) return 0;
    const std::size_t count = u16(at);
    if (count > 256 || at + 2 + 12 * count > block_.size()) return 0;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entry = at + 2 + 12 * i;
      const std::uint16_t tag = u16(entry), type = u16(entry + 2);
      const std::uint64_t size = typeSize(type) * u32(entry + 4);
      const std::uint32_t value = u32(entry + 8);
      // Data beyond the block is not read, whatever base its offset is taken from.
      if (size <= 4) {
        sum += size;
      } else if (value + size <= block_.size()) {
        sum += size;
        if (tag == kMakerNote && pending != nullptr) sum += makerNoteBytes(value, size);
      }
      if (inNote != 0 && type == 13) {
        // A maker note's sub-directory, from the block's start, the note's or its own header.
        std::uint64_t most = 0;
        for (std::size_t base : {std::size_t{0}, inNote, inNote + 10}) {
          most = std::max(most, directoryBytes(base + value, nullptr));
        }
        sum += most;
      }
      if (pending == nullptr) continue;
      // The EXIF, GPS and interoperability directories, sub-images, and any of type IFD.
      if (tag == 0x8769 || tag == 0x8825 || tag == 0xa005 || type == 13) pending->push_back(value);
      if (tag == 0x014a && (type == 4 || type == 13)) {
        const std::size_t n = std::min<std::uint64_t>(u32(entry + 4), kMostDirectories);
        for (std::size_t k = 0; k < n; ++k) {
          pending->push_back(n == 1 ? value : u32(std::size_t{value} + 4 * k));
        }
      }
    }
    if (pending != nullptr) pending->push_back(u32(at + 2 + 12 * count));  // the next image's
    return sum;
  }

  // A maker note is a directory after a header of the maker's own (of 0, 6, 8, 10, 12, 16 or
  // 18 bytes, or where a "FUJIFILM" header says), in either byte order: the largest sum of
  // any of these counts.
  std::uint64_t makerNoteBytes(std::size_t at, std::uint64_t size) const {
    std::vector<std::size_t> starts = {0, 6, 8, 10, 12, 16, 18};
    if (size >= 12 && std::equal(block_.begin() + at, block_.begin() + at + 8, "FUJIFILM")) {
      starts.push_back(std::uint32_t{block_[at + 8]} | block_[at + 9] << 8 | block_[at + 10] << 16 |
                       std::uint32_t{block_[at + 11]} << 24);
    }
    std::uint64_t most = 0;
    ExifStructure note(block_);
    for (bool little : {true, false}) {
      note.little_ = little;
      for (std::size_t start : starts) {
        if (start + 2 <= size) most = std::max(most, note.directoryBytes(at + start, nullptr, at));
      }
    }
    return most;
  }

  std::span<const std::uint8_t> block_;
  bool little_ = true;
};

// Whether the data of the block's entries stays within what a real block points at.
bool withinDataBound(std::span<const std::uint8_t> exif) {
  const std::optional<std::uint64_t> data = ExifStructure(exif).dataBytes();
  if (!data) return true;  // Exiv2 itself refuses a block without a TIFF header
  const std::uint64_t bound = std::min<std::uint64_t>(
      std::max<std::uint64_t>(kLimits.exifDataPerBlockByte * exif.size(), std::uint64_t{64} << 10),
      kLimits.exifDataBytes);
  return *data <= bound;
}

// Decodes an EXIF block; false when Exiv2 cannot read it, or when the block is refused before.
bool decodeExif(std::span<const std::uint8_t> exif, Exiv2::ExifData& data,
                Exiv2::ByteOrder& order) {
  if (exif.empty() || exif.size() > kLimits.exifBytes || !withinDataBound(exif)) return false;
  quietExiv2();
  try {
    order = Exiv2::ExifParser::decode(data, exif.data(), static_cast<std::uint32_t>(exif.size()));
  } catch (...) {
    data.clear();
    return false;
  }
  return order != Exiv2::invalidByteOrder;
}

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// "YYYY:MM:DD HH:MM:SS" as EXIF writes it (any single separator accepted, as some cameras
// write "-" in the date); nothing for blanks, zeros and impossible dates.
std::optional<DateTime> parseExifDate(std::string_view text) {
  if (text.size() < 19) return std::nullopt;
  auto number = [&](std::size_t at, std::size_t digits) -> int {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
      if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  DateTime t;
  t.year = number(0, 4);
  t.month = number(5, 2);
  t.day = number(8, 2);
  t.hour = number(11, 2);
  t.minute = number(14, 2);
  t.second = number(17, 2);
  if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > daysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    return std::nullopt;
  }
  return t;
}

std::optional<DateTime> dateTakenIn(const Exiv2::ExifData& data) {
  for (const char* key :
       {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized", "Exif.Image.DateTime"}) {
    const auto it = data.findKey(Exiv2::ExifKey(key));
    if (it == data.end()) continue;
    if (auto date = parseExifDate(it->toString())) return date;
  }
  return std::nullopt;
}

void eraseIf(Exiv2::ExifData& data, auto&& unwanted) {
  for (auto it = data.begin(); it != data.end();) {
    it = unwanted(*it) ? data.erase(it) : std::next(it);
  }
}

bool isMakerNote(const Exiv2::Exifdatum& datum) {
  const std::string group = datum.groupName();
  return Exiv2::ExifTags::isMakerGroup(group) || group == "MakerNote" ||
         datum.key() == "Exif.Photo.MakerNote";
}

// What a viewer shows of the picture, and the artist's and copyright holder's own statement:
// the tags KeepPrivate keeps, by directory and number (newer tags have no name in every Exiv2).
bool isKeptPrivately(const Exiv2::Exifdatum& datum) {
  static constexpr std::uint16_t kImage[] = {
      0x010f, 0x0110, 0x0112,  // Make, Model, Orientation
      0x011a, 0x011b, 0x0128,  // XResolution, YResolution, ResolutionUnit
      0x0132, 0x013b, 0x8298,  // DateTime, Artist, Copyright
      0x8769,                  // the EXIF directory
  };
  static constexpr std::uint16_t kPhoto[] = {
      0x829a, 0x829d, 0x8822, 0x8827, 0x8830,  // ExposureTime, FNumber, program, ISO, its type
      0x9000, 0x9003, 0x9004,                  // ExifVersion, DateTimeOriginal, -Digitized
      0x9010, 0x9011, 0x9012,                  // their time offsets
      0x9290, 0x9291, 0x9292,                  // and fractions of a second
      0x9201, 0x9202, 0x9204, 0x9205,          // shutter speed, aperture, bias, max. aperture
      0x9207, 0x9209, 0x920a, 0xa405,          // metering, flash, focal length (35 mm)
      0xa402, 0xa403, 0xa434,                  // exposure mode, white balance, LensModel
      0xa001, 0xa002, 0xa003, 0xa005,          // ColorSpace, pixel sizes, interoperability
  };
  static constexpr std::uint16_t kInterop[] = {0x0001, 0x0002};  // index ("R98"), version
  const std::string group = datum.groupName();
  const std::span<const std::uint16_t> kept = group == "Image"   ? std::span(kImage)
                                              : group == "Photo" ? std::span(kPhoto)
                                              : group == "Iop"   ? std::span(kInterop)
                                                                 : std::span<const std::uint16_t>();
  return std::find(kept.begin(), kept.end(), datum.tag()) != kept.end();
}

Exiv2::Blob encode(const Exiv2::ExifData& data, Exiv2::ByteOrder order) {
  Exiv2::Blob blob;
  Exiv2::ExifParser::encode(blob, order, data);
  return blob;
}

}  // namespace

struct DecodedExif {
  Exiv2::ExifData data;
  Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
};

PhotoMetadata readPhotoMetadata(std::span<const std::uint8_t> jpegBytes) {
  return photoMetadataOf(readJpegBlocks(jpegBytes, kLimits));
}

PhotoMetadata photoMetadataOf(PhotoBlocks blocks) {
  PhotoMetadata metadata;
  metadata.kind = blocks.kind;
  metadata.exif = std::move(blocks.exif);
  metadata.icc = std::move(blocks.icc);
  auto decoded = std::make_shared<DecodedExif>();
  if (!decodeExif(metadata.exif, decoded->data, decoded->order)) return metadata;
  try {
    const Exiv2::ExifData& data = decoded->data;
    const auto it = data.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (it != data.end() && it->count() > 0) {
      const long value = it->toLong();
      if (value >= 1 && value <= 8) metadata.orientation = static_cast<int>(value);
    }
    metadata.dateTaken = dateTakenIn(data);
    // Each entry's value, and what Exiv2 keeps beside it.
    for (const Exiv2::Exifdatum& datum : data) metadata.decodedBytes += datum.size() + 256;
  } catch (...) {
    PhotoMetadata plain;
    plain.kind = metadata.kind;
    plain.exif = std::move(metadata.exif);
    plain.icc = std::move(metadata.icc);
    return plain;
  }
  metadata.decoded = std::move(decoded);
  return metadata;
}

std::optional<DateTime> dateTakenOf(std::span<const std::uint8_t> exif) {
  Exiv2::ExifData data;
  Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
  if (!decodeExif(exif, data, order)) return std::nullopt;
  try {
    return dateTakenIn(data);
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<DateTime> readDateTaken(const std::string& path) {
  jpeg::JpegMarkers markers;
  try {
    markers = jpeg::readJpegExif(path);
  } catch (...) {
    return std::nullopt;
  }
  return dateTakenOf(markers.exif);
}

std::vector<std::uint8_t> outputExif(const PhotoMetadata& photo, MetadataMode mode, int width,
                                     int height, bool convertedToSrgb) {
  if (mode == MetadataMode::None || !photo.decoded) return {};
  try {
    Exiv2::ExifData data = photo.decoded->data;
    Exiv2::ExifThumb(data).erase();
    if (mode == MetadataMode::KeepPrivate) {
      eraseIf(data, [](const Exiv2::Exifdatum& datum) { return !isKeptPrivately(datum); });
    }
    data["Exif.Image.Orientation"] = static_cast<std::uint16_t>(1);
    data["Exif.Photo.PixelXDimension"] = static_cast<std::uint32_t>(width);
    data["Exif.Photo.PixelYDimension"] = static_cast<std::uint32_t>(height);
    if (convertedToSrgb) {
      data["Exif.Photo.ColorSpace"] = static_cast<std::uint16_t>(1);
      // "R03" marks an Adobe RGB file for the camera file system; the pixels are sRGB now.
      const auto index = data.findKey(Exiv2::ExifKey("Exif.Iop.InteroperabilityIndex"));
      if (index != data.end() && index->toString() == "R03") data.erase(index);
    }
    const Exiv2::ByteOrder order = photo.decoded->order;
    Exiv2::Blob blob = encode(data, order);
    if (blob.size() > kMaxSegmentExif) {
      // Maker notes are what makes an EXIF block large; without them it fits or is dropped.
      eraseIf(data, isMakerNote);
      blob = encode(data, order);
    }
    if (blob.size() > kMaxSegmentExif) return {};
    return blob;
  } catch (...) {
    return {};
  }
}

std::vector<std::uint8_t> withExif(std::span<const std::uint8_t> jpegBytes,
                                   std::span<const std::uint8_t> exif) {
  quietExiv2();
  try {
    Exiv2::ExifData data;
    Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
    if (!decodeExif(exif, data, order)) throw Failure("the EXIF block cannot be read");
    auto image = Exiv2::ImageFactory::open(jpegBytes.data(), static_cast<long>(jpegBytes.size()));
    if (image.get() == nullptr) throw Failure("the JPEG data cannot be opened");
    image->readMetadata();
    image->setByteOrder(order);
    image->setExifData(data);
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    const long size = io.size();
    if (size <= 0 || io.seek(0, Exiv2::BasicIo::beg) != 0) throw Failure("no JPEG data written");
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size));
    if (io.read(out.data(), size) != size) throw Failure("the JPEG data cannot be read back");
    return out;
  } catch (const Failure&) {
    throw;
  } catch (const std::exception& e) {
    throw Failure(std::string("EXIF: ") + e.what());
  }
}

namespace {

std::string exifText(const Exiv2::ExifData& data, const char* key) {
  const auto it = data.findKey(Exiv2::ExifKey(key));
  if (it == data.end() || it->count() == 0) return {};
  std::string text = it->toString();
  // ASCII fields are padded with blanks or zeros by some cameras.
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

// A rational field as a number; nothing when it is absent or has a zero denominator.
std::optional<double> exifNumber(const Exiv2::ExifData& data, const char* key) {
  const auto it = data.findKey(Exiv2::ExifKey(key));
  if (it == data.end() || it->count() == 0) return std::nullopt;
  const Exiv2::Rational r = it->toRational();
  if (r.second == 0) return std::nullopt;
  return static_cast<double>(r.first) / r.second;
}

std::string decimal(double value, int digits) {
  std::string text = std::to_string(value);
  text.resize(text.find('.') + static_cast<std::size_t>(digits) + 1);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

CameraFields cameraFieldsOf(std::span<const std::uint8_t> exif) {
  CameraFields fields;
  Exiv2::ExifData data;
  Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
  if (!decodeExif(exif, data, order)) return fields;
  try {
    if (std::optional<DateTime> t = dateTakenIn(data)) {
      char text[32];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day,
                    t->hour, t->minute, t->second);
      fields.dateTaken = text;
    }
    const std::string make = exifText(data, "Exif.Image.Make");
    const std::string model = exifText(data, "Exif.Image.Model");
    const std::string makeWord = make.substr(0, make.find(' '));
    fields.camera = !make.empty() && model.find(makeWord) == std::string::npos
                        ? make + (model.empty() ? "" : " " + model)
                        : model;
    fields.lens = exifText(data, "Exif.Photo.LensModel");
    if (auto focal = exifNumber(data, "Exif.Photo.FocalLength"); focal && *focal > 0) {
      fields.focalLength = decimal(*focal, 1) + " mm";
    }
    if (auto time = exifNumber(data, "Exif.Photo.ExposureTime"); time && *time > 0) {
      fields.exposure =
          *time < 0.5 ? "1/" + decimal(1 / *time, 0) + " s" : decimal(*time, 1) + " s";
    }
    if (auto f = exifNumber(data, "Exif.Photo.FNumber"); f && *f > 0) {
      fields.aperture = "f/" + decimal(*f, 1);
    }
    const auto iso = data.findKey(Exiv2::ExifKey("Exif.Photo.ISOSpeedRatings"));
    if (iso != data.end() && iso->count() > 0 && iso->toLong() > 0) {
      fields.iso = std::to_string(iso->toLong());
    }
  } catch (...) {
    // A field Exiv2 cannot convert leaves the rest as read so far.
  }
  return fields;
}

}  // namespace snapfolio
