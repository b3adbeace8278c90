// TJPEGImage against an independent decoder (Qt's QImageReader) on all fifteen real photos:
// the same size from the header and after decoding, and the same pixels within a tolerance.
//
// Tolerance, per channel: colour photos at most 1 with a mean below 0.05 (both sides use the
// accurate integer inverse DCT and fancy upsampling; measured: identical). Greyscale photos at
// most 2 with a mean below 0.5: the object quantises them to 236 levels with error diffusion
// (measured: 1 and 0.21). The CMYK photo at most 1 with a mean below 0.5: the object rounds
// its CMYK to RGB conversion where Qt truncates (measured: 1 and 0.24).
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
  // Sound camera files decode without any damage warning.
  EXPECT_FALSE(image.Damage()) << image.Damage()->cause();

  // The padding byte of every pixel is 0xFF, as painters and the encoder expect.
  long long unpadded = 0;
  for (int y = 0; y < decoded.height(); ++y) {
    for (int x = 0; x < decoded.width(); ++x) unpadded += (decoded.row(y)[x] >> 24) != 0xFF;
  }
  EXPECT_EQ(unpadded, 0);

  const test::PixelDifference d = test::difference(decoded, reference);
  const bool grey = image.Data().Gray;
  const bool cmyk = std::string(GetParam()) == "cmyk.jpeg";
  RecordProperty("max_difference", d.max);
  RecordProperty("mean_difference", std::to_string(d.mean));
  EXPECT_LE(d.max, grey ? 2 : 1) << "mean " << d.mean;
  EXPECT_LT(d.mean, grey || cmyk ? 0.5 : 0.05) << "max " << d.max;
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
