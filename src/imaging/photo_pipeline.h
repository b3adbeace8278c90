// The photo pipeline: one photo file to one finished output image (load, scale, correct,
// stamp) in the work surface of that output image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/error_text.h"
#include "core/ports.h"
#include "core/raster.h"
#include "imaging/correction_values.h"
#include "imaging/photo_options.h"
#include "imaging/time_stamp_drawing.h"
#include "timestamp/date_time.h"
#include "timestamp/time_stamp_style.h"

namespace snapfolio {

// The options of one output image as the main window holds them.
struct ImageOptions {
  bool produce = true;      // Gazou1 / Gazou2
  std::string widthText;    // Width1 / Width2
  std::string prefix;       // PriFileName1 / PriFileName2
  std::string suffix;       // AftFileName1 / AftFileName2
  bool autoAdjust = false;  // AutoAdjust1 / AutoAdjust2
  bool timeStamp = false;   // CheckTimeStmp1 / CheckTimeStmp2
};

// Everything a pipeline call reads, taken from the windows at the moment the call starts.
struct PipelineInputs {
  ImageOptions image;
  std::string format = "hh:nn AM/PM";  // Format of image 1 (both images use it)
  TimeStampStyle style;                // the style of this image
  CorrectionValues correction;
  PhotoOptions photo;  // the 詳細設定 dialog's options (both images)
};

// What the pipeline needs from the main window besides progress and messages.
class PipelinePort : public ProgressPort, public MessagePort {
 public:
  // The options in force for output image n (1 or 2), read when the call starts.
  virtual PipelineInputs pipelineInputs(int imageNumber) = 0;
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

// PhotDispSet: runs the steps for output image n of `fileName` at `widthText`. Reports its own
// failures in an "ERROR" box through the port (the step's message, then the cause on a new
// line: the failure's own, or why the photo file cannot be read) and always returns normally.
PipelineResult PhotDispSet(const std::string& fileName, const std::string& widthText,
                           int imageNumber, Workspace& workspace, ErrorText& errorText,
                           PipelinePort& port);

}  // namespace snapfolio
