// Helpers of the JPEG tests: an independent decoder (QImageReader), image comparison, and a
// look at the headers and quantisation tables of a written file with plain libjpeg.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QImage>
#include <QImageReader>
#include <QString>

#include <jpeglib.h>

#include "core/raster.h"

namespace snapfolio::test {

// The photo as Qt's own JPEG reader decodes it (no EXIF rotation), as a Raster.
inline Raster qtDecode(const std::filesystem::path& path) {
  QImageReader reader(QString::fromStdString(path.string()));
  reader.setAutoTransform(false);
  QImage image = reader.read();
  EXPECT_FALSE(image.isNull()) << path << ": " << reader.errorString().toStdString();
  return Raster::fromImage(image);
}

struct PixelDifference {
  int max = 0;      // largest difference of one channel
  double mean = 0;  // mean absolute difference over all channels
};

inline PixelDifference difference(const Raster& a, const Raster& b) {
  PixelDifference d;
  if (a.width() != b.width() || a.height() != b.height() || a.isEmpty()) {
    ADD_FAILURE() << "sizes differ: " << a.width() << "x" << a.height() << " vs " << b.width()
                  << "x" << b.height();
    d.max = 256;
    return d;
  }
  long long sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const std::uint32_t p = a.pixel(x, y), q = b.pixel(x, y);
      for (int shift = 0; shift < 24; shift += 8) {
        const int e = std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF));
        d.max = std::max(d.max, e);
        sum += e;
      }
    }
  }
  d.mean = double(sum) / (3.0 * a.width() * a.height());
  return d;
}

// Peak signal-to-noise ratio in dB over the three channels (infinite for equal images).
inline double psnr(const Raster& a, const Raster& b) {
  if (a.width() != b.width() || a.height() != b.height() || a.isEmpty()) {
    ADD_FAILURE() << "sizes differ";
    return 0;
  }
  double squares = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const std::uint32_t p = a.pixel(x, y), q = b.pixel(x, y);
      for (int shift = 0; shift < 24; shift += 8) {
        const double e = double((p >> shift) & 0xFF) - double((q >> shift) & 0xFF);
        squares += e * e;
      }
    }
  }
  const double mse = squares / (3.0 * a.width() * a.height());
  return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

// What plain libjpeg reads from the header of a file written by the program.
struct WrittenJpeg {
  int width = 0;
  int height = 0;
  int components = 0;
  bool progressive = false;
  bool arithmetic = false;
  J_COLOR_SPACE colorSpace = JCS_UNKNOWN;
  int estimatedQuality = 0;  // the quality whose scaled standard tables match best
  int tableMismatch = 0;     // sum of absolute differences to those tables
};

// Annex K tables of the JPEG standard, which libjpeg scales by the quality.
inline constexpr int kStandardLuminance[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
inline constexpr int kStandardChrominance[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

inline int scaledEntry(int standard, int quality) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  return std::clamp((standard * scale + 50) / 100, 1, 255);
}

inline WrittenJpeg inspectJpeg(const std::string& bytes) {
  WrittenJpeg info;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);  // exits the test on a broken file: a failure anyway
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  info.width = static_cast<int>(cinfo.image_width);
  info.height = static_cast<int>(cinfo.image_height);
  info.components = cinfo.num_components;
  info.progressive = cinfo.progressive_mode != 0;
  info.arithmetic = cinfo.arith_code != 0;
  info.colorSpace = cinfo.jpeg_color_space;
  int best = -1;
  for (int quality = 1; quality <= 100; ++quality) {
    int mismatch = 0;
    for (int table = 0; table < 2; ++table) {
      const JQUANT_TBL* t = cinfo.quant_tbl_ptrs[table];
      if (t == nullptr) continue;
      const int* standard = table == 0 ? kStandardLuminance : kStandardChrominance;
      // libjpeg holds the tables in natural (row-major) order, as the standard lists them.
      for (int i = 0; i < 64; ++i) {
        mismatch += std::abs(int(t->quantval[i]) - scaledEntry(standard[i], quality));
      }
    }
    if (best < 0 || mismatch < best) {
      best = mismatch;
      info.estimatedQuality = quality;
    }
  }
  info.tableMismatch = best;
  jpeg_destroy_decompress(&cinfo);
  return info;
}

}  // namespace snapfolio::test
