// External tools of the test setup (scripts/setup-debian.sh installs them): exiftool writes
// and reads EXIF independently of the program, jpegtran turns JPEG files losslessly.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace snapfolio::test {

// Runs `program` with `args` and returns its standard output. Fails the current test (and
// returns an empty text) when the tool is missing or exits with an error.
std::string runTool(const std::string& program, const std::vector<std::string>& args);

// The tags of one exiftool group of a file ("EXIF", "MakerNotes"): tag name -> value, numbers
// as stored.
std::map<std::string, std::string> exifTags(const std::filesystem::path& file,
                                            const std::string& group = "EXIF");

}  // namespace snapfolio::test
