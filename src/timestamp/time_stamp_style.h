// TimeStampStyle: how one output image's date-time stamp looks. The time-stamp dialog of the
// image holds it; a copy is handed to the engine when a pipeline call starts.
// Colours are 0x00BBGGRR values (255 is red, 16777215 is white); sizes are points.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace snapfolio {

struct TimeStampStyle {
  std::string fontName = "ＭＳ Ｐゴシック";  // stored face name; drawn through font substitutions
  int fontSize = 12;                         // points, at 96 pixels per inch
  std::uint32_t fontColor = 255;
  int fontCharset = 128;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;

  float backgroundColor = 16777215.0f;  // truncated to an integer colour when used
  bool transparent = true;
  bool autoSize = true;
  int position = 6;  // 1 to 6; any other value is drawn at the bottom right

  friend bool operator==(const TimeStampStyle&, const TimeStampStyle&) = default;
};

// A colour value from a stored number: truncated toward zero and reduced to its low 24 bits
// (two's complement for negatives, so -1 is white); a value that is not finite is black.
inline std::uint32_t colourFromNumber(double value) {
  if (!std::isfinite(value)) return 0;
  const double wrapped = std::fmod(std::trunc(value), 16777216.0);  // exact for any double
  const auto whole = static_cast<long long>(wrapped);
  return static_cast<std::uint32_t>(whole) & 0x00FFFFFFu;
}

}  // namespace snapfolio
