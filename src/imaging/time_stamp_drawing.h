// Drawing the date-time stamp on a finished work surface.
#pragma once

#include <string>

#include "core/raster.h"
#include "timestamp/time_stamp_style.h"

namespace snapfolio {

struct StampRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const StampRect&, const StampRect&) = default;
};

// The top-left point of the stamp for a text of tw x th pixels on a W x H surface.
StampRect stampPosition(int position, int surfaceWidth, int surfaceHeight, int textWidth,
                        int textHeight);

// Sets up the style's font and background for the surface (auto size (H + 50) div 16 points),
// measures the text, places it and draws it. Returns the text cell drawn (possibly partly
// outside the surface, which clips it).
StampRect drawTimeStamp(Raster& surface, const TimeStampStyle& style, const std::string& text);

}  // namespace snapfolio
