// libFuzzer target: camera raw files through LibRaw (seeds: small DNG files with and without a
// preview) on the path every photo of a run takes (photo_load_fuzz.h).
#include "photo_load_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzPhotoLoad(data, size);
}
