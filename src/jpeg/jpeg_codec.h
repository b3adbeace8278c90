// Small RAII classes over libjpeg's decompressor and compressor, used by the JPEG image object.
//
// libjpeg reports a fatal error by calling the error manager's error_exit, which must not
// unwind the library's C frames with a C++ exception. Every library call therefore goes through
// a small C-style function that sets a jump point with setjmp and returns false when the error
// handler longjmps back to it; only then, back in C++, is EJPEG thrown. No C++ object with a
// destructor lives in a frame that a longjmp crosses. Warnings and trace messages are dropped,
// so a truncated file decodes (the library completes it with its end-of-data handling).
//
// Untrusted input is bounded: libjpeg's own memory (coefficient buffers of multi-scan files)
// by kLimits.codecMemoryBytes, the number of scans of a multi-scan file by
// kLimits.progressiveScans (core/limits.h).
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

namespace snapfolio::jpeg {

// libjpeg's error manager extended with the jump point of the guarded call now running.
struct ErrorManager {
  jpeg_error_mgr pub;  // first member: the library sees only this part
  std::jmp_buf jump;
  const char* limitMessage;  // set when one of the program's own limits stopped the codec
};

class Decompressor {
 public:
  // Creates the decompressor; throws EJPEG when the library cannot.
  Decompressor();
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
