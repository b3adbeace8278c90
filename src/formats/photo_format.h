// The formats a photo can be read from, as the decoders and the encoders name them, and the
// file name extensions under which folders list photos.
#pragma once

#include <array>
#include <string_view>

namespace snapfolio {

enum class PhotoFormat { Jpeg, Heif, Png, Tiff, Webp, Raw };

// The extensions (with their dot, in lower case) of the files a folder gives as photos, JPEG's
// first. The name only lists a file: its content chooses the decoder.
inline constexpr std::array<std::string_view, 19> kPhotoExtensions = {
    ".jpg", ".jpeg", ".heic", ".heif", ".hif", ".png", ".tif", ".tiff", ".webp", ".dng",
    ".cr2", ".cr3",  ".nef",  ".nrw",  ".arw", ".orf", ".raf", ".rw2",  ".pef"};

// Whether the name ends in one of kPhotoExtensions, in any letter case.
bool hasPhotoExtension(std::string_view name);

}  // namespace snapfolio
