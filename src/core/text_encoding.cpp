#include "core/text_encoding.h"

// Standard library
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

// System
#include <iconv.h>

namespace snapfolio {

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD
constexpr char32_t kReplacement = 0xFFFD;

// Length of the valid UTF-8 sequence at the start of `text` (its code point in `cp`), or 0 when
// the bytes there are not valid UTF-8.
std::size_t decodeUtf8(std::string_view text, char32_t& cp) {
  if (text.empty()) return 0;
  const auto b0 = static_cast<unsigned char>(text[0]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t length = 0;
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
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if ((b & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

// One iconv conversion descriptor, closed when the object goes.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts from the front of `in` into `out` until the input ends (returns 0) or iconv stops
  // at a sequence it cannot convert (returns errno; `in` then starts at that sequence).
  int convert(std::string_view& in, std::string& out) {
    std::array<char, 4096> buffer;
    while (true) {
      char* source = const_cast<char*>(in.data());
      std::size_t sourceLeft = in.size();
      char* target = buffer.data();
      std::size_t targetLeft = buffer.size();
      const std::size_t result = iconv(cd_, &source, &sourceLeft, &target, &targetLeft);
      const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
      out.append(buffer.data(), buffer.size() - targetLeft);
      in.remove_prefix(in.size() - sourceLeft);
      if (error == E2BIG) continue;
      if (error != 0) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
        return error;
      }
      return 0;
    }
  }

 private:
  iconv_t cd_;
};

void appendReference(std::string& out, char32_t cp) {
  char text[16];
  std::snprintf(text, sizeof text, "&#x%X;", static_cast<unsigned>(cp));
  out += text;
}

// Encodes in code page 932; `replace` writes whatever stands for a character that cannot be
// encoded (the code point, or U+FFFD for a byte that is not UTF-8). Returns whether nothing was
// replaced.
template <typename Replace>
bool encodeCp932(std::string_view text, std::string& out, Replace replace) {
  Iconv cd("CP932", "UTF-8");
  out.reserve(text.size());
  bool lossless = true;
  while (!text.empty()) {
    if (cd.convert(text, out) == 0) break;
    lossless = false;
    char32_t cp = kReplacement;
    std::size_t length = decodeUtf8(text, cp);
    if (length == 0) {
      cp = kReplacement;
      length = 1;
    }
    replace(out, cp);
    text.remove_prefix(length);
  }
  return lossless;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  while (!text.empty()) {
    // Fast path over ASCII runs.
    if (static_cast<unsigned char>(text[0]) < 0x80) {
      text.remove_prefix(1);
      continue;
    }
    char32_t cp = 0;
    const std::size_t length = decodeUtf8(text, cp);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::string sanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    char32_t cp = 0;
    std::size_t length = decodeUtf8(text, cp);
    if (length == 0) {
      out += kReplacementUtf8;
      length = 1;
    } else {
      out.append(text.data(), length);
    }
    text.remove_prefix(length);
  }
  return out;
}

std::string cp932ToUtf8(std::string_view bytes) {
  Iconv cd("UTF-8", "CP932");
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  while (!bytes.empty()) {
    const int error = cd.convert(bytes, out);
    if (error == 0) break;
    out += kReplacementUtf8;
    // A lead byte without a valid trail byte: skip the lead byte only, so that an ASCII byte
    // after it is still read as itself. An incomplete sequence at the end ends the text.
    if (error == EINVAL) break;
    bytes.remove_prefix(1);
  }
  return out;
}

std::string utf8ToCp932(std::string_view text, bool& lossless) {
  std::string out;
  lossless = encodeCp932(text, out, [](std::string& o, char32_t) { o += '?'; });
  return out;
}

std::string utf8ToCp932WithReferences(std::string_view text) {
  std::string out;
  encodeCp932(text, out, appendReference);
  return out;
}

}  // namespace snapfolio
