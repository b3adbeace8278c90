#include "jpeg/jpeg_codec.h"

// Standard library
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

// Other libraries
#include <jerror.h>

// Project
#include "core/limits.h"
#include "core/translation.h"
#include "jpeg/jpeg_image.h"

namespace snapfolio::jpeg {

namespace {

constexpr std::size_t kOutputChunk = 64 * 1024;

ErrorManager* errorsOf(j_common_ptr cinfo) {
  return reinterpret_cast<ErrorManager*>(cinfo->err);
}

// --- Error manager callbacks (called from inside libjpeg) --------------------------------

void onErrorExit(j_common_ptr cinfo) {
  cinfo->err->format_message(cinfo, errorsOf(cinfo)->errorText);
  std::longjmp(errorsOf(cinfo)->jump, 1);
}
// Whether a warning means the picture is incomplete or wrong. Junk bytes between marker
// segments, an unknown JFIF revision or Adobe transform and a bad ICC marker leave the picture
// whole; junk before a restart marker means a restart interval did not decode as coded.
bool isDamageWarning(const jpeg_error_mgr& err) {
  switch (err.msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
      return true;
    case JWRN_EXTRANEOUS_DATA:
      return err.msg_parm.i[1] >= JPEG_RST0 && err.msg_parm.i[1] <= JPEG_RST0 + 7;
    default:
      return false;
  }
}

// Warnings (level -1) are counted; those about damaged data are logged. Trace messages
// (level 0 and above) are dropped.
void onEmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  jpeg_error_mgr& err = *cinfo->err;
  ++err.num_warnings;
  DamageLog& damage = errorsOf(cinfo)->damage;
  // Corrupt data can bring a warning for every block: a repeat of the first is only counted.
  if (damage.warnings > 0 && err.msg_code == damage.firstCode) {
    ++damage.warnings;
    return;
  }
  if (!isDamageWarning(err)) return;
  if (damage.warnings++ == 0) {
    damage.firstCode = err.msg_code;
    err.format_message(cinfo, damage.firstText);
  }
  if (err.msg_code == JWRN_JPEG_EOF) damage.truncated = true;
}
void onOutputMessage(j_common_ptr) {}
void onResetErrorManager(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
  std::memset(&errorsOf(cinfo)->damage, 0, sizeof(DamageLog));
}

void initErrorManager(ErrorManager& errors) {
  std::memset(&errors, 0, sizeof errors);
  jpeg_std_error(&errors.pub);
  errors.pub.error_exit = onErrorExit;
  errors.pub.emit_message = onEmitMessage;
  errors.pub.output_message = onOutputMessage;
  errors.pub.reset_error_mgr = onResetErrorManager;
  errors.limitMessage = nullptr;
}

// Stops a multi-scan file with too many scans. Called by the library once per row of blocks.
void onProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (dinfo->input_scan_number > errorsOf(cinfo)->progressiveScans) {
    errorsOf(cinfo)->limitMessage = "JPEG file has too many scans";
    onErrorExit(cinfo);
  }
}

// --- Destination manager appending to a vector -------------------------------------------

Compressor::Destination* destinationOf(j_compress_ptr cinfo) {
  return reinterpret_cast<Compressor::Destination*>(cinfo->dest);
}

// Grows the output by one chunk and points the library at the new space. Returns false when
// memory is exhausted (the caller raises the library error outside of any catch block).
bool growOutput(Compressor::Destination* dest, std::size_t used) {
  bool grown = true;
  try {
    dest->output->resize(used + kOutputChunk);
  } catch (...) {
    grown = false;
  }
  if (!grown) return false;
  dest->pub.next_output_byte = dest->output->data() + used;
  dest->pub.free_in_buffer = kOutputChunk;
  return true;
}

void onInitDestination(j_compress_ptr cinfo) {
  Compressor::Destination* dest = destinationOf(cinfo);
  if (!growOutput(dest, dest->output->size())) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
}

boolean onEmptyOutputBuffer(j_compress_ptr cinfo) {
  // The library calls this only when the whole buffer is full.
  Compressor::Destination* dest = destinationOf(cinfo);
  if (!growOutput(dest, dest->output->size())) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
  return TRUE;
}

