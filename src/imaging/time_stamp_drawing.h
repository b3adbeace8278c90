// Drawing the date-time stamp on a finished work surface: the set-up of the stamp's font and
// background for output image 1 or 2 (the same for both, from that image's style), the
// measuring, the placement at one of six edges and corners, and the drawing.
//
// Plain functions; they need a QGuiApplication (fonts) and may run on any one thread at a time
// per surface. Sizes are pixels unless named points; points convert at 96 pixels per inch.
// Font faces are matched through the toolkit's font substitutions (registerFontSubstitutions).
#pragma once

#include <string>

#include <QFont>

#include "core/limits.h"
#include "core/raster.h"
#include "options/time_stamp_style.h"

namespace snapfolio {

struct StampRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const StampRect&, const StampRect&) = default;
};

// The top-left point of the stamp for a text of tw x th pixels on a W x H surface (width and
// height of the result are tw and th). Positions 1 to 6 are top left, top centre, top right,
// bottom left, bottom centre, bottom right; any other value is bottom right. Centring truncates
// toward zero; a text larger than the surface gets negative coordinates.
StampRect stampPosition(int position, int surfaceWidth, int surfaceHeight, int textWidth,
                        int textHeight);

// The automatic size for a surface H pixels high: (H + 50) div 16 points.
int autoSizePoints(int surfaceHeight);
// The size the stamp is drawn at: the automatic size or the style's size, within
// kLimits.smallestStampPoints and kLimits.largestStampPoints (a size of 0 is drawn at 1 point, a
// size of 5000 at 1000 points), so a bad setting never asks the renderer for an absurd glyph.
int stampPoints(const TimeStampStyle& style, int surfaceHeight);
// Points to pixels at 96 pixels per inch, rounded to the nearest pixel (12 points are 16 pixels,
// 10 points 13 pixels).
int pointsToPixels(int points);
// The stamp's font: the style's face, its size in pixels (stampPoints), bold, italic, underline
// and strike-out. The character set is not used: the renderer picks glyphs per character.
QFont stampFont(const TimeStampStyle& style, int surfaceHeight);

// Sets up the style's font and background for the surface, measures the text with that font
// (width: its advance; height: the text cell's ascent + descent), places it and draws it:
// transparent (only the glyphs are painted, in the font colour) or on an opaque box of exactly
// the text cell filled with the background colour. Colours use their low 24 bits. Returns the
// text cell (possibly partly outside the surface, which clips it). An empty text or an empty
// surface draws nothing. A text longer than kLimits.stampCharacters is cut (on a character
// boundary) first; the longest text at the largest size then stays well inside the renderer's
// coordinate range.
StampRect drawTimeStamp(Raster& surface, const TimeStampStyle& style, const std::string& text);

}  // namespace snapfolio
