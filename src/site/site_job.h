// SiteJob: the work of the kept album for one photo, done on a worker thread: the photo is read
// and decoded once, at the scale its largest image needs, and each image it needs is made from
// that decoding and encoded to JPEG bytes; its fingerprint and camera fields come from the same
// read. What the pipeline tells its port is logged, for the run's thread to tell in photo order.
//
// A job reads only its input and writes no file. Jobs may be made on several threads at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/photo_metadata.h"
#include "run/ordered_jobs.h"
#include "run/photo_job.h"
#include "site/site_model.h"

namespace snapfolio::site {

// The pixel sizes of a photo's images, by role, for its upright size: thumbnails kThumbRowHeight
// and twice that tall, the view image at most kViewLongSide on its long side; never larger
// than the photo.
struct RoleSizes {
  int width[3] = {0, 0, 0};  // by ImageRole
  int height[3] = {0, 0, 0};
};
RoleSizes roleSizes(int photoWidth, int photoHeight);

// What the run captures once for all its jobs.
struct SiteJobPlan {
  PipelineInputs inputs[2];  // of the thumbnails (output image 1) and the view image (2)
  std::string options[2];    // their options as a key (site_build's optionsKey)
  OutputFormat format = OutputFormat::Jpeg;  // what the images are written as
  std::size_t keptDecodeBytes = 0;
};

struct SiteJobInput {
  std::string path;
  bool roles[3] = {true, true, true};  // the images to make, by ImageRole
};

struct MadeImage {
  int role = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> jpeg;
};

struct SiteJob {
  bool ok = false;  // the photo was read and every image asked for was made
  PortLog log;
  std::string damage;       // a photo read from damaged data: why (the run warns)
  std::string fingerprint;  // of the file's bytes
  long long size = 0;       // bytes read
  int width = 0;            // the upright photo
  int height = 0;
  CameraFields camera;
  std::vector<MadeImage> images;
};

// Hex SHA-1 of a file's bytes; empty when it cannot be read.
std::string fileFingerprint(const std::string& path);
// The same of bytes.
std::string bytesFingerprint(const std::uint8_t* data, std::size_t size);

// Reserves the photo's working memory from the context's budget before decoding it; throws
// JobDiscarded when the run discards the job meanwhile.
SiteJob makeSiteJob(const SiteJobPlan& plan, const SiteJobInput& input, JobContext& context);

// The "snapfolio-site" comment an image carries: the photo's fingerprint, its upright size
// and the options the image was made with (siteComment), and the reading of it from an image
// file's first bytes (empty when there is none): a catalogue made anew adopts an image whose
// comment still matches.
std::string siteComment(const std::string& fingerprint, int photoWidth, int photoHeight,
                        const std::string& options);
std::vector<std::uint8_t> withSiteComment(const std::vector<std::uint8_t>& jpeg,
                                          const std::string& text);
std::string readSiteComment(const std::string& imagePath);

}  // namespace snapfolio::site
