// The automatic brightness and colour correction of a work surface.
//
// Plain functions over a Raster and a copy of the correction values; no state survives a call.
// Called on the thread of the operation that owns the surface and the port.
#pragma once

#include <string_view>

#include <QtGlobal>

#include "core/ports.h"
#include "core/raster.h"
#include "options/correction_values.h"

namespace snapfolio {

// The messages of the correction's steps (a failure in a step carries its message), to be
// translated in the context "AoutAdjust".
inline constexpr const char* kSamplingError =
    QT_TRANSLATE_NOOP("AoutAdjust", "0200 : 画素の集計でエラーが発生した ");
inline constexpr const char* kOffsetError =
    QT_TRANSLATE_NOOP("AoutAdjust", "0201 : カラーの補正値が正しい値でない。 ");
inline constexpr const char* kFormulaError =
    QT_TRANSLATE_NOOP("AoutAdjust", "0300 : 画像補正計算のエラー");

// The texts of the detail status line during a correction.
inline constexpr const char* kStatusSampling =
    QT_TRANSLATE_NOOP("AoutAdjust", "  << 画像情報収集 >>");
inline constexpr const char* kStatusCorrecting =
    QT_TRANSLATE_NOOP("AoutAdjust", "###　画像補正中　###");
inline constexpr const char* kStatusDone =
    QT_TRANSLATE_NOOP("AoutAdjust", "***　画像補正完了　***");

// The per-channel formula: the corrected value (0 to 255) of one channel. Computed in long
// double; throws Failure on a division by zero (mean 255, or mean 0 with C x lum 0), without a
// step's message: the correction runs it in its step "0300 : 画像補正計算のエラー".
// `gain` is A (the gain bar), `limit` is C (the highlight-limit bar, in tenths).
int ColorAdjust(int value, int offset, int mean, int lum, int gain, int limit);

// ColorAdjust in two halves, for passes that evaluate the factor once per brightness:
// ColorAdjust(v, o, mean, lum, A, C) == applyCorrectionFactor(v, o, correctionFactor(mean,
// lum, A, C)) bit for bit.
// The gain factor k = w * (A / d) + 1 of a pixel of brightness `lum`; throws Failure on a
// division by zero.
long double correctionFactor(int mean, int lum, int gain, int limit);
// clamp(trunc((offset + value) * k), 0, 255); never fails, also for offsets near the int limits.
int applyCorrectionFactor(int value, int offset, long double k);

// Reads an offset text the lenient way: leading blanks, optional sign, digits up to the first
// non-digit; no digits gives 0. A number beyond the int range saturates to INT_MIN or INT_MAX
// (the correction clamps its results to 0..255 anyway, so a huge offset acts as a huge one).
int lenientInteger(std::string_view text);

// The mean brightness of the surface on its sampling grid (every tenth column of every tenth
// row from the top-left pixel): floor(sum of R + G + B over the samples / (3 x count)).
// Advances the detail gauge once per sampled row. Throws Failure when the surface is empty.
int sampledMeanBrightness(const Raster& surface, ProgressPort& progress);

// Corrects the surface in place (sampling pass, mean, correction pass), reporting on the
// detail status line and gauge. A failure leaves as a StepFailure with the message of its step
// (sampling, offsets, formula); pixels before the failing one (in row order) stay corrected,
// that pixel and the rest stay as they were.
void AoutAdjust(Raster& surface, const CorrectionValues& values, ProgressPort& progress);

}  // namespace snapfolio
