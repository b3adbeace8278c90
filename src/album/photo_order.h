// The photos' order in the album page: as chosen in the photo dialog, by date taken, or by
// name. Plain functions; any thread.
#pragma once

#include <string_view>

namespace snapfolio {

// Stored as its number (settings key "AlbumOptions"/"ORDER"); any other number reads as
// AsChosen.
enum class PhotoOrder { AsChosen = 0, ByDate = 1, ByName = 2 };

PhotoOrder photoOrderFromNumber(int number);

// Orders file names as a file manager does: runs of digits by their value ("IMG_9" before
// "IMG_10"), letters without regard to ASCII case, then byte by byte as a tie-break. True
// when a comes before b.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace snapfolio
