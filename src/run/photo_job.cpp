#include "run/photo_job.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "core/failure.h"
#include "formats/image_encoder.h"
#include "imaging/photo_metadata.h"

namespace snapfolio {

namespace fs = std::filesystem;

void PortLog::setStatusLine(ProgressLevel level, const std::string& text) {
  calls_.push_back({Kind::Status, level, 0, text});
}

void PortLog::setProgressMaximum(ProgressLevel level, int maximum) {
  calls_.push_back({Kind::Maximum, level, maximum, {}});
}

void PortLog::setProgressValue(ProgressLevel level, int value) {
  calls_.push_back({Kind::Value, level, value, {}});
}

void PortLog::advanceProgress(ProgressLevel level) {
  // The correction steps the detail gauge once per row: those steps are counted.
  if (!calls_.empty() && calls_.back().kind == Kind::Advance && calls_.back().level == level) {
    ++calls_.back().number;
    return;
  }
  calls_.push_back({Kind::Advance, level, 1, {}});
}

void PortLog::showMessage(const std::string& text) {
  calls_.push_back({Kind::Message, ProgressLevel::Overall, 0, text});
}

void PortLog::showError(const std::string& text) {
  calls_.push_back({Kind::Error, ProgressLevel::Overall, 0, text});
}

void PortLog::showFileError(const std::string& text) {
  calls_.push_back({Kind::FileError, ProgressLevel::Overall, 0, text});
}

void PortLog::surfaceReady(int imageNumber, const Raster&) {
  calls_.push_back({Kind::Surface, ProgressLevel::Overall, imageNumber, {}});
}

void PortLog::replay(PipelinePort& port, const Raster& surface) const {
  for (const Call& call : calls_) {
    switch (call.kind) {
      case Kind::Status:
        port.setStatusLine(call.level, call.text);
        break;
      case Kind::Maximum:
        port.setProgressMaximum(call.level, call.number);
        break;
      case Kind::Value:
        port.setProgressValue(call.level, call.number);
        break;
      case Kind::Advance:
        for (int i = 0; i < call.number; ++i) port.advanceProgress(call.level);
        break;
      case Kind::Message:
        port.showMessage(call.text);
        break;
      case Kind::Error:
        port.showError(call.text);
        break;
      case Kind::FileError:
        port.showFileError(call.text);
        break;
      case Kind::Surface:
        port.surfaceReady(call.number, surface);
        break;
    }
  }
}

std::size_t PhotoJob::heldBytes() const {
  std::size_t bytes = 0;
  for (const ImageWork& work : image) {
    bytes += 4 * static_cast<std::size_t>(work.surface.width()) * work.surface.height();
    bytes += work.jpeg.size();
  }
  return bytes;
}

namespace {

// The output file of a finished surface: encoded straight from the surface's rows by the
// output encoder, with the EXIF block when there is one.
void encode(ImageWork& work, OutputFormat format) {
  if (!work.result.ok || work.surface.isEmpty()) return;
  try {
    work.jpeg = outputEncoder(format).encode(work.surface);
  } catch (...) {
    work.jpeg.clear();
    work.encodeFailure = std::current_exception();
    return;
  }
  if (work.result.exif.empty()) return;
  try {
    work.jpeg = withExif(work.jpeg, work.result.exif);
  } catch (const Failure&) {
    // The block was read and made again by the same library, so this is not expected; the
    // picture matters more than its metadata, so it is saved without.
  }
}

thread_local Raster workerDecodeBuffer;

}  // namespace

WorkerDecodeMemory::WorkerDecodeMemory(PhotoSource& source, std::size_t keptBytes)
    : source_(source), keptBytes_(keptBytes) {
  source_.swapDecodeBuffer(workerDecodeBuffer);
}

WorkerDecodeMemory::~WorkerDecodeMemory() {
  source_.swapDecodeBuffer(workerDecodeBuffer);
  if (4 * static_cast<std::size_t>(workerDecodeBuffer.width()) * workerDecodeBuffer.height() >
      keptBytes_) {
    workerDecodeBuffer = Raster();
  }
}

PhotoJob makePhotoJob(const RunPlan& plan, const std::string& photo, JobContext& context) {
  PhotoJob job;
  const ImageOptions* images = plan.options.image;
  if (!images[0].produce && !images[1].produce) return job;
  {
    // The file is read whole: its bytes first, the rest when its header tells the sizes.
    std::error_code ec;
    const std::size_t fileBytes = fs::file_size(photo, ec);
    context.reserve(ec ? 0 : fileBytes);
    PhotoSource source(photo, plan.inputs[0].photo, plan.limits);
    // One decoding, made for the larger of the output images, into this worker's memory.
    for (int n = 0; n < 2; ++n) {
      if (!images[n].produce) continue;
      if (auto size = source.outputSize(images[n].widthText)) source.decodeFor(*size);
    }
    const std::size_t workBytes = source.workBytes();
    context.reserve(workBytes > fileBytes && !ec ? workBytes - fileBytes : 0);
    const WorkerDecodeMemory memory(source, plan.keptDecodeBytes);
    for (int n = 1; n <= 2; ++n) {
      if (!images[n - 1].produce) continue;
      if (context.discarded()) throw JobDiscarded{};
      // A photo that image 1 could not read is not tried again; the run says it once.
      if (n == 2 && job.image[0].made && job.image[0].result.photoFailed) break;
      ImageWork& work = job.image[n - 1];
      work.made = true;
      work.result = PhotDispSet(source, plan.inputs[n - 1], images[n - 1].widthText, n,
                                work.surface, work.log);
      work.width = work.surface.width();
      work.height = work.surface.height();
      encode(work, plan.inputs[n - 1].photo.outputFormat);
      if (!plan.keepSurfaces) work.surface = Raster();
    }
  }
  // The photo's bytes and decoding are gone; its surfaces and files wait for the run.
  context.holdOnly(job.heldBytes());
  return job;
}

}  // namespace snapfolio
