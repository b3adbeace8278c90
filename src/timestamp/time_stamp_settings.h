// Reading and writing one output image's TimeStampStyle and the stamps' date-time format in the
// settings file, in the fixed order of the time-stamp dialogs' construction and set button.
//
// Plain functions over a TIniFile the caller opened; one batch at a time.
#pragma once

#include <string>

#include "settings/ini_file.h"
#include "timestamp/time_stamp_style.h"

namespace snapfolio {

// The stored names of the four style flags, in the order the keys are read and written.
inline constexpr const char* kStyleFlagNames[4] = {"fsBold", "fsItalic", "fsUnderline",
                                                   "fsStrikeOut"};

// The style of output image `imageNumber` (1 or 2), each key read in turn with its default:
// transparency, auto size, position, face, colour (truncated, low 24 bits), size, character set,
// bold, italic, underline, strike-out, background colour. Of the four style keys the last that
// holds its flag's exact name decides, and the style is then that flag alone. A character set
// that is not a decimal number from 0 to 255 gives 128. A position outside 1 to 6 is kept.
TimeStampStyle readTimeStampStyle(const TIniFile& ini, int imageNumber);

// The date-time format of both images' stamps ("TIMSTYLE1").
std::string readTimeStampFormat(const TIniFile& ini);

// Writes the style of output image `imageNumber` in the same order, then "TIMSTYLE1" when
// `format` is given. A style flag's key receives the flag's name only when the style is exactly
// that one flag; a key that still holds its name from an earlier set but no longer matches is
// cleared, so the file never restores a style the user has since replaced. Throws
// SettingsWriteError when a write cannot reach the disk (the keys before it are written).
void writeTimeStampStyle(TIniFile& ini, int imageNumber, const TimeStampStyle& style,
                         const std::string* format);

// A character set read from its stored text: 128 unless it is a decimal number from 0 to 255.
int charsetFromText(const std::string& text);

}  // namespace snapfolio
