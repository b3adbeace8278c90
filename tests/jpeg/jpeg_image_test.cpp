// TJPEGImage: loading, decoding, encoding, saving and the failures of each, on small fixtures
// made by tests/fixtures/make-jpeg-fixtures.cpp and on a few of the real photos.
#include "jpeg/jpeg_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>

#include <jerror.h>

#include "jpeg/jpeg_test_support.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::fixturePath;
using test::photoPath;
using test::readFile;
using test::TempDir;

// A raster with smooth gradients and waves, the kind of content a quality-90 encoder keeps.
Raster patternRaster(int width, int height) {
  Raster raster(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double wave = std::sin(x / 9.0) * std::cos(y / 7.0);
      raster.setPixel(x, y,
                      rgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1),
                          static_cast<int>(128 + 100 * wave)));
    }
  }
  return raster;
}

std::string messageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no exception)";
}

TEST(TJPEGImageTest, NewObjectHasTheDefaultOptionsAndIsEmpty) {
  TJPEGImage image;
  const JpegOptions& o = image.Options();
  EXPECT_EQ(o.EncodeQuality, 90);
  EXPECT_EQ(o.FastDecode, JpegPerformance::BestQuality);
  EXPECT_EQ(o.DecodeScale, JpegScale::FullSize);
  EXPECT_EQ(o.DecodeDepth, JpegDepth::Depth24);
  EXPECT_TRUE(o.BlockSmoothing);
  EXPECT_FALSE(o.GrayDecode);
  EXPECT_FALSE(o.ProgressiveWrite);
  EXPECT_FALSE(o.PassRedraw);
  EXPECT_EQ(o, JpegDefaults);
  EXPECT_TRUE(image.IsEmpty());
  EXPECT_EQ(image.ImageWidth(), 0);
  EXPECT_EQ(image.ImageHeight(), 0);
}

TEST(TJPEGImageTest, SizeCannotBeChanged) {
  TJPEGImage image;
  image.LoadFromFile(fixturePath("baseline-small.jpg"));
  EXPECT_THROW(image.SetImageWidth(10), EInvalidGraphicOperation);
  EXPECT_EQ(messageOf([&] { image.SetImageWidth(10); }), "JPEG イメージのサイズは変更できません");
  EXPECT_EQ(messageOf([&] { image.SetImageHeight(10); }), "JPEG イメージのサイズは変更できません");
  EXPECT_EQ(image.ImageWidth(), 128);
  EXPECT_EQ(image.ImageHeight(), 96);
}

TEST(TJPEGImageTest, SizeComesFromTheHeaderWithoutDecoding) {
  TJPEGImage image;
  image.LoadFromFile(photoPath("landscape-20mp.jpg"));
  EXPECT_EQ(image.ImageWidth(), 6028);
  EXPECT_EQ(image.ImageHeight(), 3391);
  EXPECT_FALSE(image.IsEmpty());
  EXPECT_FALSE(image.Data().Gray);
  ASSERT_TRUE(image.Data().Stream.has_value());
  EXPECT_EQ(image.Data().Stream->size(), fs::file_size(photoPath("landscape-20mp.jpg")));
}

TEST(TJPEGImageTest, SavingAnEmptyObjectWritesAZeroByteFile) {
  TempDir dir;
  TJPEGImage image;
  image.SaveToFile(dir / "empty.jpg");
  ASSERT_TRUE(fs::exists(dir / "empty.jpg"));
  EXPECT_EQ(fs::file_size(dir / "empty.jpg"), 0u);

  TJPEGImage emptyRaster;
  emptyRaster.Assign(Raster(0, 5));
  EXPECT_TRUE(emptyRaster.IsEmpty());
  emptyRaster.SaveToFile(dir / "empty-raster.jpg");
  EXPECT_EQ(fs::file_size(dir / "empty-raster.jpg"), 0u);
}

