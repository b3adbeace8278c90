// PixelWidth: the width of an output image as it came in (typed in the window, stored in the
// settings file, set on the command line), read once where it comes in: the text as given, kept
// for the messages and the album page, and the number it reads as, if any.
//
// The text reads as a decimal number with blanks and line breaks around it ignored; the width
// in pixels is that number truncated toward zero ("150.9" is 150). An empty text is no width.
// A plain value; any thread.
#pragma once

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/number_text.h"

namespace snapfolio {

class PixelWidth {
 public:
  PixelWidth() = default;
  PixelWidth(std::string text) : text_(std::move(text)) {
    double value = 0;
    if (parseNumber(trimmed(text_), value)) number_ = value;
  }
  PixelWidth(const char* text) : PixelWidth(std::string(text)) {}

  const std::string& text() const { return text_; }
  bool empty() const { return text_.empty(); }
  // The text reads as a number (which may still give no image).
  bool isNumber() const { return number_.has_value(); }
  // The width in pixels, when the text reads as a number that truncates to 1 or more (within
  // the range of int); nothing when it cannot make an image.
  std::optional<int> pixels() const {
    if (!number_) return std::nullopt;
    const double truncated = std::trunc(*number_);
    if (truncated < 1 || truncated > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(truncated);
  }

  friend bool operator==(const PixelWidth& a, const PixelWidth& b) { return a.text_ == b.text_; }

 private:
  static std::string_view trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
  }

  std::string text_;
  std::optional<double> number_;
};

}  // namespace snapfolio
