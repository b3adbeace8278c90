// Photos as cameras make them, through the pipeline: the eight EXIF orientations (made from one
// real photo by jpegtran and exiftool), photos without metadata unchanged to the bit, broken
// EXIF blocks and profiles taking the plain path, never enlarge, and the stamp's date taken.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
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

struct Difference {
  double mean = 0;  // per channel
  int max = 0;
};

Difference difference(const Raster& a, const Raster& b) {
  Difference d;
  long long sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const std::uint32_t p = a.pixel(x, y), q = b.pixel(x, y);
      for (int c : {std::abs(redOf(p) - redOf(q)), std::abs(greenOf(p) - greenOf(q)),
                    std::abs(blueOf(p) - blueOf(q))}) {
        sum += c;
        d.max = std::max(d.max, c);
      }
    }
  }
  d.mean = static_cast<double>(sum) / (3.0 * a.width() * a.height());
  return d;
}

class PhotoOptionsTest : public ::testing::Test {
 protected:
  // The finished surface of output image 1, or an empty raster when the pipeline failed.
  Raster render(const fs::path& file, const std::string& width, const PhotoOptions& options,
                PipelineResult* result = nullptr) {
    port.options.photo = options;
    PipelineResult r = PhotDispSet(file.string(), width, 1, workspace, errorText, port);
    EXPECT_TRUE(r.ok) << file << ": " << ::testing::PrintToString(port.messages);
    if (result != nullptr) *result = r;
    return r.ok ? workspace.surface(1) : Raster();
  }

  test::TempDir dir;
  test::RecordingPort port;
  Workspace workspace;
  ErrorText errorText;
};

// --- The eight orientations -------------------------------------------------------------

struct OrientationCase {
  int orientation;
  std::vector<std::string> turn;  // jpegtran's turn from the upright photo to the stored one
};

class Orientations : public PhotoOptionsTest,
                     public ::testing::WithParamInterface<OrientationCase> {};

TEST_P(Orientations, ComeOutUprightAtTheWidthAskedFor) {
  const OrientationCase& c = GetParam();
  // A 128 x 96 crop on whole blocks of a real 4:2:0 photo, so that every turn is lossless.
  const fs::path upright = dir / "upright.jpg", stored = dir / "stored.jpg";
  runTool("jpegtran", {"-perfect", "-crop", "128x96+512+512", "-outfile", upright.string(),
                       test::photoPath("dslr-420.jpeg").string()});
  std::vector<std::string> args = {"-perfect"};
  args.insert(args.end(), c.turn.begin(), c.turn.end());
  args.insert(args.end(), {"-outfile", stored.string(), upright.string()});
  runTool("jpegtran", args);
  runTool("exiftool", {"-q", "-overwrite_original", "-n",
                       "-Orientation=" + std::to_string(c.orientation), stored.string()});

  // At full size and through the reduced DCT scale of small outputs.
  for (const char* width : {"128", "40"}) {
    const Raster expected = render(upright, width, kPlain);
    const Raster got = render(stored, width, PhotoOptions{});
    ASSERT_EQ(got.width(), expected.width()) << width;
    ASSERT_EQ(got.height(), expected.height()) << width;
    // Turning the coefficients instead of the pixels only moves the decoder's rounding.
    const Difference d = difference(got, expected);
    EXPECT_LT(d.mean, 0.5) << width;
    EXPECT_LE(d.max, 4) << width;
  }
  // Switched off, the photo keeps its stored shape.
  const Raster asStored = render(stored, "128", kPlain);
  EXPECT_EQ(asStored.height(), c.orientation >= 5 ? 170 : 96);
}

INSTANTIATE_TEST_SUITE_P(
    Exif, Orientations,
    ::testing::Values(OrientationCase{1, {}}, OrientationCase{2, {"-flip", "horizontal"}},
                      OrientationCase{3, {"-rotate", "180"}},
                      OrientationCase{4, {"-flip", "vertical"}}, OrientationCase{5, {"-transpose"}},
                      OrientationCase{6, {"-rotate", "270"}}, OrientationCase{7, {"-transverse"}},
                      OrientationCase{8, {"-rotate", "90"}}),
    [](const auto& p) { return std::to_string(p.param.orientation); });

// --- Photos without metadata, and broken metadata ---------------------------------------

class AsStored : public PhotoOptionsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(AsStored, ConvertExactlyAsWithTheOptionsOff) {
  const fs::path photo = test::photoPath(GetParam());
  PhotoOptions all;
  all.metadata = MetadataMode::KeepAll;
  EXPECT_EQ(render(photo, "150", all), render(photo, "150", kPlain));
}

