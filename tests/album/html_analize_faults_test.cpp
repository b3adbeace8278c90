// Templates the expansion must refuse, loops that would never end, and hostile input.
#include "album/html_analize.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "album/album_test_util.h"

namespace snapfolio::test {
namespace {

struct MalformedCase {
  const char* name;
  std::string albumTemplate;
  int photos;
  std::string problem;
  int line;
  int column;
  std::string pageSoFar;  // everything before the tag at fault, nothing after it
  friend void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.name; }
};

std::string caseName(const testing::TestParamInfo<MalformedCase>& p) {
  return p.param.name;
}

class Malformed : public testing::TestWithParam<MalformedCase> {};

std::vector<AlbumPhoto> somePhotos(int count) {
  std::vector<AlbumPhoto> names;
  for (int i = 0; i < count; ++i) names.push_back("/photos/p" + std::to_string(i) + ".jpg");
  return names;
}

TEST_P(Malformed, IsReportedWithItsPositionAndNothingAfterIt) {
  const MalformedCase& c = GetParam();
  AlbumPageInput input = pageInput(somePhotos(c.photos));
  StringPageSink sink;
  try {
    HtmlAnalize(c.albumTemplate, input, sink, fakeClock());
    FAIL() << "accepted; page: " << sink.text();
  } catch (const TemplateError& e) {
    EXPECT_EQ(e.problem(), c.problem);
    EXPECT_EQ(e.line(), c.line);
    EXPECT_EQ(e.column(), c.column);
    EXPECT_EQ(std::string(e.what()),
              std::to_string(c.line) + "行目 " + std::to_string(c.column) + "文字目: " + c.problem);
    EXPECT_EQ(sink.text(), c.pageSoFar);
  }
}

const std::string kSkipForever = "$SETLOOP=1-->$/SETLOOP$LOOP$LCUNT=-2$/LOOP";

INSTANTIATE_TEST_SUITE_P(
    Undefined, Malformed,
    testing::Values(MalformedCase{"EndLoopBeforeLoop", "ab\n  $/LOOP", 2,
                                  "「$LOOP」より前に「$/LOOP」がある。", 2, 3, "ab\n  "},
                    MalformedCase{"EndSetLoopBeforeSetLoop", "$/SETLOOP", 2,
                                  "「$SETLOOP」より前に「$/SETLOOP」がある。", 1, 1, ""},
                    MalformedCase{"LcuntBeforeSetLoop", "<!--$LCUNT=-3-->", 2,
                                  "「$SETLOOP」より前に「$LCUNT」がある。", 1, 5, "<!--"},
                    MalformedCase{"RowSizeZero", "<!--$SETLOOP=0-->", 2,
                                  "「$SETLOOP」の1行の枚数が0になっている。", 1, 5, "<!--"},
                    MalformedCase{"LaterRowSizeZero", "$SETLOOP=2-->$SETLOOP=0-->", 2,
                                  "「$SETLOOP」の1行の枚数が0になっている。", 1, 14,
                                  "$SETLOOP=2-->"},
                    MalformedCase{"NoRowSize", "<!--$SETLOOP-->x", 2,
                                  "「$SETLOOP」の後に1行の枚数(数値)がない。", 1, 5, "<!--"},
                    MalformedCase{"SetLoopAtTheEnd", "x$SETLOOP", 2,
                                  "「$SETLOOP」の後に1行の枚数(数値)がない。", 1, 2, "x"},
                    MalformedCase{"LcuntWithoutNumber", "$SETLOOP=2-->$LCUNT=x", 2,
                                  "「$LCUNT」の後に数値がない。", 1, 14, "$SETLOOP=2-->"},
                    MalformedCase{"LcuntAtTheEnd", "$SETLOOP=2-->$LCUNT", 2,
                                  "「$LCUNT」の後に数値がない。", 1, 14, "$SETLOOP=2-->"},
                    MalformedCase{"ColumnsCountCharacters", "写真\n日本語$/LOOP", 2,
                                  "「$LOOP」より前に「$/LOOP」がある。", 2, 4, "写真\n日本語"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    NeverEnding, Malformed,
    testing::Values(
        // "$LCUNT" takes PhotoIndex back by exactly what "$/LOOP" adds.
        MalformedCase{"LcuntUndoesTheStep", kSkipForever, 4,
                      "「$/LOOP」の繰り返しが先へ進まない(写真の番号が1から1に戻る)ため、"
                      "展開が終わらない。",
                      1, 37, "$SETLOOP=1-->$/SETLOOP$LOOP$LCUNT=-2$LCUNT=-2"},
        // A short row sends "$LCUNT" back to its first photo, and "$/LOOP" then to the second.
        MalformedCase{"ShortRowGoesRoundForever",
                      "<!--$LOOP-->$FILENAME<!--$SETLOOP=3--><!--$/SETLOOP--><!--$LCUNT=7-->"
                      "<!--$/LOOP-->",
                      2,
                      "「$/LOOP」の繰り返しが先へ進まない(写真の番号が2から2に戻る)ため、"
                      "展開が終わらない。",
                      1, 74,
                      "<!--$LOOP-->p0.jpg<!--$SETLOOP=3--><!---><!--$/SETLOOP--><!--$LCUNT=7--><!--"
                      "-->p1.jpg<!--$SETLOOP=3--><!--$/SETLOOP--><!--$LCUNT=7--><!--"},
        MalformedCase{"NegativeIndexAtOuterRepeat", "$SETLOOP=1-->$/SETLOOP$LOOP$LCUNT=-5$/LOOP", 4,
                      "「$/LOOP」で写真の番号が負(-2)のまま繰り返そうとしている。", 1, 37,
                      "$SETLOOP=1-->$/SETLOOP$LOOP$LCUNT=-5"},
        // PhotoIndex wraps from INT32_MAX to INT32_MIN, which is no multiple of 3.
        MalformedCase{"WrappedIndexAtInnerRepeat",
                      "$SETLOOP=3-->$/SETLOOP$LCUNT=2147483644-->$/SETLOOP", 5,
                      "「$/SETLOOP」で写真の番号が負(-2147483647)のまま繰り返そうとしている。", 1,
                      43, "$SETLOOP=3-->->->$/SETLOOP$LCUNT=2147483644-->"},
        MalformedCase{"ValueTagAfterTheLoop", "<!--$LOOP-->$FILENAME<!--$/LOOP-->$FILENAME", 2,
                      "「$FILENAME」の指す写真がない(写真の番号 3、写真は2枚)。", 1, 35,
                      "<!--$LOOP-->p0.jpg<!---->p1.jpg<!--$/LOOP-->"},
        // Without photos the loop's body is skipped, but a value tag outside it still fails.
        MalformedCase{"NoPhotos", "<h1>$FILENAME</h1>", 0,
                      "「$FILENAME」の指す写真がない(写真の番号 1、写真は0枚)。", 1, 5, "<h1>"}),
    caseName);

TEST(HtmlAnalizeLimits, PageSizeIsBounded) {
  AnalizeOptions options = fakeClock();
  options.maxPageBytes = 10;
  AlbumPageInput input = pageInput(somePhotos(1));
  input.title = "a title of twenty....";
  StringPageSink sink;
  try {
    HtmlAnalize("abc$TITLE", input, sink, options);
    FAIL() << "accepted";
  } catch (const TemplateError& e) {
    EXPECT_EQ(e.problem(), "HTMLページが大きくなりすぎる(10バイトを超える)。");
    EXPECT_EQ(e.column(), 4);
  }
  EXPECT_EQ(sink.text(), "abc");
}

TEST(HtmlAnalizeLimits, ScannedBytesAreBounded) {
  AnalizeOptions options = fakeClock();
  options.scanFactor = 0;
  EXPECT_THROW(expand(kWorkedExample, pageInput(somePhotos(4)), options), TemplateError);
  options.scanFactor = 1;  // the worked example scans less than (photos + 1) templates
  EXPECT_NO_THROW(expand(kWorkedExample, pageInput(somePhotos(4)), options));
}

std::string repeated(const std::string& piece, int times) {
  std::string text;
  text.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(HtmlAnalizeHostile, DeeplyRepeatedTags) {
  const int n = 100000;
  Expanded loops = expand(repeated("$LOOP", n) + repeated("$/LOOP", n), pageInput(somePhotos(5)));
  EXPECT_EQ(loops.page, repeated("$LOOP", n) + repeated("$/LOOP", n));

  // Every "$/SETLOOP" jumps back to the end of the last "$SETLOOP" until the row is full.
  Expanded rows =
      expand(repeated("$SETLOOP=3-->", n) + repeated("$/SETLOOP", n), pageInput(somePhotos(5)));
  EXPECT_EQ(rows.page, repeated("$SETLOOP=3-->", n) + "->->" + repeated("$/SETLOOP", n));
  EXPECT_EQ(rows.progress, n + 2);

  Expanded values = expand(repeated("$FILENAME$TITLE$WIDTH", n), pageInput(somePhotos(1)));
  EXPECT_EQ(values.page, repeated("p0.jpgTrip4200", n));
}

// A counting sink: big pages without holding them.
class CountingSink : public PageSink {
 public:
  void write(std::string_view bytes) override { bytes_ += bytes.size(); }
  std::uint64_t bytes() const { return bytes_; }

 private:
  std::uint64_t bytes_ = 0;
};

TEST(HtmlAnalizeHostile, HundredMegabyteTemplate) {
  std::string body(100u << 20, 'x');
  for (std::size_t i = 4096; i < body.size(); i += 65536) body[i] = '\n';
  const std::string albumTemplate = "<!--$LOOP-->" + body + "$FILENAME<!--$/LOOP-->";
  AlbumPageInput input = pageInput(somePhotos(3));
  CountingSink sink;
  auto start = std::chrono::steady_clock::now();
  HtmlAnalize(albumTemplate, input, sink, fakeClock());
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // "<!--$LOOP-->" once, then per photo "-->" (after the first), the body, the name, "<!--".
  EXPECT_EQ(sink.bytes(), 12 + 3 * (body.size() + 6 + 4) + 2 * 3 + 9);
  EXPECT_LT(seconds, 30.0);
}

TEST(HtmlAnalizeHostile, RandomBytesNeitherCrashNorHang) {
  const std::vector<std::string> pieces = {
      "$LOOP",     "$/LOOP",    "$SETLOOP=", "$/SETLOOP", "$LCUNT=", "$JPEG1", "$JPEG2",
      "$FILENAME", "$FILEDATE", "$WIDTH",    "$TITLE",    "$",       "-",      "3",
      "0",         "-1",        "\n",        "-->",       "<!--",    " ",      "9999"};
  std::mt19937 random(20240506);
  auto start = std::chrono::steady_clock::now();
  int accepted = 0;
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string albumTemplate;
    const int length = static_cast<int>(random() % 64);
    for (int i = 0; i < length; ++i) {
      if (random() % 3 == 0) {
        albumTemplate += static_cast<char>(random() % 256);
      } else {
        albumTemplate += pieces[random() % pieces.size()];
      }
    }
    StringPageSink sink;
    AlbumPageInput input = pageInput(somePhotos(static_cast<int>(random() % 6)));
    try {
      HtmlAnalize(albumTemplate, input, sink, fakeClock());
      ++accepted;
    } catch (const TemplateError&) {
      ++refused;
    }
    // A page never grows past what the scan bound allows.
    EXPECT_LE(sink.text().size(),
              16 * (input.photos.size() + 1) * (albumTemplate.size() + 64) * 32);
  }
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(accepted, 0);
  EXPECT_GT(refused, 0);
  EXPECT_LT(seconds, 60.0);
}

}  // namespace
}  // namespace snapfolio::test
