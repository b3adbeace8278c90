// The album template shipped with the program (templates/album.dat in the data directory): a
// responsive UTF-8 page with a grid of thumbnails that link to output image 2.
// Plain functions; any thread.
#pragma once

#include <string>
#include <string_view>

namespace snapfolio {

// The installed copy (<prefix>/share/snapfolio/templates/album.dat) when it exists, else the
// copy in the source tree (for a program run from its build directory); empty when neither
// exists.
std::string defaultTemplatePath();

// The same rule over the two data directories given.
std::string defaultTemplatePath(std::string_view installedDataDir, std::string_view sourceDataDir);

}  // namespace snapfolio
