// TJPEGImage against an independent decoder (Qt's QImageReader) on all fifteen real photos:
// the same size from the header and after decoding, and the same pixels within a tolerance.
//
// Tolerance: colour photos decode to identical pixels except for rounding in the colour
// conversion (at most 2 per channel; the mean below 0.1). Greyscale photos differ by the
// quantisation to 236 levels with error diffusion (at most 4 per channel, mean below 1).
// The CMYK photo goes through the program's own conversion (at most 2).
#include "jpeg/jpeg_image.h"

#include <gtest/gtest.h>

#include <string>

#include "jpeg/jpeg_test_support.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

class ReferenceDecoderTest : public testing::TestWithParam<const char*> {};

TEST_P(ReferenceDecoderTest, SizeAndPixelsMatchQImageReader) {
  const auto path = test::photoPath(GetParam());
  ASSERT_FALSE(path.empty());
  const Raster reference = test::qtDecode(path);

  TJPEGImage image;
  image.LoadFromFile(path);
  EXPECT_EQ(image.ImageWidth(), reference.width());
  EXPECT_EQ(image.ImageHeight(), reference.height());
  const Raster& decoded = image.DecodedBitmap();
  ASSERT_EQ(decoded.width(), reference.width());
  ASSERT_EQ(decoded.height(), reference.height());

  const test::PixelDifference d = test::difference(decoded, reference);
  const bool grey = image.Data().Gray;
  RecordProperty("max_difference", d.max);
  RecordProperty("mean_difference", std::to_string(d.mean));
  EXPECT_LE(d.max, grey ? 4 : 2) << "mean " << d.mean;
  EXPECT_LT(d.mean, grey ? 1.0 : 0.1) << "max " << d.max;
}

INSTANTIATE_TEST_SUITE_P(Photos, ReferenceDecoderTest, testing::ValuesIn(test::allPhotoNames()),
                         [](const testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace snapfolio
