// CorrectionValues: the user's settings of the automatic correction, one set for both output
// images. The correction-values dialog fills a copy at the moment a pipeline call starts; the
// engine never reads widgets.
#pragma once

#include <string>

namespace snapfolio {

struct CorrectionValues {
  // Offsets as typed ("RED_Adjust", ...); read leniently by the correction ("12abc" is 12).
  std::string red = "0";
  std::string green = "0";
  std::string blue = "0";
  int gain = 0;   // A, position of the gain bar, 0 to 80 ("Aump_Adjust")
  int limit = 0;  // C, position of the highlight-limit bar in tenths, 0 to 50 ("Cntlr_Adjust")

  friend bool operator==(const CorrectionValues&, const CorrectionValues&) = default;
};

}  // namespace snapfolio
