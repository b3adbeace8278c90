// PhotoDecoder: one photo file as the pipeline sees it, whatever its format: what it is (size,
// what its pixels are, the metadata blocks it carries, the damage its decoding got past) and
// its decoding at a reduced scale into memory the caller lends.
//
// The format is chosen by the file's content, never by its name: each format answers "is it
// mine?" from the file's first bytes (photo_formats.cpp holds the list). Bytes that no format
// claims are read as JPEG, the program's own format, whose reader then says why they are not
// a photo, so that such a file fails exactly as it always has.
//
// Untrusted input: every decoder is given the Limits it works under (core/limits.h); the file
// itself is read only up to Limits::photoFileBytes.
//
// Not thread-safe: one decoder is used by one thread at a time (its decodings are cached).
// Separate decoders may be used on separate threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <QSize>

#include "core/limits.h"
#include "core/raster.h"
#include "formats/photo_format.h"
#include "jpeg/jpeg_markers.h"

namespace snapfolio {

// The metadata blocks a photo carries, as stored; the decoder does not interpret them.
struct PhotoBlocks {
  jpeg::PixelKind kind = jpeg::PixelKind::Rgb;  // what the decoded pixels are
  std::vector<std::uint8_t> exif;               // the EXIF block (TIFF); empty: none
  std::vector<std::uint8_t> icc;                // the embedded ICC profile; empty: none
};

class PhotoDecoder {
 public:
  virtual ~PhotoDecoder() = default;

  // The decoder of the format the bytes are in. Throws Failure (EJPEG for JPEG) when they are
  // not a photo or exceed the limits.
  static std::unique_ptr<PhotoDecoder> open(std::vector<std::uint8_t> bytes, const Limits& limits);
  // The same for a file, read whole first. Throws Failure without a cause when the file cannot
  // be read (readFailureCause tells why), EJPEG when it is larger than the limits allow.
  static std::unique_ptr<PhotoDecoder> openFile(const std::string& path, const Limits& limits);
  // The format whose signature the bytes begin with; nothing when no format claims them.
  static std::optional<PhotoFormat> sniff(std::span<const std::uint8_t> bytes);
  // The same for the first bytes of a file; nothing also when it cannot be read.
  static std::optional<PhotoFormat> sniffFile(const std::string& path);

  virtual PhotoFormat format() const = 0;
  // The stored size in pixels (before any orientation is undone).
  virtual int width() const = 0;
  virtual int height() const = 0;
  // The whole file.
  virtual std::span<const std::uint8_t> bytes() const = 0;
  // The metadata blocks; empty ones when they cannot be read (never a failure).
  virtual PhotoBlocks blocks() const = 0;

  // The decoding in RGB that an image of `size` (as the photo is stored) is best made from: at
  // a reduced scale that stays at least twice the size when the format can decode so, else at
  // full size. Made once per scale and kept until another scale is asked for. Throws Failure
  // when the photo cannot be decoded.
  virtual const Raster& decodeFor(QSize size) = 0;
  // The whole photo at full size with its pixels as stored, for a colour profile to convert:
  // the ink values C, M, Y, K (0 = no ink) when the blocks' kind is Ink.
  virtual Raster decodeStored() = 0;
  // Exchanges the memory of the kept decoding with `buffer`, so that a worker decodes photo
  // after photo into the same memory; the decoding itself is dropped.
  virtual void swapDecodeBuffer(Raster& buffer) = 0;
  // Why part of the picture could not be read, when the latest decoding got past damaged data
  // ("データが途中で終わっている。(…)"); empty for a sound photo.
  virtual std::string damage() const = 0;

  // The pixels decodeFor(size) holds (the full size for an empty size).
  virtual long long decodedPixels(QSize size) const = 0;
  // Bytes the decoder itself holds while it decodes, besides the file and the decoding.
  virtual long long codecBytes() const = 0;
};

}  // namespace snapfolio
