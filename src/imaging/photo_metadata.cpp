#include "imaging/photo_metadata.h"

// Standard library
#include <array>
#include <cctype>
#include <cstdio>
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

// Decodes an EXIF block; false when Exiv2 cannot read it.
bool decodeExif(std::span<const std::uint8_t> exif, Exiv2::ExifData& data,
                Exiv2::ByteOrder& order) {
  if (exif.empty() || exif.size() > kMaxSegmentExif) return false;
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

// GPS, and what names the camera or its owner rather than the picture.
bool isPrivate(const Exiv2::Exifdatum& datum) {
  static constexpr std::string_view kPrivateKeys[] = {
      "Exif.Image.GPSTag",          "Exif.Photo.BodySerialNumber",   "Exif.Photo.LensSerialNumber",
      "Exif.Photo.CameraOwnerName", "Exif.Image.CameraSerialNumber", "Exif.Photo.ImageUniqueID",
  };
  if (datum.groupName() == "GPSInfo" || isMakerNote(datum)) return true;
  const std::string key = datum.key();
  for (std::string_view k : kPrivateKeys) {
    if (key == k) return true;
  }
  return false;
}

Exiv2::Blob encode(const Exiv2::ExifData& data, Exiv2::ByteOrder order) {
  Exiv2::Blob blob;
  Exiv2::ExifParser::encode(blob, order, data);
  return blob;
}

}  // namespace

PhotoMetadata readPhotoMetadata(std::span<const std::uint8_t> jpegBytes) {
  return photoMetadataOf(readJpegBlocks(jpegBytes, kLimits));
}

PhotoMetadata photoMetadataOf(PhotoBlocks blocks) {
  PhotoMetadata metadata;
  metadata.kind = blocks.kind;
  metadata.exif = std::move(blocks.exif);
  metadata.icc = std::move(blocks.icc);
  Exiv2::ExifData data;
  Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
  if (!decodeExif(metadata.exif, data, order)) return metadata;
  try {
    const auto it = data.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (it != data.end() && it->count() > 0) {
      const long value = it->toLong();
      if (value >= 1 && value <= 8) metadata.orientation = static_cast<int>(value);
    }
  } catch (...) {
    metadata.orientation = 1;
  }
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

std::vector<std::uint8_t> outputExif(std::span<const std::uint8_t> exif, MetadataMode mode,
                                     int width, int height, bool convertedToSrgb) {
  if (mode == MetadataMode::None) return {};
  Exiv2::ExifData data;
  Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
  if (!decodeExif(exif, data, order)) return {};
  try {
    Exiv2::ExifThumb(data).erase();
    if (mode == MetadataMode::KeepPrivate) eraseIf(data, isPrivate);
    data["Exif.Image.Orientation"] = static_cast<std::uint16_t>(1);
    data["Exif.Photo.PixelXDimension"] = static_cast<std::uint32_t>(width);
    data["Exif.Photo.PixelYDimension"] = static_cast<std::uint32_t>(height);
    if (convertedToSrgb) {
      data["Exif.Photo.ColorSpace"] = static_cast<std::uint16_t>(1);
      // "R03" marks an Adobe RGB file for the camera file system; the pixels are sRGB now.
      const auto index = data.findKey(Exiv2::ExifKey("Exif.Iop.InteroperabilityIndex"));
      if (index != data.end() && index->toString() == "R03") data.erase(index);
    }
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
