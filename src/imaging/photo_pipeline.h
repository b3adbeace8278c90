// The photo pipeline: one photo file to one finished output image (load, scale, correct,
// stamp) in the work surface of that output image.
//
// A photo that gives both output images is read once (PhotoSource) and decoded once, at the
// reduced scale the larger of them needs; each output image is then made from it. The photo
// is read through the decoder its content calls for (formats/photo_decoder.h).
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QSize>

#include "core/limits.h"
#include "core/ports.h"
#include "core/raster.h"
#include "formats/photo_decoder.h"
#include "imaging/photo_drawing.h"
#include "imaging/photo_metadata.h"
#include "imaging/time_stamp_drawing.h"
#include "options/correction_values.h"
#include "options/image_options.h"
#include "options/photo_options.h"
#include "options/time_stamp_style.h"
#include "timestamp/date_time.h"

namespace snapfolio {

// Everything a pipeline call reads, taken from the windows before the call starts.
struct PipelineInputs {
  ImageOptions image;
  std::string format = "hh:nn AM/PM";  // Format of image 1 (both images use it)
  TimeStampStyle style;                // the style of this image
  CorrectionValues correction;
  PhotoOptions photo;  // the 詳細設定 dialog's options (both images)
};

// Where the pipeline reports to besides progress and messages.
class PipelinePort : public ProgressPort, public MessagePort {
 public:
  // Surface n (1 or 2) holds the picture of the call that has just ended: reported by every
  // call that got past the scaling, also when the correction failed afterwards (the surface
  // then holds the picture as far as it got). A port that keeps the pixels copies them.
  virtual void surfaceReady(int imageNumber, const Raster& surface) = 0;
};

// The two persistent work surfaces of output image 1 and 2, reused from photo to photo.
struct Workspace {
  Raster surfaces[2];
  Raster& surface(int imageNumber) { return surfaces[imageNumber - 1]; }
};

struct PipelineResult {
  bool ok = false;                     // the surface holds the finished picture
  std::string stampText;               // made at step 2 (also with the stamp off)
  std::optional<DateTime> date;        // the photo's date that stampText shows
  std::optional<StampRect> stampRect;  // where the stamp was drawn, when it was
  // Why part of the photo could not be read, when its data was damaged but the decoder got
  // past it ("データが途中で終わっている。(…)"); empty for a sound photo. The caller reports it.
  std::string damage;
  std::vector<std::uint8_t> exif;  // the EXIF block for the output image; empty: none
  // The failure lies in the photo itself (missing, unreadable, not a JPEG, too large): the
  // other output image of this photo would fail the same way.
  bool photoFailed = false;
};

// One photo read for its output images: its date, its file (bytes and header) and metadata,
// read once. A step that failed keeps its failure, and every output image made from the source
// reports it at that step, as if it had read the photo itself. Not shared between threads.
class PhotoSource {
 public:
  // Reads the date and the file, under `limits`. Never throws.
  PhotoSource(std::string fileName, const PhotoOptions& options, const Limits& limits = kLimits);

  const std::string& fileName() const { return fileName_; }
  // The upright size of an output image `widthText` wide, or nothing when it cannot be made.
  std::optional<QSize> outputSize(const PixelWidth& widthText) const;
  // Makes the one decoding of the photo fit for an output image of this upright size, so that
  // smaller output images are drawn from it too (nothing for an empty size). Decoded when the
  // first output image is drawn, so that a failure is reported by that image's step.
  void decodeFor(QSize size);
  // Bytes the photo's decoding and output images hold for the largest of the sizes given to
  // decodeFor, as an estimate for a memory budget; 0 when the file was not read.
  std::size_t workBytes() const;
  // Lends the decoding the memory of `buffer` (PhotoDecoder::swapDecodeBuffer); called again,
  // gives it back with the decoding in it. Nothing happens when the file was not read.
  void swapDecodeBuffer(Raster& buffer) {
    if (decoder_) decoder_->swapDecodeBuffer(buffer);
  }
  // The photo's metadata as read with the file (empty when the photo options read none).
  const PhotoMetadata& metadata() const { return metadata_; }

 private:
  friend PipelineResult PhotDispSet(PhotoSource& source, const PipelineInputs& inputs,
                                    const PixelWidth& widthText, int imageNumber, Raster& surface,
                                    PipelinePort& port);

  // Draws the photo, read and sized, into `surface` as it stands; returns the damage its
  // decoding got past (empty when none).
  std::string drawInto(Raster& surface);

  std::string fileName_;
  PhotoOptions options_;
  std::optional<DateTime> date_;
  std::exception_ptr dateFailure_;
  std::unique_ptr<PhotoDecoder> decoder_;  // when the file was read
  PhotoMetadata metadata_;
  PhotoLook look_;
  std::exception_ptr loadFailure_;
  QSize decodeSize_;
  Raster inSrgb_;        // the decoding through the colour profile, made once
  bool loaded_ = false;  // the file was read (its metadata may still have failed)
};

// PhotDispSet: runs the steps for output image n of `fileName` at `widthText` with `inputs`, into
// the workspace's surface n. Reports its own failures in an "ERROR" box through the port (the
// step's message, then the cause on a new line: the failure's own, or why the photo file cannot
// be read) and always returns normally.
PipelineResult PhotDispSet(const std::string& fileName, const PipelineInputs& inputs,
                           const PixelWidth& widthText, int imageNumber, Workspace& workspace,
                           PipelinePort& port);

// The steps for output image n of a photo already read, into `surface`. Reports its failures as
// the call above does.
PipelineResult PhotDispSet(PhotoSource& source, const PipelineInputs& inputs,
                           const PixelWidth& widthText, int imageNumber, Raster& surface,
                           PipelinePort& port);

}  // namespace snapfolio
