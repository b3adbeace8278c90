// The floor of a two-image conversion, for bench/convert_bench.sh: per photo one libjpeg-turbo
// decode at the smallest DCT scale that still covers the larger target, a box-filter reduction
// to each target width, and two baseline encodes at quality 90, on one thread, with no checks,
// no settings and no messages. Snapfolio's run is measured against it: what this program does is
// work that no converter can avoid.
//
// usage: floor_convert OUT_DIR WIDTH1 WIDTH2 PHOTO...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // 3 bytes per pixel
};

bool decode(const char* path, int widest, Image& image) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  // 1/8, 1/4, 1/2 or 1/1: the smallest of these scales whose width still covers the target.
  cinfo.scale_num = 1;
  cinfo.scale_denom = 1;
  for (int denom = 8; denom >= 1; denom /= 2) {
    if (static_cast<long long>(cinfo.image_width) >= static_cast<long long>(widest) * denom) {
      cinfo.scale_denom = static_cast<unsigned>(denom);
      break;
    }
  }
  jpeg_start_decompress(&cinfo);
  image.width = static_cast<int>(cinfo.output_width);
  image.height = static_cast<int>(cinfo.output_height);
  image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
  std::vector<unsigned char> cmykRow(cmyk ? static_cast<std::size_t>(image.width) * 4 : 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    unsigned char* rgb = image.rgb.data() + static_cast<std::size_t>(cinfo.output_scanline) * image.width * 3;
    JSAMPROW row = cmyk ? cmykRow.data() : rgb;
    jpeg_read_scanlines(&cinfo, &row, 1);
    // Inverted (Adobe) CMYK to RGB without a profile.
    for (int x = 0; cmyk && x < image.width; ++x) {
      const unsigned char* p = cmykRow.data() + x * 4;
      for (int c = 0; c < 3; ++c) rgb[x * 3 + c] = static_cast<unsigned char>(p[c] * p[3] / 255);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return true;
}

// Box filter: each target pixel averages the source pixels whose centres fall into it.
Image reduce(const Image& source, int width) {
  Image target;
  target.width = width;
  target.height = std::max(1, static_cast<int>(static_cast<long long>(source.height) * width / source.width));
  target.rgb.resize(static_cast<std::size_t>(target.width) * target.height * 3);
  std::vector<int> x0(target.width + 1);
  for (int x = 0; x <= target.width; ++x) x0[x] = static_cast<int>(static_cast<long long>(x) * source.width / target.width);
  for (int y = 0; y < target.height; ++y) {
    const int y0 = static_cast<int>(static_cast<long long>(y) * source.height / target.height);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * source.height / target.height));
    for (int x = 0; x < target.width; ++x) {
      const int xa = x0[x];
      const int xb = std::max(xa + 1, x0[x + 1]);
      unsigned sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        const unsigned char* p = source.rgb.data() + (static_cast<std::size_t>(sy) * source.width + xa) * 3;
        for (int sx = xa; sx < xb; ++sx, p += 3) {
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      const unsigned n = static_cast<unsigned>((y1 - y0) * (xb - xa));
      unsigned char* out = target.rgb.data() + (static_cast<std::size_t>(y) * target.width + x) * 3;
      for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>((sum[c] + n / 2) / n);
    }
  }
  return target;
}

void encode(const Image& image, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(image.rgb.data()) +
                   static_cast<std::size_t>(cinfo.next_scanline) * image.width * 3;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: floor_convert OUT_DIR WIDTH1 WIDTH2 PHOTO...\n");
    return 2;
  }
  const std::string out = argv[1];
  const int widths[2] = {std::atoi(argv[2]), std::atoi(argv[3])};
  const int widest = std::max(widths[0], widths[1]);
  for (int i = 4; i < argc; ++i) {
    Image decoded;
    if (!decode(argv[i], widest, decoded)) continue;
    std::string name = argv[i];
    name = name.substr(name.find_last_of('/') + 1);
    encode(reduce(decoded, widths[0]), out + "/1_" + std::to_string(i) + "_" + name);
    encode(reduce(decoded, widths[1]), out + "/2_" + std::to_string(i) + "_" + name);
  }
  return 0;
}
