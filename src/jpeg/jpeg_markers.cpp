#include "jpeg/jpeg_markers.h"

// Standard library
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

// Project
#include "core/failure.h"
#include "jpeg/jpeg_codec.h"
#include "jpeg/jpeg_image.h"

namespace snapfolio::jpeg {

namespace {

constexpr int kApp1 = JPEG_APP0 + 1;
constexpr int kApp2 = JPEG_APP0 + 2;
// The largest payload a marker segment can have; saving up to it keeps every segment whole.
constexpr unsigned kWholeSegment = 0xFFFF;
constexpr std::uint8_t kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};
// "ICC_PROFILE\0", then the chunk's number and the number of chunks.
constexpr std::uint8_t kIccId[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
constexpr std::size_t kIccChunkHeader = sizeof kIccId + 2;

struct FreeMemory {
  void operator()(JOCTET* data) const { std::free(data); }
};
struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

ErrorManager* errorsOf(j_decompress_ptr cinfo) {
  return reinterpret_cast<ErrorManager*>(cinfo->err);
}

// Guarded calls, as in jpeg_codec.cpp: each sets the jump point for one library call, holds no
// C++ object, and returns false when the library raised a fatal error.

bool guardedSaveMarkers(j_decompress_ptr cinfo, int marker) {
  if (setjmp(errorsOf(cinfo)->jump) != 0) return false;
  jpeg_save_markers(cinfo, marker, kWholeSegment);
  return true;
}

bool guardedStdioSource(j_decompress_ptr cinfo, std::FILE* file) {
  if (setjmp(errorsOf(cinfo)->jump) != 0) return false;
  jpeg_stdio_src(cinfo, file);
  return true;
}

bool guardedReadIccProfile(j_decompress_ptr cinfo, JOCTET** data, unsigned* length, bool* found) {
  if (setjmp(errorsOf(cinfo)->jump) != 0) return false;
  *found = jpeg_read_icc_profile(cinfo, data, length) != 0;
  return true;
}

[[noreturn]] void throwLibraryError(j_decompress_ptr cinfo) {
  throw EJPEG(jpegErrorMessage(errorsOf(cinfo)->pub.msg_code));
}

bool startsWith(const jpeg_saved_marker_ptr marker, const std::uint8_t* id, std::size_t size) {
  return marker->data_length >= size && std::memcmp(marker->data, id, size) == 0;
}

void takeExif(j_decompress_ptr cinfo, const Limits& limits, JpegMarkers& out) {
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next) {
    if (m->marker != kApp1 || !startsWith(m, kExifId, sizeof kExifId)) continue;
    // Only the first EXIF segment counts, as for every reader of EXIF.
    const std::size_t size = m->data_length - sizeof kExifId;
    if (m->data_length != m->original_length || size > limits.exifBytes) {
      out.exifRefused = true;
    } else {
      out.exif.assign(m->data + sizeof kExifId, m->data + m->data_length);
    }
    return;
  }
}

void takeIcc(j_decompress_ptr cinfo, const Limits& limits, JpegMarkers& out) {
  bool any = false;
  std::size_t total = 0;
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next) {
    if (m->marker != kApp2 || !startsWith(m, kIccId, sizeof kIccId)) continue;
    any = true;
    if (m->data_length >= kIccChunkHeader) total += m->data_length - kIccChunkHeader;
  }
  if (!any) return;
  if (total == 0 || total > limits.iccProfileBytes) {
    out.iccRefused = true;
    return;
  }
  JOCTET* data = nullptr;
  unsigned length = 0;
  bool found = false;
  const bool ok = guardedReadIccProfile(cinfo, &data, &length, &found);
  const std::unique_ptr<JOCTET, FreeMemory> owned(data);
  // The library says "no profile" for chunks that are missing, doubled or out of order.
  if (!ok || !found || data == nullptr || length == 0) {
    out.iccRefused = true;
    return;
  }
  out.icc.assign(data, data + length);
}

PixelKind kindOf(const jpeg_decompress_struct& cinfo) {
  switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
      return PixelKind::Gray;
    case JCS_CMYK:
    case JCS_YCCK:
      return PixelKind::Ink;
    default:
      return PixelKind::Rgb;
  }
}

}  // namespace

JpegMarkers readJpegMarkers(std::span<const std::uint8_t> bytes, const Limits& limits) {
  Decompressor decompressor(limits);
  j_decompress_ptr cinfo = decompressor.get();
  decompressor.setSource(bytes.data(), bytes.size());
  if (!guardedSaveMarkers(cinfo, kApp1) || !guardedSaveMarkers(cinfo, kApp2)) {
    throwLibraryError(cinfo);
  }
  decompressor.readHeader();
  JpegMarkers markers;
  markers.kind = kindOf(*cinfo);
  takeExif(cinfo, limits, markers);
  takeIcc(cinfo, limits, markers);
  return markers;
}

namespace {

// Reads the header of the file at `path` (up to its first scan) and hands the decompressor to
// `read`; `app1` keeps the EXIF segment.
template <typename Read>
auto withFileHeader(const std::string& path, const Limits& limits, bool app1, Read read) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) throw Failure("cannot read " + path + ": " + ec.message());
  if (size > static_cast<std::uintmax_t>(limits.photoFileBytes)) {
    throw EJPEG("JPEG file of " + std::to_string(size) + " bytes exceeds the limit");
  }
  // Declared before the decompressor, so that the file outlives it.
  const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw Failure("cannot open " + path);
  Decompressor decompressor(limits);
  j_decompress_ptr cinfo = decompressor.get();
  if (!guardedStdioSource(cinfo, file.get()) || (app1 && !guardedSaveMarkers(cinfo, kApp1))) {
    throwLibraryError(cinfo);
  }
  decompressor.readHeader();
  return read(decompressor);
}

}  // namespace

JpegMarkers readJpegExif(const std::string& path, const Limits& limits) {
  return withFileHeader(path, limits, true, [&](Decompressor& decompressor) {
    JpegMarkers markers;
    markers.kind = kindOf(*decompressor.get());
    takeExif(decompressor.get(), limits, markers);
    return markers;
  });
}

FileShape readJpegShape(const std::string& path, const Limits& limits) {
  return withFileHeader(path, limits, false, [&](Decompressor& decompressor) {
    const jpeg_decompress_struct& cinfo = *decompressor.get();
    return FileShape{static_cast<long long>(cinfo.image_width),
                     static_cast<long long>(cinfo.image_height), decompressor.hasMultipleScans()};
  });
}

}  // namespace snapfolio::jpeg
