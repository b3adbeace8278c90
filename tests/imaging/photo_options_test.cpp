// Photos as cameras make them, through the pipeline: the eight EXIF orientations (made from one
// real photo by jpegtran and exiftool), photos without metadata or with broken metadata exactly
// as with the options off, never enlarge, and the stamp's date taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/photo_pipeline.h"
#include "support/fixtures.h"
#include "support/make_photo.h"
#include "support/recording_port.h"
#include "support/tools.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::runTool;

// Every option that reads more than the pixels switched off: the designed pipeline.
constexpr PhotoOptions kPlain{false, false, DateSource::FileTime, MetadataMode::None, false};
constexpr PhotoOptions kAll{true, true, DateSource::DateTaken, MetadataMode::KeepAll, false};

class PhotoOptionsTest : public ::testing::Test {
 protected:
  Raster render(const fs::path& file, const std::string& width, const PhotoOptions& options) {
    port.options.photo = options;
    result = PhotDispSet(file.string(), port.inputs(1), width, 1, workspace, port);
    EXPECT_TRUE(result.ok) << file << ": " << ::testing::PrintToString(port.messages);
    return workspace.surface(1);
  }

  test::TempDir dir;
  test::RecordingPort port;
  Workspace workspace;
  PipelineResult result;
};

struct OrientationCase {
  int orientation;
  std::vector<std::string> turn;  // jpegtran's turn from the upright photo to the stored one
};

class Orientations : public PhotoOptionsTest,
                     public ::testing::WithParamInterface<OrientationCase> {};

TEST_P(Orientations, ComeOutUprightAtTheWidthAskedFor) {
  // A 128 x 96 crop on whole blocks of a real 4:2:0 photo, so that every turn is lossless.
  const fs::path upright = dir / "upright.jpg", stored = dir / "stored.jpg";
  runTool("jpegtran", {"-perfect", "-crop", "128x96+512+512", "-outfile", upright.string(),
                       test::photoPath("dslr-420.jpeg").string()});
  std::vector<std::string> args = GetParam().turn;
  args.insert(args.end(), {"-perfect", "-outfile", stored.string(), upright.string()});
  runTool("jpegtran", args);
  runTool("exiftool", {"-q", "-overwrite_original", "-n",
                       "-Orientation=" + std::to_string(GetParam().orientation), stored.string()});

  // At full size and through the reduced DCT scale of small outputs.
  for (const char* width : {"128", "40"}) {
    const Raster expected = render(upright, width, kPlain);
    const Raster got = render(stored, width, PhotoOptions{});
    ASSERT_EQ(got.width(), expected.width());
    ASSERT_EQ(got.height(), expected.height());
    // Turning the coefficients instead of the pixels only moves the decoder's rounding.
    long long sum = 0;
    int worst = 0;
    for (int y = 0; y < got.height(); ++y) {
      for (int x = 0; x < got.width(); ++x) {
        for (int shift : {0, 8, 16}) {
          const int d = std::abs(int(got.pixel(x, y) >> shift & 0xFF) -
                                 int(expected.pixel(x, y) >> shift & 0xFF));
          worst = std::max(worst, d);
          sum += d;
        }
      }
    }
    EXPECT_LE(worst, 4) << width;
    EXPECT_LT(double(sum) / (3.0 * got.width() * got.height()), 0.5) << width;
  }
  // Switched off, the photo keeps its stored shape.
  EXPECT_EQ(render(stored, "128", kPlain).height(), GetParam().orientation >= 5 ? 170 : 96);
}

INSTANTIATE_TEST_SUITE_P(
    Exif, Orientations,
    ::testing::Values(OrientationCase{1, {}}, OrientationCase{2, {"-flip", "horizontal"}},
                      OrientationCase{3, {"-rotate", "180"}},
                      OrientationCase{4, {"-flip", "vertical"}}, OrientationCase{5, {"-transpose"}},
                      OrientationCase{6, {"-rotate", "270"}}, OrientationCase{7, {"-transverse"}},
                      OrientationCase{8, {"-rotate", "90"}}),
    [](const auto& p) { return std::to_string(p.param.orientation); });

