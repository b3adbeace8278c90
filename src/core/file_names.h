// Splitting photo file names and building output file names.
//
// The base name is the file name without directory and without the extension; the extension
// is the part from the last dot of the file name on, with the dot, in its own letter case
// ("c.JPG" has base "c" and extension ".JPG"; a name without a dot has no extension).
#pragma once

#include <string>
#include <string_view>

namespace snapfolio {

struct FileNameParts {
  std::string directory;  // up to and without the last "/"; empty when there is none
  std::string base;
  std::string extension;
};

FileNameParts splitFileName(std::string_view path);

// The file-name part of a path: the text after its last "/".
std::string fileNamePart(std::string_view path);

// The output file name of a photo for one output image: prefix + base name + suffix +
// `extension` (with its dot; the output image's encoder gives it), without directory.
std::string outputFileName(std::string_view photoPath, std::string_view prefix,
                           std::string_view suffix, std::string_view extension);

// directory + "/" + name; the separator is always inserted, also when the directory already
// ends in one (at the root this gives "//name", which POSIX accepts).
std::string joinPath(std::string_view directory, std::string_view name);

}  // namespace snapfolio
