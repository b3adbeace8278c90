// TJPEGImage: the one object through which the program reads and writes JPEG files. It holds a
// file's compressed bytes (TJPEGData) and, on demand, the decoded raster; it encodes a raster
// into baseline quality-90 JPEG bytes.
//
// The photo pipeline reads a JPEG photo through one object (formats/jpeg_photo_decoder.h): it
// takes the file's bytes (ReadFrom), reads the size from the header (ImageWidth, ImageHeight)
// and has it decoded at the scale a work surface needs (DecodedFor, the decoding DrawTo
// draws). Output images are encoded by jpeg/jpeg_encode.h with the object's default options.
//
// States: empty (no bytes, no raster), compressed (bytes held; the decoded raster absent or
// cached) and raster only (after Assign from a raster; the bytes are made on the first
// WriteTo). Objects assigned from one another share their TJPEGData (never their rasters).
//
// Untrusted input: files above Limits::photoFileBytes and images above Limits::pixels are refused
// with EJPEG before anything large is allocated; libjpeg's own memory and the number of scans of a
// progressive file are bounded too (jpeg/jpeg_codec.h). The limits are kLimits unless the bytes
// are read with others.
//
// Not thread-safe: one object (and the objects sharing its data) is used by one thread at a
// time. Separate objects may be used on separate threads. Sizes are in pixels.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <QRect>

#include "core/failure.h"
#include "core/limits.h"
#include "core/raster.h"

namespace snapfolio {

// A fatal error of the JPEG library: "JPEG エラー #%d" with the library's message code. Also
// raised when a file exceeds the program's limits for untrusted input.
class EJPEG : public Failure {
 public:
  // `cause`: why the photo cannot be used, in the user's words ("画像データがない(…)。").
  explicit EJPEG(const std::string& message, std::string cause = {})
      : Failure(message, std::move(cause)) {}
};

// Damage that a decoding got past: the library completed the picture (rows after the end of
// the data grey, corrupt blocks as they decoded) and warned.
struct JpegDamage {
  bool truncated = false;  // the data ends early
  int warnings = 0;        // the library's warnings about damaged data
  std::string detail;      // the library's text of the first, e.g. "Premature end of JPEG file"

  // In the user's words: "データが途中で終わっている。(Premature end of JPEG file)" or
  // "データが壊れている。(Corrupt JPEG data: bad Huffman code)".
  std::string cause() const;
};

// An operation the object does not support (changing its size).
class EInvalidGraphicOperation : public Failure {
 public:
  using Failure::Failure;
};

// "JPEG エラー #<code>" for a message code of the library.
std::string jpegErrorMessage(int messageCode);

// The failure of a photo file of `bytes` bytes, more than `limits` lets the program read
// ("ファイルが大きすぎる(…MiBまで)。").
EJPEG photoFileTooLarge(long long bytes, const Limits& limits = kLimits);

// The scale n / 8 (n from 1 to 8; 8 is full size) at which DrawTo decodes a photo for a
// rectangle: the smallest n at which the decoding is still at least twice the rectangle's size
// in both directions.
int draftScaleFor(long long photoWidth, long long photoHeight, long long width, long long height);

enum class JpegDepth { Depth24 = 0, Depth8 = 1 };
enum class JpegPerformance { BestQuality = 0, BestSpeed = 1 };
enum class JpegScale { FullSize = 0, HalfSize = 1, QuarterSize = 2, EighthSize = 3 };

// The options of an object. Every object starts with JpegDefaults; the program changes none.
struct JpegOptions {
  std::uint8_t EncodeQuality = 90;  // 1 to 100
  bool GrayDecode = false;          // decode to grey; encode a greyscale file
  JpegPerformance FastDecode = JpegPerformance::BestQuality;
  JpegDepth DecodeDepth = JpegDepth::Depth24;  // Depth8: quantise colour to 236 colours
  bool PassRedraw = false;                     // kept, without effect
  bool ProgressiveWrite = false;               // set when a multi-scan file is read
  JpegScale DecodeScale = JpegScale::FullSize;
  bool BlockSmoothing = true;

  friend bool operator==(const JpegOptions&, const JpegOptions&) = default;
};

inline constexpr JpegOptions JpegDefaults{};

// The compressed image, shared between objects assigned from one another.
struct TJPEGData {
  std::optional<std::vector<std::uint8_t>> Stream;  // the whole file; absent: raster only
  int Width = 0;                                    // from the header (full size)
  int Height = 0;                                   // from the header (full size)
  bool Gray = false;  // the file is greyscale (read), or was written as greyscale
  bool Cmyk = false;  // the file holds CMYK or YCCK ink values (read)
};

class TJPEGImage {
 public:
  // An empty object with a fresh TJPEGData and the options of JpegDefaults.
  TJPEGImage();
  ~TJPEGImage();
  TJPEGImage(const TJPEGImage&) = delete;
  TJPEGImage& operator=(const TJPEGImage&) = delete;

