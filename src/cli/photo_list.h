// The photos of a run, from the command line's photo and folder arguments.
//
// A file stands for itself (also one that is not there: the run reports it). A folder stands
// for its JPEG files (".jpg" and ".jpeg" in any letter case) in the byte order of their names;
// with `recursive`, each subfolder's JPEG files follow, subfolders in name order, depth first.
// Hidden entries (names starting with ".") are left out, symbolic links to folders are not
// followed inside a folder (no loops), and the output folder is never searched, so a second run
// does not take the first run's images for photos. Names stay bytes.
//
// Plain functions; any thread.
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace snapfolio::cli {

struct PhotoList {
  std::vector<std::string> photos;        // full names, in run order
  std::vector<std::string> emptyFolders;  // folders given that held no JPEG file
  QString error;                          // a folder that could not be read, or a name
                                          // that is not there
};

// `outputDir` may be empty or name a folder that does not exist yet.
PhotoList collectPhotos(const std::vector<std::string>& arguments, bool recursive,
                        const std::string& outputDir);

// Whether a file name ends in ".jpg" or ".jpeg", in any letter case.
bool hasJpegExtension(const std::string& name);

// "no such file or folder: ARGUMENT", for a name given on the command line that is not there.
QString noSuchPath(const std::string& argument);

// An absolute, normalised path without a trailing "/" (other than the root itself).
std::string absolutePath(const std::string& path);

}  // namespace snapfolio::cli
