// The shipped album template: where it is found, and that its pages are sound HTML for any
// number of photos.
#include "album/default_template.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "album/album_test_util.h"
#include "core/text_encoding.h"
#include "support/fixtures.h"

namespace snapfolio::test {
namespace {

namespace fs = std::filesystem;

std::size_t occurrences(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos;
       at = text.find(piece, at + piece.size())) {
    ++count;
  }
  return count;
}

// The comments of `page` that an HTML parser reports as errors: a comment is "<!--", a text
// that neither starts with ">" or "->" nor holds "<!--", "-->" or "--!>" nor ends with "<!-",
// and "-->". The loops repeat text from inside the comments around their tags, so this is where
// a template goes wrong ("<!--->" closes abruptly).
std::vector<std::string> badComments(const std::string& page) {
  std::vector<std::string> bad;
  for (std::size_t open = page.find("<!--"); open != std::string::npos;
       open = page.find("<!--", open + 4)) {
    std::size_t start = open + 4;
    std::size_t end = page.find("-->", start);
    std::string text = page.substr(start, end == std::string::npos ? 20 : end - start);
    if (end == std::string::npos || text.starts_with(">") || text.starts_with("->") ||
        page.compare(start, 2, "->") == 0 || text.find("<!--") != std::string::npos ||
        text.find("--!>") != std::string::npos || text.ends_with("<!-")) {
      bad.push_back("<!--" + text);
    }
    if (end != std::string::npos) open = end - 1;
  }
  return bad;
}

TEST(DefaultTemplate, IsFoundInstalledFirstThenInTheSourceTree) {
  TempDir installed;
  TempDir source;
  fs::create_directories(installed / "templates");
  fs::create_directories(source / "templates");
  writeFile(source / "templates/album.dat", "s");
  EXPECT_EQ(defaultTemplatePath("", installed.path().string(), source.path().string()),
            (source / "templates/album.dat").string());
  writeFile(installed / "templates/album.dat", "i");
  EXPECT_EQ(defaultTemplatePath("", installed.path().string(), source.path().string()),
            (installed / "templates/album.dat").string());
  EXPECT_EQ(defaultTemplatePath("", "/nonexistent", "/nonexistent-too"), "");
  EXPECT_EQ(defaultTemplatePath("/nonexistent/bin/snapfolio", "/nonexistent", ""), "");

  std::string shipped = defaultTemplatePath();
  ASSERT_FALSE(shipped.empty());
  EXPECT_TRUE(isValidUtf8(readFile(shipped)));
}

// An installed tree moved elsewhere: the copy beside the executable wins over the configured
// data directory and the source tree; a directory named like the template is no template.
TEST(DefaultTemplate, IsFoundBesideTheExecutableFirst) {
  TempDir moved;
  TempDir installed;
  fs::create_directories(moved / "bin");
  fs::create_directories(installed / "templates");
  writeFile(installed / "templates/album.dat", "i");
  const std::string exe = (moved / "bin/snapfolio-cli").string();
  const fs::path data = fs::path(dataDirBeside(exe, SNAPFOLIO_DATA_DIR_FROM_BIN));
  EXPECT_EQ(data, (moved / "share/snapfolio").lexically_normal());

  EXPECT_EQ(defaultTemplatePath(exe, installed.path().string(), ""),
            (installed / "templates/album.dat").string());
  fs::create_directories(data / "templates/album.dat");
  EXPECT_EQ(defaultTemplatePath(exe, installed.path().string(), ""),
            (installed / "templates/album.dat").string());
  fs::remove(data / "templates/album.dat");
  writeFile(data / "templates/album.dat", "m");
  EXPECT_EQ(defaultTemplatePath(exe, installed.path().string(), ""),
            (data / "templates/album.dat").string());
}

TEST(DefaultTemplate, DataDirBesideNormalisesTheWayUp) {
  EXPECT_EQ(dataDirBeside("/opt/snap/bin/snapfolio", "../share/snapfolio"),
            "/opt/snap/share/snapfolio");
  EXPECT_EQ(dataDirBeside("/opt/snap/bin/snapfolio", "../../data"), "/opt/data");
  EXPECT_EQ(dataDirBeside("", "../share/snapfolio"), "");
  // the test executable itself is what /proc/self/exe names
  EXPECT_EQ(fs::path(runningExecutablePath()).filename(), "album_tests");
}

TEST(DefaultTemplate, CommentChecker) {
  // the checker itself: the abrupt forms are errors, the empty comment is not
  EXPECT_EQ(badComments("<p><!--x--><!----></p>"), std::vector<std::string>{});
  EXPECT_EQ(badComments("<!--->").size(), 1u);
  EXPECT_EQ(badComments("<!-->").size(), 1u);
  EXPECT_EQ(badComments("<!-- a <!-- b -->").size(), 1u);
  EXPECT_EQ(badComments("<!-- open").size(), 1u);
}

struct ShippedPage {
  const char* language;
  const char* title;  // the <title> for the title 夏の旅行
  const char* alt;    // the alt text of IMG_1001.JPG
};

class DefaultTemplatePage : public testing::TestWithParam<std::tuple<ShippedPage, int>> {};

TEST_P(DefaultTemplatePage, IsSoundForAnyNumberOfPhotos) {
  const auto& [shipped, count] = GetParam();
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back("IMG_" + std::to_string(1000 + i) + ".JPG");
  names[0] = "<b>&\"quoted\" 'name'.jpg";
  AlbumPageInput input = pageInput(photosNamed(names));
  for (int i = 0; i < count; ++i) {
    input.photos[i].image[0] = PixelSize{150, 100 + i};
    input.photos[i].image[1] = PixelSize{640, 427 + i};
  }
  input.prefix1 = "t_";
  input.suffix2 = "_l";
  input.title = "夏の旅行";
  const std::string path = shippedTemplatePath(shipped.language);
  ASSERT_FALSE(path.empty());
  Expanded out = expand(readFile(path), input);

  EXPECT_TRUE(out.page.starts_with("<!DOCTYPE html>\n<html lang=\"" +
                                   std::string(shipped.language) + "\">"));
  EXPECT_NE(out.page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(out.page.find(shipped.title), std::string::npos);
  EXPECT_TRUE(isValidUtf8(out.page));
  EXPECT_EQ(badComments(out.page), std::vector<std::string>{});
  EXPECT_EQ(occurrences(out.page, "<figure class=\"photo\""), static_cast<std::size_t>(count));
  EXPECT_EQ(occurrences(out.page, "</figure>"), static_cast<std::size_t>(count));
  EXPECT_EQ(occurrences(out.page, "<script"), 1u);
  EXPECT_EQ(occurrences(out.page, "://"), 0u) << "no external resources";
  EXPECT_EQ(out.progress, count);
  for (std::size_t at = out.page.find('$'); at != std::string::npos;
       at = out.page.find('$', at + 1)) {
    std::string_view rest = std::string_view(out.page).substr(at);
    EXPECT_TRUE(rest.starts_with("$LOOP") || rest.starts_with("$/LOOP") ||
                rest.starts_with("$SETLOOP") || rest.starts_with("$/SETLOOP"))
        << "only control tags keep their $: " << rest.substr(0, 20);
  }
  for (int i = 1; i < count; ++i) {
    const std::string base = "IMG_" + std::to_string(1000 + i);
    const std::string h1 = std::to_string(100 + i);
    const std::string h2 = std::to_string(427 + i);
    EXPECT_NE(
        out.page.find("<figure class=\"photo\" style=\"--w: 150; --h: " + h1 + "\">\n" +
                      "<a class=\"full\" href=\"" + base + "_l.JPG\" data-width=\"640\" " +
                      "data-height=\"" + h2 + "\"><img class=\"thumb\" src=\"t_" + base +
                      ".JPG\" srcset=\"t_" + base + ".JPG 150w, " + base +
                      "_l.JPG 640w\" sizes=\"(max-width: 520px) 50vw, calc(150px * 0.75 * 150 / " +
                      h1 + ")\" width=\"150\" " + "height=\"" + h1 + "\""),
        std::string::npos)
        << base;
    EXPECT_NE(out.page.find("<span class=\"name\">" + base + ".JPG</span> <span class=\"date\">" +
                            kFakeDate + "</span>"),
              std::string::npos);
  }
  if (count > 1) EXPECT_NE(out.page.find(shipped.alt), std::string::npos);
  EXPECT_NE(out.page.find("alt=\"&lt;b&gt;&amp;&quot;quoted&quot; &#39;name&#39;.jpg"),
            std::string::npos);
  EXPECT_NE(out.page.find("href=\"%3Cb%3E&amp;%22quoted%22%20&#39;name&#39;_l.jpg\""),
            std::string::npos);
  EXPECT_EQ(out.page.find("<b>"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    PhotoCounts, DefaultTemplatePage,
    testing::Combine(testing::Values(ShippedPage{"ja", "<title>夏の旅行（写真アルバム）</title>",
                                                 "alt=\"IMG_1001.JPG（2024/05/06 7:08:10）\""},
                                     ShippedPage{"en", "<title>夏の旅行 (photo album)</title>",
                                                 "alt=\"IMG_1001.JPG, 2024/05/06 7:08:10\""}),
                     testing::Values(1, 2, 12, 13, 100)));

// When every photo failed, the page says it has none instead of reporting the template.
TEST(DefaultTemplate, NoPhotosGiveAPageWithoutPhotos) {
  const Expanded out = expand(readFile(defaultTemplatePath()), pageInput({}));
  EXPECT_NE(out.page.find("<p class=\"count\">0枚の写真</p>"), std::string::npos);
  EXPECT_EQ(out.page.find("<figure"), std::string::npos);
  EXPECT_NE(out.page.find("</html>"), std::string::npos);
}

}  // namespace
}  // namespace snapfolio::test
