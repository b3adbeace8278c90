// TJPEGImage::DrawTo on real photos: the reduction must match an independent area-average
// reference of the same decoded pixels, whether the photo is decoded at a reduced DCT scale
// (the normal path) or at full size; and the drawing rectangle is honoured and clipped.
#include "jpeg/jpeg_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "jpeg/jpeg_test_support.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

// The exact area average in double precision: every target pixel is the mean of the source
// area under it, edge pixels weighted by the fraction covered.
Raster boxReference(const Raster& source, int width, int height) {
  const int sw = source.width(), sh = source.height();
  // Weights of one axis: for target index t, the covered part of each source index.
  auto axis = [](int sourceLength, int targetLength) {
    std::vector<std::vector<std::pair<int, double>>> taps(targetLength);
    const double scale = double(sourceLength) / targetLength;
    for (int t = 0; t < targetLength; ++t) {
      const double from = t * scale, to = (t + 1) * scale;
      for (int s = int(std::floor(from)); s < sourceLength && s < to; ++s) {
        const double covered = std::min(to, s + 1.0) - std::max(from, double(s));
        if (covered > 0) taps[t].push_back({s, covered / scale});
      }
    }
    return taps;
  };
  const auto horizontal = axis(sw, width);
  const auto vertical = axis(sh, height);
  std::vector<double> rows(std::size_t(width) * sh * 3, 0.0);
  for (int y = 0; y < sh; ++y) {
    for (int x = 0; x < width; ++x) {
      double* out = &rows[(std::size_t(y) * width + x) * 3];
      for (const auto& [s, w] : horizontal[x]) {
        const std::uint32_t p = source.pixel(s, y);
        out[0] += w * redOf(p);
        out[1] += w * greenOf(p);
        out[2] += w * blueOf(p);
      }
    }
  }
  Raster target(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double c[3] = {0, 0, 0};
      for (const auto& [s, w] : vertical[y]) {
        for (int k = 0; k < 3; ++k) c[k] += w * rows[(std::size_t(s) * width + x) * 3 + k];
      }
      target.setPixel(x, y,
                      rgb(int(std::lround(c[0])), int(std::lround(c[1])), int(std::lround(c[2]))));
    }
  }
  return target;
}

struct Reduction {
  const char* photo;
  int width;
};

class DrawToPsnrTest : public testing::TestWithParam<Reduction> {
 protected:
  // Full-size decodings, shared by the cases of one photo.
  static const Raster& decoded(const std::string& name) {
    static std::map<std::string, Raster> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
      TJPEGImage image;
      image.LoadFromFile(test::photoPath(name));
      it = cache.emplace(name, image.DecodedBitmap()).first;
    }
    return it->second;
  }
};

TEST_P(DrawToPsnrTest, ReductionMatchesTheAreaAverageReference) {
  const Reduction r = GetParam();
  const Raster& full = decoded(r.photo);
  const int height = full.height() * r.width / full.width();
  const Raster reference = boxReference(full, r.width, height);

  // The normal path: the object decodes at a reduced DCT scale and resamples that.
  TJPEGImage image;
  image.LoadFromFile(test::photoPath(r.photo));
  Raster drawn(r.width, height);
  image.DrawTo(drawn, QRect(0, 0, r.width, height));
  const double scaled = test::psnr(drawn, reference);
  EXPECT_GE(scaled, 35.0);
  RecordProperty("psnr_dct_scaled", std::to_string(scaled));

  // The full-size path: the decoded photo is cached and resampled directly.
  TJPEGImage cached;
  cached.LoadFromFile(test::photoPath(r.photo));
  cached.DecodedBitmap();
  Raster direct(r.width, height);
  cached.DrawTo(direct, QRect(0, 0, r.width, height));
  const double full_size = test::psnr(direct, reference);
  EXPECT_GE(full_size, 45.0) << "the resampler itself is an area average";
  RecordProperty("psnr_full_size", std::to_string(full_size));
}

INSTANTIATE_TEST_SUITE_P(Photos, DrawToPsnrTest,
                         testing::Values(Reduction{"landscape-20mp.jpg", 150},
                                         Reduction{"landscape-20mp.jpg", 640},
                                         Reduction{"portrait-13mp.JPG", 150},
                                         Reduction{"portrait-13mp.JPG", 640},
                                         Reduction{"dslr-420.jpeg", 400}));

TEST(DrawToTest, OneToOneIsTheDecodedPhoto) {
  TJPEGImage image;
  image.LoadFromFile(test::photoPath("portrait-exif6.jpg"));
  Raster canvas(640, 428);
  image.DrawTo(canvas, QRect(0, 0, 640, 428));
  EXPECT_EQ(canvas, image.DecodedBitmap());
}

TEST(DrawToTest, EmptyRectangleDrawsNothingAndDecodesNothing) {
  TJPEGImage broken;
  broken.LoadFromFile(test::fixturePath("zero-byte.jpg"));
  Raster canvas(20, 10);
  canvas.fill(rgb(1, 2, 3));
  const Raster before = canvas;
  broken.DrawTo(canvas, QRect(0, 0, 150, 0));
  broken.DrawTo(canvas, QRect(0, 0, 0, 10));
  broken.DrawTo(canvas, QRect(5, 5, -3, 4));
  EXPECT_EQ(canvas, before);

  Raster empty;
  TJPEGImage photo;
  photo.LoadFromFile(test::fixturePath("baseline-small.jpg"));
  photo.DrawTo(empty, QRect(0, 0, 0, 0));
  EXPECT_TRUE(empty.isEmpty());
}

TEST(DrawToTest, RectangleLargerThanTheCanvasIsClipped) {
  TJPEGImage image;
  image.LoadFromFile(test::fixturePath("baseline-small.jpg"));
  Raster whole(300, 200);
  image.DrawTo(whole, QRect(0, 0, 300, 200));

  Raster small(100, 50);
  small.fill(rgb(9, 9, 9));
  image.DrawTo(small, QRect(-20, -10, 300, 200));
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(small.pixel(x, y), whole.pixel(x + 20, y + 10));
  }

  // Partly inside: the pixels outside the rectangle keep their colour.
  Raster canvas(50, 50);
  canvas.fill(rgb(9, 9, 9));
  image.DrawTo(canvas, QRect(40, 45, 300, 200));
  EXPECT_EQ(canvas.pixel(39, 49), rgb(9, 9, 9));
  EXPECT_EQ(canvas.pixel(49, 44), rgb(9, 9, 9));
  EXPECT_EQ(canvas.pixel(45, 47), whole.pixel(5, 2));
}

TEST(DrawToTest, GreyAndCmykPhotosDrawAsRgb) {
  for (const char* name : {"grey.jpg", "cmyk.jpeg"}) {
    SCOPED_TRACE(name);
    TJPEGImage image;
    image.LoadFromFile(test::photoPath(name));
    const int height = image.ImageHeight() * 50 / image.ImageWidth();
    Raster drawn(50, height);
    image.DrawTo(drawn, QRect(0, 0, 50, height));
    TJPEGImage reference;
    reference.LoadFromFile(test::photoPath(name));
    EXPECT_GE(test::psnr(drawn, boxReference(reference.DecodedBitmap(), 50, height)), 35.0);
  }
}

}  // namespace
}  // namespace snapfolio
