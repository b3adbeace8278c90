// Limits: every bound the program puts on what untrusted input may cost, in one place.
//
// Photos, templates and the settings file come from anywhere; each of these values stops one
// file from exhausting memory, disk or time, far beyond anything a real album needs. kLimits
// holds the program's values; code that wants other bounds (a test, a fuzz target) makes its
// own Limits and hands it where an interface takes one. The README's limits section lists the
// same values: change both together.
//
// A plain constant value; any thread may read it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace snapfolio {

struct Limits {
  // Largest photo, output image or work surface the program holds, in pixels (1 GB of RGB).
  long long pixels = 250'000'000;
  // Largest photo file read, in bytes (1 GiB).
  long long photoFileBytes = 1LL << 30;
  // Memory the JPEG library may hold for one photo, in bytes (1 GiB): enough for the
  // coefficient buffers of a progressive 4:2:0 photo of the largest raster above.
  long codecMemoryBytes = 1L << 30;
  // Memory the photos of a run being made at once may hold, in bytes (96 MiB): their files,
  // decodings and output images, as estimated from their headers. A photo that alone needs
  // more is still made, with no other beside it.
  std::size_t runMemoryBytes = std::size_t{96} << 20;
  // Most scans of a multi-scan (progressive) JPEG file; real files have about ten.
  int progressiveScans = 500;
  // A JPEG file whose first scan's data could not hold even this share (1/n) of the picture its
  // header claims is refused before decoding; a photo merely cut short keeps far more and
  // converts with a warning (jpeg/jpeg_decode.cpp explains the bound).
  int leastScanDataShare = 16;
  // Largest album template read, in bytes (512 MiB).
  std::size_t templateBytes = std::size_t{512} << 20;
  // Largest album page written, in bytes (1 GiB): keeps a runaway template from filling the
  // disk.
  std::uint64_t pageBytes = std::uint64_t{1} << 30;
  // Template bytes scanned, as a multiple of (photos + 1) times the template's size: a sensible
  // template scans each part once per photo it shows, an endless loop is found early.
  std::uint64_t templateReadingsPerPhoto = 16;
  // Stamp font sizes outside these bounds are drawn at the nearest bound, in points.
  int smallestStampPoints = 1;
  int largestStampPoints = 1000;
  // Longer stamp texts are cut (on a character boundary) before they are measured and drawn.
  int stampCharacters = 10'000;
  // Largest EXIF block taken from a photo, in bytes: the payload of one JPEG segment (64 KB).
  std::size_t exifBytes = 65527;
  // Largest sum of the data an EXIF block's entries point at, as a multiple of the block's
  // size, and in bytes (256 KiB). Entries may share their data, and Exiv2 copies it for each of
  // them: a 64 KB block would otherwise cost hundreds of MB. A real block points at each byte
  // about once.
  std::size_t exifDataPerBlockByte = 4;
  std::size_t exifDataBytes = std::size_t{256} << 10;
  // Largest embedded ICC colour profile used, in bytes (8 MiB); a JPEG can carry about 16 MB.
  std::size_t iccProfileBytes = std::size_t{8} << 20;
  // Memory lcms2 may hold while it reads one colour profile and makes its transform: this,
  // plus the second value for each byte of the profile. A real profile's transform needs a few
  // MiB; a profile whose tables claim more than its bytes hold is refused.
  std::size_t colourTransformBytes = std::size_t{32} << 20;
  std::size_t colourTransformBytesPerProfileByte = 16;
  // Largest settings file read, in bytes (16 MiB); a larger file is no settings file.
  std::size_t settingsFileBytes = std::size_t{16} << 20;
};

inline constexpr Limits kLimits{};

}  // namespace snapfolio
