#include "cli/cli_text.h"

namespace snapfolio::cli {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + a byte from 0x80 to 0xFF

bool isContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0 when there is none
// (overlong forms, encoded surrogates and code points above U+10FFFF are not valid).
std::size_t sequenceLength(std::string_view bytes, char32_t& codePoint) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!isContinuation(at(i))) return 0;
  }
  char32_t value = lead & (0xFF >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) value = value << 6 | (at(i) & 0x3F);
  codePoint = value;
  return length;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

QString textFromBytes(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  while (!bytes.empty()) {
    char32_t c = 0;
    std::size_t length = sequenceLength(bytes, c);
    if (length == 0) {
      text += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[0])));
      length = 1;
    } else if (c >= 0x10000) {
      const char32_t v = c - 0x10000;
      text += QChar(static_cast<char16_t>(0xD800 + (v >> 10)));
      text += QChar(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
      text += QChar(static_cast<char16_t>(c));
    }
    bytes.remove_prefix(length);
  }
  return text;
}

std::string bytesFromText(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text[i + 1].unicode())) {
      appendUtf8(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
      ++i;
    } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
      out += static_cast<char>(unit - kEscapeBase);
    } else if (QChar::isSurrogate(unit)) {
      appendUtf8(out, 0xFFFD);  // a lone surrogate that no byte stands for
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

QString shownText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    const char16_t unit = c.unicode();
    if ((unit < 0x20 && unit != '\n') || unit == 0x7F) {
      out += QString::asprintf("\\x%02x", unsigned{unit});
    } else if (unit >= 0x80 && unit <= 0x9F) {
      out += QString::asprintf("\\u%04x", unsigned{unit});
    } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0x9F) {
      out += QString::asprintf(
          "\\x%02x", unsigned{unit} - kEscapeBase);  // a lone byte a terminal may take as C1
    } else {
      out += c;
    }
  }
  return out;
}

void printLine(std::FILE* stream, const QString& text) {
  const std::string bytes = bytesFromText(shownText(text)) + '\n';
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

}  // namespace snapfolio::cli
