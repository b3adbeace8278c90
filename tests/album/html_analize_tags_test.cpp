// The album tags of a kept album's pages: lists, conditional parts and values, what they refuse,
// and that they leave every other page as it was.
#include "album/html_analize_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "album/album_test_util.h"
#include "album/html_analize.h"

namespace snapfolio::test {
namespace {

// An album of `photos` photos, `albums` subalbums and `crumbs` albums above it; photo 1 alone
// has its original in the site; every other condition holds when the album is empty.
class FakeTags : public AlbumTagSource {
 public:
  FakeTags(std::size_t photos, std::size_t albums, std::size_t crumbs)
      : photos_(photos), albums_(albums), crumbs_(crumbs) {}
  std::size_t count(TagScope list) const override {
    return list == TagScope::Photos ? photos_ : list == TagScope::Albums ? albums_ : crumbs_;
  }
  std::string value(TagField field, std::size_t item) const override {
    const std::string n = std::to_string(item);
    if (field == TagField::AlbumTitle) return "A&" + n;
    return (field == TagField::CrumbTitle ? "C" : "cam") + n;
  }
  bool holds(TagCondition condition, std::size_t item) const override {
    if (condition == TagCondition::Original) return item == 1;
    return condition == TagCondition::Photos ? photos_ > 0 : photos_ + albums_ == 0;
  }

 private:
  std::size_t photos_, albums_, crumbs_;
};

struct TagCase {
  const char* name;
  std::string albumTemplate;
  std::size_t photos, albums, crumbs;
  std::string page;
  friend void PrintTo(const TagCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<AlbumPhoto> photosOf(std::size_t count) {
  std::vector<AlbumPhoto> photos;
  for (std::size_t i = 0; i < count; ++i) photos.push_back("/p" + std::to_string(i) + ".jpg");
  return photos;
}

class AlbumTags : public testing::TestWithParam<TagCase> {};

TEST_P(AlbumTags, Expand) {
  const TagCase& c = GetParam();
  FakeTags tags(c.photos, c.albums, c.crumbs);
  AnalizeOptions options = fakeClock();
  options.albumTags = &tags;
  EXPECT_EQ(expand(c.albumTemplate, pageInput(photosOf(c.photos)), options).page, c.page);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, AlbumTags,
    testing::Values(
        TagCase{"ListRepeatsPerItemEscaped", "<$ALBUMS[$ALBUMTITLE]$/ALBUMS>", 0, 2, 0,
                "<[A&amp;0][A&amp;1]>"},
        TagCase{"EmptyListSkipsItsBody", "x$ALBUMS[$ALBUMTITLE]$/ALBUMSy", 1, 0, 0, "xy"},
        TagCase{"PhotoListFeedsTheEarlierPhotoTags", "$PHOTOS$NUMBER:$FILENAME:$CAMERA;$/PHOTOS", 2,
                0, 0, "1:p0.jpg:cam0;2:p1.jpg:cam1;"},
        TagCase{"CrumbList", "$CRUMBS<$CRUMBTITLE>$/CRUMBS.", 0, 0, 2, "<C0><C1>."},
        TagCase{"ConditionsOfThePage", "$IFPHOTOS has$/IF$IFEMPTY none$/IF.", 0, 0, 0, " none."},
        TagCase{"FalsePartSkipsNestedParts", "a$IFEMPTY b$IFPHOTOS c$/IF d$/IF e", 1, 0, 0, "a e"},
        TagCase{"ConditionOfTheCurrentPhoto", "$PHOTOS$IFORIGINAL[o$NUMBER]$/IF$/PHOTOS", 3, 0, 0,
                "[o2]"},
        TagCase{"ManyItemsStayWithinTheScanBound", "$ALBUMS.$/ALBUMS", 0, 1000, 0,
                std::string(1000, '.')}),
    [](const testing::TestParamInfo<TagCase>& p) { return p.param.name; });

// Without an album, album tags read as they always did: their "$" is dropped.
TEST(AlbumTagsElsewhere, ReadAsBefore) {
  EXPECT_EQ(expand("$ALBUMS$IFPHOTOS$CAMERA$/IF", pageInput(photosOf(1))).page,
            "ALBUMSIFPHOTOSCAMERA/IF");
}

struct RefusedCase {
  const char* name;
  std::string albumTemplate;
  std::string problem;
  friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class AlbumTagsRefused : public testing::TestWithParam<RefusedCase> {};

TEST_P(AlbumTagsRefused, WithItsProblem) {
  const RefusedCase& c = GetParam();
  FakeTags tags(2, 1, 1);
  AnalizeOptions options = fakeClock();
  options.albumTags = &tags;
  try {
    expand(c.albumTemplate, pageInput(photosOf(2)), options);
    FAIL() << "accepted";
  } catch (const TemplateError& e) {
    EXPECT_EQ(e.problem(), c.problem);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, AlbumTagsRefused,
    testing::Values(
        RefusedCase{"ListNeverClosed", "$ALBUMS x", "「$ALBUMS」に対応する「$/ALBUMS」がない。"},
        RefusedCase{"CloseWithoutOpen", "$/PHOTOS", "「$PHOTOS」より前に「$/PHOTOS」がある。"},
        RefusedCase{"CardValueOutsideItsList", "$ALBUMS$/ALBUMS$ALBUMTITLE",
                    "「$ALBUMTITLE」が「$ALBUMS」と「$/ALBUMS」の間にない。"},
        RefusedCase{"PartNeverClosed", "$IFPHOTOS x", "「$IFPHOTOS」に対応する「$/IF」がない。"},
        RefusedCase{"PhotoValueAfterItsList", "$PHOTOS$/PHOTOS$CAMERA",
                    "「$CAMERA」の指す写真がない(写真の番号 3、写真は2枚)。"}),
    [](const testing::TestParamInfo<RefusedCase>& p) { return p.param.name; });

// A new tag that began with an earlier tag would never be read; one that began with another
// album tag would depend on the order of comparison.
TEST(AlbumTagNames, StartWithNoOtherTag) {
  const std::vector<std::string> earlier = {"$TITLE",  "$LOOP",  "$/LOOP", "$SETLOOP",  "$/SETLOOP",
                                            "$LCUNT",  "$JPEG1", "$JPEG2", "$FILENAME", "$FILEDATE",
                                            "$WIDTH",  "$IMG1W", "$IMG1H", "$IMG2W",    "$IMG2H",
                                            "$NUMBER", "$COUNT"};
  for (const AlbumTag& tag : albumTags()) {
    for (const std::string& old : earlier) EXPECT_FALSE(tag.name.starts_with(old)) << tag.name;
    for (const AlbumTag& other : albumTags()) {
      if (&other != &tag) {
        EXPECT_FALSE(tag.name.starts_with(other.name)) << tag.name;
      }
    }
  }
}

}  // namespace
}  // namespace snapfolio::test
