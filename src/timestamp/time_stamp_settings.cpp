#include "timestamp/time_stamp_settings.h"

// Standard library
#include <algorithm>
#include <array>
#include <stdexcept>

// Project
#include "settings/settings_keys.h"

namespace snapfolio {

namespace {

const keys::TimeStampKeys& keysOf(int imageNumber) {
  if (imageNumber != 1 && imageNumber != 2) {
    throw std::invalid_argument("time-stamp styles exist for output images 1 and 2 only");
  }
  return keys::TIMESTAMP[static_cast<std::size_t>(imageNumber - 1)];
}

std::array<const keys::TextKey*, 4> flagKeys(const keys::TimeStampKeys& k) {
  return {&k.bold, &k.italic, &k.underline, &k.strikeOut};
}

std::array<bool*, 4> flagsOf(TimeStampStyle& style) {
  return {&style.bold, &style.italic, &style.underline, &style.strikeOut};
}

std::array<bool, 4> flagValues(const TimeStampStyle& style) {
  return {style.bold, style.italic, style.underline, style.strikeOut};
}

}  // namespace

int charsetFromText(const std::string& text) {
  int value = 0;
  if (parseInteger(text, value) && value >= 0 && value <= 255) return value;
  return 128;
}

TimeStampStyle readTimeStampStyle(const TIniFile& ini, int imageNumber) {
  const keys::TimeStampKeys& k = keysOf(imageNumber);
  TimeStampStyle style;
  style.transparent = read(ini, k.bgTransparent);
  style.autoSize = read(ini, k.autoSize);
  style.position = read(ini, k.position);
  style.fontName = read(ini, k.font);
  style.fontColor = colourFromNumber(read(ini, k.fontColor));
  style.fontSize = read(ini, k.fontSize);
  style.fontCharset = charsetFromText(read(ini, k.fontCharset));
  const auto keysOfFlags = flagKeys(k);
  for (std::size_t f = 0; f < keysOfFlags.size(); ++f) {
    if (read(ini, *keysOfFlags[f]) == kStyleFlagNames[f]) {
      // A later key replaces the style set by an earlier one.
      for (bool* flag : flagsOf(style)) *flag = false;
      *flagsOf(style)[f] = true;
    }
  }
  style.backgroundColor = static_cast<float>(read(ini, k.bgColor));
  return style;
}

std::string readTimeStampFormat(const TIniFile& ini) {
  return read(ini, keys::TIMSTYLE1);
}

void writeTimeStampStyle(TIniFile& ini, int imageNumber, const TimeStampStyle& style,
                         const std::string* format) {
  const keys::TimeStampKeys& k = keysOf(imageNumber);
  write(ini, k.bgTransparent, style.transparent);
  write(ini, k.autoSize, style.autoSize);
  write(ini, k.position, style.position);
  write(ini, k.font, style.fontName);
  write(ini, k.fontColor, static_cast<double>(style.fontColor & 0x00FFFFFFu));
  write(ini, k.fontSize, style.fontSize);
  write(ini, k.fontCharset, formatInteger(charsetFromText(std::to_string(style.fontCharset))));

  const auto keysOfFlags = flagKeys(k);
  const auto flags = flagValues(style);
  const bool single = std::count(flags.begin(), flags.end(), true) == 1;
  for (std::size_t f = 0; f < keysOfFlags.size(); ++f) {
    if (single && flags[f]) {
      write(ini, *keysOfFlags[f], kStyleFlagNames[f]);
    } else if (read(ini, *keysOfFlags[f]) == kStyleFlagNames[f]) {
      write(ini, *keysOfFlags[f], "");
    }
  }

  // A whole number: the float holds a colour truncated when it is used.
  write(ini, k.bgColor, static_cast<double>(colourFromNumber(style.backgroundColor)));
  if (format != nullptr) write(ini, keys::TIMSTYLE1, *format);
}

}  // namespace snapfolio
