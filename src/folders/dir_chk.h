// DirChk: keeps the output directory on an existing directory. Pure path logic over the file
// system, no widgets; any thread.
//
// Paths use "/" as the separator. The walk climbs one level per pass and ends at "/" at the
// latest; "/" is an ASCII byte that never occurs inside a multi-byte UTF-8 character, so the
// walk works on characters.
#pragma once

#include <string>

namespace snapfolio {

// The nearest existing directory at or above `path`: the path itself when it names an
// existing directory, otherwise its first existing ancestor followed by "/" (for example
// "/d/x/y" with only "/d" existing gives "/d/"), or an empty text when no ancestor is left
// (a relative name without "/", an empty text). A relative path is tested against the
// process's working directory.
std::string DirChk(const std::string& path);

}  // namespace snapfolio
