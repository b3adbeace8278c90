// The one walker of UTF-8 text: every place that checks, cleans, counts or cuts UTF-8 goes
// through these functions, so they all agree on where a character begins and ends.
//
// The rule for malformed bytes: a character is a well-formed UTF-8 sequence (lead byte C2 to F4,
// the right number of continuation bytes, no overlong form, no surrogate, nothing above
// U+10FFFF). Every byte that does not begin a well-formed sequence (a stray continuation byte,
// C0, C1, F5 to FF, a lead byte whose sequence is broken or cut short) is a character of its
// own, one byte long, that decodes as U+FFFD. A walk therefore never swallows a byte that could
// begin the next character: ASCII after a broken sequence is always read as itself, and valid
// text is never changed by a cleaning.
//
// Plain functions without state; any thread may call them. Lengths and limits are in bytes
// unless the name says characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace snapfolio {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

struct Utf8Character {
  std::size_t length = 0;  // bytes; 1 for a malformed byte, 0 only for empty text
  char32_t codePoint = 0;  // kReplacementCharacter for a malformed byte
  bool valid = false;      // false for a malformed byte
};

// The character at the start of `text` (length 0 when `text` is empty).
Utf8Character decodeUtf8(std::string_view text);

// Whether `text` holds no malformed byte.
bool isValidUtf8(std::string_view text);

// `text` with every malformed byte replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view text);

// The number of characters of `text` (a malformed byte counts as one).
std::size_t utf8CharacterCount(std::string_view text);

// The longest prefix of `text` that has at most `maxBytes` bytes and does not end inside a
// character.
std::string cutUtf8(std::string_view text, std::size_t maxBytes);

// The prefix of `text` made of its first `maxCharacters` characters.
std::string_view cutUtf8Characters(std::string_view text, std::size_t maxCharacters);

}  // namespace snapfolio
