// The album template shipped with the program (templates/album.dat in the data directory): a
// responsive UTF-8 page with a grid of thumbnails that link to output image 2.
// Plain functions; any thread.
#pragma once

#include <string>
#include <string_view>

namespace snapfolio {

// The path of the shipped template, looked up in this order:
//   1. beside the running executable: <exe dir>/<bin-to-data>/templates/album.dat, where
//      <bin-to-data> leads from the installed bin directory to the installed data directory
//      ("../share/snapfolio"), so that an installed tree works wherever it is moved;
//   2. the data directory fixed when the program was built (<prefix>/share/snapfolio);
//   3. the source tree (a program run from its build directory).
// Empty when none of them holds the file.
std::string defaultTemplatePath();

// The same rule for the executable and the two data directories given. An empty
// executablePath or data directory is skipped.
std::string defaultTemplatePath(std::string_view executablePath, std::string_view installedDataDir,
                                std::string_view sourceDataDir);

// The data directory that belongs to an executable at executablePath when both lie in one
// installed tree: its directory + dataDirFromBin, normalised; empty for an empty path.
std::string dataDirBeside(std::string_view executablePath, std::string_view dataDirFromBin);

// The full path of the running executable (from /proc/self/exe), empty when unknown.
std::string runningExecutablePath();

}  // namespace snapfolio
