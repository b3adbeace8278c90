// The automatic correction written out independently of the program, pixel by pixel in the
// order the correction defines, for comparing the program's results with.
#pragma once

#include "core/raster.h"

namespace snapfolio::test {

// One channel: clamp(trunc((value + offset) x k)) in long double.
int referenceChannel(int value, int offset, int mean, int lum, int gain, int limit);

// The mean brightness over every tenth column of every tenth row, truncated.
int referenceMean(const Raster& surface);

// The corrected copy of a surface (which must not make the formula divide by zero).
Raster referenceCorrection(const Raster& surface, int redOffset, int greenOffset, int blueOffset,
                           int gain, int limit);

}  // namespace snapfolio::test
