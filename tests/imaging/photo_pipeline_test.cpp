// The photo pipeline through a recording port: target sizes, messages of each failing step,
// gauge advances, status texts and the surfaces reported ready.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include <QCoreApplication>
#include <QTranslator>

#include "imaging/photo_pipeline.h"
#include "support/fixtures.h"
#include "support/make_photo.h"
#include "support/recording_port.h"

namespace snapfolio {
namespace {

using test::RecordingPort;
using test::TempDir;

class PhotoPipelineTest : public ::testing::Test {
 protected:
  std::string photo(const std::string& name, int w, int h, std::int64_t flat = -1) {
    auto path = dir / name;
    test::makePhoto(path, w, h, flat);
    return path.string();
  }
  PipelineResult run(const std::string& file, const std::string& width, int n = 1) {
    return PhotDispSet(file, port.inputs(n), width, n, workspace, port);
  }

  TempDir dir;
  RecordingPort port;
  Workspace workspace;
};

struct SizeCase {
  int photoWidth, photoHeight;
  const char* widthText;
  int width, height;
};

class PipelineSizeTest : public PhotoPipelineTest,
                         public ::testing::WithParamInterface<SizeCase> {};

TEST_P(PipelineSizeTest, TargetSizeTruncatesTowardZero) {
  const SizeCase& c = GetParam();
  PipelineResult result = run(photo("p.jpg", c.photoWidth, c.photoHeight), c.widthText);
  EXPECT_TRUE(result.ok) << ::testing::PrintToString(port.messages);
  EXPECT_EQ(workspace.surface(1).width(), c.width);
  EXPECT_EQ(workspace.surface(1).height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PipelineSizeTest,
                         ::testing::Values(SizeCase{1600, 1200, "150", 150, 112},
                                           SizeCase{1600, 1200, "150.9", 150, 112},
                                           SizeCase{1600, 1200, " 150 ", 150, 112},
                                           SizeCase{1200, 1600, "150", 150, 200},
                                           SizeCase{3000, 10, "150", 150, 1},
                                           SizeCase{60000, 1, "150", 150, 1},
                                           SizeCase{70, 46, "640", 640, 420}));

TEST_F(PhotoPipelineTest, GaugeAdvancesTwicePlusOnePerSwitch) {
  std::string file = photo("g.jpg", 320, 240);
  run(file, "100");
  EXPECT_EQ(port.gaugeAdvances[0], 2);

  port.options.image[0].autoAdjust = true;
  port.options.image[0].timeStamp = true;
  port.gaugeAdvances[0] = 0;
  EXPECT_TRUE(run(file, "100").ok) << ::testing::PrintToString(port.messages);
  EXPECT_EQ(port.gaugeAdvances[0], 4);
}

TEST_F(PhotoPipelineTest, StatusTextsNameTheOutputFile) {
  port.options.image[0].prefix = "s_";
  port.options.image[0].suffix = "_t";
  port.options.image[0].autoAdjust = true;
  run(photo("IMG 1.jpg", 200, 100), "100");
  EXPECT_NE(
      std::find(port.calls.begin(), port.calls.end(), "overall status = s_IMG 1_t サイズ変換中"),
      port.calls.end());
  EXPECT_NE(
      std::find(port.calls.begin(), port.calls.end(), "overall status = s_IMG 1_t　画像補正中"),
      port.calls.end());
}

TEST_F(PhotoPipelineTest, ReportsEachSurfaceOnceItIsScaled) {
  run(photo("a.jpg", 1600, 1200), "150");
  run(photo("b.jpg", 400, 300), "600", 2);
  run((dir / "missing.jpg").string(), "150");  // fails before the scaling: not reported
  port.options.image[0].autoAdjust = true;
  EXPECT_TRUE(run(photo("wide.jpg", 3000, 10), "150").ok);
  EXPECT_EQ(port.readySurfaces, (std::vector<std::string>{"1: 150x112", "2: 600x450", "1: 150x1"}));
}

// Each cause of a failure: the step's message, then why, in Japanese and in English ("{P}"
// stands for the photo's path).
struct CauseCase {
  const char* name;
  const char* photo;  // a fixture's name, "good" (a sound photo), "missing" or "text"
  const char* widthText;
  const char* japanese;
  const char* english;
};

class PipelineCauseTest
    : public PhotoPipelineTest,
      public ::testing::WithParamInterface<std::tuple<CauseCase, bool /* English */>> {
 protected:
  void SetUp() override {
    if (std::get<1>(GetParam())) {
      ASSERT_TRUE(english.load(QStringLiteral(":/i18n/snapfolio_en.qm")));
      QCoreApplication::installTranslator(&english);
    }
  }
  void TearDown() override { QCoreApplication::removeTranslator(&english); }
  QTranslator english;
};

TEST_P(PipelineCauseTest, SaysTheStepAndWhy) {
  const auto& [c, inEnglish] = GetParam();
  std::string path = (dir / c.photo).string();
  if (c.photo == std::string("good")) path = photo("good.jpg", 160, 120);
  if (c.photo == std::string("text")) test::writeFile(path, "this is not a JPEG file at all");
  if (c.photo == std::string("png.jpg")) {
    test::writeFile(path, std::string("\x89PNG\r\n\x1A\nIHDR", 12));
  }
  if (c.photo == std::string("text-chunk.jpg")) {
    // A text chunk before the image data claiming 900 MB.
    test::writeFile(path,
                    std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x0C\0\0\0\x08\x08\x02\0\0\0"
                                "CRC!\x37\0\0\x13tEXtComment",
                                48));
  }
  if (std::string(c.photo).ends_with(".jpg") && c.photo != std::string("png.jpg") &&
      c.photo != std::string("text-chunk.jpg"))
    path = test::fixturePath(c.photo).string();
  ASSERT_TRUE(run(photo("before.jpg", 40, 30), "40").ok);
  const Raster before = workspace.surface(1);

  EXPECT_FALSE(run(path, c.widthText).ok);
  std::string expected = inEnglish ? c.english : c.japanese;
  expected.replace(expected.find("{P}"), 3, path);
  EXPECT_EQ(port.errors(), std::vector<std::string>{expected});
  // Failures before the surface is sized leave the previous picture in place.
  EXPECT_EQ(workspace.surface(1), before);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, PipelineCauseTest,
    ::testing::Combine(
        ::testing::Values(
            CauseCase{"Missing", "missing", "80",
                      "0100 : タイムスタンプの作成に失敗した。\n{P} : "
                      "ファイルが存在しない。(No such file or directory)",
                      "0100 : Could not make the time stamp.\n{P} : The file does not exist. (No "
                      "such file or directory)"},
            CauseCase{"NotJpeg", "text", "80",
                      "0101 : {P}の読み込みに失敗した。\nJPEGファイルではない。(Not a JPEG file: "
                      "starts with 0x74 0x68)",
                      "0101 : Could not read {P}.\nIt is not a JPEG file. (Not a JPEG file: starts "
                      "with 0x74 0x68)"},
            // Read as the PNG its content is, whose header is cut short.
            CauseCase{"PngNamedJpg", "png.jpg", "80",
                      "0101 : {P}の読み込みに失敗した。\n写真として読めない。(png: the header "
                      "cannot be read)",
                      "0101 : Could not read {P}.\nThe photo cannot be read. (png: the header "
                      "cannot be read)"},
            // Refused before the PNG reader allocates what the chunk claims.
            CauseCase{"PngChunkPastTheEnd", "text-chunk.jpg", "80",
                      "0101 : {P}の読み込みに失敗した。\n写真として読めない。(png: a chunk is "
                      "longer than the file)",
                      "0101 : Could not read {P}.\nThe photo cannot be read. (png: a chunk is "
                      "longer than the file)"},
            CauseCase{"Empty", "zero-byte.jpg", "80",
                      "0101 : {P}の読み込みに失敗した。\n写真に画像がない(空のファイル)。",
                      "0101 : Could not read {P}.\nThe photo holds no picture (an empty file)."},
            CauseCase{"PhotoOverPixelLimit", "oversized-header.jpg", "80",
                      "0101 : {P}の読み込みに失敗した。\n写真の画素数が多すぎる(65000 x "
                      "65000ピクセル、250000000画素まで)。",
                      "0101 : Could not read {P}.\nThe photo has too many pixels (65000 x 65000 "
                      "pixels; at most 250000000)."},
            CauseCase{"WidthNotANumber", "good", "abc",
                      "0101 : {P}の読み込みに失敗した。\n横幅「abc」が数値でない。",
                      "0101 : Could not read {P}.\nThe width \"abc\" is not a number."},
            CauseCase{
                "WidthBelowOne", "good", "-20",
                "0101 : "
                "{P}の読み込みに失敗した。\n横幅「-20」では画像が作れない(1以上の数値にする)。",
                "0101 : Could not read {P}.\nThe width \"-20\" makes no image (use a number "
                "of at least 1)."},
            CauseCase{"OutputOverPixelLimit", "good", "1000000",
                      "0101 : {P}の読み込みに失敗した。\n出力画像が大きすぎる(1000000 x "
                      "750000ピクセル、250000000画素まで)。",
                      "0101 : Could not read {P}.\nThe output image is too large (1000000 x "
                      "750000 pixels; at most 250000000)."}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_en" : "_ja");
    });

// A photo far wider than tall gives one row, which the correction measures like any other.
TEST_F(PhotoPipelineTest, AVeryWidePhotoGivesOneCorrectedRow) {
  port.options.image[0].autoAdjust = true;
  PipelineResult result = run(photo("wide.jpg", 60000, 1), "150");
  EXPECT_TRUE(result.ok) << ::testing::PrintToString(port.messages);
  EXPECT_EQ(workspace.surface(1).height(), 1);
}

TEST_F(PhotoPipelineTest, StampTextIsMadeAlsoWithTheStampOff) {
  std::string file = photo("t.jpg", 100, 100);
  std::filesystem::last_write_time(
      file, std::filesystem::file_time_type::clock::now());  // any time; the format decides
  port.format = "\"fixed\"";
  PipelineResult result = run(file, "50");
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.stampText, "fixed");
  EXPECT_FALSE(result.stampRect.has_value());
}

TEST_F(PhotoPipelineTest, StampIsDrawnInsideTheSurface) {
  port.options.image[0].timeStamp = true;
  port.styles[0].position = 1;
  PipelineResult result = run(photo("s.jpg", 640, 480, 0x000000), "640");
  ASSERT_TRUE(result.ok) << ::testing::PrintToString(port.messages);
  ASSERT_TRUE(result.stampRect.has_value());
  EXPECT_EQ(result.stampRect->x, 0);
  EXPECT_EQ(result.stampRect->y, 0);
  EXPECT_GT(result.stampRect->width, 0);
}

}  // namespace
}  // namespace snapfolio

