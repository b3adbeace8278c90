// The command line's arguments in process: usage errors that must stop before anything runs,
// file names that are not UTF-8 kept to the byte, and the progress line's fit and estimate.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_text.h"
#include "cli/progress_line.h"

namespace snapfolio::cli {
namespace {

struct UsageCase {
  std::vector<std::string> args;
  const char* errorPart;  // a part of the error; nullptr: the arguments are accepted
};

class UsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageTest, AcceptsOrSaysWhy) {
  const ParseResult result = parseArguments(GetParam().args);
  if (GetParam().errorPart == nullptr) {
    EXPECT_TRUE(result.arguments) << result.error.toStdString();
  } else {
    EXPECT_FALSE(result.arguments);
    EXPECT_NE(result.error.toStdString().find(GetParam().errorPart), std::string::npos)
        << result.error.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, UsageTest,
    testing::Values(
        UsageCase{{"album", "p", "-o", "out", "-qr", "--jobs", "4"}, nullptr},
        UsageCase{{"convert", "--set", "pict1options/width1=150.5", "p"}, nullptr},
        UsageCase{{"convert", "--set", "Pict1Options/WIDTH1=", "p"}, nullptr},
        UsageCase{{"convert", "--set", "Pict1Options/WIDTH1=15O", "p"}, "width in pixels"},
        UsageCase{{"convert", "--set", "Pict2Options/WIDTH2=0.5", "p"}, "width in pixels"},
        UsageCase{{"convert", "--set", "Pict1Options/WIDHT1=150", "p"}, "not a key"},
        UsageCase{{"convert", "--set", "OutStyl/HTMLCK=yes", "p"}, "1 (on) or 0"},
        UsageCase{{"convert", "--set", "OutStyl/TIMFTCOL1=red", "p"}, "a number"},
        UsageCase{{"convert", "--set", "=1", "p"}, "SECTION/KEY=VALUE"},
        UsageCase{{"convert", "-q", "-v", "p"}, "together"},
        UsageCase{{"convert", "--jobs", "0", "p"}, "1 to 256"},
        UsageCase{{"album", "--save", "-o", "x", "p"}, "--save is not an option of album"},
        UsageCase{{"album", "p"}, "--out"},
        UsageCase{{"render", "--image", "3", "--png", "x", "p"}, "1 or 2"},
        UsageCase{{"render", "--image", "1", "p"}, "--png"},
        UsageCase{{"convert", "--frobnicate", "p"}, "frobnicate"},
        UsageCase{{"convert"}, "no photo"}, UsageCase{{"default-template", "p"}, "takes no"},
        UsageCase{{"frobnicate"}, "unknown command"}));

TEST(CliArgumentsTest, KeepsTheBytesOfNamesThatAreNotUtf8) {
  const std::string latin1 = "caf\xE9.jpg";                // Latin-1
  const std::string sjis = "\x8E\xCA\x90\x5E.JPG";         // Shift-JIS
  const std::string broken = "a\xF0\x9F\x98.jpg\xC0\xAF";  // a cut 4-byte form, an overlong "/"
  const std::string out = "\xFF\xFE";
  const ParseResult result = parseArguments({"album", latin1, "--out=" + out, "--title",
                                             "\xE5\x86\x99\xE7\x9C\x9F", sjis, "--", broken, "-r"});
  ASSERT_TRUE(result.arguments) << result.error.toStdString();
  EXPECT_EQ(result.arguments->photos, (std::vector<std::string>{latin1, sjis, broken, "-r"}));
  EXPECT_EQ(result.arguments->outDir, out);
  EXPECT_EQ(result.arguments->title, "\xE5\x86\x99\xE7\x9C\x9F");
  EXPECT_FALSE(result.arguments->recursive);
  // Valid UTF-8, including a character beyond the BMP, reads as text.
  EXPECT_EQ(textFromBytes("\xF0\x9F\x93\xB7 x"), QString::fromUtf8("\xF0\x9F\x93\xB7 x"));
}

TEST(CliArgumentsTest, ProgressLineFitsTheTerminalAndTellsTheTimeLeft) {
  EXPECT_FALSE(secondsLeft(30, 0));
  EXPECT_FALSE(secondsLeft(0.5, 0.5));
  EXPECT_DOUBLE_EQ(*secondsLeft(30, 0.25), 90);

  ProgressState state{0.5, 3, 15, 3725, QString::fromUtf8("t_写真 格納中")};
  const QString line = progressLine(state, 80);
  EXPECT_EQ(line, QString::fromUtf8("[##########..........]  3/15  1:02:05 left  t_写真 格納中"));
  // Cut by columns: a wide character that would cross the edge is left out whole.
  EXPECT_EQ(displayWidth(line), 57);
  EXPECT_EQ(progressLine(state, 56),
            QString::fromUtf8("[##########..........]  3/15  1:02:05 left  t_写真 格納"));
  EXPECT_EQ(displayWidth(progressLine(state, 54)), 53);
}

}  // namespace
}  // namespace snapfolio::cli
