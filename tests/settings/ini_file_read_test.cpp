// Reading: value forms, line format, and files that are not what they should be.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <locale>
#include <string>

#include "core/number_text.h"
#include "core/text_encoding.h"
#include "settings/ini_file.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

using test::TempDir;
using test::writeFile;

// A file holding one stored text, read back as each type.
struct StoredCase {
  const char* stored;
  int integer;    // expected ReadInteger with default -99
  int boolean;    // expected ReadBool with default true: 0, 1
  double number;  // expected ReadFloat with default -99
};

class StoredValue : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredValue, ReadsAsEachType) {
  TempDir dir;
  const std::string path = (dir / "Snapfolio.ini").string();
  writeFile(path, std::string("[OutStyl]\nKEY=") + GetParam().stored + "\n");
  const TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("OutStyl", "KEY", -99), GetParam().integer);
  EXPECT_EQ(ini.ReadBool("OutStyl", "KEY", true), GetParam().boolean != 0);
  EXPECT_EQ(ini.ReadFloat("OutStyl", "KEY", -99), GetParam().number);
}

// -99 / 1 are the defaults: the text does not read as that type.
INSTANTIATE_TEST_SUITE_P(
    Forms, StoredValue,
    testing::Values(StoredCase{"7", 7, 1, 7}, StoredCase{" 7", 7, 1, 7}, StoredCase{"0", 0, 0, 0},
                    StoredCase{"-0", 0, 0, 0}, StoredCase{"2", 2, 1, 2},
                    StoredCase{"-12", -12, 1, -12}, StoredCase{"+5", 5, 1, 5},
                    StoredCase{"+-5", -99, 1, -99}, StoredCase{"--5", -99, 1, -99},
                    StoredCase{"12abc", -99, 1, -99}, StoredCase{"1 2", -99, 1, -99},
                    StoredCase{"", -99, 1, -99}, StoredCase{"-", -99, 1, -99},
                    StoredCase{"0x10", -99, 1, -99},
                    StoredCase{"99999999999", -99, 1, 99999999999.0},
                    StoredCase{"2147483647", 2147483647, 1, 2147483647.0},
                    StoredCase{"-2147483648", -2147483647 - 1, 1, -2147483648.0},
                    StoredCase{"2147483648", -99, 1, 2147483648.0}, StoredCase{"1.5", -99, 1, 1.5},
                    StoredCase{"1e3", -99, 1, 1000}, StoredCase{" 2.5E-1 ", -99, 1, 0.25},
                    StoredCase{".5", -99, 1, 0.5}, StoredCase{"16777215", 16777215, 1, 16777215},
                    StoredCase{"nan", -99, 1, -99}, StoredCase{"inf", -99, 1, -99},
                    StoredCase{"-inf", -99, 1, -99}, StoredCase{"infinity", -99, 1, -99},
                    StoredCase{"1e999", -99, 1, -99}, StoredCase{"1,5", -99, 1, -99},
                    StoredCase{"1.5x", -99, 1, -99}, StoredCase{"0x1p3", -99, 1, -99},
                    StoredCase{"e3", -99, 1, -99}, StoredCase{"１２", -99, 1, -99}));

struct LineCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  const char* expected;  // nullptr: the key is absent
};

class LineFormat : public testing::TestWithParam<LineCase> {};