TEST(TJPEGImageTest, AssignedRasterIsSavedAsBaselineQuality90OfItsSize) {
  TempDir dir;
  const Raster source = patternRaster(150, 113);
  TJPEGImage image;
  image.Assign(source);
  EXPECT_FALSE(image.IsEmpty());
  EXPECT_EQ(image.ImageWidth(), 150);
  EXPECT_EQ(image.ImageHeight(), 113);
  image.SaveToFile(dir / "out.jpg");
  // A new file is readable by others (a web server), as the user's files normally are.
  EXPECT_NE(fs::status(dir / "out.jpg").permissions() & fs::perms::others_read, fs::perms::none);

  const std::string bytes = readFile(dir / "out.jpg");
  const test::WrittenJpeg info = test::inspectJpeg(bytes);
  EXPECT_EQ(info.width, 150);
  EXPECT_EQ(info.height, 113);
  EXPECT_FALSE(info.progressive);
  EXPECT_FALSE(info.arithmetic);
  EXPECT_EQ(info.components, 3);
  EXPECT_EQ(info.colorSpace, JCS_YCbCr);
  EXPECT_EQ(info.estimatedQuality, 90);
  EXPECT_EQ(info.tableMismatch, 0) << "the tables are exactly the standard ones at quality 90";
  // The frame header is baseline (SOF0), not extended or progressive.
  EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos);
  EXPECT_EQ(bytes.find("\xFF\xC2"), std::string::npos);

  // Colours survive the round trip in the right channels (no red/blue swap).
  const Raster decoded = test::qtDecode(dir / "out.jpg");
  EXPECT_GT(test::psnr(decoded, source), 38.0);
  const std::uint32_t corner = decoded.pixel(149, 0);  // red high, green low
  EXPECT_GT(redOf(corner), 200);
  EXPECT_LT(greenOf(corner), 50);
}

TEST(TJPEGImageTest, ProgressivePhotoSetsProgressiveWriteAndResavesUnchanged) {
  TempDir dir;
  for (const fs::path& path :
       {fixturePath("progressive-small.jpg"), photoPath("progressive.jpg")}) {
    SCOPED_TRACE(path);
    TJPEGImage image;
    image.LoadFromFile(path);
    EXPECT_TRUE(image.Options().ProgressiveWrite);
    image.DecodedBitmap();  // a decoding in between changes nothing
    image.SaveToFile(dir / "copy.jpg");
    EXPECT_EQ(readFile(dir / "copy.jpg"), readFile(path));
  }
  TJPEGImage baseline;
  baseline.LoadFromFile(fixturePath("baseline-small.jpg"));
  EXPECT_FALSE(baseline.Options().ProgressiveWrite);
}

TEST(TJPEGImageTest, ProgressiveWriteOnAnAssignedRasterWritesAProgressiveFile) {
  TJPEGImage image;
  JpegOptions options = image.Options();
  options.ProgressiveWrite = true;
  image.SetOptions(options);
  image.Assign(patternRaster(64, 48));
  std::ostringstream out;
  image.WriteTo(out);
  EXPECT_TRUE(test::inspectJpeg(out.str()).progressive);
}

TEST(TJPEGImageTest, GarbageFailsWithTheLibraryMessageCode) {
  TJPEGImage image;
  try {
    image.LoadFromFile(fixturePath("garbage.jpg"));
    FAIL() << "garbage loaded";
  } catch (const EJPEG& e) {
    EXPECT_EQ(std::string(e.what()), "JPEG エラー #" + std::to_string(JERR_NO_SOI));
  }
  // The bytes stay, with no header values.
  EXPECT_FALSE(image.IsEmpty());
  EXPECT_EQ(image.ImageWidth(), 0);
}

TEST(TJPEGImageTest, ZeroByteFileLoadsAndFailsToDecodeAsEmptyInput) {
  TJPEGImage image;
  image.LoadFromFile(fixturePath("zero-byte.jpg"));
  EXPECT_FALSE(image.IsEmpty());
  EXPECT_EQ(image.ImageWidth(), 0);
  EXPECT_EQ(image.ImageHeight(), 0);
  Raster canvas(10, 10);
  EXPECT_EQ(messageOf([&] { image.DrawTo(canvas, QRect(0, 0, 10, 10)); }),
            "JPEG エラー #" + std::to_string(JERR_INPUT_EMPTY));
  EXPECT_THROW(image.DecodedBitmap(), EJPEG);
}

TEST(TJPEGImageTest, MissingFileFailsClearly) {
  TJPEGImage image;
  const std::string message = messageOf([&] { image.LoadFromFile("/nonexistent/photo.jpg"); });
  EXPECT_NE(message.find("/nonexistent/photo.jpg"), std::string::npos) << message;
}

