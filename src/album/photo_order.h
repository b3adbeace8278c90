// The photos' order in the album page (PhotoOrder, options/album_options.h): the comparison of
// file names by name. Plain functions; any thread.
#pragma once

#include <string_view>

#include "options/album_options.h"

namespace snapfolio {

// Orders file names as a file manager does: runs of digits by their value ("IMG_9" before
// "IMG_10"), letters without regard to ASCII case, then byte by byte as a tie-break. True
// when a comes before b.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace snapfolio
