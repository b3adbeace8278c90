#include "formats/webp_encoder.h"

#include <cstring>
#include <memory>

#include <webp/encode.h>
#include <webp/mux.h>

#include "core/failure.h"
#include "core/raster.h"

namespace snapfolio {

namespace {

struct PictureFreer {
  void operator()(WebPPicture* picture) const { WebPPictureFree(picture); }
};

}  // namespace

std::vector<std::uint8_t> WebpEncoder::encode(const Raster& raster) const {
  WebPConfig config;
  if (!WebPConfigInit(&config)) throw Failure("libwebp: version mismatch");
  config.quality = kQuality;
  config.method = 4;
  WebPPicture picture;
  if (!WebPPictureInit(&picture)) throw Failure("libwebp: version mismatch");
  picture.width = raster.width();
  picture.height = raster.height();
  const std::unique_ptr<WebPPicture, PictureFreer> owned(&picture);
  // The raster's bytes are R, G, B, X: libwebp's RGBX, read in place.
  if (!WebPPictureImportRGBX(&picture, reinterpret_cast<const std::uint8_t*>(raster.data()),
                             4 * raster.width())) {
    throw Failure("libwebp: out of memory");
  }
  WebPMemoryWriter writer;
  WebPMemoryWriterInit(&writer);
  picture.writer = WebPMemoryWrite;
  picture.custom_ptr = &writer;
  const bool ok = WebPEncode(&config, &picture) != 0;
  std::vector<std::uint8_t> bytes(writer.mem, writer.mem + (ok ? writer.size : 0));
  WebPMemoryWriterClear(&writer);
  if (!ok) throw Failure("libwebp: encoding error " + std::to_string(picture.error_code));
  return bytes;
}

std::string WebpEncoder::extension(std::string_view, std::optional<PhotoFormat>) const {
  return ".webp";
}

bool isWebpFile(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
         std::memcmp(bytes.data() + 8, "WEBP", 4) == 0;
}

std::vector<std::uint8_t> webpWithExif(std::span<const std::uint8_t> webp,
                                       std::span<const std::uint8_t> exif) {
  const WebPData image = {webp.data(), webp.size()};
  const std::unique_ptr<WebPMux, void (*)(WebPMux*)> mux(WebPMuxCreate(&image, 0), WebPMuxDelete);
  if (!mux) throw Failure("libwebpmux: the WebP data cannot be read");
  const WebPData chunk = {exif.data(), exif.size()};
  WebPData out = {nullptr, 0};
  if (WebPMuxSetChunk(mux.get(), "EXIF", &chunk, 0) != WEBP_MUX_OK ||
      WebPMuxAssemble(mux.get(), &out) != WEBP_MUX_OK) {
    throw Failure("libwebpmux: the EXIF chunk cannot be written");
  }
  std::vector<std::uint8_t> bytes(out.bytes, out.bytes + out.size);
  WebPDataClear(&out);
  return bytes;
}

}  // namespace snapfolio
