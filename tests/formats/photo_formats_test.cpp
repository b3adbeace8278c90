// The photo source seam: the decoder is chosen by the file's content, not its name, and the
// output image's name takes its extension from the encoder.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "formats/image_encoder.h"
#include "formats/photo_decoder.h"
#include "jpeg/jpeg_image.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

using test::TempDir;

struct SniffCase {
  const char* name;
  std::string bytes;
  std::optional<PhotoFormat> format;
};

class SniffTest : public ::testing::TestWithParam<SniffCase> {};

TEST_P(SniffTest, TheFirstBytesChooseTheFormat) {
  const std::string& bytes = GetParam().bytes;
  EXPECT_EQ(PhotoDecoder::sniff(
                std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())),
            GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, SniffTest,
    ::testing::Values(SniffCase{"Jpeg", std::string("\xFF\xD8\xFF\xE0", 4), PhotoFormat::Jpeg},
                      SniffCase{"JpegCutAfterItsMarker", std::string("\xFF\xD8", 2), std::nullopt},
                      SniffCase{"Png", std::string("\x89PNG\r\n\x1A\n", 8), std::nullopt},
                      SniffCase{"Text", "this is no photo", std::nullopt},
                      SniffCase{"Empty", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// A JPEG under any name is read as a JPEG, pixel for pixel as under its own name.
TEST(PhotoDecoderTest, AJpegNamedPngIsReadAsAJpeg) {
  TempDir dir;
  const std::string bytes = test::readFile(test::fixturePath("baseline-small.jpg"));
  test::writeFile(dir / "photo.png", bytes);
  test::writeFile(dir / "photo.jpg", bytes);
  auto named = PhotoDecoder::openFile((dir / "photo.png").string(), kLimits);
  auto own = PhotoDecoder::openFile((dir / "photo.jpg").string(), kLimits);
  EXPECT_EQ(named->format(), PhotoFormat::Jpeg);
  EXPECT_EQ(PhotoDecoder::sniffFile((dir / "photo.png").string()), PhotoFormat::Jpeg);
  const QSize size(named->width(), named->height());
  EXPECT_EQ(size, QSize(128, 96));
  EXPECT_EQ(named->decodeFor(size), own->decodeFor(size));
}

// Bytes no format claims are refused by the JPEG reader, whatever their name, with its message.
TEST(PhotoDecoderTest, BytesNoFormatClaimsFailAsAJpegThatIsNone) {
  TempDir dir;
  test::writeFile(dir / "p.jpg", std::string("\x89PNG\r\n\x1A\nrest", 12));
  try {
    PhotoDecoder::openFile((dir / "p.jpg").string(), kLimits);
    FAIL() << "opened";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.cause(), "JPEGファイルではない。(Not a JPEG file: starts with 0x89 0x50)");
  }
}

// The limits a decoder is given bound the file it reads and the picture it decodes.
TEST(PhotoDecoderTest, TheGivenLimitsBoundTheFileAndThePicture) {
  const std::string path = test::fixturePath("baseline-small.jpg").string();  // 128 x 96
  Limits smallFile;
  smallFile.photoFileBytes = 100;
  Limits fewPixels;
  fewPixels.pixels = 128 * 95;
  for (const Limits& limits : {smallFile, fewPixels}) {
    EXPECT_THROW(PhotoDecoder::openFile(path, limits), EJPEG);
  }
  EXPECT_NO_THROW(PhotoDecoder::openFile(path, kLimits)->decodeFor(QSize(128, 96)));
}

struct NameCase {
  const char* photo;    // in the temporary folder
  const char* content;  // a fixture's name; nullptr: no file
  const char* output;
};

class OutputNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(OutputNameTest, TheEncoderGivesTheExtension) {
  const NameCase& c = GetParam();
  TempDir dir;
  if (c.content != nullptr) {
    test::writeFile(dir / c.photo, test::readFile(test::fixturePath(c.content)));
  }
  EXPECT_EQ(outputImageName((dir / c.photo).string(), "t_", "_l"), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputNameTest,
    ::testing::Values(NameCase{"IMG_1.JPG", "baseline-small.jpg", "t_IMG_1_l.JPG"},
                      NameCase{"a.jpeg", "progressive-small.jpg", "t_a_l.jpeg"},
                      NameCase{"a.png", "baseline-small.jpg", "t_a_l.png"},
                      NameCase{"noext", "grey-small.jpg", "t_noext_l"},
                      NameCase{"text.jpg", "garbage.jpg", "t_text_l.jpg"},
                      NameCase{"missing.JPG", nullptr, "t_missing_l.JPG"}));

TEST(JpegEncoderTest, SaysItsTypeAndGivesOtherFormatsJpg) {
  EXPECT_EQ(outputEncoder().mimeType(), "image/jpeg");
  EXPECT_EQ(outputEncoder().extension("/p/IMG_1.JPG", PhotoFormat::Jpeg), ".JPG");
  EXPECT_EQ(outputEncoder().extension("/p/IMG_1.JPG", std::nullopt), ".JPG");
}

}  // namespace
}  // namespace snapfolio
