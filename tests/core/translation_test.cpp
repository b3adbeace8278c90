// The interface language chosen from the environment, the one-pass filling of translated
// patterns, and the English translation built into the program.
#include <gtest/gtest.h>

#include <string>

#include <QCoreApplication>
#include <QString>
#include <QTranslator>

#include "core/translation.h"

namespace snapfolio {
namespace {

struct LanguageCase {
  const char* forced;  // SNAPFOLIO_LANG
  const char* lcAll;
  const char* lcMessages;
  const char* lang;
  const char* expected;
};

class InterfaceLanguageTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(InterfaceLanguageTest, FollowsTheLocale) {
  const LanguageCase& c = GetParam();
  EXPECT_EQ(interfaceLanguage(c.forced, c.lcAll, c.lcMessages, c.lang), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, InterfaceLanguageTest,
    ::testing::Values(LanguageCase{nullptr, nullptr, nullptr, nullptr, "ja"},  // nothing set: C
                      LanguageCase{nullptr, nullptr, nullptr, "C", "ja"},
                      LanguageCase{nullptr, nullptr, nullptr, "C.UTF-8", "ja"},
                      LanguageCase{nullptr, nullptr, nullptr, "en_US.UTF-8", "en"},
                      LanguageCase{nullptr, "", "", "fr_FR", "en"},              // empty is unset
                      LanguageCase{nullptr, "C", nullptr, "en_GB.UTF-8", "ja"},  // LC_ALL wins
                      LanguageCase{nullptr, nullptr, "ja_JP", "en_US", "ja"},    // then LC_MESSAGES
                      LanguageCase{"en", nullptr, nullptr, "ja_JP.UTF-8", "en"},
                      LanguageCase{"ja", "en_US.UTF-8", nullptr, nullptr, "ja"},
                      LanguageCase{"fr", nullptr, nullptr, "ja_JP.UTF-8",
                                   "ja"}));  // unknown: ignored

TEST(FillIn, OnePassKeepsTheBytesOfEveryValue) {
  // A path that is no UTF-8 and holds a "%2" of its own.
  const std::string path = "/photos/\xff%2.jpg";
  EXPECT_EQ(fillIn(QStringLiteral("0101 : %1の読み込みに失敗した。"), {path}),
            "0101 : /photos/\xff%2.jpgの読み込みに失敗した。");
  EXPECT_EQ(fillIn(std::string_view("%2 before %1, %3 stays"), {"a", "b"}), "b before a, %3 stays");
}

TEST(EnglishTranslation, IsBuiltIntoTheProgram) {
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/snapfolio_en.qm")));
  EXPECT_EQ(english.translate("TAdjstPropty1", "AdjstPropty"), QStringLiteral("Correction values"));
  EXPECT_EQ(english.translate("PhotDispSet", "0101 : %1の読み込みに失敗した。"),
            QStringLiteral("0101 : Could not read %1."));
}

}  // namespace
}  // namespace snapfolio