void onTermDestination(j_compress_ptr cinfo) {
  Compressor::Destination* dest = destinationOf(cinfo);
  dest->output->resize(dest->output->size() - dest->pub.free_in_buffer);  // only shrinks
  dest->pub.free_in_buffer = 0;
}

// --- Guarded calls: the only places that set a jump point --------------------------------
// Each runs one library call and returns false when the library raised a fatal error. They
// hold no C++ objects, so the longjmp out of the library skips no destructor.

bool guardedCreate(j_decompress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_create_decompress(cinfo);
  return true;
}

bool guardedCreate(j_compress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_create_compress(cinfo);
  return true;
}

bool guardedMemorySource(j_decompress_ptr cinfo, const std::uint8_t* data, std::size_t size) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  return true;
}

bool guardedReadHeader(j_decompress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_read_header(cinfo, TRUE);
  return true;
}

bool guardedHasMultipleScans(j_decompress_ptr cinfo, bool* multiple) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  *multiple = jpeg_has_multiple_scans(cinfo) != 0;
  return true;
}

bool guardedCalcOutputDimensions(j_decompress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_calc_output_dimensions(cinfo);
  return true;
}

bool guardedStartDecompress(j_decompress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_start_decompress(cinfo);
  return true;
}

bool guardedReadScanlines(j_decompress_ptr cinfo, JSAMPARRAY rows, JDIMENSION count,
                          JDIMENSION* read) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  *read = jpeg_read_scanlines(cinfo, rows, count);
  return true;
}

bool guardedFinishDecompress(j_decompress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_finish_decompress(cinfo);
  return true;
}

bool guardedSetDefaults(j_compress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_set_defaults(cinfo);
  return true;
}

bool guardedSetQuality(j_compress_ptr cinfo, int quality, boolean forceBaseline) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_set_quality(cinfo, quality, forceBaseline);
  return true;
}

bool guardedSetColorspace(j_compress_ptr cinfo, J_COLOR_SPACE space) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_set_colorspace(cinfo, space);
  return true;
}

bool guardedSimpleProgression(j_compress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_simple_progression(cinfo);
  return true;
}

bool guardedStartCompress(j_compress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_start_compress(cinfo, TRUE);
  return true;
}

bool guardedWriteScanlines(j_compress_ptr cinfo, JSAMPARRAY rows, JDIMENSION count,
                           JDIMENSION* written) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  *written = jpeg_write_scanlines(cinfo, rows, count);
  return true;
}

bool guardedFinishCompress(j_compress_ptr cinfo) {
  if (setjmp(errorsOf(reinterpret_cast<j_common_ptr>(cinfo))->jump) != 0) return false;
  jpeg_finish_compress(cinfo);
  return true;
}

[[noreturn]] void throwFrom(const ErrorManager& errors) {
  const auto text = [](const char* source) { return translated("TJPEGImage", source); };
  if (errors.limitMessage != nullptr) {
    throw EJPEG(errors.limitMessage, text(QT_TRANSLATE_NOOP("TJPEGImage", "写真が大きすぎる。")));
  }
  const int code = errors.pub.msg_code;
  // The library ran out of data (and said so) before it failed: the file is cut short.
  const bool cut = errors.damage.truncated;
  if (code == JERR_NO_IMAGE || code == JERR_SOF_NO_SOS) {
    throw EJPEG(jpegErrorMessage(code), text(cut ? kCauseCutBeforeImage : kCauseNoImageData));
  }
  if (cut) throw EJPEG(jpegErrorMessage(code), text(kCauseCutShort));
  if (code == JERR_NO_SOI) {
    throw EJPEG(jpegErrorMessage(code),
                withDetail(text(QT_TRANSLATE_NOOP("TJPEGImage", "JPEGファイルではない。")),
                           errors.errorText));
  }
  throw EJPEG(
      jpegErrorMessage(code),
      withDetail(text(QT_TRANSLATE_NOOP("TJPEGImage", "JPEGとして読めない。")), errors.errorText));
}

}  // namespace

