#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace snapfolio {
namespace {

struct Utf8Case {
  const char* name;
  std::string bytes;
  bool valid;
};

class Utf8Validity : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Validity, Classifies) {
  EXPECT_EQ(isValidUtf8(GetParam().bytes), GetParam().valid);
  // Sanitising changes exactly the invalid texts, and always yields valid UTF-8.
  const std::string clean = sanitizeUtf8(GetParam().bytes);
  EXPECT_TRUE(isValidUtf8(clean));
  EXPECT_EQ(clean == GetParam().bytes, GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Sequences, Utf8Validity,
                         testing::Values(Utf8Case{"empty", "", true},
                                         Utf8Case{"ascii", "abc=1", true},
                                         Utf8Case{"two_bytes", "é", true},
                                         Utf8Case{"three_bytes", "ゴシック", true},
                                         Utf8Case{"four_bytes", "😀", true},
                                         Utf8Case{"nul_inside", std::string("a\0b", 3), true},
                                         Utf8Case{"overlong_slash", "\xC0\xAF", false},
                                         Utf8Case{"overlong_three", "\xE0\x80\xAF", false},
                                         Utf8Case{"surrogate", "\xED\xA0\x80", false},
                                         Utf8Case{"above_max", "\xF4\x90\x80\x80", false},
                                         Utf8Case{"truncated", "\xE3\x81", false},
                                         Utf8Case{"lone_continuation", "a\x80", false},
                                         Utf8Case{"cp932_text", "\x95\x5C\x8E\xA6", false}),
                         [](const auto& p) { return std::string(p.param.name); });

// Malformed bytes: each one is a character of its own that reads as U+FFFD. Every function of
// the helper must agree with that split: the walk, the count, the cleaning and both cuts.
struct MalformedCase {
  const char* name;
  std::string bytes;
  std::vector<std::size_t> lengths;  // the characters' lengths in bytes, in order
  std::string sanitized;
};

class Utf8Malformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(Utf8Malformed, EveryFunctionSplitsAlike) {
  const MalformedCase& c = GetParam();
  std::vector<std::size_t> lengths;
  for (std::string_view rest = c.bytes; !rest.empty();) {
    const Utf8Character character = decodeUtf8(rest);
    ASSERT_GT(character.length, 0u);
    EXPECT_EQ(character.valid, character.codePoint != kReplacementCharacter);
    lengths.push_back(character.length);
    rest.remove_prefix(character.length);
  }
  EXPECT_EQ(lengths, c.lengths);
  EXPECT_EQ(utf8CharacterCount(c.bytes), c.lengths.size());
  EXPECT_EQ(sanitizeUtf8(c.bytes), c.sanitized);

  std::vector<std::size_t> boundaries{0};
  for (std::size_t length : c.lengths) boundaries.push_back(boundaries.back() + length);
  for (std::size_t n = 0; n < boundaries.size(); ++n) {
    EXPECT_EQ(cutUtf8Characters(c.bytes, n).size(), boundaries[n]) << n << " characters";
  }
  for (std::size_t max = 0; max <= c.bytes.size(); ++max) {
    std::size_t expected = 0;
    for (std::size_t b : boundaries) {
      if (b <= max) expected = b;
    }
    EXPECT_EQ(cutUtf8(c.bytes, max), c.bytes.substr(0, expected)) << "at most " << max;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Utf8Malformed,
    testing::Values(
        MalformedCase{"valid", "a写😀", {1, 3, 4}, "a写😀"},
        MalformedCase{"lone_continuation",
                      "a\x80"
                      "b",
                      {1, 1, 1},
                      "a\uFFFD"
                      "b"},
        MalformedCase{
            "lead_f5_with_continuations", "\xF5\x80\x80", {1, 1, 1}, "\uFFFD\uFFFD\uFFFD"},
        MalformedCase{"byte_ff",
                      "\xFF"
                      "A",
                      {1, 1},
                      "\uFFFD"
                      "A"},
        MalformedCase{"overlong_c0", "\xC0\xAF", {1, 1}, "\uFFFD\uFFFD"},
        MalformedCase{"broken_sequence_then_ascii",
                      "\xE3\x81"
                      "A",
                      {1, 1, 1},
                      "\uFFFD\uFFFD"
                      "A"},
        MalformedCase{"cut_short_at_end", "あ\xE3\x81", {3, 1, 1}, "あ\uFFFD\uFFFD"},
        MalformedCase{"surrogate", "\xED\xA0\x80", {1, 1, 1}, "\uFFFD\uFFFD\uFFFD"},
        MalformedCase{"above_max", "\xF4\x90\x80\x80", {1, 1, 1, 1}, "\uFFFD\uFFFD\uFFFD\uFFFD"},
        MalformedCase{"valid_between_strays", "\x80😀\x80", {1, 4, 1}, "\uFFFD😀\uFFFD"},
        MalformedCase{"continuations_before_cut",
                      "ab\x80\x80\x80\x80"
                      "c",
                      {1, 1, 1, 1, 1, 1, 1},
                      "ab\uFFFD\uFFFD\uFFFD\uFFFD"
                      "c"},
        MalformedCase{"cp932_bytes", "\x95\x5C", {1, 1}, "\uFFFD\\"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace snapfolio
