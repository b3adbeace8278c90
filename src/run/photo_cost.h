// The cost of making a photo's output images, estimated from what its file tells before it is
// decoded, so that a run can start its longest photos first.
#pragma once

#include <string>
#include <vector>

#include "options/run_options.h"

namespace snapfolio {

// Relative cost (about microseconds of one core here) of decoding the photo at `path` for an
// output image `width` pixels wide and making the output images: the entropy decoding grows
// with the file's bytes, more than twice as fast for a progressive file, the rest with the
// pixels decoded at the reduced scale the width allows. A file whose header cannot be read
// costs by its size alone (it fails quickly, or is a format without a cheap header). Never
// throws.
double photoCost(const std::string& path, int width);

// The cost of each photo of a run, for the larger of its output images.
std::vector<double> photoCosts(const std::vector<std::string>& photos, const RunOptions& options);

}  // namespace snapfolio
