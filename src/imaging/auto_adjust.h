// The automatic brightness and colour correction of a work surface.
#pragma once

#include <string_view>

#include "core/error_text.h"
#include "core/ports.h"
#include "core/raster.h"
#include "imaging/correction_values.h"

namespace snapfolio {

// The per-channel formula: the corrected value (0 to 255) of one channel. Computed in long
// double; throws Failure on a division by zero (mean 255, or mean 0 with C x lum 0). Does not
// touch ErrorText: the caller sets "0300 : 画像補正計算のエラー" before it.
int ColorAdjust(int value, int offset, int mean, int lum, int gain, int limit);

// Reads an offset text the lenient way: leading blanks, optional sign, digits up to the first
// non-digit; no digits gives 0.
int lenientInteger(std::string_view text);

// Corrects the surface in place (sampling pass, mean, correction pass), reporting on the
// detail status line and gauge, setting ErrorText before each step. A failure propagates with
// its message pending; pixels before the failing one stay corrected.
void AoutAdjust(Raster& surface, const CorrectionValues& values, ErrorText& errorText,
                ProgressPort& progress);

}  // namespace snapfolio
