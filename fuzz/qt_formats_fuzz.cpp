// libFuzzer target: PNG, TIFF and WebP photos through Qt's readers and Exiv2 (seeds: small files of
// each) on the path every photo of a run takes (photo_load_fuzz.h).
#include "photo_load_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzPhotoLoad(data, size);
}
