// JpegEncoder: output images as baseline JPEG files at the JPEG image object's default quality
// (90), the library's default sampling and Huffman tables.
//
// No state; any thread.
#pragma once

#include "formats/image_encoder.h"

namespace snapfolio {

class JpegEncoder final : public ImageEncoder {
 public:
  std::vector<std::uint8_t> encode(const Raster& raster) const override;
  // A photo that is a JPEG keeps its own extension in its own letter case ("IMG_1.JPG" gives
  // ".JPG"), and so does one that no format claims (it makes no image, but the album names it
  // all the same); a photo of another format gives ".jpg".
  std::string extension(std::string_view photoPath,
                        std::optional<PhotoFormat> source) const override;
  std::string_view mimeType() const override { return "image/jpeg"; }
};

}  // namespace snapfolio
