#include "formats/image_encoder.h"

#include "core/file_names.h"
#include "formats/jpeg_encoder.h"
#include "formats/photo_decoder.h"

namespace snapfolio {

const ImageEncoder& outputEncoder() {
  static const JpegEncoder encoder;
  return encoder;
}

std::string outputImageName(std::string_view photoPath, std::string_view prefix,
                            std::string_view suffix, const ImageEncoder& encoder) {
  const std::string path(photoPath);
  return outputFileName(photoPath, prefix, suffix,
                        encoder.extension(photoPath, PhotoDecoder::sniffFile(path)));
}

}  // namespace snapfolio
