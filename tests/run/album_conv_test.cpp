// The conversion run through a recording port: validation, output files and names, messages,
// gauges, the stop request, the settings written at run start and end, and the guards against
// overwriting photos and saving a picture that was not made.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QImageReader>

#include <sys/inotify.h>
#include <unistd.h>

#include "run/album_conv.h"
#include "settings/ini_file.h"
#include "support/fixtures.h"
#include "support/make_photo.h"
#include "support/recording_port.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::RecordingPort;
using test::TempDir;

QSize imageSize(const fs::path& path) {
  QImageReader reader(QString::fromStdString(path.string()));
  return reader.size();
}

class AlbumConvTest : public ::testing::Test {
 protected:
  // The album page on, listing each photo's name, image sizes and date.
  void pageOn() {
    port.options.album.htmlCnv = true;
    port.options.album.htmlTemplateFile = (dir / "template.dat").string();
    test::writeFile(dir / "template.dat",
                    "<!--$LOOP-->$FILENAME $IMG1Wx$IMG1H $IMG2Wx$IMG2H;<!--$/LOOP-->");
  }
  void SetUp() override {
    fs::create_directory(dir / "in");
    fs::create_directory(dir / "out");
    port.options.outputDir = (dir / "out").string();
    port.options.image[0] = {true, "150", "t_", "", false, false};
    port.options.image[1] = {true, "640", "", "_l", false, false};
    settings = (dir / "Snapfolio.ini").string();
  }
  std::string photo(const std::string& name, int w = 320, int h = 240) {
    fs::path path = dir / "in" / name;
    test::makePhoto(path, w, h);
    return path.string();
  }
  RunSummary ok() { return OKButtonClick(port.request(), port, workspace, settings); }
  fs::path out(const std::string& name) { return dir / "out" / name; }
  std::string stored(const char* section, const char* key) {
    return TIniFile(settings).ReadString(section, key, "<absent>");
  }

  TempDir dir;
  RecordingPort port;
  Workspace workspace;
  std::string settings;
};

TEST_F(AlbumConvTest, ValidationMessages) {
  struct Case {
    bool gazou1, gazou2, html;
    const char *width1, *width2, *prefix1;
    const char* message;  // empty: the run starts
  };
  const Case cases[] = {
      {true, false, false, "150", "640", "",
       "画像1画像2を区別するためにファイル名の前後いずれかに文字を設定してください。"},
      {false, false, false, "150", "", "",
       "いずれの画像も指定されていない為に画像の変換は行われません。"},
      {true, true, false, "150", "", "x", "出力する画像の横幅を指定してください。"},
      {false, true, false, "150", "", "x", "出力する画像の横幅を指定してください。"},
  };
  for (const Case& c : cases) {
    RecordingPort p;
    p.options.image[0] = {c.gazou1, c.width1, c.prefix1, "", false, false};
    p.options.image[1] = {c.gazou2, c.width2, "", "", false, false};
    p.options.album.htmlCnv = c.html;
    RunSummary summary = OKButtonClick(p.request(), p, workspace, settings);
    EXPECT_FALSE(summary.started);
    EXPECT_EQ(p.messages, std::vector<std::string>{std::string("Snapfolio: ") + c.message});
    EXPECT_FALSE(fs::exists(settings)) << "validation must write nothing";
  }
}

TEST_F(AlbumConvTest, OneWidthWithoutAffixesKeepsThePhotoNames) {
  port.options.image[0] = {true, "150", "", "", false, false};
  port.options.image[1] = {false, "", "", "", false, false};
  port.selection = std::vector<std::string>{photo("a.jpg")};
  RunSummary summary = ok();
  EXPECT_TRUE(summary.started);
  EXPECT_FALSE(summary.failed) << ::testing::PrintToString(port.messages);
  EXPECT_EQ(imageSize(out("a.jpg")), QSize(150, 112));
}

