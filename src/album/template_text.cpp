#include "album/template_text.h"

// Standard library
#include <algorithm>
#include <limits>

// Project
#include "core/utf8.h"

namespace snapfolio {

namespace {

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

std::optional<std::int32_t> readDecimal(std::string_view text, std::size_t at) {
  std::size_t i = at;
  while (i < text.size() && isCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  // Accumulated as a magnitude that stops growing one past INT32_MAX, so that every digit is
  // consumed without overflow and the result saturates.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = std::min(kLimit, magnitude * 10 + (text[i] - '0'));
  }
  if (negative) return static_cast<std::int32_t>(-magnitude);
  return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

TextPosition textPosition(std::string_view text, std::size_t offset, bool utf8) {
  TextPosition position;
  offset = std::min(offset, text.size());
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++position.line;
      lineStart = i + 1;
    }
  }
  if (utf8) {
    position.column +=
        static_cast<int>(utf8CharacterCount(text.substr(lineStart, offset - lineStart)));
    return position;
  }
  for (std::size_t i = lineStart; i < offset; ++i) {
    ++position.column;
    if (isCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < offset) ++i;
  }
  return position;
}

std::string escapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string escapeUrlPath(std::string_view name) {
  static constexpr std::string_view kEncoded = "\"#%,:<>?[\\]^`{|}";
  static constexpr char kHex[] = "0123456789ABCDEF";
  const bool keepNonAscii = isValidUtf8(name);
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool encode = byte <= 0x20 || byte == 0x7F ||
                        kEncoded.find(c) != std::string_view::npos ||
                        (byte >= 0x80 && !keepNonAscii);
    if (encode) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace snapfolio
