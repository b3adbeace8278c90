// The photo pipeline through a recording port: target sizes, messages of each failing step,
// gauge advances, status texts and the surfaces reported ready.
#include <gtest/gtest.h>

#include <string>

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
    return PhotDispSet(file, width, n, workspace, errorText, port);
  }

  TempDir dir;
  RecordingPort port;
  Workspace workspace;
  ErrorText errorText;
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

TEST_F(PhotoPipelineTest, EachFailingStepShowsItsMessage) {
  std::string good = photo("good.jpg", 160, 120);
  ASSERT_TRUE(run(good, "80").ok);
  const Raster before = workspace.surface(1);

  std::string missing = (dir / "missing.jpg").string();
  EXPECT_FALSE(run(missing, "80").ok);
  std::string notJpeg = (dir / "text.jpg").string();
  test::writeFile(notJpeg, "this is not a JPEG file at all");
  EXPECT_FALSE(run(notJpeg, "80").ok);
  EXPECT_FALSE(run(good, "abc").ok);
  EXPECT_FALSE(run(good, "0").ok);
  EXPECT_FALSE(run(good, "-20").ok);
  EXPECT_FALSE(run(good, "1000000").ok);  // 1000000 x 750000 pixels cannot be held

  EXPECT_EQ(port.errors(), (std::vector<std::string>{
                               "0100 : タイムスタンプの作成に失敗した。\n"
                               "ファイルが見つからない。(No such file or directory)",
                               "0101 : " + notJpeg + "の読み込みに失敗した。",
                               "0101 : " + good + "の読み込みに失敗した。",
                               "0101 : " + good + "の読み込みに失敗した。",
                               "0101 : " + good + "の読み込みに失敗した。",
                               "0101 : " + good + "の読み込みに失敗した。",
                           }));
  // Failures before the surface is sized leave the previous picture in place.
  EXPECT_EQ(workspace.surface(1), before);
}

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
