// The template language: tags, offsets, loops, values, and the worked example byte for byte.
#include "album/html_analize.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "album/album_test_util.h"

namespace snapfolio::test {
namespace {

const std::vector<std::string> kFourPhotos = {"a.jpg", "b.jpg", "c.JPG", "d.jpg"};

TEST(HtmlAnalize, WorkedExampleByteForByte) {
  Expanded out = expand(kWorkedExample, pageInput(photosNamed(kFourPhotos)));
  EXPECT_EQ(out.page,
            "<!--$LOOP-->\n"
            "<tr><!--$SETLOOP=3--><td><img src=s_a.jpg></td><!---><td><img src=s_b.jpg></td>"
            "<!---><td><img src=s_c.JPG></td><!--$/SETLOOP--></tr>\n"
            "<!--$LCUNT=-3-->\n"
            "<tr><!--$SETLOOP=3--><td>a.jpg</td><!---><td>b.jpg</td><!---><td>c.JPG</td>"
            "<!--$/SETLOOP--></tr>\n"
            "<!---->\n"
            "<tr><!--$SETLOOP=3--><td><img src=s_d.jpg></td><!--$/SETLOOP--></tr>\n"
            "<!--$LCUNT=-3-->\n"
            "<tr><!--$SETLOOP=3--><td>d.jpg</td><!--$/SETLOOP--></tr>\n"
            "<!--$/LOOP-->\n"
            "cost 5");
  EXPECT_EQ(out.progress, 8);
}

struct Case {
  const char* name;
  std::string albumTemplate;
  std::vector<std::string> photos;
  std::string page;
  int progress;
  friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

class Expansion : public testing::TestWithParam<Case> {};

TEST_P(Expansion, WritesThePage) {
  const Case& c = GetParam();
  Expanded out = expand(c.albumTemplate, pageInput(photosNamed(c.photos)));
  EXPECT_EQ(out.page, c.page);
  EXPECT_EQ(out.progress, c.progress);
}

const char* const kRow =
    "<!--$LOOP--><tr><!--$SETLOOP=@--><td>$FILENAME</td><!--$/SETLOOP-->"
    "</tr><!--$/LOOP-->";

std::string rowTemplate(char rowSize) {
  std::string text = kRow;
  text[text.find('@')] = rowSize;
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Tags, Expansion,
    testing::Values(
        Case{"NoDollarIsCopied", "<p>plain\r\ntext</p>\n", {"a.jpg"}, "<p>plain\r\ntext</p>\n", 0},
        Case{"EmptyTemplate", "", {"a.jpg"}, "", 0},
        Case{"LowerCaseIsNoTag", "<h1>$title</h1>", {"a.jpg"}, "<h1>title</h1>", 0},
        Case{"DollarBeforeDigit", "Price $5", {"a.jpg"}, "Price 5", 0},
        Case{"OnlyDollars", "$$$$", {"a.jpg"}, "", 0}, Case{"LoneDollar", "$", {"a.jpg"}, "", 0},
        Case{"TitleAsTyped", "<title>$TITLE</title>", {"a.jpg"}, "<title>Trip</title>", 0},
        Case{"Jpeg1FollowedByDigit", "$JPEG10", {"a.jpg"}, "s_a.jpg0", 0},
        Case{"Jpeg2WithEmptyAffixes", "[$JPEG2]", {"x.y.JPG"}, "[x.y.JPG]", 0},
        Case{"NameWithoutExtension", "$FILENAME|$JPEG1", {"README"}, "README|s_README", 0},
        Case{"FileDate", "<i>$FILEDATE</i>", {"a.jpg"}, "<i>2024/05/06 7:08:10</i>", 0},
        Case{"WidthIgnoresItsNumber", "$WIDTH=7|$WIDTH", {"a.jpg"}, "4200=7|4200", 0},
        Case{"ZeroByteEndsTemplate", std::string("ab\0$TITLE cd", 12), {"a.jpg"}, "ab", 0},
        Case{"ValueTagsUseFirstPhotoBeforeLoop", "$FILENAME", {"a.jpg", "b.jpg"}, "a.jpg", 0},
        // Without photos the outer loop's body is left out, its control tags stay.
        Case{"NoPhotosSkipTheLoop", kWorkedExample, {}, "<!--$LOOP$/LOOP-->\ncost 5", 0},
        Case{"OnePhotoRowsOfFour",
             rowTemplate('4'),
             {"a.jpg"},
             "<!--$LOOP--><tr><!--$SETLOOP=4--><td>a.jpg</td><!--$/SETLOOP--></tr>"
             "<!--$/LOOP-->",
             1},
        Case{"FourPhotosRowsOfThree",
             rowTemplate('3'),
             {"a.jpg", "b.jpg", "c.jpg", "d.jpg"},
             "<!--$LOOP--><tr><!--$SETLOOP=3--><td>a.jpg</td><!---><td>b.jpg</td><!--->"
             "<td>c.jpg</td><!--$/SETLOOP--></tr><!----><tr><!--$SETLOOP=3--><td>d.jpg</td>"
             "<!--$/SETLOOP--></tr><!--$/LOOP-->",
             4},
        // A second "$LOOP" moves the start of the outer loop behind itself.
        Case{"SecondLoopMovesLoopStart",
             "$LOOPa$LOOPb$/LOOP",
             {"a.jpg", "b.jpg"},
             "$LOOPa$LOOPbb$/LOOP",
             0},
        // A second "$SETLOOP" sets a new row size and a new start: rows of 2 from "->y".
        Case{"SecondSetLoopMovesRowStart",
             "$SETLOOP=5-->x$SETLOOP=2-->y$/SETLOOP",
             {"a.jpg", "b.jpg", "c.jpg", "d.jpg"},
             "$SETLOOP=5-->x$SETLOOP=2-->y->y$/SETLOOP",
             2},
        // "$LCUNT=0" after a full row moves on to the next row.
        Case{"LcuntZeroSkipsToTheNextRow",
             "<!--$LOOP-->[<!--$SETLOOP=3-->$FILENAME<!--$/SETLOOP-->]<!--$LCUNT=0-->"
             "(<!--$SETLOOP=3-->$FILENAME<!--$/SETLOOP-->)<!--$/LOOP-->",
             {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg"},
             "<!--$LOOP-->[<!--$SETLOOP=3-->a.jpg<!--->b.jpg<!--->c.jpg<!--$/SETLOOP-->]"
             "<!--$LCUNT=0-->(<!--$SETLOOP=3-->d.jpg<!--->e.jpg<!--->f.jpg<!--$/SETLOOP-->)"
             "<!--$/LOOP-->",
             6},
        // On a short row "$LCUNT" goes back to the row's first photo whatever its number.
        Case{"LcuntOnShortRowReturnsToFirstPhoto",
             "<!--$SETLOOP=3-->$FILENAME<!--$/SETLOOP--><!--$LCUNT=7-->$FILENAME",
             {"a.jpg", "b.jpg"},
             "<!--$SETLOOP=3-->a.jpg<!--->b.jpg<!--$/SETLOOP--><!--$LCUNT=7-->a.jpg",
             2},
        // On a full row it moves on by the number plus one: from the third photo to the 11th.
        Case{"LcuntOnFullRowMovesOn",
             "<!--$SETLOOP=3--><!--$/SETLOOP--><!--$LCUNT=7-->$FILENAME",
             {"p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9", "p10", "p11", "p12"},
             "<!--$SETLOOP=3--><!---><!---><!--$/SETLOOP--><!--$LCUNT=7-->p11",
             3},
        // Offsets that reach past the end: no number, copying ends at the end.
        Case{"SetLoopAtTheEndKeepsItsRowSize",
             "$SETLOOP=2-->x$SETLOOP",
             {"a.jpg"},
             "$SETLOOP=2-->x$SETLOOP",
             0},
        Case{"LcuntAtTheEndKeepsSkipCount",
             "$SETLOOP=2-->$WIDTH 4$LCUNT",
             {"a.jpg"},
             "$SETLOOP=2-->4200 4$LCUNT=",
             0},
        Case{"WidthAtTheEnd", "$WIDTH", {"a.jpg"}, "4200", 0}),
    [](const testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

struct WidthCase {
  const char* widthText;
  const char* page;
  friend void PrintTo(const WidthCase& c, std::ostream* os) { *os << '"' << c.widthText << '"'; }
};

class WidthTag : public testing::TestWithParam<WidthCase> {};

TEST_P(WidthTag, WritesTwentyEightTimesTheLeadingInteger) {
  AlbumPageInput input = pageInput(photosNamed({"a.jpg"}));
  input.width1Text = GetParam().widthText;
  EXPECT_EQ(expand("$WIDTH", input).page, GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(Widths, WidthTag,
                         testing::Values(WidthCase{"150", "4200"}, WidthCase{"", "0"},
                                         WidthCase{"px", "0"}, WidthCase{" 20px", "560"},
                                         WidthCase{"-3", "-84"},
                                         // saturated to INT32_MAX, then 28 times wraps
                                         WidthCase{"99999999999", "-28"}));

TEST(HtmlAnalize, ProgressStepOncePerClosingRowTag) {
  std::vector<std::string> names;
  for (int i = 0; i < 1000; ++i) names.push_back("p" + std::to_string(i) + ".jpg");
  Expanded out = expand(kWorkedExample, pageInput(photosNamed(names)));
  // Each photo passes one "$/SETLOOP" in each of the two rows of cells.
  EXPECT_EQ(out.progress, 2000);
  EXPECT_NE(out.page.find("<td><img src=s_p999.jpg></td><!--$/SETLOOP-->"), std::string::npos);
  EXPECT_NE(out.page.find("<td>p999.jpg</td><!--$/SETLOOP--></tr>\n<!--$/LOOP-->\ncost 5"),
            std::string::npos);
  std::size_t cells = 0;
  for (std::size_t at = out.page.find("<td>"); at != std::string::npos;
       at = out.page.find("<td>", at + 1)) {
    ++cells;
  }
  EXPECT_EQ(cells, 2000u);
}

TEST(HtmlAnalize, WorkedExampleOverDifferentPhotoCounts) {
  for (int count : {1, 3, 4}) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back("p" + std::to_string(i) + ".jpg");
    Expanded out = expand(kWorkedExample, pageInput(photosNamed(names)));
    EXPECT_EQ(out.progress, 2 * count) << count;
    for (const std::string& name : names) {
      EXPECT_NE(out.page.find("<td>" + name + "</td>"), std::string::npos) << name;
      EXPECT_NE(out.page.find("src=s_" + name + ">"), std::string::npos) << name;
    }
    EXPECT_TRUE(out.page.ends_with("<!--$/LOOP-->\ncost 5")) << out.page;
  }
}

// Links are relative URLs of the files (percent-encoded, then HTML-escaped); names are text.
TEST(HtmlAnalize, FileNamesAreEscapedAndTheTitleIsNot) {
  AlbumPageInput input = pageInput(photosNamed({"a b\"c'<d>&e.jpg", "写真 ①.JPG"}));
  input.title = "<b>Fish &amp; chips</b>";
  input.prefix1 = "t&";
  Expanded out =
      expand("$TITLE|<!--$LOOP-->[<a href=\"$JPEG1\">$FILENAME</a>]<!--$/LOOP-->", input);
  EXPECT_EQ(out.page,
            "<b>Fish &amp; chips</b>|<!--$LOOP-->["
            "<a href=\"t&amp;a%20b%22c&#39;%3Cd%3E&amp;e.jpg\">"
            "a b&quot;c&#39;&lt;d&gt;&amp;e.jpg</a>]<!---->"
            "[<a href=\"t&amp;写真%20①.JPG\">写真 ①.JPG</a>]<!--$/LOOP-->");
}

// The later tags stand behind the first ones: "$IMG1W" is no "$WIDTH" and the like, and a
// template that uses them reads the sizes the run reported, else those of the files.
TEST(HtmlAnalize, SizeNumberAndCountTags) {
  AlbumPageInput input = pageInput(photosNamed({"a.jpg", "b.jpg", "c.jpg"}));
  input.photos[0].image[0] = PixelSize{150, 100};
  input.photos[0].image[1] = PixelSize{640, 427};
  input.photos[1].image[0] = PixelSize{150, 200};
  AnalizeOptions options = fakeClock();
  std::vector<std::string> lookedUp;
  options.outputImageSize = [&](const std::string& name) -> std::optional<PixelSize> {
    lookedUp.push_back(name);
    if (name == "b.jpg") return PixelSize{480, 640};
    return std::nullopt;
  };
  Expanded out =
      expand("$COUNT:<!--$LOOP-->[$NUMBER $IMG1Wx$IMG1H $IMG2Wx$IMG2H $IMG2W]<!--$/LOOP-->$COUNT",
             input, options);
  EXPECT_EQ(out.page,
            "3:<!--$LOOP-->[1 150x100 640x427 640]<!---->[2 150x200 480x640 480]<!---->"
            "[3 0x0 0x0 0]<!--$/LOOP-->3");
  // Each output image is looked up once, and only when the run did not report it.
  EXPECT_EQ(lookedUp, (std::vector<std::string>{"b.jpg", "s_c.jpg", "c.jpg"}));
  // Photo tags after the loop name no photo; the count stays.
  EXPECT_THROW(expand("<!--$LOOP-->x<!--$/LOOP-->$NUMBER", input, options), TemplateError);
  EXPECT_THROW(expand("<!--$LOOP-->x<!--$/LOOP-->$IMG1W", input, options), TemplateError);
}

// The page's dates are those the run used; only a photo without one reads its file's time.
TEST(HtmlAnalize, DateOfTheRunComesFirst) {
  AlbumPageInput input = pageInput(photosNamed({"a.jpg", "b.jpg"}));
  input.photos[0].date = DateTime{2001, 2, 3, 4, 5, 6};
  EXPECT_EQ(expand("<!--$LOOP-->$FILEDATE|<!--$/LOOP-->", input).page,
            "<!--$LOOP-->2001/02/03 4:05:06|<!---->2024/05/06 7:08:10|<!--$/LOOP-->");
}

TEST(HtmlAnalize, NonUtf8FileNameIsReadAsCodePage932ElseLatin1) {
  // "写真" in code page 932 and "café" in Latin-1 as Linux file names, in a UTF-8 page; the
  // links keep the bytes.
  AlbumPageInput input = pageInput({"/photos/\x8E\xCA\x90\x5E.jpg", "/photos/caf\xE9.jpg"});
  EXPECT_EQ(expand("<!--$LOOP-->$FILENAME $JPEG1;<!--$/LOOP-->", input).page,
            "<!--$LOOP-->写真.jpg s_%8E%CA%90%5E.jpg;<!---->café.jpg s_caf%E9.jpg;<!--$/LOOP-->");
}

TEST(HtmlAnalize, FileDatesComeFromTheClockPerPhoto) {
  AnalizeOptions options;
  options.fileTime = [](const std::string& path) {
    // the date alone at midnight
    return path.ends_with("b.jpg") ? DateTime{2001, 1, 2, 0, 0, 0} : DateTime{2024, 5, 6, 17, 0, 4};
  };
  Expanded out = expand("<!--$LOOP-->$FILEDATE;<!--$/LOOP-->",
                        pageInput(photosNamed({"a.jpg", "b.jpg"})), options);
  EXPECT_EQ(out.page, "<!--$LOOP-->2024/05/06 17:00:04;<!---->2001/01/02;<!--$/LOOP-->");
}

TEST(HtmlAnalize, UnreadableFileDateNamesThePhoto) {
  AnalizeOptions options;
  options.fileTime = [](const std::string&) -> DateTime { throw Failure("gone"); };
  try {
    expand("x $FILEDATE", pageInput(photosNamed({"a.jpg"})), options);
    FAIL() << "no failure";
  } catch (const PhotoDateError& e) {
    EXPECT_EQ(e.photo(), "/photos/a.jpg");
  }
}

}  // namespace
}  // namespace snapfolio::test
