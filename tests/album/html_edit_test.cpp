// HtmlEdit: reading the template, writing the page through a temporary file, and the messages
// of the album step.
#include "album/html_edit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "album/album_test_util.h"
#include "album/html_analize.h"
#include "core/failure.h"
#include "core/translation.h"
#include "support/fixtures.h"
#include "support/recording_port.h"

namespace snapfolio::test {
namespace {

namespace fs = std::filesystem;

class HtmlEditTest : public testing::Test {
 protected:
  HtmlEditTest() {
    fs::create_directory(dir_ / "out");
    input_.templatePath = (dir_ / "album.dat").string();
    input_.pageFileName = "album.html";
    input_.outputDir = (dir_ / "out").string();
    input_.page = pageInput(photosNamed({"a.jpg", "b.jpg"}));
    input_.page.progressStep = [this] { ++progress_; };
  }

  bool run() { return HtmlEdit(input_, port_, fakeClock()); }

  // Runs and expects a failure; returns what the run's handler shows (the message, and the
  // cause below it when there is one).
  std::string failure() {
    return shown([&] { run(); });
  }
  template <typename Call>
  static std::string shown(Call&& call) {
    try {
      call();
    } catch (const StepFailure& e) {
      return withCause(e.message(), e.cause());
    }
    ADD_FAILURE() << "no failure";
    return {};
  }

  fs::path page() const { return dir_ / "out" / "album.html"; }

