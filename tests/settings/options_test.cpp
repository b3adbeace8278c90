// The options model: the bytes each batch writes, the time-stamp styles and the stamps'
// format in the settings file.
#include "settings/options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/fixtures.h"

namespace snapfolio {
namespace {

// Every batch of the program in turn, from a missing file and from a settings file of the
// Windows program: the file after each batch is byte for byte what the program has always
// written. The fixture holds the expected states, each after a line "##### step".
struct BatchesCase {
  const char* name;
  const char* start;  // a fixture, or nullptr for no file
  const char* expected;
};

class Batches : public testing::TestWithParam<BatchesCase> {};

TEST_P(Batches, WriteTheFileAsEver) {
  test::TempDir dir;
  const std::string path = (dir / "Snapfolio.ini").string();
  if (GetParam().start != nullptr) {
    std::filesystem::copy_file(test::fixturePath(GetParam().start), path);
  }
  RunOptions run;
  run.outputDir = "/out/写真";
  run.image[0] = {true, "150", "t_", "", true, false};
  run.image[1] = {false, "640", "p2", "_l", false, true};
  run.album = {true, "index.html", " 夏 ", "/t/x.dat"};
  const WindowPosition position{120, -7};
  TimeStampStyle one;
  one.bold = true;
  one.fontName = "Sans";
  one.fontColor = 0x123456;
  one.backgroundColor = 65280.0f;
  one.transparent = false;
  one.position = 3;
  one.fontSize = 20;
  one.fontCharset = 0;
  TimeStampStyle oneAgain = one;
  oneAgain.italic = true;
  TimeStampStyle two;
  two.underline = true;
  two.autoSize = false;
  const std::string format = "yyyy/mm/dd";
  RunOptions secondRun = run;
  secondRun.image[0].produce = false;

  const std::vector<std::pair<std::string, std::function<bool(TIniFile&)>>> steps = {
      {"1-run",
       [&](TIniFile& ini) {
         return storeRunStart(ini, run, position) && storeRunEnd(ini, run, "/in/a b.jpg");
       }},
      {"2-correction",
       [&](TIniFile& ini) {
         return storeCorrectionValues(ini, {"-10", "abc", "300", 55, 13});
       }},
      {"3-stamp1", [&](TIniFile& ini) { return storeTimeStampStyle(ini, 1, one, &format); }},
      {"4-stamp1again",
       [&](TIniFile& ini) { return storeTimeStampStyle(ini, 1, oneAgain, &format); }},
      {"5-stamp2", [&](TIniFile& ini) { return storeTimeStampStyle(ini, 2, two, nullptr); }},
      {"6-template", [&](TIniFile& ini) { return storeTemplateFile(ini, "/t/アルバム.dat"); }},
      {"7-run2",
       [&](TIniFile& ini) {
         return storeRunStart(ini, secondRun, position) && storeRunEnd(ini, secondRun, "");
       }},
  };
  std::map<std::string, std::string> states;
  for (const auto& [name, batch] : steps) {
    TIniFile ini(path);
    EXPECT_TRUE(batch(ini)) << name;
    states[name] = test::readFile(path);
  }

  const std::string expected = test::readFile(test::fixturePath(GetParam().expected));
  int compared = 0;
  for (std::size_t at = expected.find("##### "); at != std::string::npos; ++compared) {
    const std::size_t nameEnd = expected.find('\n', at);
    const std::string name = expected.substr(at + 6, nameEnd - at - 6);
    const std::size_t next = expected.find("##### ", nameEnd);
    EXPECT_EQ(states[name], expected.substr(nameEnd + 1, next - nameEnd - 1)) << name;
    at = next;
  }
  EXPECT_GT(compared, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, Batches,
    testing::Values(BatchesCase{"missing", nullptr, "settings-batches-from-empty.txt"},
                    BatchesCase{"cp932", "cp932-settings.ini", "settings-batches-from-cp932.txt"}),
    [](const auto& p) { return std::string(p.param.name); });

class TimeStampSettingsTest : public testing::Test {
 protected:
  std::string path() const { return (dir_ / "Snapfolio.ini").string(); }
  void writeIni(const std::string& body) { test::writeFile(path(), "[OutStyl]\n" + body); }
  // The key names of the file in the order they stand in it.
  std::vector<std::string> keyOrder() const {
    std::vector<std::string> names;
    const std::string text = test::readFile(path());
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(start, end - start);
      const std::size_t eq = line.find('=');
      if (eq != std::string::npos) names.push_back(line.substr(0, eq));
      start = end + 1;
    }
    return names;
  }
  test::TempDir dir_;
};

TEST_F(TimeStampSettingsTest, DefaultsWithoutAFile) {
  const TIniFile ini(path());
  for (int n : {1, 2}) {
    const TimeStampStyle style = readTimeStampStyle(ini, n);
    EXPECT_EQ(style.fontName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(style.fontSize, 12);
    EXPECT_EQ(style.fontColor, 255u);
    EXPECT_EQ(style.fontCharset, 128);
    EXPECT_FALSE(style.bold || style.italic || style.underline || style.strikeOut);
    EXPECT_EQ(style.backgroundColor, 16777215.0f);
    EXPECT_TRUE(style.transparent);
    EXPECT_TRUE(style.autoSize);
    EXPECT_EQ(style.position, 6);
    EXPECT_EQ(style, TimeStampStyle{});
  }
  EXPECT_EQ(readTimeStampFormat(ini), "hh:nn AM/PM");
}

TEST_F(TimeStampSettingsTest, RoundTripKeepsEveryFieldPerImage) {
  TimeStampStyle one;
  one.fontName = "IPAGothic";
  one.fontSize = 30;
  one.fontColor = 0x00123456;
  one.fontCharset = 0;
  one.underline = true;
  one.backgroundColor = 65280.0f;
  one.transparent = false;
  one.autoSize = false;
  one.position = 2;
  TimeStampStyle two;
  two.position = 4;
  two.strikeOut = true;
  const std::string format = "gge\"年\"mm\"月\"dd\"日";
  {
    TIniFile ini(path());
    storeTimeStampStyle(ini, 1, one, &format);
    storeTimeStampStyle(ini, 2, two, nullptr);
  }
  const TIniFile ini(path());
  EXPECT_EQ(readTimeStampStyle(ini, 1), one);
  EXPECT_EQ(readTimeStampStyle(ini, 2), two);
  EXPECT_EQ(readTimeStampFormat(ini), format);
}

TEST_F(TimeStampSettingsTest, WritesInTheSetButtonOrder) {
  TimeStampStyle style;
  style.italic = true;
  const std::string format = "hh:nn:ss";
  TIniFile ini(path());
  storeTimeStampStyle(ini, 1, style, &format);
  const std::vector<std::string> expected = {
      "TIMBGTRPRA1", "TIMAUTOSIZE1", "TIMPOSITION1", "TIMFONT1",  "TIMFTCOL1",
      "TIMFTSIZE1",  "TIMFTCS1",     "TIMFSITL1",    "TIMBGCOL1", "TIMSTYLE1"};
  EXPECT_EQ(keyOrder(), expected);
  EXPECT_EQ(ini.ReadString("OutStyl", "TIMFSITL1", ""), "fsItalic");
  EXPECT_EQ(ini.ReadString("OutStyl", "TIMFTCS1", ""), "128");
  EXPECT_EQ(ini.ReadString("OutStyl", "TIMBGCOL1", ""), "16777215");
  EXPECT_EQ(ini.ReadString("OutStyl", "TIMFTCOL1", ""), "255");
}

TEST_F(TimeStampSettingsTest, ImageTwoWritesNoFormat) {
  TIniFile ini(path());
  storeTimeStampStyle(ini, 2, TimeStampStyle{}, nullptr);
  EXPECT_FALSE(ini.ValueExists("OutStyl", "TIMSTYLE1"));
  EXPECT_TRUE(ini.ValueExists("OutStyl", "TIMBGCOL2"));
  EXPECT_FALSE(ini.ValueExists("OutStyl", "TIMBGCOL1"));
}

struct FlagWriteCase {
  bool bold, italic, underline, strikeOut;
  const char* writtenKey;  // nullptr: no style key at all
  const char* writtenName;
};

class StyleFlagWriteTest : public TimeStampSettingsTest,
                           public testing::WithParamInterface<FlagWriteCase> {};

TEST_P(StyleFlagWriteTest, OnlyASingleFlagIsStored) {
  const FlagWriteCase& c = GetParam();
  TimeStampStyle style;
  style.bold = c.bold;
  style.italic = c.italic;
  style.underline = c.underline;
  style.strikeOut = c.strikeOut;
  TIniFile ini(path());
  storeTimeStampStyle(ini, 1, style, nullptr);
  for (const char* key : {"TIMFSBLD1", "TIMFSITL1", "TIMFSUDL1", "TIMFSSTO1"}) {
    const bool written = c.writtenKey != nullptr && std::string(key) == c.writtenKey;
    EXPECT_EQ(ini.ValueExists("OutStyl", key), written) << key;
    if (written) {
      EXPECT_EQ(ini.ReadString("OutStyl", key, ""), c.writtenName);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Flags, StyleFlagWriteTest,
    testing::Values(FlagWriteCase{false, false, false, false, nullptr, ""},
                    FlagWriteCase{true, false, false, false, "TIMFSBLD1", "fsBold"},
                    FlagWriteCase{false, true, false, false, "TIMFSITL1", "fsItalic"},
                    FlagWriteCase{false, false, true, false, "TIMFSUDL1", "fsUnderline"},
                    FlagWriteCase{false, false, false, true, "TIMFSSTO1", "fsStrikeOut"},
                    FlagWriteCase{true, true, false, false, nullptr, ""},
                    FlagWriteCase{true, true, true, true, nullptr, ""}));

struct FlagReadCase {
  const char* body;
  bool bold, italic, underline, strikeOut;
};

class StyleFlagReadTest : public TimeStampSettingsTest,
                          public testing::WithParamInterface<FlagReadCase> {};

TEST_P(StyleFlagReadTest, LastKeyHoldingItsNameDecides) {
  const FlagReadCase& c = GetParam();
  writeIni(c.body);
  const TimeStampStyle style = readTimeStampStyle(TIniFile(path()), 1);
  EXPECT_EQ(style.bold, c.bold);
  EXPECT_EQ(style.italic, c.italic);
  EXPECT_EQ(style.underline, c.underline);
  EXPECT_EQ(style.strikeOut, c.strikeOut);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StyleFlagReadTest,
    testing::Values(
        FlagReadCase{"TIMFSBLD1=fsBold\n", true, false, false, false},
        FlagReadCase{"TIMFSBLD1=fsBold\nTIMFSITL1=fsItalic\n", false, true, false, false},
        FlagReadCase{"TIMFSSTO1=fsStrikeOut\nTIMFSBLD1=fsBold\n", false, false, false, true},
        FlagReadCase{"TIMFSBLD1=fsBold\nTIMFSUDL1=fsUnderline\nTIMFSITL1=fsItalic\n", false, false,
                     true, false},
        // Only the exact name counts.
        FlagReadCase{"TIMFSBLD1=fsbold\nTIMFSITL1=fsItalic\n", false, true, false, false},
        FlagReadCase{"TIMFSBLD1=fsItalic\n", false, false, false, false},
        FlagReadCase{"TIMFSBLD2=fsBold\n", false, false, false, false}));

TEST_F(TimeStampSettingsTest, ReplacedStyleIsNotRestoredFromAStaleKey) {
  writeIni("TIMFSITL1=fsItalic\nTIMFSSTO1=fsStrikeOut\n");
  TimeStampStyle bold;
  bold.bold = true;
  {
    TIniFile ini(path());
    storeTimeStampStyle(ini, 1, bold, nullptr);
  }
  EXPECT_EQ(readTimeStampStyle(TIniFile(path()), 1), bold);
  {
    TIniFile ini(path());
    storeTimeStampStyle(ini, 1, TimeStampStyle{}, nullptr);
  }
  EXPECT_EQ(readTimeStampStyle(TIniFile(path()), 1), TimeStampStyle{});
}

struct CharsetCase {
  const char* text;
  int expected;
};

class CharsetTest : public testing::TestWithParam<CharsetCase> {};

TEST_P(CharsetTest, ReadsDecimalZeroTo255Else128) {
  EXPECT_EQ(charsetFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, CharsetTest,
                         testing::Values(CharsetCase{"128", 128}, CharsetCase{"0", 0},
                                         CharsetCase{"255", 255}, CharsetCase{"1", 1},
                                         CharsetCase{" 2 ", 2}, CharsetCase{"256", 128},
                                         CharsetCase{"-1", 128}, CharsetCase{"abc", 128},
                                         CharsetCase{"", 128}, CharsetCase{"12x", 128},
                                         CharsetCase{"99999999999999", 128}));

TEST_F(TimeStampSettingsTest, OddValuesReadSanely) {
  writeIni(
      "TIMFTCS1=SHIFTJIS\nTIMPOSITION1=0\nTIMPOSITION2=99\nTIMFTCOL1=-1\n"
      "TIMFTCOL2=16777471.9\nTIMBGCOL1=abc\nTIMBGTRPRA1=0\nTIMAUTOSIZE1=7\nTIMFTSIZE1=0\n");
  const TIniFile ini(path());
  const TimeStampStyle one = readTimeStampStyle(ini, 1);
  const TimeStampStyle two = readTimeStampStyle(ini, 2);
  EXPECT_EQ(one.fontCharset, 128);
  EXPECT_EQ(one.position, 0);
  EXPECT_EQ(two.position, 99);
  EXPECT_EQ(one.fontColor, 0xFFFFFFu);  // -1: the low 24 bits
  EXPECT_EQ(two.fontColor, 255u);       // 16777216 + 255.9: truncated, low 24 bits
  EXPECT_EQ(one.backgroundColor, 16777215.0f);
  EXPECT_FALSE(one.transparent);
  EXPECT_TRUE(one.autoSize);
  EXPECT_EQ(one.fontSize, 0);  // kept; the drawing bounds the size
}

// Files from before the photo options, and codes the program does not know, give the defaults.
TEST(PhotoOptionsSettings, OldFilesAndUnknownCodesReadAsTheDefaults) {
  EXPECT_EQ(readPhotoOptions(TIniFile(test::fixturePath("cp932-settings.ini").string())),
            PhotoOptions{});
  test::TempDir dir;
  const std::filesystem::path file = dir / "Snapfolio.ini";
  test::writeFile(file, "[PhotoOptions]\nDATESOURCE=2\nMETADATA=-1\nORIENTATION=x\n");
  EXPECT_EQ(readPhotoOptions(TIniFile(file.string())), PhotoOptions{});
}

}  // namespace
}  // namespace snapfolio
