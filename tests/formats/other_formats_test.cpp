// Photos in formats besides JPEG, read through the decoder seam: made in the test setup by the
// formats' own libraries and tools, read back and compared with what was put in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <libheif/heif.h>

#include <QColor>
#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

#include "core/failure.h"
#include "formats/jpeg_photo_decoder.h"
#include "formats/photo_decoder.h"
#include "imaging/photo_metadata.h"
#include "support/fixtures.h"
#include "support/make_photo.h"
#include "support/tools.h"
#include "timestamp/date_time.h"

namespace snapfolio {
namespace {

using test::runTool;
using test::TempDir;

constexpr std::uint32_t kRed = rgb(220, 30, 30);
constexpr std::uint32_t kBlue = rgb(30, 30, 220);

// A HEIC of 64 x 32 stored pixels, red on the left and blue on the right, whose container says
// to turn it 90 degrees clockwise (irot), with `exif` as its EXIF item. heif-enc keeps an EXIF
// orientation but writes no irot, so the file is made through libheif's encoding calls.
void writeRotatedHeic(const std::filesystem::path& path, const std::vector<std::uint8_t>& exif) {
  heif_image* image = nullptr;
  ASSERT_EQ(
      heif_image_create(64, 32, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code,
      heif_error_Ok);
  heif_image_add_plane(image, heif_channel_interleaved, 64, 32, 8);
  int stride = 0;
  std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      const std::uint32_t c = x < 32 ? kRed : kBlue;
      std::uint8_t* p = plane + y * stride + 3 * x;
      p[0] = static_cast<std::uint8_t>(redOf(c));
      p[1] = static_cast<std::uint8_t>(greenOf(c));
      p[2] = static_cast<std::uint8_t>(blueOf(c));
    }
  }
  heif_context* context = heif_context_alloc();
  heif_encoder* encoder = nullptr;
  heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
  ASSERT_NE(encoder, nullptr);
  heif_encoder_set_lossy_quality(encoder, 90);
  heif_encoding_options* options = heif_encoding_options_alloc();
  options->image_orientation = heif_orientation_rotate_90_cw;
  heif_image_handle* handle = nullptr;
  ASSERT_EQ(heif_context_encode_image(context, image, encoder, options, &handle).code,
            heif_error_Ok);
  heif_context_add_exif_metadata(context, handle, exif.data(), static_cast<int>(exif.size()));
  ASSERT_EQ(heif_context_write_to_file(context, path.c_str()).code, heif_error_Ok);
  heif_image_handle_release(handle);
  heif_encoding_options_free(options);
  heif_encoder_release(encoder);
  heif_image_release(image);
  heif_context_free(context);
}

// An EXIF block with this date taken and orientation 6, written by exiftool into a JPEG.
std::vector<std::uint8_t> exifBlock(const TempDir& dir) {
  const auto jpeg = dir / "exif.jpg";
  test::makePhoto(jpeg, 8, 8);
  test::runTool("exiftool", {"-q", "-overwrite_original", "-n", "-Orientation=6",
                             "-DateTimeOriginal=2021:07:04 09:08:07", jpeg.string()});
  const std::string bytes = test::readFile(jpeg);
  return readJpegBlocks(
             std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), kLimits)
      .exif;
}

// The pixel is within `tolerance` of the colour in every channel.
::testing::AssertionResult near(std::uint32_t pixel, std::uint32_t colour, int tolerance = 12) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                 static_cast<int>((colour >> shift) & 0xFF)) > tolerance) {
      return ::testing::AssertionFailure() << std::hex << pixel << " is not " << colour;
    }
  }
  return ::testing::AssertionSuccess();
}

// The container's rotation is applied once: the EXIF orientation beside it is not applied
// again, and the EXIF date taken is the photo's date.
TEST(HeifPhotoTest, ARotatedHeicComesOutUprightWithItsDateTaken) {
  TempDir dir;
  const auto path = dir / "IMG_1.HEIC";
  writeRotatedHeic(path, exifBlock(dir));
  ASSERT_EQ(PhotoDecoder::sniffFile(path.string()), PhotoFormat::Heif);
  auto decoder = PhotoDecoder::openFile(path.string(), kLimits);
  ASSERT_EQ(QSize(decoder->width(), decoder->height()), QSize(32, 64));
  const PhotoMetadata metadata = photoMetadataOf(decoder->blocks());
  EXPECT_EQ(metadata.orientation, 1);
  // The date the pipeline stamps and sorts by comes from these blocks, not from the file.
  ASSERT_TRUE(metadata.dateTaken.has_value());
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", *metadata.dateTaken), "2021-07-04 09:08:07");
  const Raster& decoded = decoder->decodeFor(QSize(32, 64));
  EXPECT_TRUE(near(decoded.pixel(16, 8), kRed));
  EXPECT_TRUE(near(decoded.pixel(16, 56), kBlue));
  const std::optional<DateTime> date = readDateTaken(path.string());
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", *date), "2021-07-04 09:08:07");
}