TEST_P(LineFormat, FindsTheValue) {
  TempDir dir;
  const std::string path = (dir / "Snapfolio.ini").string();
  writeFile(path, GetParam().file);
  const TIniFile ini(path);
  const char* expected = GetParam().expected;
  EXPECT_EQ(ini.ValueExists(GetParam().section, GetParam().key), expected != nullptr);
  EXPECT_EQ(ini.ReadString(GetParam().section, GetParam().key, "<default>"),
            expected != nullptr ? expected : "<default>");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineFormat,
    testing::Values(
        LineCase{"plain", "[OutStyl]\nALBMTITL=夏\n", "OutStyl", "ALBMTITL", "夏"},
        LineCase{"bom", "\xEF\xBB\xBF[OutStyl]\nALBMTITL=夏\n", "OutStyl", "ALBMTITL", "夏"},
        LineCase{"two_boms", "\xEF\xBB\xBF\xEF\xBB\xBF[OutStyl]\nALBMTITL=夏\n", "OutStyl",
                 "ALBMTITL", "夏"},
        LineCase{"crlf", "[OutStyl]\r\nA=1\r\nALBMTITL=x y\r\n", "OutStyl", "ALBMTITL", "x y"},
        LineCase{"no_final_newline", "[OutStyl]\nALBMTITL=z", "OutStyl", "ALBMTITL", "z"},
        LineCase{"blanks_trimmed", "[ OutStyl ]\n\t ALBMTITL \t= a b \t\n", "OutStyl", "ALBMTITL",
                 "a b"},
        LineCase{"equals_in_value", "[OutStyl]\nALBMTITL=a=b=c\n", "OutStyl", "ALBMTITL", "a=b=c"},
        LineCase{"empty_value", "[OutStyl]\nALBMTITL=\n", "OutStyl", "ALBMTITL", ""},
        LineCase{"quotes_removed", "[OutStyl]\nALBMTITL=\" a \"\n", "OutStyl", "ALBMTITL", " a "},
        LineCase{"first_wins", "[OutStyl]\nALBMTITL=first\nALBMTITL=second\n", "OutStyl",
                 "ALBMTITL", "first"},
        LineCase{"first_wins_across_sections", "[OutStyl]\nX=1\n[Other]\n[OutStyl]\nY=2\n",
                 "OutStyl", "Y", "2"},
        LineCase{"case_of_names", "[outSTYL]\nalbmTitl=v\n", "OutStyl", "ALBMTITL", "v"},
        LineCase{"case_of_value_kept", "[OutStyl]\nALBMTITL=AbC\n", "outstyl", "albmtitl", "AbC"},
        LineCase{"other_section", "[Pict1Options]\nALBMTITL=v\n", "OutStyl", "ALBMTITL", nullptr},
        LineCase{"before_any_section", "ALBMTITL=v\n[OutStyl]\n", "OutStyl", "ALBMTITL", nullptr},
        LineCase{"comment", "[OutStyl]\n;ALBMTITL=v\n# x=y\n", "OutStyl", "ALBMTITL", nullptr},
        LineCase{"unclosed_section", "[OutStyl]\n[Other\nALBMTITL=v\n", "OutStyl", "ALBMTITL", "v"},
        LineCase{"no_equals", "[OutStyl]\nALBMTITL\n", "OutStyl", "ALBMTITL", nullptr},
        LineCase{"cp932", "[OutStyl]\nALBMTITL=\x95\x5C\x8E\xA6\n", "OutStyl", "ALBMTITL", "表示"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(IniRead, MissingFileReadsAsEmpty) {
  TempDir dir;
  const TIniFile ini((dir / "none" / "Snapfolio.ini").string());
  EXPECT_FALSE(ini.ValueExists("Snapfolio", "TOP"));
  EXPECT_EQ(ini.ReadInteger("Snapfolio", "TOP", 42), 42);
  EXPECT_EQ(ini.ReadString("OutStyl", "TIMFONT1", "ＭＳ Ｐゴシック"), "ＭＳ Ｐゴシック");
  EXPECT_FALSE(std::filesystem::exists(dir / "none"));  // reading creates nothing
}

TEST(IniRead, LegacyCodePage932File) {
  const TIniFile ini(test::fixturePath("cp932-settings.ini").string());
  EXPECT_EQ(ini.ReadString("OutStyl", "TIMFONT1", ""), "ＭＳ Ｐゴシック");
  EXPECT_EQ(ini.ReadString("OutStyl", "ALBMTITL", ""), "夏の旅行アルバム～①");
  EXPECT_EQ(ini.ReadString("InOutFile", "OUTDIR", ""), "C:\\写真\\表示ソフト");
  EXPECT_EQ(ini.ReadInteger("Snapfolio", "TOP", 0), 120);
  EXPECT_EQ(ini.ReadFloat("OutStyl", "TIMFTCOL1", 0), 255);
  EXPECT_EQ(ini.ReadString("ColorAdjust", "RED_Adjust", ""), "-10");
}

// Odd text must neither crash nor hang, and every read still answers (the default where
// nothing sensible is there).
TEST(IniRead, OddTextIsHarmless) {
  TempDir dir;
  const std::string path = (dir / "Snapfolio.ini").string();
  const std::string longLine = "[OutStyl]\nALBMTITL=" + std::string(1 << 20, 'x') + "\n";
  const std::string longKey = "[OutStyl]\n" + std::string(1 << 20, 'k') + "=1\n";
  const std::string longSection = "[" + std::string(1 << 20, 's') + "\n";
  const std::string manyLines = std::string(1 << 17, '\n') + "[OutStyl]\nHTMLCK=1\n";
  for (const std::string& bytes : {longLine, longKey, longSection, manyLines}) {
    writeFile(path, bytes);
    const auto start = std::chrono::steady_clock::now();
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Snapfolio", "TOP", 3), 3);
    EXPECT_EQ(ini.ReadFloat("OutStyl", "TIMFTCOL1", 255), 255);
    EXPECT_TRUE(isValidUtf8(ini.ReadString("OutStyl", "ALBMTITL", "")));
    ini.WriteInteger("Snapfolio", "TOP", 9);  // the rewritten file is valid UTF-8
    EXPECT_TRUE(isValidUtf8(test::readFile(path)));
    EXPECT_EQ(TIniFile(path).ReadInteger("Snapfolio", "TOP", 3), 9);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  }
  writeFile(path, longLine);
  EXPECT_EQ(TIniFile(path).ReadString("OutStyl", "ALBMTITL", "").size(), 1u << 20);
  writeFile(path, manyLines);
  EXPECT_EQ(TIniFile(path).ReadBool("OutStyl", "HTMLCK", false), true);
}

// Numbers are written with "." whatever locale the process has set for streams.
TEST(ValueForms, NumbersIgnoreTheLocale) {
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale old = std::locale::global(std::locale(std::locale::classic(), new Comma));
  EXPECT_EQ(formatNumber(0.5), "0.5");
  double value = 0;
  EXPECT_TRUE(parseNumber("0.5", value));
  EXPECT_EQ(value, 0.5);
  std::locale::global(old);
  EXPECT_EQ(formatNumber(255), "255");
  EXPECT_EQ(formatNumber(16777215), "16777215");
  EXPECT_EQ(formatNumber(-3), "-3");
  EXPECT_EQ(formatNumber(0.1), "0.1");
  EXPECT_EQ(formatInteger(-2147483648LL), "-2147483648");
}

}  // namespace
}  // namespace snapfolio