TEST_F(AlbumConvTest, WritesBothImagesOfEveryPhotoAndStoresTheOptions) {
  port.selection = std::vector<std::string>{photo("a.jpg", 1600, 1200), photo("c.JPG", 1200, 1600),
                                            photo("noext", 400, 300)};
  RunSummary summary = ok();
  ASSERT_FALSE(summary.failed) << ::testing::PrintToString(port.messages);
  EXPECT_EQ(summary.imagesWritten, 6);
  EXPECT_EQ(imageSize(out("t_a.jpg")), QSize(150, 112));
  EXPECT_EQ(imageSize(out("a_l.jpg")), QSize(640, 480));
  EXPECT_EQ(imageSize(out("t_c.JPG")), QSize(150, 200));
  EXPECT_EQ(imageSize(out("c_l.JPG")), QSize(640, 853));
  EXPECT_EQ(imageSize(out("t_noext")), QSize(150, 112));
  EXPECT_EQ(imageSize(out("noext_l")), QSize(640, 480));
  EXPECT_EQ(port.status[0], "変換終了");
  // 3N + 3N, nothing else switched on.
  EXPECT_EQ(port.gauges[0].maximum(), 18);
  EXPECT_EQ(port.gauges[0].value(), 18);
  EXPECT_EQ(port.photosStarted, 3);

  EXPECT_EQ(stored("InOutFile", "OUTDIR"), port.options.outputDir);
  EXPECT_EQ(stored("InOutFile", "INDIR"), (dir / "in" / "a.jpg").string());
  EXPECT_EQ(stored("Pict1Options", "PRIFN1"), "t_");
  EXPECT_EQ(stored("Pict1Options", "GAZOU1"), "1");
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "150");
  EXPECT_EQ(stored("Pict2Options", "AFTFN2"), "_l");
  EXPECT_EQ(stored("OutStyl", "HTMLCK"), "0");
  EXPECT_EQ(stored("Snapfolio", "TOP"), "0");
}

TEST_F(AlbumConvTest, GaugeMaximumCountsEverySwitch) {
  RunOptions options;
  options.image[0] = {true, "150", "a", "", true, true};
  options.image[1] = {true, "640", "b", "", true, true};
  options.album.htmlCnv = true;
  EXPECT_EQ(overallGaugeMaximum(options, 5), 11 * 5 + 1);
  options.image[1].produce = false;  // its switches still count
  EXPECT_EQ(overallGaugeMaximum(options, 5), 8 * 5 + 1);
}

TEST_F(AlbumConvTest, SecondRunStartsTheGaugeAtOne) {
  port.selection = std::vector<std::string>{photo("a.jpg")};
  ok();
  ASSERT_EQ(port.gauges[0].value(), 6);
  port.calls.clear();
  ok();
  auto first = std::find(port.calls.begin(), port.calls.end(), "overall progress.max = 1");
  ASSERT_NE(first, port.calls.end());
  EXPECT_EQ(port.gauges[0].value(), 6);
}

TEST_F(AlbumConvTest, CancelledSelectionStoresTheOptionsOnly) {
  port.selection.reset();
  port.status[0] = "before";
  RunSummary summary = ok();
  EXPECT_TRUE(summary.started);
  EXPECT_EQ(port.status[0], "before");
  EXPECT_EQ(port.gauges[0].maximum(), 1);
  EXPECT_EQ(stored("InOutFile", "INDIR"), "");
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "150");
  EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(AlbumConvTest, SaveFailureOfTheSecondPhotoStopsTheRun) {
  std::string a = photo("a.jpg"), b = photo("b.jpg"), c = photo("c.jpg");
  // A directory under the output name of b's image 1 makes that save fail.
  fs::create_directory(out("t_b.jpg"));
  port.selection = std::vector<std::string>{a, b, c};
  port.options.album.htmlCnv = true;
  port.options.album.htmlTemplateFile = (dir / "template.dat").string();
  test::writeFile(dir / "template.dat", "<p>$TITLE</p>");
  port.options.album.htmlFile = "index.html";
  RunSummary summary = ok();
  EXPECT_TRUE(summary.failed);
  EXPECT_EQ(port.errors(), std::vector<std::string>{"0008 : " + b +
                                                    "のJPEGの格納に失敗した。\n"
                                                    "同じ名前のフォルダがある。(Is a directory)"});
  EXPECT_TRUE(fs::exists(out("t_a.jpg")));
  EXPECT_TRUE(fs::exists(out("a_l.jpg")));
  EXPECT_FALSE(fs::exists(out("b_l.jpg")));
  EXPECT_FALSE(fs::exists(out("t_c.jpg")));
  EXPECT_FALSE(fs::exists(out("index.html")));
  // Run-start keys survive, run-end keys are not written.
  EXPECT_EQ(stored("Pict1Options", "PRIFN1"), "t_");
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "<absent>");
  // No temporary file is left next to the outputs.
  for (const auto& entry : fs::directory_iterator(dir / "out")) {
    EXPECT_TRUE(entry.path().filename() == "t_a.jpg" || entry.path().filename() == "a_l.jpg" ||
                entry.path().filename() == "t_b.jpg")
        << entry.path();
  }
}

