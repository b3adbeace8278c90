// The walk over a kept album's sources: every photo file of the source folders' trees and the
// photos named alone, with their size and modification time, read from the folders and stat
// alone (no file is opened). Hidden entries (names starting with ".") are left out, folders
// reached through a symbolic link are not entered (no loops), and the site folder is never
// entered, so an album kept inside its source never takes its own images for photos.
//
// Plain functions; any thread.
#pragma once

#include <string>
#include <vector>

#include "site/catalogue.h"

namespace snapfolio::site {

struct ScannedFile {
  long long source = 0;  // SourceRecord::id
  std::string rel;       // the path from the source folder; a photo named alone: its name
  std::string path;      // absolute
  long long size = 0;
  long long mtimeNs = 0;
};

struct ScanResult {
  std::vector<ScannedFile> files;         // by source, then path in byte order
  std::vector<long long> missingSources;  // source folders not there (an unplugged card)
  std::vector<std::string> errors;        // folders that could not be read, with the reason
};

// Whether a file name is that of a photo the album takes (hasPhotoExtension: every format read).
bool isPhotoName(const std::string& name);

ScanResult scanSources(const std::vector<SourceRecord>& sources, const std::string& siteDir);

}  // namespace snapfolio::site
