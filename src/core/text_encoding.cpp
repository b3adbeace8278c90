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
    // iconv stopped at a character it cannot encode, or at a malformed byte (U+FFFD).
    const Utf8Character c = decodeUtf8(text);
    replace(out, c.codePoint);
    text.remove_prefix(c.length);
  }
  return lossless;
}

}  // namespace

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