  // The names in the output directory: no temporary file may stay behind.
  std::vector<std::string> outputFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "out")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir dir_;
  HtmlEditInput input_;
  RecordingPort port_;
  int progress_ = 0;
};

TEST_F(HtmlEditTest, WritesTheExpandedTemplate) {
  writeFile(input_.templatePath, "<h1>$TITLE</h1>\r\n<!--$LOOP--><p>$FILENAME</p><!--$/LOOP-->");
  EXPECT_TRUE(run());
  EXPECT_EQ(readFile(page()),
            "<h1>Trip</h1>\r\n<!--$LOOP--><p>a.jpg</p><!----><p>b.jpg</p><!--$/LOOP-->");
  EXPECT_TRUE(port_.messages.empty());
}

TEST_F(HtmlEditTest, EmptyTemplateGivesAnEmptyPage) {
  writeFile(input_.templatePath, "");
  writeFile(page(), "earlier page");
  run();
  EXPECT_TRUE(fs::exists(page()));
  EXPECT_EQ(readFile(page()), "");
}

TEST_F(HtmlEditTest, WorkedExampleThroughFiles) {
  writeFile(input_.templatePath, kWorkedExample);
  input_.page.photos = photosNamed({"a.jpg", "b.jpg", "c.JPG", "d.jpg"});
  run();
  EXPECT_EQ(readFile(page()), expand(kWorkedExample, input_.page).page);
  EXPECT_EQ(progress_, 8);
}

TEST_F(HtmlEditTest, ReplacesAnEarlierPageKeepingItsPermissions) {
  writeFile(page(), "an older page that is longer than the new one");
  fs::permissions(page(), fs::perms(0640));
  writeFile(input_.templatePath, "new");
  run();
  EXPECT_EQ(readFile(page()), "new");
  EXPECT_EQ(fs::status(page()).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(outputFiles(), std::vector<std::string>{"album.html"});
}

TEST_F(HtmlEditTest, SeparatorIsAlwaysInserted) {
  writeFile(input_.templatePath, "x");
  input_.outputDir += "/";
  run();
  EXPECT_EQ(readFile(page()), "x");
}

TEST_F(HtmlEditTest, MissingTemplateIsAPlainMessageAndNoPage) {
  input_.templatePath = (dir_ / "none.dat").string();
  bool written = true;
  EXPECT_NO_THROW(written = run());
  EXPECT_FALSE(written);
  ASSERT_EQ(port_.messages.size(), 1u);
  EXPECT_EQ(port_.messages[0],
            "Snapfolio: テンプレートファイルが存在しません。\r\n" + input_.templatePath);
  EXPECT_TRUE(outputFiles().empty());
}

TEST_F(HtmlEditTest, TemplateFieldNamingADirectoryCountsAsMissing) {
  input_.templatePath = dir_.path().string() + "/";  // the field's start value
  bool written = true;
  EXPECT_NO_THROW(written = run());
  EXPECT_FALSE(written);
  ASSERT_EQ(port_.messages.size(), 1u);
  EXPECT_EQ(port_.messages[0],
            "Snapfolio: テンプレートファイルが存在しません。\r\n" + input_.templatePath);
  EXPECT_TRUE(outputFiles().empty());
}

TEST_F(HtmlEditTest, TemplateThatIsNoRegularFileIsReported) {
  ASSERT_EQ(::mkfifo(input_.templatePath.c_str(), 0600), 0);
  EXPECT_EQ(failure(), "0010 : " + input_.templatePath +
                           "のテンプレートファイルが読み込めない。\r\n通常のファイルではない。");
  EXPECT_TRUE(outputFiles().empty());
}

TEST_F(HtmlEditTest, UnreadableTemplateIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  writeFile(input_.templatePath, "x");
  fs::permissions(input_.templatePath, fs::perms::none);
  EXPECT_EQ(failure(), "0010 : " + input_.templatePath +
                           "のテンプレートファイルが読み込めない。\r\n"
                           "読み取りの権限がない。(Permission denied)");
  EXPECT_TRUE(outputFiles().empty());
}

TEST_F(HtmlEditTest, EmptyFieldsMeanTheShippedTemplateAndIndexHtml) {
  input_.templatePath = "";
  input_.pageFileName = "";
  EXPECT_TRUE(run());
  EXPECT_EQ(outputFiles(), std::vector<std::string>{"index.html"});
  EXPECT_NE(readFile(dir_ / "out/index.html").find("<html lang=\"ja\">"), std::string::npos);
  input_.language = "en";
  EXPECT_TRUE(run());
  EXPECT_NE(readFile(dir_ / "out/index.html").find("<html lang=\"en\">"), std::string::npos);
}

class PhotoOrderTest : public HtmlEditTest, public testing::WithParamInterface<PhotoOrder> {};

// Ties keep the order of the dialog; a date sort shows the dates it sorted by.
TEST_P(PhotoOrderTest, OrdersThePage) {
  writeFile(input_.templatePath, "<!--$LOOP-->$FILENAME $FILEDATE;<!--$/LOOP-->");
  input_.order = GetParam();
  input_.page.photos = photosNamed({"IMG_10.jpg", "img_9.jpg", "b.jpg", "a.jpg"});
  input_.page.photos[0].date = DateTime{2030, 1, 1, 0, 0, 2};
  input_.page.photos[3].date = DateTime{2020, 1, 1, 0, 0, 2};
  ASSERT_TRUE(run());
  // The page as "name date;" per photo, without the loop's comments.
  const std::string d1 = "2020/01/01 0:00:02", d2 = kFakeDate, d3 = "2030/01/01 0:00:02";
  const std::map<PhotoOrder, std::vector<std::string>> expected = {
      {PhotoOrder::AsChosen, {"IMG_10.jpg " + d3, "img_9.jpg " + d2, "b.jpg " + d2, "a.jpg " + d1}},
      {PhotoOrder::ByDate, {"a.jpg " + d1, "img_9.jpg " + d2, "b.jpg " + d2, "IMG_10.jpg " + d3}},
      {PhotoOrder::ByName, {"a.jpg " + d1, "b.jpg " + d2, "img_9.jpg " + d2, "IMG_10.jpg " + d3}},
  };
  std::string want = "<!--$LOOP-->";
  for (const std::string& entry : expected.at(GetParam())) want += entry + ";<!---->";
  want.replace(want.size() - 7, 7, "<!--$/LOOP-->");
  EXPECT_EQ(readFile(page()), want);
}

INSTANTIATE_TEST_SUITE_P(Orders, PhotoOrderTest,
                         testing::Values(PhotoOrder::AsChosen, PhotoOrder::ByDate,
                                         PhotoOrder::ByName));

TEST(PhotoOrder, NaturalLess) {
  EXPECT_TRUE(naturalLess("IMG_9.jpg", "img_10.jpg"));
  EXPECT_TRUE(naturalLess("a2", "a02b"));
  EXPECT_TRUE(naturalLess("A.jpg", "a.jpg"));  // equal but for case: bytes decide
  EXPECT_FALSE(naturalLess("b", "B"));
  EXPECT_EQ(photoOrderFromNumber(2), PhotoOrder::ByName);
  EXPECT_EQ(photoOrderFromNumber(7), PhotoOrder::AsChosen);
}

// Sizes the run did not report come from the output images in the output directory.
TEST_F(HtmlEditTest, SizesOfEarlierOutputImagesAreReadFromTheirFiles) {
  fs::copy_file(fixturePath("baseline-small.jpg"), dir_ / "out/s_a.jpg");
  writeFile(dir_ / "out/s_b.jpg", "no jpeg");
  writeFile(input_.templatePath, "<!--$LOOP-->$IMG1Wx$IMG1H;<!--$/LOOP-->");
  run();
  EXPECT_EQ(readFile(page()), "<!--$LOOP-->128x96;<!---->0x0;<!--$/LOOP-->");
}

TEST_F(HtmlEditTest, VanishedOutputDirectoryIsReported) {
  writeFile(input_.templatePath, "x");
  fs::remove(dir_ / "out");
  EXPECT_EQ(failure(), "0012 : " + input_.outputDir +
                           "/album.htmlのHTMLページが書き込めない。\r\n"
                           "フォルダが存在しない。(No such file or directory)");
  EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(HtmlEditTest, PageNamingADirectoryIsReported) {
  writeFile(input_.templatePath, "x");
  fs::create_directory(page());
  EXPECT_EQ(failure(), "0012 : " + input_.outputDir +
                           "/album.htmlのHTMLページが書き込めない。\r\n"
                           "同じ名前のフォルダがある。(Is a directory)");
  EXPECT_TRUE(fs::is_directory(page()));
}

TEST_F(HtmlEditTest, MalformedTemplateKeepsTheEarlierPage) {
  writeFile(page(), "earlier page");
  writeFile(input_.templatePath, "<p>\n<!--$/LOOP-->");
  EXPECT_EQ(failure(), "0011 : " + input_.templatePath +
                           "のテンプレートの書式が正しくない。\r\n"
                           "2行目 5文字目: 「$LOOP」より前に「$/LOOP」がある。");
  EXPECT_EQ(readFile(page()), "earlier page");
  EXPECT_EQ(outputFiles(), std::vector<std::string>{"album.html"});
}

TEST_F(HtmlEditTest, UnreadablePhotoDateIsReported) {
  writeFile(input_.templatePath, "$FILEDATE");
  AnalizeOptions options;
  options.fileTime = [](const std::string&) -> DateTime { throw Failure("no such file"); };
  EXPECT_EQ(shown([&] { HtmlEdit(input_, port_, options); }),
            "0013 : /photos/a.jpgのファイル日付が取得できない。");
  EXPECT_TRUE(outputFiles().empty());
}

// The page outgrows the file size limit of the process: the write fails half-way.
TEST_F(HtmlEditTest, FailedWriteIsReportedAndLeavesNothingHalfWritten) {
  writeFile(page(), "earlier page");
  writeFile(input_.templatePath, std::string(1 << 20, 'x'));
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string shown = failure();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(shown, "0012 : " + input_.outputDir +
                       "/album.htmlのHTMLページが書き込めない。\r\n"
                       "ファイルが大きすぎる。(File too large)");
  EXPECT_EQ(readFile(page()), "earlier page");
  EXPECT_EQ(outputFiles(), std::vector<std::string>{"album.html"});
}

TEST_F(HtmlEditTest, CodePage932TemplateGetsCodePage932Values) {
  fs::copy_file(fixturePath("cp932-album.dat"), input_.templatePath);
  input_.page.title = "夏の旅行 🍣";
  input_.page.photos = {"/photos/海①.jpg", "/photos/a&b.jpg", "/photos/한.jpg"};
  run();
  EXPECT_EQ(readFile(page()), readFile(fixturePath("cp932-album-expected.html")));
}

TEST_F(HtmlEditTest, HundredMegabyteTemplate) {
  {
    std::string big(100u << 20, 'y');
    big.replace(0, 6, "$TITLE");
    writeFile(input_.templatePath, big);
  }
  auto start = std::chrono::steady_clock::now();
  run();
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(fs::file_size(page()), (100u << 20) - 6 + 4);
  EXPECT_LT(seconds, 30.0);
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  // The template is held once and the page is streamed: the peak stays in the hundreds of MiB.
  EXPECT_LT(usage.ru_maxrss, 1024L * 1024L) << "KiB";
}

// The program's own HtmlEdit: the dates are the photo files' modification times in local time.
TEST_F(HtmlEditTest, FileDatesComeFromThePhotoFiles) {
  auto touch = [this](const std::string& name, int hour, int minute, int second) {
    std::string path = (dir_ / name).string();
    writeFile(path, "jpeg");
    std::tm local{};
    local.tm_year = 2023 - 1900;
    local.tm_mon = 10;
    local.tm_mday = 5;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    struct timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    return path;
  };
  input_.page.photos = {touch("a.jpg", 13, 45, 27), touch("b.jpg", 0, 0, 0)};
  writeFile(input_.templatePath, "<!--$LOOP-->$FILEDATE<!--$/LOOP-->");
  HtmlEdit(input_, port_);
  EXPECT_EQ(readFile(page()), "<!--$LOOP-->2023/11/05 13:45:26<!---->2023/11/05<!--$/LOOP-->");

  fs::remove(input_.page.photos[1].path);
  EXPECT_EQ(shown([&] { HtmlEdit(input_, port_); }),
            "0013 : " + input_.page.photos[1].path + "のファイル日付が取得できない。");
  EXPECT_EQ(readFile(page()), "<!--$LOOP-->2023/11/05 13:45:26<!---->2023/11/05<!--$/LOOP-->");
}

}  // namespace
}  // namespace snapfolio::test
