#include "core/text_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace snapfolio {
namespace {

// Texts that code page 932 holds: they survive UTF-8 -> CP932 -> UTF-8 unchanged.
class Cp932RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(Cp932RoundTrip, IsLossless) {
  bool lossless = false;
  const std::string cp932 = utf8ToCp932(GetParam(), lossless);
  EXPECT_TRUE(lossless);
  EXPECT_EQ(cp932ToUtf8(cp932), GetParam());
  EXPECT_EQ(utf8ToCp932WithReferences(GetParam()), cp932);
}

INSTANTIATE_TEST_SUITE_P(Texts, Cp932RoundTrip,
                         testing::Values("", "plain ASCII \\ ~", "ＭＳ Ｐゴシック", "表示ソフト",
                                         "～①㈱", "ｱｲｳｴｵ", "夏の旅行アルバム"));

TEST(Cp932, KnownBytes) {
  bool lossless = false;
  // 表 and ソ end in the byte of "\"; the conversion must treat them as one character.
  EXPECT_EQ(utf8ToCp932("表ソ", lossless), "\x95\x5C\x83\x5C");
  EXPECT_EQ(cp932ToUtf8("C:\\\x95\x5C"), "C:\\表");
  EXPECT_EQ(cp932ToUtf8("\x82\xA0"), "あ");
}

TEST(Cp932, UndecodableBytesBecomeReplacementCharacters) {
  EXPECT_EQ(cp932ToUtf8("a\xFF"
                        "b"),
            "a\uFFFDb");
  EXPECT_EQ(cp932ToUtf8("\x80"), "\uFFFD");
  // A lead byte without its trail byte: the following ASCII byte is kept.
  EXPECT_EQ(cp932ToUtf8("\x81 x"), "\uFFFD x");
  EXPECT_EQ(cp932ToUtf8("ab\x82"), "ab\uFFFD");
}

TEST(Cp932, RandomBytesDecodeToValidUtf8) {
  std::mt19937 random(932);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(static_cast<std::size_t>(random() % 300), '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    EXPECT_TRUE(isValidUtf8(cp932ToUtf8(bytes)));
    bool lossless = true;
    utf8ToCp932(bytes, lossless);  // invalid UTF-8 input must not crash either
    EXPECT_TRUE(isValidUtf8(cp932ToUtf8(utf8ToCp932WithReferences(bytes))));
  }
  // Long input, past the converter's internal buffer.
  std::string cp932;
  std::string utf8;
  for (int i = 0; i < 50000; ++i) {
    cp932 += "\x82\xA0";
    utf8 += "あ";
  }
  EXPECT_EQ(cp932ToUtf8(cp932), utf8);
  bool lossless = false;
  EXPECT_EQ(utf8ToCp932(utf8, lossless), cp932);
}

struct LossyCase {
  const char* utf8;
  const char* questionMarks;
  const char* references;
};

class Cp932Lossy : public testing::TestWithParam<LossyCase> {};

TEST_P(Cp932Lossy, ReplacesWhatCodePage932Lacks) {
  bool lossless = true;
  EXPECT_EQ(utf8ToCp932(GetParam().utf8, lossless), GetParam().questionMarks);
  EXPECT_FALSE(lossless);
  EXPECT_EQ(utf8ToCp932WithReferences(GetParam().utf8), GetParam().references);
}

INSTANTIATE_TEST_SUITE_P(Characters, Cp932Lossy,
                         testing::Values(LossyCase{"é", "?", "&#xE9;"},
                                         LossyCase{"😀", "?", "&#x1F600;"},
                                         LossyCase{"aé😀b", "a??b", "a&#xE9;&#x1F600;b"},
                                         LossyCase{"ゴé", "\x83S?", "\x83S&#xE9;"},
                                         LossyCase{"x\xFFy", "x?y", "x&#xFFFD;y"}));

}  // namespace
}  // namespace snapfolio