// --- Decompressor ------------------------------------------------------------------------

Decompressor::Decompressor(const Limits& limits) {
  initErrorManager(errors_);
  errors_.progressiveScans = limits.progressiveScans;
  std::memset(&progress_, 0, sizeof progress_);
  progress_.progress_monitor = onProgress;
  std::memset(&cinfo_, 0, sizeof cinfo_);
  cinfo_.err = &errors_.pub;
  if (!guardedCreate(&cinfo_)) {
    jpeg_destroy_decompress(&cinfo_);  // safe on a partly created object
    throwFrom(errors_);
  }
  cinfo_.mem->max_memory_to_use = limits.codecMemoryBytes;
  cinfo_.progress = &progress_;
}

Decompressor::~Decompressor() {
  jpeg_destroy_decompress(&cinfo_);
}

void Decompressor::fail() {
  throwFrom(errors_);
}

void Decompressor::setSource(const std::uint8_t* data, std::size_t size) {
  if (!guardedMemorySource(&cinfo_, data, size)) fail();
}

void Decompressor::readHeader() {
  if (!guardedReadHeader(&cinfo_)) fail();
}

bool Decompressor::hasMultipleScans() {
  bool multiple = false;
  if (!guardedHasMultipleScans(&cinfo_, &multiple)) fail();
  return multiple;
}

void Decompressor::calcOutputDimensions() {
  if (!guardedCalcOutputDimensions(&cinfo_)) fail();
}

void Decompressor::startDecompress() {
  if (!guardedStartDecompress(&cinfo_)) fail();
}

JDIMENSION Decompressor::readScanlines(JSAMPARRAY rows, JDIMENSION count) {
  JDIMENSION read = 0;
  if (!guardedReadScanlines(&cinfo_, rows, count, &read)) fail();
  // An in-memory source never suspends; no row means the decoder made no progress.
  if (read == 0) throw EJPEG("JPEG decoder returned no rows");
  return read;
}

void Decompressor::finishDecompress() {
  if (!guardedFinishDecompress(&cinfo_)) fail();
}

// --- Compressor --------------------------------------------------------------------------

Compressor::Compressor(std::vector<std::uint8_t>& output) {
  initErrorManager(errors_);
  std::memset(&destination_, 0, sizeof destination_);
  destination_.pub.init_destination = onInitDestination;
  destination_.pub.empty_output_buffer = onEmptyOutputBuffer;
  destination_.pub.term_destination = onTermDestination;
  destination_.output = &output;
  std::memset(&cinfo_, 0, sizeof cinfo_);
  cinfo_.err = &errors_.pub;
  if (!guardedCreate(&cinfo_)) {
    jpeg_destroy_compress(&cinfo_);
    throwFrom(errors_);
  }
  cinfo_.mem->max_memory_to_use = kLimits.codecMemoryBytes;
  cinfo_.dest = &destination_.pub;
}

Compressor::~Compressor() {
  jpeg_destroy_compress(&cinfo_);
}

void Compressor::fail() {
  throwFrom(errors_);
}

void Compressor::setDefaults() {
  if (!guardedSetDefaults(&cinfo_)) fail();
}

void Compressor::setQuality(int quality, bool forceBaseline) {
  if (!guardedSetQuality(&cinfo_, quality, forceBaseline ? TRUE : FALSE)) fail();
}

void Compressor::setColorspace(J_COLOR_SPACE space) {
  if (!guardedSetColorspace(&cinfo_, space)) fail();
}

void Compressor::simpleProgression() {
  if (!guardedSimpleProgression(&cinfo_)) fail();
}

void Compressor::startCompress() {
  if (!guardedStartCompress(&cinfo_)) fail();
}

void Compressor::writeScanlines(JSAMPARRAY rows, JDIMENSION count) {
  JDIMENSION written = 0;
  if (!guardedWriteScanlines(&cinfo_, rows, count, &written)) fail();
  if (written != count) throw EJPEG("JPEG encoder accepted fewer rows than given");
}

void Compressor::finishCompress() {
  if (!guardedFinishCompress(&cinfo_)) fail();
}

}  // namespace snapfolio::jpeg
