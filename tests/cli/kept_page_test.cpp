// The pages of a kept album as the shipped templates write them: what the head carries, an
// album without photos, and pictures that keep their room.
#include "site/site_page.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace snapfolio::site {
namespace {

SitePhoto photo(const std::string& name, const std::string& original = {}) {
  SitePhoto p;
  p.name = name;
  p.originalUrl = original;
  p.sizes = {{"_img/" + name + "-240.jpg", 360, 240, ImageRole::Thumb1x},
             {"_img/" + name + "-480.jpg", 720, 480, ImageRole::Thumb2x},
             {"_img/" + name + "-2560.jpg", 2560, 1707, ImageRole::View}};
  return p;
}

SiteAlbum album(const std::string& relPath, const std::string& language) {
  SiteAlbum a;
  a.relPath = relPath;
  a.title = "Trip <2024>";
  a.language = language;
  a.breadcrumbs = {{"Top", "index.html"}};
  return a;
}

bool has(const std::string& page, const std::string& text) {
  return page.find(text) != std::string::npos;
}

struct EmptyCase {
  std::string language;
  std::string says;
};

class EmptyAlbum : public testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyAlbum, SaysSoAndNamesNoImage) {
  const std::string page = albumPageHtml(album("", GetParam().language));
  EXPECT_TRUE(has(page, GetParam().says)) << page;
  EXPECT_FALSE(has(page, "<img")) << page;
  EXPECT_FALSE(has(page, "og:image")) << page;
}

INSTANTIATE_TEST_SUITE_P(Languages, EmptyAlbum,
                         testing::Values(EmptyCase{"ja", "このアルバムには写真がありません。"},
                                         EmptyCase{"en", "This album has no photo."}));

TEST(KeptPage, HeadCarriesAbsolutePreviewOnlyWithABaseUrl) {
  SiteAlbum a = album("a", "en");
  a.photos = {photo("a.jpg")};
  const std::string relative = albumPageHtml(a);
  EXPECT_TRUE(has(relative, "<title>Trip &lt;2024&gt;</title>")) << relative;
  EXPECT_TRUE(has(relative, "og:image\" content=\"_img/a.jpg-2560.jpg\"")) << relative;
  EXPECT_FALSE(has(relative, "og:url")) << relative;
  a.baseUrl = "https://example.org/album/a/";
  const std::string absolute = albumPageHtml(a);
  EXPECT_TRUE(has(absolute, "og:image\" content=\"https://example.org/album/a/_img/a.jpg-2560.jpg"))
      << absolute;
  EXPECT_TRUE(has(absolute, "og:url\" content=\"https://example.org/album/a/index.html\""));
}

// Every picture has its size (nothing moves when it arrives) and only the thumbnails of the
// grid and the covers are pictures of the page; the original is offered only when copied.
TEST(KeptPage, PicturesKeepTheirRoomAndOriginalsAreOptional) {
  SiteAlbum a = album("", "ja");
  a.photos = {photo("a.jpg"), photo("b.jpg", "_orig/b.jpg")};
  a.subAlbums = {{"Sub", "Sub/index.html", photo("c.jpg").sizes, 1, "2024-05-01", "2024-05-03"}};
  const std::string page = albumPageHtml(a);
  const std::regex img("<img [^>]*>");
  int images = 0;
  for (std::sregex_iterator it(page.begin(), page.end(), img), end; it != end; ++it, ++images) {
    const std::string tag = it->str();
    EXPECT_TRUE(has(tag, " width=\"360\" height=\"240\"") && has(tag, "loading=\"lazy\"")) << tag;
  }
  EXPECT_EQ(images, 3);
  EXPECT_TRUE(has(page, "2024-05-01 – 2024-05-03")) << page;
  EXPECT_TRUE(has(page, "data-original=\"_orig/b.jpg\"")) << page;
  EXPECT_EQ(page.find("data-original"), page.rfind("data-original")) << page;
}

}  // namespace
}  // namespace snapfolio::site
