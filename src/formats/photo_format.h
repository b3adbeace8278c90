// The formats a photo can be read from, as the decoders and the encoders name them, and the
// file name extensions under which folders list photos.
#pragma once

#include <array>
#include <string_view>

namespace snapfolio {

enum class PhotoFormat { Jpeg, Heif, Png, Tiff, Webp };

// The format output images are written in. The values are those stored ("OUTFORMAT").
enum class OutputFormat {
  Jpeg = 0,  // JPEG at quality 90; a JPEG photo's output keeps the photo's extension
  Webp = 1,  // lossy WebP, ".webp"
};

// The extensions (with their dot, in lower case) of the files a folder gives as photos, JPEG's
// first. The name only lists a file: its content chooses the decoder.
inline constexpr std::array<std::string_view, 9> kPhotoExtensions = {
    ".jpg", ".jpeg", ".heic", ".heif", ".hif", ".png", ".tif", ".tiff", ".webp"};

// Whether the name ends in one of kPhotoExtensions, in any letter case.
bool hasPhotoExtension(std::string_view name);

}  // namespace snapfolio
