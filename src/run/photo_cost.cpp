#include "run/photo_cost.h"

// Standard library
#include <algorithm>
#include <filesystem>
#include <system_error>

// Project
#include "formats/photo_decoder.h"
#include "jpeg/jpeg_image.h"
#include "jpeg/jpeg_markers.h"

namespace snapfolio {

namespace {

// Measured on the sample photos with one core, in microseconds: entropy decoding per byte of
// the file; a progressive file's coefficients per pixel of the whole picture (every scan
// revisits them, whatever the output's size); the inverse DCT, colour conversion and
// reduction per pixel decoded at the reduced scale; the encodings and the rest of a photo.
constexpr double kPerByte = 0.025;
constexpr double kPerProgressivePixel = 0.045;
constexpr double kPerDecodedPixel = 0.01;
constexpr double kPerPhoto = 5000;

}  // namespace

double photoCost(const std::string& path, int width) {
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(path, ec);
  const double byteCost = ec ? 0.0 : kPerByte * static_cast<double>(bytes);
  const std::optional<PhotoFormat> format = PhotoDecoder::sniffFile(path);
  if (format && *format != PhotoFormat::Jpeg) return kPerPhoto + 4 * byteCost;
  try {
    const jpeg::FileShape shape = jpeg::readJpegShape(path);
    if (shape.width <= 0 || shape.height <= 0) return kPerPhoto + byteCost;
    const double pixels = static_cast<double>(shape.width) * static_cast<double>(shape.height);
    const long long height = std::max<long long>(1, width * shape.height / shape.width);
    const int scale = draftScaleFor(shape.width, shape.height, width, height);
    const double decoded = scale >= 8 ? pixels : pixels * scale * scale / 64.0;
    return kPerPhoto + byteCost + kPerDecodedPixel * decoded +
           (shape.progressive ? kPerProgressivePixel * pixels : 0.0);
  } catch (...) {
    return kPerPhoto + byteCost;  // not readable as a photo: it fails at its header
  }
}

std::vector<double> photoCosts(const std::vector<std::string>& photos, const RunOptions& options) {
  int width = 0;
  for (const ImageOptions& image : options.image) {
    if (image.produce) width = std::max(width, image.widthText.pixels().value_or(0));
  }
  std::vector<double> costs;
  costs.reserve(photos.size());
  for (const std::string& photo : photos) costs.push_back(photoCost(photo, std::max(width, 1)));
  return costs;
}

}  // namespace snapfolio
