// The metadata segments of a JPEG file, as libjpeg's own marker reader saves them: the EXIF
// block (APP1 "Exif") and the embedded ICC colour profile (the APP2 "ICC_PROFILE" chunks,
// reassembled by jpeg_read_icc_profile). Only the header is read; no pixel is decoded.
//
// Untrusted input: a block above its limit (Limits::exifBytes, Limits::iccProfileBytes) is left
// out (and said so), never cut; a profile whose chunks do not fit together is left out as
// broken. Nothing here parses the blocks
// themselves.
//
// Plain functions; no state. Any thread, one call per buffer or file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/limits.h"

namespace snapfolio::jpeg {

// What the decoded pixels of the file are, for a profile to describe them.
enum class PixelKind { Rgb, Gray, Ink };  // Ink: CMYK or YCCK (four ink values)

struct JpegMarkers {
  PixelKind kind = PixelKind::Rgb;
  std::vector<std::uint8_t> exif;  // the TIFF block of the first EXIF segment; empty: none
  std::vector<std::uint8_t> icc;   // the whole profile; empty: none, broken or too large
  bool exifRefused = false;        // an EXIF segment was there but above the limit
  bool iccRefused = false;         // profile chunks were there but broken or above the limit
};

// Reads the header of JPEG bytes. Throws EJPEG when the bytes are not a JPEG header.
JpegMarkers readJpegMarkers(std::span<const std::uint8_t> bytes, const Limits& limits = kLimits);

// Reads the header of a JPEG file (the file is read up to its first scan only); only the
// EXIF block is kept (no profile). Throws Failure when the file cannot be opened or is larger
// than the program reads, EJPEG when it is not a JPEG file.
JpegMarkers readJpegExif(const std::string& path, const Limits& limits = kLimits);

// The size of a JPEG file's picture and whether it is coded in several scans (progressive), as
// its header says; the file is read up to its first scan only, nothing is decoded. Throws as
// readJpegExif does.
struct FileShape {
  long long width = 0;
  long long height = 0;
  bool progressive = false;
};
FileShape readJpegShape(const std::string& path, const Limits& limits = kLimits);

}  // namespace snapfolio::jpeg
