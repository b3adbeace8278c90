#include "site/site_job.h"

// Standard library
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

// Qt
#include <QCryptographicHash>

// Project
#include "core/file_io.h"
#include "core/resample.h"
#include "formats/image_encoder.h"

namespace snapfolio::site {

namespace {

constexpr std::string_view kCommentTag = "snapfolio-site ";

int thumbWidth(int w, int h, int rowHeight) {
  if (h <= rowHeight) return w;
  const long long width = (1LL * w * rowHeight + h - 1) / h;
  return static_cast<int>(std::clamp<long long>(width, 1, w));
}

}  // namespace

RoleSizes roleSizes(int w, int h) {
  RoleSizes sizes;
  if (w <= 0 || h <= 0) return sizes;
  const int thumb = static_cast<int>(ImageRole::Thumb1x);
  const int thumb2 = static_cast<int>(ImageRole::Thumb2x);
  const int view = static_cast<int>(ImageRole::View);
  sizes.width[thumb] = thumbWidth(w, h, kThumbRowHeight);
  sizes.width[thumb2] = thumbWidth(w, h, 2 * kThumbRowHeight);
  const long long longSide = std::max(w, h);
  sizes.width[view] = longSide <= kViewLongSide
                          ? w
                          : static_cast<int>(std::max(1LL, 1LL * w * kViewLongSide / longSide));
  for (int role = 0; role < 3; ++role) {
    // As the pipeline makes it: the height truncated, one row at least.
    sizes.height[role] = std::max(1, static_cast<int>(1LL * h * sizes.width[role] / w));
  }
  return sizes;
}

std::string bytesFingerprint(const std::uint8_t* data, std::size_t size) {
  QCryptographicHash hash(QCryptographicHash::Sha1);
  hash.addData(QByteArrayView(data, static_cast<qsizetype>(size)));
  return hash.result().toHex().toStdString();
}

std::string fileFingerprint(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  QCryptographicHash hash(QCryptographicHash::Sha1);
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    hash.addData(QByteArrayView(buffer.data(), static_cast<qsizetype>(in.gcount())));
  }
  if (in.bad()) return {};
  return hash.result().toHex().toStdString();
}

std::string siteComment(const std::string& fingerprint, int photoWidth, int photoHeight,
                        const std::string& options) {
  return fingerprint + " " + std::to_string(photoWidth) + "x" + std::to_string(photoHeight) + " " +
         options;
}

std::vector<std::uint8_t> withSiteComment(const std::vector<std::uint8_t>& jpeg,
                                          const std::string& text) {
  // A comment segment is JPEG's; other formats go without (and are not adopted).
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return jpeg;
  // After the SOI marker and the APPn segments (EXIF stays first, where readers look for it).
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] >= 0xE0 &&
         jpeg[at + 1] <= 0xEF) {
    at += 2 + (static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3]);
  }
  if (at > jpeg.size() || jpeg.size() < 2) return jpeg;
  const std::string body = std::string(kCommentTag) + text;
  const std::size_t length = body.size() + 2;
  std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + static_cast<long>(at));
  out.insert(out.end(), {0xFF, 0xFE, static_cast<std::uint8_t>(length >> 8),
                         static_cast<std::uint8_t>(length & 0xFF)});
  out.insert(out.end(), body.begin(), body.end());
  out.insert(out.end(), jpeg.begin() + static_cast<long>(at), jpeg.end());
  return out;
}

std::string readSiteComment(const std::string& imagePath) {
  std::ifstream in(imagePath, std::ios::binary);
  std::vector<std::uint8_t> head(4096);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  std::size_t at = 2;
  while (at + 4 <= head.size() && head[at] == 0xFF) {
    const std::size_t length = static_cast<std::size_t>(head[at + 2]) << 8 | head[at + 3];
    if (head[at + 1] == 0xFE && at + 2 + length <= head.size() && length >= 2) {
      const std::string body(head.begin() + static_cast<long>(at) + 4,
                             head.begin() + static_cast<long>(at + 2 + length));
      if (body.starts_with(kCommentTag)) return body.substr(kCommentTag.size());
    }
    if (head[at + 1] < 0xE0 && head[at + 1] != 0xFE) break;
    at += 2 + length;
  }
  return {};
}

namespace {

// The making of one photo's images, step by step: the photo read and sized, then each role's
// image, largest first.
class JobMaker {
 public:
  JobMaker(const SiteJobPlan& plan, const SiteJobInput& input, JobContext& context)
      : plan_(plan), input_(input), context_(context) {}

  SiteJob make();

 private:
  void readPhoto();
  bool makeRole(int role);
  bool draw(int image, int width, Raster& surface, PipelineResult& result);
  bool encode(int role, int image, Raster& surface, const PipelineResult& result);
  void fail() {
    job_.ok = false;
    job_.images.clear();
  }