// A photo as it is, or with bytes overwritten after the first occurrence of `marker` + "\0".
struct AsStoredCase {
  const char* name;
  const char* photo;
  const char* marker = nullptr;
  std::size_t offset = 0;
  std::string replacement = {};
};

class AsStored : public PhotoOptionsTest, public ::testing::WithParamInterface<AsStoredCase> {};

TEST_P(AsStored, ConvertsExactlyAsWithTheOptionsOff) {
  const AsStoredCase& c = GetParam();
  fs::path photo = test::photoPath(c.photo);
  if (c.marker != nullptr) {
    std::string bytes = test::readFile(photo);
    const std::size_t at = bytes.find(std::string(c.marker) + '\0');
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at + c.offset, c.replacement.size(), c.replacement);
    photo = dir / "broken.jpg";
    test::writeFile(photo, bytes);
  }
  EXPECT_EQ(render(photo, "150", kAll), render(photo, "150", kPlain));
  EXPECT_TRUE(port.errors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Photos, AsStored,
    ::testing::Values(
        // Orientation 1 in its EXIF, untagged colour, grey, CMYK without a profile, tiny, and an
        // sRGB profile (which is recognised and not applied).
        AsStoredCase{"Phone", "phone-420.jpg"}, AsStoredCase{"Untagged", "dslr-420.jpeg"},
        AsStoredCase{"Grey", "grey.jpg"}, AsStoredCase{"Cmyk", "cmyk.jpeg"},
        AsStoredCase{"Tiny", "tiny.JPG"}, AsStoredCase{"Srgb", "icc-srgb-444.jpg"},
        // The TIFF header of the EXIF block ("MM\0*" or "II*\0") overwritten.
        AsStoredCase{"BrokenExif", "portrait-exif6.jpg", "Exif", 6, "XX\x01\x02"},
        // The profile's signature "acsp" (byte 36 of the profile) overwritten; the only chunk
        // numbered 2 of 1; an RGB profile saying it describes CMYK (byte 16).
        AsStoredCase{"ProfileSignature", "icc-adobergb.jpg", "ICC_PROFILE", 14 + 36, "junk"},
        AsStoredCase{"ChunkNumber", "icc-adobergb.jpg", "ICC_PROFILE", 12, "\x02"},
        AsStoredCase{"ProfileColourSpace", "icc-adobergb.jpg", "ICC_PROFILE", 14 + 16, "CMYK"}),
    [](const auto& p) { return std::string(p.param.name); });

struct EnlargeCase {
  const char* photo;
  const char* width;
  bool neverEnlarge;
  int expectedWidth, expectedHeight;
};

class NeverEnlarge : public PhotoOptionsTest, public ::testing::WithParamInterface<EnlargeCase> {};

TEST_P(NeverEnlarge, KeepsASmallPhotoAtItsOwnSize) {
  PhotoOptions options;
  options.neverEnlarge = GetParam().neverEnlarge;
  const Raster surface = render(test::photoPath(GetParam().photo), GetParam().width, options);
  EXPECT_EQ(surface.width(), GetParam().expectedWidth);
  EXPECT_EQ(surface.height(), GetParam().expectedHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, NeverEnlarge,
    ::testing::Values(EnlargeCase{"tiny.JPG", "640", false, 640, 420},
                      EnlargeCase{"tiny.JPG", "640", true, 70, 46},
                      EnlargeCase{"tiny.JPG", "50", true, 50, 32},
                      // 640 x 428 stored, 428 x 640 upright: the upright width counts.
                      EnlargeCase{"portrait-exif6.jpg", "640", true, 428, 640},
                      EnlargeCase{"portrait-exif6.jpg", "300", true, 300, 448}));

TEST_F(PhotoOptionsTest, StampShowsTheDateTakenToTheSecond) {
  const fs::path photo = dir / "taken.jpg";
  test::makePhoto(photo, 64, 48);
  runTool("exiftool",
          {"-q", "-overwrite_original", "-DateTimeOriginal=2019:01:02 03:04:05", photo.string()});
  port.format = "yyyy/mm/dd hh:nn:ss";
  render(photo, "32", kAll);
  EXPECT_EQ(result.stampText, "2019/01/02 03:04:05");
}

}  // namespace
}  // namespace snapfolio