TEST(TJPEGImageTest, TruncatedFileDecodesAndKeepsItsIntactRows) {
  TJPEGImage truncated, complete;
  truncated.LoadFromFile(fixturePath("truncated.jpg"));
  complete.LoadFromFile(fixturePath("baseline-small.jpg"));
  const Raster& cut = truncated.DecodedBitmap();
  const Raster& whole = complete.DecodedBitmap();
  ASSERT_EQ(cut.width(), 128);
  ASSERT_EQ(cut.height(), 96);
  // Half of the bytes hold the first two 16-line rows of blocks; the last line of the second
  // is interpolated with the damaged chroma below it, so compare the 30 lines above.
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 128; ++x) ASSERT_EQ(cut.pixel(x, y), whole.pixel(x, y)) << x << "," << y;
  }
  EXPECT_NE(cut, whole);
}

TEST(TJPEGImageTest, OversizedHeaderFailsQuicklyBeforeAllocating) {
  const auto start = std::chrono::steady_clock::now();
  TJPEGImage image;
  const std::string message =
      messageOf([&] { image.LoadFromFile(fixturePath("oversized-header.jpg")); });
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_NE(message.find("65000 x 65000"), std::string::npos) << message;
  EXPECT_THROW(image.LoadFromFile(fixturePath("oversized-header.jpg")), EJPEG);
  EXPECT_EQ(image.ImageWidth(), 0);
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
  // Drawing the refused object fails the same way instead of allocating 17 GB.
  Raster canvas(10, 10);
  EXPECT_THROW(image.DrawTo(canvas, QRect(0, 0, 10, 10)), EJPEG);
}

TEST(TJPEGImageTest, GreyscalePhotosDecodeToAtMost236GreyLevels) {
  for (const fs::path& path :
       {fixturePath("grey-small.jpg"), photoPath("grey.jpg"), photoPath("grey-exif.jpg")}) {
    SCOPED_TRACE(path);
    TJPEGImage image;
    image.LoadFromFile(path);
    EXPECT_TRUE(image.Data().Gray);
    const Raster& raster = image.DecodedBitmap();
    std::set<int> levels;
    for (int y = 0; y < raster.height(); ++y) {
      for (int x = 0; x < raster.width(); ++x) {
        const std::uint32_t p = raster.pixel(x, y);
        ASSERT_TRUE(redOf(p) == greenOf(p) && greenOf(p) == blueOf(p));
        levels.insert(redOf(p));
      }
    }
    EXPECT_LE(levels.size(), 236u);
    EXPECT_GT(levels.size(), 10u);
  }
}

TEST(TJPEGImageTest, GrayDecodeTurnsAColourPhotoGreyAndWritesAGreyFile) {
  TJPEGImage image;
  JpegOptions options = image.Options();
  options.GrayDecode = true;
  image.SetOptions(options);
  image.LoadFromFile(fixturePath("baseline-small.jpg"));
  const Raster& raster = image.DecodedBitmap();
  const std::uint32_t p = raster.pixel(100, 50);
  EXPECT_TRUE(redOf(p) == greenOf(p) && greenOf(p) == blueOf(p));

  TJPEGImage out;
  out.SetOptions(options);
  out.Assign(raster);
  std::ostringstream bytes;
  out.WriteTo(bytes);
  EXPECT_EQ(test::inspectJpeg(bytes.str()).components, 1);
  EXPECT_TRUE(out.Data().Gray);
}

// Ink bars of the small CMYK fixtures: cyan, magenta, yellow and black, 8 pixels wide each.
class CmykTest : public testing::TestWithParam<const char*> {};