struct PixelCase {
  const char* name;
  const char* qtFormat;  // the writer: Qt's own (libpng, libtiff, libwebp lossless)
  QImage::Format stored;
  QRgba64 pixel;
  std::uint32_t expected;
};

class PixelTest : public ::testing::TestWithParam<PixelCase> {};

// 16 bits are rounded, not cut (32895 is 127.996 in 8 bits), and a transparent part takes the
// page's background #F5F5F2.
TEST_P(PixelTest, PixelsBecomeOpaqueEightBitRgb) {
  const PixelCase& c = GetParam();
  TempDir dir;
  const auto path = dir / "photo";
  QImage image(4, 2, c.stored);
  image.fill(QColor::fromRgba64(c.pixel));
  ASSERT_TRUE(image.save(QString::fromStdString(path.string()), c.qtFormat, 100));
  auto decoder = PhotoDecoder::openFile(path.string(), kLimits);
  EXPECT_EQ(decoder->format(), PhotoDecoder::sniffFile(path.string()));
  EXPECT_EQ(decoder->decodeFor(QSize(4, 2)).pixel(3, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PixelTest,
    ::testing::Values(PixelCase{"Png16", "png", QImage::Format_RGBA64,
                                QRgba64::fromRgba64(32895, 0, 65535, 65535), rgb(128, 0, 255)},
                      PixelCase{"PngAlpha", "png", QImage::Format_RGBA8888,
                                QRgba64::fromRgba(0, 0, 0, 128), rgb(122, 122, 121)},
                      PixelCase{"TiffAlpha", "tiff", QImage::Format_RGBA8888,
                                QRgba64::fromRgba(0, 0, 0, 128), rgb(122, 122, 121)},
                      PixelCase{"WebpAlpha", "webp", QImage::Format_RGBA8888,
                                QRgba64::fromRgba(0, 0, 0, 128), rgb(122, 122, 121)}),
    [](const auto& info) { return std::string(info.param.name); });

// A cut TIFF fails with libtiff's own cause, not Qt's "could not read".
TEST(TiffPhotoTest, ACutTiffSaysLibtiffsCause) {
  TempDir dir;
  const auto path = dir / "cut.tif";
  QImage image(64, 64, QImage::Format_RGB888);
  image.fill(Qt::gray);
  ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "tiff"));
  std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
  try {
    PhotoDecoder::openFile(path.string(), kLimits)->decodeFor(QSize(64, 64));
    ADD_FAILURE() << "a cut TIFF was read";
  } catch (const Failure& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("tiff: Seek error accessing TIFF directory"));
  }
}

// A DNG of 64 x 48 stored pixels turned by its camera (orientation 6), with a green preview of
// `previewWidth` x `previewHeight` (tests/fixtures/make-dng.py).
std::string writeDng(const TempDir& dir, int previewWidth, int previewHeight) {
  const auto preview = dir / "preview.jpg";
  test::makePhoto(preview, previewWidth, previewHeight, 0x00C000);
  const auto path = dir / "IMG_2.DNG";
  runTool("python3",
          {test::fixturePath("make-dng.py").string(), path.string(), "64", "48", preview.string(),
           std::to_string(previewWidth), std::to_string(previewHeight), "6"});
  return path.string();
}

// The camera's preview stands for the raw picture when it is as large as the decoding asked
// for; a larger one comes from the raw data itself. The camera's orientation is kept.
// Read twice: the second reading takes the LibRaw object the first one left to its thread.
TEST(RawPhotoTest, ThePreviewIsUsedWhenLargeEnoughElseTheRawData) {
  TempDir dir;
  const std::string dng = writeDng(dir, 32, 24);
  for (int reading = 0; reading < 2; ++reading) {
    auto decoder = PhotoDecoder::openFile(dng, kLimits);
    ASSERT_EQ(decoder->format(), PhotoFormat::Raw);
    EXPECT_EQ(QSize(decoder->width(), decoder->height()), QSize(64, 48));
    EXPECT_EQ(photoMetadataOf(decoder->blocks()).orientation, 6);
    EXPECT_TRUE(near(decoder->decodeFor(QSize(16, 12)).pixel(4, 4), rgb(0, 0xC0, 0)));
    const Raster& full = decoder->decodeFor(QSize(64, 48));
    ASSERT_EQ(QSize(full.width(), full.height()), QSize(64, 48));
    EXPECT_GT(redOf(full.pixel(8, 24)), greenOf(full.pixel(8, 24)) + 60);
    EXPECT_GT(blueOf(full.pixel(56, 24)), greenOf(full.pixel(56, 24)) + 60);
  }
}

}  // namespace
}  // namespace snapfolio
