// Small synthetic photos for tests, written as real JPEG files by Qt's own JPEG writer (an
// encoder independent of the program's).
#pragma once

#include <cstdint>
#include <filesystem>

namespace snapfolio::test {

// A width x height JPEG filled with a smooth gradient (or one flat colour 0x00BBGGRR when
// `flat` is given).
void makePhoto(const std::filesystem::path& path, int width, int height, std::int64_t flat = -1);

}  // namespace snapfolio::test