  const SiteJobPlan& plan_;
  const SiteJobInput& input_;
  JobContext& context_;
  SiteJob job_;
  std::optional<PhotoSource> source_;
  std::optional<QSize> photo_;  // the upright size, when the photo can be read
  RoleSizes sizes_;
  bool plainThumbs_ = false;
  Raster larger_;  // the last image made, while thumbnails may be drawn from it
};

// The file's fingerprint, its camera fields and size; the decoding the roles need made ready,
// with its memory taken from the run's budget.
void JobMaker::readPhoto() {
  std::error_code ec;
  const std::size_t fileBytes = std::filesystem::file_size(input_.path, ec);
  context_.reserve(ec ? 0 : fileBytes);
  job_.fingerprint = fileFingerprint(input_.path);
  job_.size = ec ? 0 : static_cast<long long>(fileBytes);
  source_.emplace(input_.path, plan_.inputs[0].photo);
  job_.camera = cameraFieldsOf(source_->metadata().exif);
  photo_ = source_->outputSize("2147483647");
  if (photo_) {
    job_.width = photo_->width();
    job_.height = photo_->height();
    sizes_ = roleSizes(job_.width, job_.height);
    for (int role = 0; role < 3; ++role) {
      if (input_.roles[role]) source_->decodeFor(QSize(sizes_.width[role], sizes_.height[role]));
    }
  }
  const std::size_t workBytes = source_->workBytes();
  context_.reserve(workBytes > fileBytes && !ec ? workBytes - fileBytes : 0);
}

SiteJob JobMaker::make() {
  readPhoto();
  const WorkerDecodeMemory memory(*source_, plan_.keptDecodeBytes);
  job_.ok = true;
  // Without correction, stamp or EXIF of their own, the thumbnails are drawn from the next
  // larger image instead of the decoding, which is far larger.
  plainThumbs_ = plan_.options[0] == plan_.options[1] && !plan_.inputs[0].image.autoAdjust &&
                 !plan_.inputs[0].image.timeStamp;
  for (int role : {2, 1, 0}) {
    if (!input_.roles[role]) continue;
    if (context_.discarded()) throw JobDiscarded{};
    if (!makeRole(role)) break;
  }
  std::size_t held = 0;
  for (const MadeImage& made : job_.images) held += made.jpeg.size();
  context_.holdOnly(held);
  return std::move(job_);
}

// The image of one role; false when it failed (the job then holds none).
bool JobMaker::makeRole(int role) {
  const int image = role == static_cast<int>(ImageRole::View) ? 1 : 0;
  const int width = photo_ ? sizes_.width[role] : 1;
  // A role of the same size as the one made before it shares its image.
  if (!job_.images.empty() && job_.images.back().width == width && plainThumbs_) {
    MadeImage same = job_.images.back();
    same.role = role;
    job_.images.push_back(std::move(same));
    return true;
  }
  Raster surface;
  PipelineResult result;
  if (!draw(image, width, surface, result)) {
    fail();
    return false;
  }
  if (!result.damage.empty()) job_.damage = result.damage;
  return encode(role, image, surface, result);
}

// The picture of output image `image` at `width`: resampled from the larger image made before
// it where that is allowed, else through the pipeline.
bool JobMaker::draw(int image, int width, Raster& surface, PipelineResult& result) {
  if (plainThumbs_ && image == 0 && !larger_.isEmpty() && larger_.width() > width) {
    surface =
        resampled(larger_, width,
                  std::max(1, static_cast<int>(1LL * larger_.height() * width / larger_.width())));
    return true;
  }
  result = PhotDispSet(*source_, plan_.inputs[image], PixelWidth(std::to_string(width)), image + 1,
                       surface, job_.log);
  return result.ok && !surface.isEmpty();
}

// The picture encoded with its EXIF and the site's comment, and kept as the role's image.
bool JobMaker::encode(int role, int image, Raster& surface, const PipelineResult& result) {
  MadeImage made{role, surface.width(), surface.height(), {}};
  try {
    made.jpeg = outputEncoder(plan_.format).encode(surface);
  } catch (const std::exception& e) {
    job_.log.showError(input_.path + " : " + e.what());
    fail();
    return false;
  }
  if (!result.exif.empty()) {
    try {
      made.jpeg = withExif(made.jpeg, result.exif);
    } catch (const Failure&) {
      // The picture matters more than its metadata: saved without.
    }
    // Drawn from this image, a thumbnail would carry its EXIF sizes.
    larger_ = Raster();
  } else {
    larger_ = std::move(surface);
  }
  made.jpeg = withSiteComment(
      made.jpeg, siteComment(job_.fingerprint, job_.width, job_.height, plan_.options[image]));
  job_.images.push_back(std::move(made));
  return true;
}

}  // namespace

SiteJob makeSiteJob(const SiteJobPlan& plan, const SiteJobInput& input, JobContext& context) {
  return JobMaker(plan, input, context).make();
}

}  // namespace snapfolio::site
