// The album templates shipped with the program, in the data directory: templates/album.dat
// (Japanese) and templates/album-en.dat (English), responsive UTF-8 pages of whole thumbnails in
// justified rows that link to output image 2, with a viewer. Also what the album step uses when
// its fields are empty. Plain functions; any thread.
#pragma once

#include <string>
#include <string_view>

namespace snapfolio {

// The page file name used when the "ﾌｧｲﾙ名" field is empty.
inline constexpr std::string_view kDefaultPageFileName = "index.html";

// The path of the shipped template for an interface language: "en" gives the English template,
// any other language the Japanese one. Empty when it is not found (see below).
std::string shippedTemplatePath(std::string_view language);
// Its file name in templates/: "album-en.dat" for "en", else "album.dat".
std::string_view shippedTemplateFileName(std::string_view language);

// The path of another shipped file of templates/ (the kept album's templates and script), by
// the same rule as the shipped templates; empty when it is not found.
std::string shippedTemplateFile(std::string_view fileName);

// What the album step uses for its two fields: the field as typed, or, when it is empty, the
// shipped template of `language` and kDefaultPageFileName. The window shows these as the
// fields' placeholders.
std::string templatePathOrShipped(std::string_view field, std::string_view language);
std::string pageFileNameOrDefault(std::string_view field);

// The path of the shipped Japanese template, looked up in this order:
//   1. beside the running executable: <exe dir>/<bin-to-data>/templates/album.dat, where
//      <bin-to-data> leads from the installed bin directory to the installed data directory
//      ("../share/snapfolio"), so that an installed tree works wherever it is moved;
//   2. the data directory fixed when the program was built (<prefix>/share/snapfolio);
//   3. the source tree (a program run from its build directory).
// Empty when none of them holds the file.
std::string defaultTemplatePath();

// The same rule for the executable and the two data directories given, for the template
// templates/<fileName>. An empty
// executablePath or data directory is skipped.
std::string defaultTemplatePath(std::string_view executablePath, std::string_view installedDataDir,
                                std::string_view sourceDataDir,
                                std::string_view fileName = "album.dat");

// The data directory that belongs to an executable at executablePath when both lie in one
// installed tree: its directory + dataDirFromBin, normalised; empty for an empty path.
std::string dataDirBeside(std::string_view executablePath, std::string_view dataDirFromBin);

// The full path of the running executable (from /proc/self/exe), empty when unknown.
std::string runningExecutablePath();

}  // namespace snapfolio