namespace snapfolio {
namespace {

// Both output images of a photo read and decoded once are those of two separate readings
// decoded for the same size: the shared decoding (and its conversion to sRGB, made once) serves
// the second image unchanged, whatever the photo's colour, profile and orientation.
class SharedDecoding : public ::testing::TestWithParam<const char*> {};

TEST_P(SharedDecoding, SecondImageAsIfReadAlone) {
  const std::string file = test::photoPath(GetParam()).string();
  RecordingPort port;
  PipelineInputs inputs;
  Raster shared[2], alone[2];
  const char* widths[2] = {"150", "640"};
  PhotoSource source(file, inputs.photo);
  for (const char* width : widths) source.decodeFor(*source.outputSize(width));
  for (int n = 0; n < 2; ++n) {
    ASSERT_TRUE(PhotDispSet(source, inputs, widths[n], n + 1, shared[n], port).ok);
    PhotoSource own(file, inputs.photo);
    own.decodeFor(*source.outputSize("640"));
    ASSERT_TRUE(PhotDispSet(own, inputs, widths[n], n + 1, alone[n], port).ok);
  }
  EXPECT_EQ(shared[0], alone[0]);
  EXPECT_EQ(shared[1], alone[1]);
  EXPECT_GT(shared[1].width(), shared[0].width());
}

INSTANTIATE_TEST_SUITE_P(Photos, SharedDecoding,
                         ::testing::Values("icc-adobergb.jpg", "cmyk.jpeg", "portrait-exif6.jpg",
                                           "dslr-420.jpeg"));

}  // namespace
}  // namespace snapfolio