// Orientation 1 in its EXIF, untagged colour, greyscale, CMYK without a profile, tiny, and an
// sRGB profile (which changes no colour by more than a level, so it is not applied).
INSTANTIATE_TEST_SUITE_P(Photos, AsStored,
                         ::testing::Values("phone-420.jpg", "dslr-420.jpeg", "grey.jpg",
                                           "cmyk.jpeg", "tiny.JPG", "icc-srgb-444.jpg"),
                         [](const auto& p) {
                           std::string name = p.param;
                           for (char& c : name) c = std::isalnum(c) ? c : '_';
                           return name;
                         });

struct Damage {
  const char* name;
  const char* photo;
  const char* marker;  // the bytes found in the file
  std::size_t offset;  // from the start of the marker
  std::string replacement;
};

class BrokenMetadata : public PhotoOptionsTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(BrokenMetadata, ConvertsOnThePlainPath) {
  const Damage& d = GetParam();
  std::string bytes = test::readFile(test::photoPath(d.photo));
  const std::size_t at = bytes.find(std::string(d.marker, std::strlen(d.marker) + 1));
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at + d.offset, d.replacement.size(), d.replacement);
  const fs::path photo = dir / "broken.jpg";
  test::writeFile(photo, bytes);

  PhotoOptions all;
  all.metadata = MetadataMode::KeepAll;
  PipelineResult result;
  EXPECT_EQ(render(photo, "150", all, &result), render(photo, "150", kPlain));
  EXPECT_TRUE(port.errors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Damages, BrokenMetadata,
    ::testing::Values(
        // The TIFF header of the EXIF block ("MM\0*" or "II*\0") overwritten.
        Damage{"ExifHeader", "portrait-exif6.jpg", "Exif", 6, "XX\x01\x02"},
        // The profile's own signature "acsp" (byte 36 of the profile) overwritten.
        Damage{"ProfileSignature", "icc-adobergb.jpg", "ICC_PROFILE", 14 + 36, "junk"},
        // The only chunk numbered 2 of 1.
        Damage{"ChunkNumber", "icc-adobergb.jpg", "ICC_PROFILE", 12, "\x02"},
        // An RGB profile that says it describes CMYK data (byte 16 of the profile).
        Damage{"ProfileColourSpace", "icc-adobergb.jpg", "ICC_PROFILE", 14 + 16, "CMYK"}),
    [](const auto& p) { return std::string(p.param.name); });

// --- Never enlarge ----------------------------------------------------------------------

struct EnlargeCase {
  const char* photo;
  const char* width;
  bool neverEnlarge;
  int expectedWidth, expectedHeight;
};

class NeverEnlarge : public PhotoOptionsTest, public ::testing::WithParamInterface<EnlargeCase> {};

TEST_P(NeverEnlarge, KeepsASmallPhotoAtItsOwnSize) {
  const EnlargeCase& c = GetParam();
  PhotoOptions options;
  options.neverEnlarge = c.neverEnlarge;
  const Raster surface = render(test::photoPath(c.photo), c.width, options);
  EXPECT_EQ(surface.width(), c.expectedWidth);
  EXPECT_EQ(surface.height(), c.expectedHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, NeverEnlarge,
    ::testing::Values(EnlargeCase{"tiny.JPG", "640", false, 640, 420},
                      EnlargeCase{"tiny.JPG", "640", true, 70, 46},
                      EnlargeCase{"tiny.JPG", "50", true, 50, 32},
                      // 640 x 428 stored, 428 x 640 upright: the upright width counts.
                      EnlargeCase{"portrait-exif6.jpg", "640", true, 428, 640},
                      EnlargeCase{"portrait-exif6.jpg", "300", true, 300, 448}));

// --- The stamp's date ----------------------------------------------

TEST_F(PhotoOptionsTest, StampShowsTheDateTakenToTheSecond) {
  const fs::path photo = dir / "taken.jpg";
  test::makePhoto(photo, 64, 48);
  runTool("exiftool",
          {"-q", "-overwrite_original", "-DateTimeOriginal=2019:01:02 03:04:05", photo.string()});
  port.format = "yyyy/mm/dd hh:nn:ss";
  PhotoOptions taken;
  taken.dateSource = DateSource::DateTaken;
  PipelineResult result;
  render(photo, "32", taken, &result);
  EXPECT_EQ(result.stampText, "2019/01/02 03:04:05");
}

}  // namespace
}  // namespace snapfolio
