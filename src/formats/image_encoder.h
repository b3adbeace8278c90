// ImageEncoder: how an output image is written: its bytes, the extension of its file name and
// its MIME type. The output image's EXIF block is written into the encoded bytes afterwards
// (withExif, imaging/photo_metadata.h), which reads the container from the bytes themselves.
//
// An encoder holds only its settings; any thread may use one, one call per raster.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/photo_format.h"

namespace snapfolio {

class Raster;

class ImageEncoder {
 public:
  virtual ~ImageEncoder() = default;

  // The complete file of `raster`. Throws Failure when it cannot be encoded.
  virtual std::vector<std::uint8_t> encode(const Raster& raster) const = 0;
  // The extension, with its dot, of the output image made from the photo at `photoPath`,
  // whose content is in format `source` (nothing: no format claims it).
  virtual std::string extension(std::string_view photoPath,
                                std::optional<PhotoFormat> source) const = 0;
  virtual std::string_view mimeType() const = 0;
};

// The encoder of every output image.
const ImageEncoder& outputEncoder();

// The output file name of a photo for one output image, without directory: prefix + base name
// + suffix + the extension the encoder gives the photo (whose format is read from the first
// bytes of its file).
std::string outputImageName(std::string_view photoPath, std::string_view prefix,
                            std::string_view suffix, const ImageEncoder& encoder = outputEncoder());

}  // namespace snapfolio
