// TimeStampStyle: how one output image's date-time stamp looks, and StampFont, its font fields
// as a font dialog holds them. The time-stamp dialog of the image holds the style; a copy is
// handed to the engine when a pipeline call starts.
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

// The font fields of a style: face, size in points, colour 0x00BBGGRR, character set, flags.
struct StampFont {
  std::string name = "ＭＳ Ｐゴシック";
  int size = 12;
  std::uint32_t color = 255;
  int charset = 128;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  friend bool operator==(const StampFont&, const StampFont&) = default;
};

inline StampFont fontOf(const TimeStampStyle& style) {
  return {style.fontName, style.fontSize, style.fontColor, style.fontCharset,
          style.bold,     style.italic,   style.underline, style.strikeOut};
}

inline void applyFont(TimeStampStyle& style, const StampFont& font) {
  style.fontName = font.name;
  style.fontSize = font.size;
  style.fontColor = font.color;
  style.fontCharset = font.charset;
  style.bold = font.bold;
  style.italic = font.italic;
  style.underline = font.underline;
  style.strikeOut = font.strikeOut;
}

// A colour value from a stored number: truncated toward zero and reduced to its low 24 bits
// (two's complement for negatives, so -1 is white); a value that is not finite is black.
inline std::uint32_t colourFromNumber(double value) {
  if (!std::isfinite(value)) return 0;
  const double wrapped = std::fmod(std::trunc(value), 16777216.0);  // exact for any double
  const auto whole = static_cast<long long>(wrapped);
  return static_cast<std::uint32_t>(whole) & 0x00FFFFFFu;
}

}  // namespace snapfolio
