// PhotoJob: the work of a conversion run for one photo, done away from the run's thread. The
// photo is read and decoded once; both output images are made (scaled, corrected, stamped) and
// encoded to JPEG bytes. What the pipeline tells its port on the way is logged, to be told to
// the run's port later, on the run's thread, in the order of the photos (PortLog::replay).
//
// A job reads only its plan, which the run captures once at its start; it writes no file and
// touches no port. Jobs of one run may be made on several threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "core/limits.h"
#include "core/raster.h"
#include "imaging/photo_pipeline.h"
#include "options/run_options.h"
#include "run/ordered_jobs.h"

namespace snapfolio {

// What the jobs of a run read: the part of its request that makes the photos.
struct RunPlan {
  RunOptions options;
  PipelineInputs inputs[2];  // of output image 1 and 2
  // Each worker keeps the memory of its decodings for the next photo up to this size, so that
  // the workers' idle memory stays a share of the run's memory budget.
  std::size_t keptDecodeBytes = 0;
  // What each photo's decoder may cost (its threads among them).
  Limits limits = kLimits;
  // Whether a finished job keeps its surfaces for the run's port (RunPort::showsSurfaces).
  bool keepSurfaces = true;
};

// The calls a pipeline makes on its port, kept in order (consecutive gauge steps as a count).
class PortLog : public PipelinePort {
 public:
  void setStatusLine(ProgressLevel level, const std::string& text) override;
  void setProgressMaximum(ProgressLevel level, int maximum) override;
  void setProgressValue(ProgressLevel level, int value) override;
  void advanceProgress(ProgressLevel level) override;
  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  void showFileError(const std::string& text) override;
  void surfaceReady(int imageNumber, const Raster& surface) override;

  // Tells `port` every call in order; a surface reported ready is `surface`.
  void replay(PipelinePort& port, const Raster& surface) const;

 private:
  enum class Kind { Status, Maximum, Value, Advance, Message, Error, FileError, Surface };
  struct Call {
    Kind kind;
    ProgressLevel level = ProgressLevel::Overall;
    int number = 0;  // maximum, value, count of steps or image number
    std::string text;
  };
  std::vector<Call> calls_;
};

// One output image of a job.
struct ImageWork {
  bool made = false;  // the output image is asked for and its pipeline ran
  PortLog log;
  PipelineResult result;
  Raster surface;  // empty once encoded when the run's port does not show surfaces
  int width = 0;   // of the surface as made
  int height = 0;
  std::vector<std::uint8_t> jpeg;  // the encoded file (outputEncoder), when the pipeline succeeded
  std::exception_ptr encodeFailure;  // why the surface could not be encoded
};

struct PhotoJob {
  ImageWork image[2];
  // Bytes the finished job holds (surfaces and encodings).
  std::size_t heldBytes() const;
};

// Lends a photo's decoding the memory this worker thread kept of its earlier decodings, for the
// time of one job, and keeps it again afterwards when it is at most `keptBytes`. One object per
// job, on the job's thread.
class WorkerDecodeMemory {
 public:
  WorkerDecodeMemory(PhotoSource& source, std::size_t keptBytes);
  ~WorkerDecodeMemory();
  WorkerDecodeMemory(const WorkerDecodeMemory&) = delete;
  WorkerDecodeMemory& operator=(const WorkerDecodeMemory&) = delete;

 private:
  PhotoSource& source_;
  std::size_t keptBytes_;
};

// Makes the job of `photo`. Reserves the photo's working memory from the context's budget
// before decoding it; throws JobDiscarded when the run discards the job meanwhile.
PhotoJob makePhotoJob(const RunPlan& plan, const std::string& photo, JobContext& context);

}  // namespace snapfolio
