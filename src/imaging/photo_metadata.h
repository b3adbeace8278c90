// PhotoMetadata: what the program reads from a photo beyond its pixels, and the EXIF it
// writes into output images. EXIF through Exiv2; the blocks themselves come from libjpeg's
// marker reader (jpeg/jpeg_markers.h), bounded by its limits.
//
// Everything read from a photo is untrusted. Reading never fails because of the metadata: a
// block that cannot be read leaves its fields at their defaults (orientation 1, no date, no
// profile), so such a photo converts exactly as one without metadata.
//
// Plain functions; no state besides Exiv2's own message level, set once. Any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/photo_decoder.h"
#include "jpeg/jpeg_markers.h"
#include "options/photo_options.h"
#include "timestamp/date_time.h"

namespace snapfolio {

struct PhotoMetadata {
  jpeg::PixelKind kind = jpeg::PixelKind::Rgb;  // what the decoded pixels are
  int orientation = 1;                          // EXIF orientation, 1 to 8
  std::vector<std::uint8_t> exif;               // the EXIF block (TIFF), empty: none
  std::vector<std::uint8_t> icc;                // the embedded ICC profile, empty: none
};

// The metadata in the header of JPEG bytes. Never throws for what the bytes hold.
PhotoMetadata readPhotoMetadata(std::span<const std::uint8_t> jpegBytes);
// The metadata of a photo's blocks, whatever its format: the orientation read from its EXIF.
// Never throws for what the blocks hold.
PhotoMetadata photoMetadataOf(PhotoBlocks blocks);

// The date a photo was taken as its camera recorded it: EXIF DateTimeOriginal, else
// DateTimeDigitized, else DateTime (the first that holds a valid date and time), read from the
// file's header. Nothing when the file has none (or cannot be read as a JPEG header).
std::optional<DateTime> readDateTaken(const std::string& path);
// The same from an EXIF block.
std::optional<DateTime> dateTakenOf(std::span<const std::uint8_t> exif);

// What a photo page shows of the camera, as display texts (UTF-8); a field the photo does not
// record is empty. The position (GPS) is never read.
struct CameraFields {
  std::string dateTaken;    // "2024-05-01 14:03:22"
  std::string camera;       // "Canon EOS 5D": the model, with the make before it unless the
                            // model already names it
  std::string lens;         // "EF24-105mm f/4L IS USM"
  std::string focalLength;  // "50 mm"
  std::string exposure;     // "1/250 s", "2 s"
  std::string aperture;     // "f/5.6"
  std::string iso;          // "200"
};

// The camera fields of an EXIF block. Never throws.
CameraFields cameraFieldsOf(std::span<const std::uint8_t> exif);

// The EXIF block for an output image of width x height pixels made from the photo's block:
// nothing for MetadataMode::None; otherwise the photo's EXIF with orientation 1, the new pixel
// dimensions, colour space sRGB when `convertedToSrgb`, without the photo's own EXIF thumbnail
// (it would show the old picture), and for KeepPrivate without the GPS data, the maker notes,
// the serial numbers and the owner's name. Empty when the block cannot be read or does not fit
// one JPEG segment even without its maker notes.
std::vector<std::uint8_t> outputExif(std::span<const std::uint8_t> exif, MetadataMode mode,
                                     int width, int height, bool convertedToSrgb);

// The JPEG bytes with `exif` as their EXIF segment. Throws Failure when it cannot be written.
std::vector<std::uint8_t> withExif(std::span<const std::uint8_t> jpegBytes,
                                   std::span<const std::uint8_t> exif);

}  // namespace snapfolio
