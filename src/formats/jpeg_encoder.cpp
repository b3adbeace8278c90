#include "formats/jpeg_encoder.h"

#include "core/file_names.h"
#include "core/raster.h"
#include "jpeg/jpeg_encode.h"
#include "jpeg/jpeg_image.h"

namespace snapfolio {

std::vector<std::uint8_t> JpegEncoder::encode(const Raster& raster) const {
  jpeg::EncodeSettings settings;
  settings.quality = JpegDefaults.EncodeQuality;
  return jpeg::encodeJpeg(raster, settings);
}

std::string JpegEncoder::extension(std::string_view photoPath,
                                   std::optional<PhotoFormat> source) const {
  if (source && *source != PhotoFormat::Jpeg) return ".jpg";
  return splitFileName(photoPath).extension;
}

}  // namespace snapfolio
