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

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/photo_decoder.h"
#include "jpeg/jpeg_markers.h"
#include "options/photo_options.h"
#include "timestamp/date_time.h"

namespace snapfolio {

// A photo's EXIF data as Exiv2 decoded it, read once for all its uses.
struct DecodedExif;

struct PhotoMetadata {
  jpeg::PixelKind kind = jpeg::PixelKind::Rgb;  // what the decoded pixels are
  int orientation = 1;                          // EXIF orientation, 1 to 8
  std::vector<std::uint8_t> exif;               // the EXIF block (TIFF), empty: none
  std::vector<std::uint8_t> icc;                // the embedded ICC profile, empty: none
  std::optional<DateTime> dateTaken;            // as dateTakenOf reads it
  std::shared_ptr<const DecodedExif> decoded;   // null: no EXIF, or it cannot be read
  std::size_t decodedBytes = 0;                 // memory the decoded EXIF holds, about

  // Bytes the metadata holds, for a memory budget.
  std::size_t heldBytes() const { return exif.size() + icc.size() + decodedBytes; }
};

// The metadata in the header of JPEG bytes. Never throws for what the bytes hold.
PhotoMetadata readPhotoMetadata(std::span<const std::uint8_t> jpegBytes);
// The metadata of a photo's blocks, whatever its format: the EXIF decoded once, with the
// orientation and the date taken read from it. Never throws for what the blocks hold.
//
// An EXIF block is decoded only when it fits one JPEG segment and the data its entries point
// at, summed over the entries, stays within Limits::exifDataPerBlockByte times its size and
// Limits::exifDataBytes (a pre-scan of its structure tells, before Exiv2 copies anything):
// otherwise it is taken as unreadable.
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

// The EXIF block for an output image of width x height pixels made from the photo's EXIF:
// nothing for MetadataMode::None; otherwise orientation 1, the new pixel dimensions, colour
// space sRGB when `convertedToSrgb`, never the photo's own EXIF thumbnail (it would show the
// old picture). KeepAll keeps every other tag. KeepPrivate keeps only what a viewer shows of
// the picture (camera make and model, lens model, exposure, focal length, ISO, dates,
// orientation, colour space, pixel sizes, resolution) and the artist and copyright, the
// user's own statement; nothing else (GPS, maker notes, serial numbers, owner, unique IDs,
// embedded XMP and IPTC). Empty when the EXIF cannot be read or does not fit one JPEG segment
// even without its maker notes.
std::vector<std::uint8_t> outputExif(const PhotoMetadata& photo, MetadataMode mode, int width,
                                     int height, bool convertedToSrgb);

// The JPEG bytes with `exif` as their EXIF segment. Throws Failure when it cannot be written.
std::vector<std::uint8_t> withExif(std::span<const std::uint8_t> jpegBytes,
                                   std::span<const std::uint8_t> exif);

}  // namespace snapfolio
