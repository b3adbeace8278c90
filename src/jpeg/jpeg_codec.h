// Small RAII classes over libjpeg's decompressor and compressor, used by the JPEG image object.
//
// libjpeg reports a fatal error by calling the error manager's error_exit, which must not
// unwind the library's C frames with a C++ exception. Every library call therefore goes through
// a small C-style function that sets a jump point with setjmp and returns false when the error
// handler longjmps back to it; only then, back in C++, is EJPEG thrown. No C++ object with a
// destructor lives in a frame that a longjmp crosses.
//
// A truncated or corrupt file still decodes: the library completes missing data with its
// end-of-data handling and warns. The warnings that mean the picture is incomplete or wrong are
// counted per decompressor (DamageLog); other warnings and trace messages are dropped.
//
// Untrusted input is bounded by the Limits a decompressor is given (core/limits.h): libjpeg's
// own memory (coefficient buffers of multi-scan files) by codecMemoryBytes, the number of scans
// of a multi-scan file by progressiveScans, and the picture by the data that codes it
// (leastScanDataShare, jpeg/jpeg_decode.cpp).
//
// One object per decoding or encoding; objects are neither copied nor moved (the library keeps
// pointers into them). Not shared between threads.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "core/limits.h"

#include <QtGlobal>

namespace snapfolio::jpeg {

// The library's warnings about damaged picture data met by one decompressor.
struct DamageLog {
  int warnings;                     // damage warnings so far
  bool truncated;                   // one of them: the data ends early
  int firstCode;                    // the library's message code of the first one
  char firstText[JMSG_LENGTH_MAX];  // its text, e.g. "Premature end of JPEG file"
};

// Causes of a refused photo, in the words the user reads after the step's message (translated
// in the context "TJPEGImage" where they are thrown).
inline constexpr const char* kCauseNoImageData =
    QT_TRANSLATE_NOOP("TJPEGImage", "画像データがない(ヘッダだけのJPEGファイル)。");
inline constexpr const char* kCauseCutBeforeImage =
    QT_TRANSLATE_NOOP("TJPEGImage", "画像データの前でファイルが終わっている。");
inline constexpr const char* kCauseCutShort =
    QT_TRANSLATE_NOOP("TJPEGImage", "ファイルが途中で終わっている。");

// libjpeg's error manager extended with the jump point of the guarded call now running.
struct ErrorManager {
  jpeg_error_mgr pub;  // first member: the library sees only this part
  std::jmp_buf jump;
  const char* limitMessage;         // set when one of the program's own limits stopped the codec
  int progressiveScans;             // the most scans a multi-scan file may have
  char errorText[JMSG_LENGTH_MAX];  // the library's text of its fatal error
  DamageLog damage;
};

class Decompressor {
 public:
  // Creates the decompressor working under `limits`; throws EJPEG when the library cannot.
  explicit Decompressor(const Limits& limits = kLimits);
  ~Decompressor();
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  jpeg_decompress_struct* get() { return &cinfo_; }

  // Each of these throws EJPEG ("JPEG エラー #%d") when the library fails.
  // Reads from `size` bytes at `data`, which must outlive the decompressor.
  void setSource(const std::uint8_t* data, std::size_t size);
  void readHeader();
  bool hasMultipleScans();
  void calcOutputDimensions();
  void startDecompress();
  // Reads up to `count` rows; returns the number read (at least one).
  JDIMENSION readScanlines(JSAMPARRAY rows, JDIMENSION count);
  void finishDecompress();

  // The damage warnings of the library so far.
  const DamageLog& damage() const { return errors_.damage; }

 private:
  [[noreturn]] void fail();

  ErrorManager errors_;
  jpeg_progress_mgr progress_;
  jpeg_decompress_struct cinfo_;
};

class Compressor {
 public:
  // Creates the compressor writing into `output` (appended to); throws EJPEG when it cannot.
  explicit Compressor(std::vector<std::uint8_t>& output);
  ~Compressor();
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  jpeg_compress_struct* get() { return &cinfo_; }

  // Each of these throws EJPEG ("JPEG エラー #%d") when the library fails.
  void setDefaults();
  void setQuality(int quality, bool forceBaseline);
  void setColorspace(J_COLOR_SPACE space);
  void simpleProgression();
  void startCompress();
  void writeScanlines(JSAMPARRAY rows, JDIMENSION count);
  void finishCompress();

  // The destination manager: appends to the output vector.
  struct Destination {
    jpeg_destination_mgr pub;  // first member: the library sees only this part
    std::vector<std::uint8_t>* output;
  };

 private:
  [[noreturn]] void fail();

  ErrorManager errors_;
  Destination destination_;
  jpeg_compress_struct cinfo_;
};

}  // namespace snapfolio::jpeg
