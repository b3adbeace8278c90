#include "core/utf8.h"

namespace snapfolio {

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0u) == 0x80u;
}

}  // namespace

Utf8Character decodeUtf8(std::string_view text) {
  if (text.empty()) return {};
  const auto b0 = static_cast<unsigned char>(text[0]);
  if (b0 < 0x80) return {1, b0, true};
  const Utf8Character malformed{1, kReplacementCharacter, false};
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    cp = b0 & 0x1Fu;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    cp = b0 & 0x0Fu;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    cp = b0 & 0x07u;
    min = 0x10000;
  } else {
    return malformed;
  }
  if (text.size() < length) return malformed;
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (!isContinuation(b)) return malformed;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return malformed;
  return {length, cp, true};
}

bool isValidUtf8(std::string_view text) {
  while (!text.empty()) {
    // Fast path over ASCII runs.
    if (static_cast<unsigned char>(text[0]) < 0x80) {
      text.remove_prefix(1);
      continue;
    }
    const Utf8Character c = decodeUtf8(text);
    if (!c.valid) return false;
    text.remove_prefix(c.length);
  }
  return true;
}

std::string sanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const Utf8Character c = decodeUtf8(text);
    if (c.valid) {
      out.append(text.data(), c.length);
    } else {
      out += kReplacementUtf8;
    }
    text.remove_prefix(c.length);
  }
  return out;
}

std::size_t utf8CharacterCount(std::string_view text) {
  std::size_t count = 0;
  while (!text.empty()) {
    text.remove_prefix(decodeUtf8(text).length);
    ++count;
  }
  return count;
}

std::string cutUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  // Every byte that is not a continuation byte begins a character under the rule above, so
  // the only character that can straddle the cut begins at most three bytes before it.
  std::size_t start = maxBytes;
  while (start > 0 && maxBytes - start < 3 &&
         isContinuation(static_cast<unsigned char>(text[start]))) {
    --start;
  }
  const std::size_t end = start + decodeUtf8(text.substr(start)).length;
  return std::string(text.substr(0, end > maxBytes ? start : maxBytes));
}

std::string_view cutUtf8Characters(std::string_view text, std::size_t maxCharacters) {
  std::size_t end = 0;
  for (std::size_t n = 0; n < maxCharacters && end < text.size(); ++n) {
    end += decodeUtf8(text.substr(end)).length;
  }
  return text.substr(0, end);
}

}  // namespace snapfolio