TEST_F(AlbumConvTest, AFailedPhotoIsSkippedAndTheRunGoesOn) {
  std::string broken = (dir / "in" / "broken.jpg").string();
  test::writeFile(broken, "not a jpeg");
  fs::path stale = out("t_broken.jpg");
  port.selection = std::vector<std::string>{photo("a.jpg"), broken, photo("c.jpg", 240, 320)};
  pageOn();
  RunSummary summary = ok();
  EXPECT_TRUE(summary.failed);
  // The page (an empty name is index.html) leaves the broken photo out.
  EXPECT_EQ(test::readFile(out("index.html")),
            "<!--$LOOP-->a.jpg 150x112 640x480;<!---->c.jpg 150x200 640x853;<!--$/LOOP-->");
  // Said once, though two output images were asked of the photo.
  EXPECT_EQ(port.errors(), std::vector<std::string>{"0101 : " + broken +
                                                    "の読み込みに失敗した。\nJPEGファイルではない。"
                                                    "(Not a JPEG file: starts with 0x6e 0x6f)"});
  EXPECT_FALSE(fs::exists(stale)) << "the previous photo's picture was saved under its name";
  EXPECT_FALSE(fs::exists(out("broken_l.jpg")));
  EXPECT_TRUE(fs::exists(out("t_c.jpg")));
  EXPECT_EQ(port.status[0], "変換終了");
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "150");
}

// A failure of one photo's own (its size, its name, its file gone) shows its message with the
// cause, and the run goes on. The page lists the photos made, links them by their names' bytes
// and dates them as they were converted, also a photo deleted since.
TEST_F(AlbumConvTest, APhotosOwnFailureSkipsItAndTheRunGoesOn) {
  pageOn();
  test::writeFile(dir / "template.dat",
                  "<!--$LOOP-->$JPEG1 $IMG1Wx$IMG1H $IMG2Wx$IMG2H;<!--$/LOOP-->");
  const std::string wide = photo("wide.jpg", 60000, 1);
  const std::string longName = photo(std::string(251, 'n') + ".jpg");  // the affixes overflow it
  const std::string latin1 = (dir / "in" / "caf\xE9.jpg").string();
  fs::rename(photo("latin1.jpg"), latin1);  // named by its bytes, past Qt's file names
  const std::string goneBefore = photo("gone-before.jpg");
  const std::string goneAfter = photo("gone-after.jpg");
  const std::string empty = photo("empty.jpg");
  test::writeFile(empty, "");  // fails once, not once per image
  port.selection = std::vector<std::string>{wide,      longName, latin1,
                                            goneBefore, goneAfter, empty, photo("last.jpg")};
  // Photos are read ahead of their turn: one is gone before the run reads it, the other after.
  fs::remove(goneBefore);
  port.onPhotoStarts = [&](int index) {
    if (index == 5) fs::remove(goneAfter);
  };
  RunSummary summary = ok();
  EXPECT_TRUE(summary.failed);
  const std::string tooLong =
      "のJPEGの格納に失敗した。\nファイル名が長すぎる。(File name too long)";
  const std::string gone = "0100 : タイムスタンプの作成に失敗した。\n" + goneBefore +
                           " : ファイルが存在しない。(No such file or directory)";
  EXPECT_EQ(port.errors(),
            (std::vector<std::string>{
                "0008 : " + longName + tooLong, "000C : " + longName + tooLong, gone,
                "0101 : " + empty + "の読み込みに失敗した。\n写真に画像がない(空のファイル)。"}));
  EXPECT_EQ(test::readFile(out("index.html")),
            "<!--$LOOP-->t_wide.jpg 150x1 640x1;<!---->t_caf%E9.jpg 150x112 640x480;<!---->"
            "t_gone-after.jpg 150x112 640x480;<!---->t_last.jpg 150x112 640x480;<!--$/LOOP-->");
  EXPECT_EQ(imageSize(out("t_wide.jpg")), QSize(150, 1));
  EXPECT_TRUE(fs::exists(out("caf\xE9_l.jpg")));
  EXPECT_EQ(summary.imagesWritten, 8);
  EXPECT_EQ(port.status[0], "変換終了");
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "150");
}