TEST_P(CmykTest, InkBarsDecodeToTheirColours) {
  TJPEGImage image;
  image.LoadFromFile(fixturePath(GetParam()));
  EXPECT_TRUE(image.Data().Cmyk);
  const Raster& raster = image.DecodedBitmap();
  ASSERT_EQ(raster.width(), 32);
  ASSERT_EQ(raster.height(), 16);
  const std::uint32_t expected[4] = {rgb(0, 255, 255), rgb(255, 0, 255), rgb(255, 255, 0),
                                     rgb(0, 0, 0)};
  for (int bar = 0; bar < 4; ++bar) {
    const std::uint32_t p = raster.pixel(bar * 8 + 4, 8);
    SCOPED_TRACE(bar);
    EXPECT_NEAR(redOf(p), redOf(expected[bar]), 12);
    EXPECT_NEAR(greenOf(p), greenOf(expected[bar]), 12);
    EXPECT_NEAR(blueOf(p), blueOf(expected[bar]), 12);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, CmykTest, testing::Values("cmyk-small.jpg", "ycck-small.jpg"));

TEST(TJPEGImageTest, CmykPhotoConvertsAndSavesLikeAnyOther) {
  TempDir dir;
  TJPEGImage photo;
  photo.LoadFromFile(photoPath("cmyk.jpeg"));
  Raster surface(75, 51);
  photo.DrawTo(surface, QRect(0, 0, 75, 51));
  TJPEGImage out;
  out.Assign(surface);
  out.SaveToFile(dir / "cmyk-out.jpeg");
  const test::WrittenJpeg info = test::inspectJpeg(readFile(dir / "cmyk-out.jpeg"));
  EXPECT_EQ(info.colorSpace, JCS_YCbCr);
  EXPECT_EQ(info.width, 75);
}

TEST(TJPEGImageTest, ReadFromStreamTakesTheRestOfTheStream) {
  const std::string bytes = readFile(fixturePath("baseline-small.jpg"));
  std::istringstream stream("PREFIX" + bytes);
  stream.seekg(6);
  TJPEGImage image;
  image.ReadFrom(stream);
  EXPECT_EQ(image.ImageWidth(), 128);
  ASSERT_TRUE(image.Data().Stream.has_value());
  EXPECT_EQ(image.Data().Stream->size(), bytes.size());
}

TEST(TJPEGImageTest, AssignFromAnotherObjectSharesTheBytes) {
  TJPEGImage original;
  original.LoadFromFile(fixturePath("baseline-small.jpg"));
  TJPEGImage copy;
  copy.Assign(original);
  EXPECT_EQ(&copy.Data(), &original.Data());
  EXPECT_EQ(copy.DecodedBitmap(), original.DecodedBitmap());
  // Reading new bytes into one object leaves the other alone.
  copy.LoadFromFile(fixturePath("grey-small.jpg"));
  EXPECT_EQ(original.ImageWidth(), 128);
  EXPECT_EQ(copy.ImageWidth(), 64);
}

TEST(TJPEGImageTest, ReducedDecodeScaleGivesTheScaledSize) {
  TJPEGImage image;
  JpegOptions options = image.Options();
  options.DecodeScale = JpegScale::QuarterSize;
  image.SetOptions(options);
  image.LoadFromFile(fixturePath("baseline-small.jpg"));
  EXPECT_EQ(image.ImageWidth(), 32);
  EXPECT_EQ(image.ImageHeight(), 24);
  EXPECT_EQ(image.DecodedBitmap().width(), 32);
  EXPECT_EQ(image.DecodedBitmap().height(), 24);
}

TEST(TJPEGImageTest, SaveReplacesAnExistingFile) {
  TempDir dir;
  test::writeFile(dir / "out.jpg", "old content");
  TJPEGImage image;
  image.Assign(patternRaster(20, 20));
  image.SaveToFile(dir / "out.jpg");
  EXPECT_EQ(test::inspectJpeg(readFile(dir / "out.jpg")).width, 20);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(TJPEGImageTest, FailedEncodingLeavesThePreviousFileIntact) {
  TempDir dir;
  test::writeFile(dir / "out.jpg", "previous photo");
  TJPEGImage image;
  image.Assign(Raster(70000, 1));  // wider than a JPEG file can be
  try {
    image.SaveToFile(dir / "out.jpg");
    ADD_FAILURE() << "saved";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.cause(), "画像が大きすぎる(JPEGの縦横は65500ピクセルまで、この画像は70000 x 1)。");
  }
  EXPECT_EQ(readFile(dir / "out.jpg"), "previous photo");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  // No half encoding is kept for a later save either.
  EXPECT_THROW(image.SaveToFile(dir / "out.jpg"), EJPEG);
}

TEST(TJPEGImageTest, UnwritableTargetFailsWithoutLeavingFiles) {
  TempDir dir;
  fs::create_directory(dir / "taken.jpg");  // a directory where the file should go
  TJPEGImage image;
  image.Assign(patternRaster(20, 20));
  const std::string message = messageOf([&] { image.SaveToFile(dir / "taken.jpg"); });
  EXPECT_NE(message.find("taken.jpg"), std::string::npos) << message;
  EXPECT_TRUE(fs::is_directory(dir / "taken.jpg"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  EXPECT_THROW(image.SaveToFile(dir / "no-such-dir" / "out.jpg"), Failure);
}

}  // namespace
}  // namespace snapfolio
