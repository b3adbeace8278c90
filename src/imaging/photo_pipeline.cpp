#include "imaging/photo_pipeline.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include <QCoreApplication>
#include <QRect>

#include "core/failure.h"
#include "core/file_io.h"
#include "core/file_names.h"
#include "core/translation.h"
#include "imaging/auto_adjust.h"
#include "imaging/orientation.h"
#include "imaging/photo_date.h"
#include "imaging/photo_drawing.h"
#include "imaging/photo_metadata.h"
#include "timestamp/date_time.h"

namespace snapfolio {

namespace {

// The requested width: the text read as a decimal number, truncated toward zero ("150.9" is
// 150). A text that is not a number, and a width of zero or below, cannot make an image.
int targetWidth(const PixelWidth& widthText) {
  if (!widthText.isNumber()) {
    throw Failure("width text \"" + widthText.text() + "\" is not a number",
                  fillIn(QCoreApplication::translate("PhotDispSet", "横幅「%1」が数値でない。"),
                         {widthText.text()}));
  }
  const std::optional<int> pixels = widthText.pixels();
  if (!pixels) {
    throw Failure("width " + widthText.text() + " gives no image",
                  fillIn(QCoreApplication::translate(
                             "PhotDispSet", "横幅「%1」では画像が作れない(1以上の数値にする)。"),
                         {widthText.text()}));
  }
  return *pixels;
}

// H = (ImageHeight x W) div ImageWidth, truncating, and at least 1. Computed in 64 bits: a product
// that does not fit 32 bits is refused instead of wrapping around.
int targetHeight(int imageWidth, int imageHeight, int width) {
  if (imageWidth <= 0 || imageHeight < 0) {
    throw Failure("the photo has no size",
                  translated("PhotDispSet",
                             QT_TRANSLATE_NOOP("PhotDispSet", "写真に画像がない(空のファイル)。")));
  }
  long long height = static_cast<long long>(imageHeight) * width;
  if (height > std::numeric_limits<int>::max()) throw Failure("target height out of range");
  // A photo far wider than tall still makes an image: one row at least.
  return std::max(1, static_cast<int>(height / imageWidth));
}

// Why the photo file cannot be read, naming it (the message of its date's step does not):
// "/photos/a.jpg : ファイルが存在しない。(No such file or directory)". Empty when it can be read.
std::string photoFileCause(const std::string& fileName) {
  const std::string cause = readFailureCause(fileName);
  return cause.empty() ? cause : fileName + " : " + cause;
}

// Whether any option looks at more than the pixels; with all of them off nothing else of the
// photo is read.
bool readsMetadata(const PhotoOptions& options) {
  return options.orientation || options.colourProfile || options.metadata != MetadataMode::None ||
         options.dateSource == DateSource::DateTaken;
}

// The name of the output image without its extension: prefix + base name + suffix.
std::string outputStem(const std::string& fileName, const ImageOptions& image) {
  return image.prefix + splitFileName(fileName).base + image.suffix;
}

// Gives the surface the size of output image `widthText` wide: the width asked for is that of
// the upright photo, and the height follows it.
void sizeSurface(const std::string& fileName, const PhotoDecoder& decoder, const PhotoLook& look,
                 const PipelineInputs& inputs, const PixelWidth& widthText, Raster& surface,
                 PipelinePort& port) {
  port.setStatusLine(ProgressLevel::Overall,
                     fillIn(QCoreApplication::translate("PhotDispSet", "%1 サイズ変換中"),
                            {outputStem(fileName, inputs.image)}));
  int width = targetWidth(widthText);
  const int photoWidth = uprightWidth(decoder, look);
  if (inputs.photo.neverEnlarge && photoWidth > 0 && photoWidth < width) width = photoWidth;
  surface.resize(width, targetHeight(photoWidth, uprightHeight(decoder, look), width));
  port.advanceProgress(ProgressLevel::Overall);
}

}  // namespace

PhotoSource::PhotoSource(std::string fileName, const PhotoOptions& options, const Limits& limits)
    : fileName_(std::move(fileName)), options_(options) {
  try {
    decoder_ = PhotoDecoder::openFile(fileName_, limits);
    loaded_ = true;
    // Metadata that cannot be read leaves the photo as it is stored (never a failure). Its
    // EXIF is decoded here once, for the date taken, the look and the output images.
    metadata_ = readsMetadata(options_) ? photoMetadataOf(decoder_->blocks()) : PhotoMetadata{};
    look_ = photoLook(metadata_, options_);
  } catch (...) {
    loadFailure_ = std::current_exception();
  }
  try {
    date_ = loaded_ && options_.dateSource == DateSource::DateTaken && metadata_.dateTaken
                ? *metadata_.dateTaken
                : photoDateTime(fileName_, loaded_ ? DateSource::FileTime : options_.dateSource);
  } catch (...) {
    dateFailure_ = std::current_exception();
    decoder_.reset();
    loaded_ = false;
    loadFailure_ = nullptr;
  }
}

std::optional<QSize> PhotoSource::outputSize(const PixelWidth& widthText) const {
  if (dateFailure_ || loadFailure_) return std::nullopt;
  try {
    int width = targetWidth(widthText);
    const int photoWidth = uprightWidth(*decoder_, look_);
    if (options_.neverEnlarge && photoWidth > 0 && photoWidth < width) width = photoWidth;
    return QSize(width, targetHeight(photoWidth, uprightHeight(*decoder_, look_), width));
  } catch (const Failure&) {
    return std::nullopt;
  }
}

void PhotoSource::decodeFor(QSize size) {
  if (size.isEmpty()) return;
  if (1LL * size.width() * size.height() > 1LL * decodeSize_.width() * decodeSize_.height()) {
    decodeSize_ = size;
  }
}

std::size_t PhotoSource::workBytes() const {
  if (!decoder_) return 0;
  // The decoding at the scale the largest output image needs, as the stored photo lies.
  const QSize stored = swapsAxes(look_.orientation) ? decodeSize_.transposed() : decodeSize_;
  const long long decoded = decoder_->decodedPixels(stored);
  // A colour profile converts a copy of the decoding, and its transform holds its tables; the
  // output images hold their surfaces (the encodings are far smaller).
  const long long copies = look_.colour ? 2 : 1;
  const long long outputs = 2LL * decodeSize_.width() * decodeSize_.height();
  const std::size_t transform = look_.colour ? look_.colour->heldBytes() : 0;
  return static_cast<std::size_t>(static_cast<long long>(decoder_->bytes().size()) +
                                  4 * (copies * decoded + outputs) + decoder_->codecBytes()) +
         transform + metadata_.heldBytes();
}

std::string PhotoSource::drawInto(Raster& surface) {
  // The one decoding made for the largest output image serves this one too.
  const bool shared = !decodeSize_.isEmpty();
  const QSize size(surface.width(), surface.height());
  drawPhoto(*decoder_, look_, surface, QRect(QPoint(0, 0), size), shared ? decodeSize_ : size,
            shared ? &inSrgb_ : nullptr);
  return decoder_->damage();
}

PipelineResult PhotDispSet(const std::string& fileName, const PipelineInputs& inputs,
                           const PixelWidth& widthText, int imageNumber, Workspace& workspace,
                           PipelinePort& port) {
  PhotoSource source(fileName, inputs.photo);
  return PhotDispSet(source, inputs, widthText, imageNumber, workspace.surface(imageNumber), port);
}

PipelineResult PhotDispSet(PhotoSource& source, const PipelineInputs& inputs,
                           const PixelWidth& widthText, int imageNumber, Raster& surface,
                           PipelinePort& port) {
  PipelineResult result;
  const std::string& fileName = source.fileName_;
  const PhotoLook& look = source.look_;
  bool scaled = false;
  bool loaded = false;
  try {
    inStep(translated("PhotDispSet",
                      QT_TRANSLATE_NOOP("PhotDispSet", "0100 : タイムスタンプの作成に失敗した。")),
           [&] {
             if (source.dateFailure_) std::rethrow_exception(source.dateFailure_);
             result.date = source.date_;
             result.stampText = FormatDateTime(inputs.format, *result.date);
           });
    inStep(fillIn(QCoreApplication::translate("PhotDispSet", "0101 : %1の読み込みに失敗した。"),
                  {fileName}),
           [&] {
             if (source.loadFailure_) std::rethrow_exception(source.loadFailure_);
             // A photo without a size (an empty file) fails whatever the image asks of it.
             loaded = uprightWidth(*source.decoder_, look) > 0 &&
                      uprightHeight(*source.decoder_, look) >= 0;
             sizeSurface(fileName, *source.decoder_, look, inputs, widthText, surface, port);
           });

    const std::string scaling =
        fillIn(QCoreApplication::translate("PhotDispSet", "0102 : %1のサイズ変換に失敗した。"),
               {fileName});
    inStep(scaling, [&] {
      result.damage = source.drawInto(surface);
      port.advanceProgress(ProgressLevel::Overall);
      scaled = true;
      if (!inputs.image.autoAdjust) return;
      port.setStatusLine(ProgressLevel::Overall,
                         fillIn(QCoreApplication::translate("PhotDispSet", "%1　画像補正中"),
                                {outputStem(fileName, inputs.image)}));
      AoutAdjust(surface, inputs.correction, port);
    });

    // The stamp belongs to the step before it: the correction's formula, or the scaling.
    inStep(inputs.image.autoAdjust ? translated("AoutAdjust", kFormulaError) : scaling, [&] {
      if (inputs.image.autoAdjust) port.advanceProgress(ProgressLevel::Overall);
      if (inputs.image.timeStamp) {
        result.stampRect = drawTimeStamp(surface, inputs.style, result.stampText);
        port.advanceProgress(ProgressLevel::Overall);
      }
      result.exif = outputExif(source.metadata_, inputs.photo.metadata, surface.width(),
                               surface.height(), look.colour.has_value());
      result.ok = true;
    });
  } catch (const StepFailure& e) {
    result.photoFailed = !loaded;
    port.showError(withCause(e.message(),
                             e.cause().empty() && !loaded ? photoFileCause(fileName) : e.cause()));
  }
  // The surface holds this photo once it is scaled, also after a failed correction.
  if (scaled) port.surfaceReady(imageNumber, surface);
  return result;
}

}  // namespace snapfolio