// A failure of the output place ends the run: the next photo would meet it again.
TEST_F(AlbumConvTest, OutputFolderGoneEndsTheRun) {
  pageOn();
  const std::string b = photo("b.jpg");
  port.selection = std::vector<std::string>{photo("a.jpg"), b, photo("c.jpg")};
  port.onPhotoStarts = [&](int index) {
    if (index == 1) fs::remove_all(dir / "out");
  };
  RunSummary summary = ok();
  EXPECT_TRUE(summary.failed);
  EXPECT_EQ(port.errors(),
            std::vector<std::string>{"0008 : " + b +
                                     "のJPEGの格納に失敗した。\n"
                                     "フォルダが存在しない。(No such file or directory)"});
  EXPECT_EQ(port.photosStarted, 2);
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "<absent>");
}

TEST_F(AlbumConvTest, DamagedPhotosConvertWithOneWarningEachAndAListAtTheEnd) {
  auto cut = [&](const std::string& name, double keep) {
    const std::string whole = test::readFile(photo(name));
    test::writeFile(dir / "in" / name,
                    whole.substr(0, static_cast<std::size_t>(whole.size() * keep)));
    return (dir / "in" / name).string();
  };
  const std::string half = cut("half.jpg", 0.5), most = cut("most.jpg", 0.9);
  port.selection = std::vector<std::string>{photo("a.jpg"), half, most, photo("d.jpg")};
  RunSummary summary = ok();
  EXPECT_FALSE(summary.failed);
  EXPECT_EQ(summary.imagesWritten, 8);
  EXPECT_EQ(summary.damagedPhotos, 2);
  // The window is not stopped at each damaged photo: the status line says it, once per photo
  // although both output images decode it.
  std::vector<std::string> warnings;
  for (const std::string& call : port.calls) {
    if (call.starts_with("overall status = 0103 : ")) warnings.push_back(call);
  }
  const std::string cause = "データが途中で終わっている。(Premature end of JPEG file)";
  EXPECT_EQ(
      warnings,
      (std::vector<std::string>{
          "overall status = 0103 : " + half + "の一部が読めないため、補って変換した。 " + cause,
          "overall status = 0103 : " + most + "の一部が読めないため、補って変換した。 " + cause}));
  EXPECT_EQ(port.messages,
            std::vector<std::string>{
                "Snapfolio: 一部が読めない写真が2枚あり、読めない部分を補って変換しました。"
                "元の写真を確認してください。\n" +
                half + " : " + cause + "\n" + most + " : " + cause});
  EXPECT_EQ(port.status[0], "変換終了");
}

TEST_F(AlbumConvTest, StopRequestEndsThePhotoLoopOnly) {
  port.selection = std::vector<std::string>{photo("a.jpg"), photo("b.jpg"), photo("c.jpg")};
  port.stopAtPhoto = 1;
  port.stop = true;  // set before the run: the run clears it at its start
  pageOn();
  ok();
  EXPECT_EQ(test::readFile(out("index.html")), "<!--$LOOP-->a.jpg 150x112 640x480;<!--$/LOOP-->");
  EXPECT_TRUE(fs::exists(out("t_a.jpg")));
  EXPECT_FALSE(fs::exists(out("t_b.jpg")));
  EXPECT_EQ(port.photosStarted, 1);
  EXPECT_FALSE(port.stop);
  EXPECT_EQ(port.status[0], "変換終了");
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "150");
}

TEST_F(AlbumConvTest, NeverOverwritesAChosenPhoto) {
  port.options.outputDir = (dir / "in").string();
  port.options.image[0] = {true, "150", "", "", false, false};
  port.options.image[1] = {false, "", "", "", false, false};
  std::string a = photo("a.jpg");
  const std::string original = test::readFile(a);
  port.selection = std::vector<std::string>{a};
  RunSummary summary = ok();
  EXPECT_TRUE(summary.failed);
  ASSERT_EQ(port.errors().size(), 1u);
  EXPECT_EQ(port.errors()[0].rfind("0014 : ", 0), 0u) << port.errors()[0];
  EXPECT_EQ(test::readFile(a), original);
  EXPECT_EQ(stored("Pict1Options", "WIDTH1"), "<absent>");
}