  // Reads the whole file (ReadFrom). Throws Failure when it cannot be read, EJPEG when its
  // header is not JPEG or exceeds the limits. A zero-byte file loads (and fails to decode).
  void LoadFromFile(const std::string& fileName);
  // Takes the stream's bytes from its position to its end, then reads the header.
  void ReadFrom(std::istream& stream);
  // Takes the bytes, then reads the header: the size, whether the file is grey, and whether it
  // has multiple scans (which sets ProgressiveWrite). Drops any raster. On failure the object
  // holds the bytes with a size of 0. The bytes are read and decoded under `limits` (which
  // outlive the object).
  void ReadFrom(std::vector<std::uint8_t>&& bytes, const Limits& limits = kLimits);

  // Encodes if needed and writes the file as an AtomicFile (core/atomic_file.h): a failure leaves
  // neither a partial file nor a damaged previous file. An object without an image writes a
  // zero-byte file. Throws EJPEG from the encoder, FileWriteError from the file system.
  void SaveToFile(const std::string& fileName);
  // EnsureEncoded, then writes the bytes. Throws Failure when the stream fails.
  void WriteTo(std::ostream& stream);
  // Encodes the raster into bytes when no bytes are held: baseline tables, EncodeQuality,
  // greyscale when GrayDecode, progressive when ProgressiveWrite. Loaded bytes are kept as
  // they are, so re-saving a loaded object writes the file unchanged.
  void EnsureEncoded();

  // The raster's size when one is held; else the header's (scaled by DecodeScale).
  int ImageWidth() const;
  int ImageHeight() const;
  // The size cannot be changed: both throw EInvalidGraphicOperation.
  void SetImageWidth(int width);
  void SetImageHeight(int height);
  // False when bytes are held; else true when there is no raster or it is empty.
  bool IsEmpty() const;

  // The decoded image (decoded once, then cached; the raster of Assign when raster only).
  // Throws EJPEG on a decoding error; nothing is cached then.
  const Raster& DecodedBitmap();
  // Decodes (once) and maps the whole photo onto the whole rectangle of the surface (area
  // averaging when shrinking, bilinear when enlarging, exact at 1:1); only the part inside
  // the canvas is drawn. An empty rectangle draws nothing and decodes nothing. When the
  // rectangle is much smaller than the photo, the photo is decoded at a reduced scale (kept
  // at least twice the rectangle's size) instead of at full size, except for CMYK photos.
  void DrawTo(Raster& canvas, const QRect& rect);
  // The decoding DrawTo maps onto a rectangle of this size: the reduced-scale decoding when
  // the rectangle is much smaller than the photo, else DecodedBitmap(). Cached as DrawTo's.
  const Raster& DecodedFor(const QRect& rect);

  // Exchanges the memory of the reduced-scale decoding with `buffer`, so that a worker decodes
  // photo after photo into the same memory: hand a buffer in before DrawTo, take it back after.
  // The decoding itself is dropped.
  void SwapDecodeBuffer(Raster& buffer);

  // Takes a copy of the raster as the image to encode (fresh data, raster only).
  void Assign(const Raster& bitmap);
  // Shares the other object's data and copies its raster, if it holds one.
  void Assign(const TJPEGImage& source);
  // Copies the decoded image into `target`.
  void AssignTo(Raster& target);

  // The damage the latest decoding of the bytes got past (by DecodedBitmap or DrawTo), or
  // nothing when that decoding met none. Cleared when other bytes or a raster are taken.
  const std::optional<JpegDamage>& Damage() const { return damage_; }

  const JpegOptions& Options() const { return options_; }
  // Changes the options; a cached decoding made with other decoding options is dropped.
  void SetOptions(const JpegOptions& options);
  const TJPEGData& Data() const { return *data_; }

 private:
  // ReadFrom over bytes the object takes.
  void adopt(std::vector<std::uint8_t> bytes);
  void dropDecodings();

  std::shared_ptr<TJPEGData> data_;
  std::optional<Raster> bitmap_;  // the decoded image, or the image given by Assign
  bool bitmapIsDecoded_ = false;  // bitmap_ came from the bytes (not from Assign)
  // A decoding at scale draftScale_ / 8 kept for DrawTo; never seen by the size queries.
  int draftScale_ = 0;
  Raster draft_;
  std::optional<JpegDamage> damage_;
  JpegOptions options_;
  const Limits* limits_ = &kLimits;
};

}  // namespace snapfolio