TEST_F(AlbumConvTest, NeverWritesTwoOutputsUnderOneName) {
  port.options.image[0] = {true, "150", "x_", "", false, false};
  port.options.image[1] = {true, "640", "x_", "", false, false};
  port.selection = std::vector<std::string>{photo("a.jpg")};
  RunSummary summary = ok();
  EXPECT_TRUE(summary.failed);
  ASSERT_EQ(port.errors().size(), 1u);
  EXPECT_EQ(port.errors()[0].rfind("0015 : ", 0), 0u) << port.errors()[0];
  EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(AlbumConvTest, LongNamesAreCutWithoutSplittingACharacter) {
  // 14 characters of three bytes: 42 bytes, cut to 13 characters (39 bytes).
  std::string name = "写真写真写真写真写真写真写真.jpg";
  port.options.image[1].produce = false;
  port.selection = std::vector<std::string>{photo(name)};
  ok();
  auto it = std::find(port.calls.begin(), port.calls.end(),
                      "overall status = 写真写真写真写真写真写真写 読み込み中");
  EXPECT_NE(it, port.calls.end()) << ::testing::PrintToString(port.calls);
}

TEST_F(AlbumConvTest, HtmlOnlyRunWritesNoImage) {
  port.options.image[0].produce = false;
  port.options.image[1].produce = false;
  port.options.album.htmlCnv = true;
  port.options.album.htmlFile = "index.html";
  port.options.album.htmlTemplateFile = (dir / "template.dat").string();
  test::writeFile(dir / "template.dat", "<!--$LOOP-->$FILENAME\n<!--$/LOOP-->");
  port.selection = std::vector<std::string>{photo("a.jpg"), photo("b.jpg")};
  RunSummary summary = ok();
  EXPECT_FALSE(summary.failed) << ::testing::PrintToString(port.messages);
  EXPECT_TRUE(summary.pageWritten);
  EXPECT_EQ(port.messages.front(),
            "Snapfolio: いずれの画像も指定されていない為にHTMLのみ出力します。");
  EXPECT_EQ(test::readFile(out("index.html")), "<!--$LOOP-->a.jpg\n<!---->b.jpg\n<!--$/LOOP-->");
  EXPECT_FALSE(fs::exists(out("a.jpg")));
  EXPECT_EQ(port.status[0], "変換終了");
  EXPECT_EQ(stored("OutStyl", "HTMLCK"), "1");
}

// A missing template is a plain message; the run ends normally, and its summary must not
// claim a page that was never written.
TEST_F(AlbumConvTest, MissingTemplateWritesImagesButNoPage) {
  port.options.album.htmlCnv = true;
  port.options.album.htmlFile = "index.html";
  port.options.album.htmlTemplateFile = (dir / "gone.dat").string();
  port.selection = std::vector<std::string>{photo("a.jpg")};
  RunSummary summary = ok();
  EXPECT_FALSE(summary.failed);
  EXPECT_FALSE(summary.pageWritten);
  EXPECT_EQ(summary.imagesWritten, 2);
  EXPECT_EQ(port.messages,
            std::vector<std::string>{"Snapfolio: テンプレートファイルが存在しません。\r\n" +
                                     (dir / "gone.dat").string()});
  EXPECT_FALSE(fs::exists(out("index.html")));
  EXPECT_EQ(port.status[0], "変換終了");
}

// The run stores its settings in two batches, one at its start and one at its end: the file is
// replaced twice (counted as renames onto its name), however many photos and keys.
TEST_F(AlbumConvTest, WritesTheSettingsFileTwicePerRun) {
  port.options.album.htmlCnv = true;
  port.selection = std::vector<std::string>{photo("a.jpg"), photo("b.jpg"), photo("c.jpg")};
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  // Creations too: the queue merges a repeated event with the one just before it.
  ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_MOVED_TO | IN_CREATE), 0);
  ok();
  int replaced = 0;
  alignas(inotify_event) char events[64 * 1024];
  for (ssize_t got; (got = ::read(watch, events, sizeof events)) > 0;) {
    for (char* at = events; at < events + got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      if ((event->mask & IN_MOVED_TO) != 0 && std::string(event->name) == "Snapfolio.ini") {
        ++replaced;
      }
      at += sizeof(inotify_event) + event->len;
    }
  }
  ::close(watch);
  EXPECT_EQ(replaced, 2);
  EXPECT_EQ(stored("OutStyl", "HTMLCK"), "1");
}

// A photo given as the settings file is left as it is: the run goes on with its options and
// writes its images.
TEST_F(AlbumConvTest, APhotoAsTheSettingsFileIsLeftAlone) {
  settings = photo("settings.jpg");
  const std::string before = test::readFile(settings);
  port.selection = std::vector<std::string>{photo("a.jpg")};
  RunSummary summary = ok();
  EXPECT_FALSE(summary.failed) << ::testing::PrintToString(port.messages);
  EXPECT_EQ(summary.imagesWritten, 2);
  EXPECT_EQ(test::readFile(settings), before);
}

}  // namespace
}  // namespace snapfolio
