#include "run/album_conv.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <QCoreApplication>

#include "album/html_analize.h"
#include "album/html_edit.h"
#include "core/atomic_file.h"
#include "core/failure.h"
#include "core/file_names.h"
#include "core/limits.h"
#include "core/translation.h"
#include "core/utf8.h"
#include "formats/image_encoder.h"
#include "imaging/photo_date.h"
#include "imaging/photo_metadata.h"
#include "run/ordered_jobs.h"
#include "run/photo_cost.h"
#include "run/photo_job.h"
#include "settings/ini_file.h"
#include "settings/options.h"

namespace snapfolio {

namespace {

namespace fs = std::filesystem;

// The run's texts in the interface language.
std::string text(const char* source) {
  return translated("AlbumConv", source);
}

// The messages of image 1 and image 2 (%1: the photo).
struct ImageMessages {
  const char* pipeline;
  // The memory of the encoding: the job holds it already, so this step never fails on the
  // run's thread.
  const char* allocate;
  const char* convert;
  const char* store;
};
constexpr ImageMessages kMessages[2] = {
    {QT_TRANSLATE_NOOP("AlbumConv", "0005 : %1のJPEGからの変換に失敗した。"),
     QT_TRANSLATE_NOOP("AlbumConv", "0006 : JPEG領域の確保ができない。"),
     QT_TRANSLATE_NOOP("AlbumConv", "0007 : %1のJPEGへの変換に失敗した。"),
     QT_TRANSLATE_NOOP("AlbumConv", "0008 : %1のJPEGの格納に失敗した。")},
    {QT_TRANSLATE_NOOP("AlbumConv", "0009 : %1のJPEGからの変換に失敗した。"),
     QT_TRANSLATE_NOOP("AlbumConv", "000A : JPEG領域の確保ができない。"),
     QT_TRANSLATE_NOOP("AlbumConv", "000B : %1のJPEGへの変換に失敗した。"),
     QT_TRANSLATE_NOOP("AlbumConv", "000C : %1のJPEGの格納に失敗した。")},
};

std::string photoMessage(const char* source, const std::string& photo) {
  return fillIn(QCoreApplication::translate("AlbumConv", source), {photo});
}

// A path made comparable: absolute and normalised, symbolic links resolved where they exist.
std::string identity(const std::string& path) {
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? fs::path(path).lexically_normal().string() : resolved.string();
}

// Before anything is written: no output image may replace a chosen photo, and no two output
// images of the run may share a name (image 1 and 2 of one photo with equal affixes, or two
// photos of the same name from different folders). Returns the message, or nothing.
std::optional<std::string> findOverwrite(const RunOptions& options,
                                         const std::vector<std::string>& photos) {
  std::map<std::string, std::string> photoIds;  // identity -> photo
  for (const auto& photo : photos) photoIds.emplace(identity(photo), photo);
  std::map<std::string, std::string> outputs;  // identity -> output name
  for (const auto& photo : photos) {
    for (int n = 0; n < 2; ++n) {
      const ImageOptions& image = options.image[n];
      if (!image.produce) continue;
      std::string output =
          joinPath(options.outputDir, outputImageName(photo, image.prefix, image.suffix,
                                                      outputEncoder(options.photo.outputFormat)));
      std::string id = identity(output);
      if (auto it = photoIds.find(id); it != photoIds.end()) {
        return fillIn(
            QCoreApplication::translate(
                "AlbumConv",
                "0014 : 出力画像%1のファイル名 %2 "
                "が入力写真と同じです。入力写真を上書きしないよう、変換を中止しました。"
                "ファイル名の前後に文字を設定するか、出力ディレクトリを変更してください。"),
            {std::to_string(n + 1), output});
      }
      if (!outputs.emplace(id, output).second) {
        return fillIn(
            QCoreApplication::translate(
                "AlbumConv",
                "0015 : 出力ファイル名 %1 "
                "が複数の出力画像で重複しています。上書きを避けるため、変換を中止しました。"
                "ファイル名の前後の文字を画像ごとに変えてください。"),
            {output});
      }
    }
  }
  return std::nullopt;
}

// Write failures that come from the output file's name (too long for the file system, bytes it
// does not take in a name) belong to that photo alone. The others (disk full, folder gone, no
// permission, a file size limit) belong to the output place, where the next photo would fail
// again.
bool belongsToPhoto(int error) {
  return error == ENAMETOOLONG || error == EILSEQ;
}

struct DamagedPhoto {
  std::string photo;
  std::string cause;
};

// The end-of-run list of damaged photos: a count, then one line per photo (at most
// kListedDamagedPhotos, so that a box stays on the screen).
constexpr std::size_t kListedDamagedPhotos = 20;

std::string damageList(const std::vector<DamagedPhoto>& damaged) {
  std::string list =
      fillIn(QCoreApplication::translate(
                 "AlbumConv",
                 "一部が読めない写真が%"
                 "1枚あり、読めない部分を補って変換しました。元の写真を確認してください。"),
             {std::to_string(damaged.size())});
  for (std::size_t i = 0; i < damaged.size() && i < kListedDamagedPhotos; ++i) {
    list += "\n" + damaged[i].photo + " : " + damaged[i].cause;
  }
  if (damaged.size() > kListedDamagedPhotos) {
    list += "\n" + fillIn(QCoreApplication::translate("AlbumConv", "ほか%1枚"),
                          {std::to_string(damaged.size() - kListedDamagedPhotos)});
  }
  return list;
}

// The run, step by step. Each step runs in inStep with its numbered message: a failure in it
// ends the run with that message, except for the failures of one output image of one photo,
// which skip that image (imageStep).
// The limits of a run's decoders: one thread each beside several workers, every core for
// the decoder of a lone worker.
Limits decodingLimits(int workers) {
  Limits limits = kLimits;
  if (workers == 1) {
    limits.decodingThreads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  }
  return limits;
}

class Run {
 public:
  Run(const RunRequest& request, RunPort& port, Workspace& workspace,
      const std::string& settingsPath)
      : request_(request),
        options_(request.options),
        port_(port),
        workspace_(workspace),
        settingsPath_(settingsPath),
        dialogFileName_(request.photoDialogFileName) {}

  RunSummary operator()() {
    try {
      start();
      if (const std::optional<std::vector<std::string>> photos = choose()) {
        std::vector<AlbumPhoto> reached = convertPhotos(*photos);
        writePage(static_cast<int>(photos->size()), std::move(reached));
      }
      end();
    } catch (const StepFailure& e) {
      summary_.failed = true;
      port_.showError(withCause(e.message(), e.cause()));
    }
    // Also after a failure: the photos converted before it stay written, damaged or not.
    if (!damaged_.empty()) port_.showDamagedPhotos(damageList(damaged_));
    return summary_;
  }

 private:
  // The settings file, and the batch of the run's start stored in it.
  void start() {
    inStep(text(QT_TRANSLATE_NOOP("AlbumConv", "0000 : iniファイルの領域が確保できない。")), [&] {
      port_.clearStopRequest();
      if (!settingsPath_.empty()) ini_.emplace(settingsPath_);
    });
    if (!ini_) return;
    // A file that is no settings file is left alone; the program said so when it read it.
    inStep(text(QT_TRANSLATE_NOOP("AlbumConv", "0001 : iniファイルの書き込みができない。")),
           [&] { storeRunStart(*ini_, options_, request_.position); });
  }

  // The photos: those given before the run once confirmed, or the photo dialog's choice; nothing
  // when the user says no. Sets the overall gauge for them.
  std::optional<std::vector<std::string>> choose() {
    return inStep(text(QT_TRANSLATE_NOOP("AlbumConv", "0002 : InFileOpenの表示ができない。")), [&] {
      std::optional<std::vector<std::string>> chosen;
      if (!request_.photos) {
        chosen = port_.choosePhotos();
      } else if (port_.confirmPhotos(*request_.photos)) {
        chosen = request_.photos;
      }
      if (!chosen) return chosen;
      if (!chosen->empty()) dialogFileName_ = chosen->front();
      summary_.photos = static_cast<int>(chosen->size());
      port_.setProgressMaximum(ProgressLevel::Overall, 1);
      port_.setProgressMaximum(ProgressLevel::Overall,
                               overallGaugeMaximum(options_, summary_.photos));
      return chosen;
    });
  }

  // The photos are made ahead on worker threads from the run's request; this thread takes them
  // in the order chosen, tells the port what each did, and writes them. Returns the photos the
  // page shows: those the run reached whose output images were all made.
  std::vector<AlbumPhoto> convertPhotos(const std::vector<std::string>& photos) {
    const std::string checking =
        text(QT_TRANSLATE_NOOP("AlbumConv", "0003 : InFileOpenの取り込みができない。"));
    const int workers =
        std::max(1, options_.jobs > 0 ? options_.jobs
                                      : static_cast<int>(std::thread::hardware_concurrency()));
    const RunPlan plan = inStep(checking, [&] {
      if (auto message = findOverwrite(options_, photos)) throw StepFailure(*message, {});
      return RunPlan{options_,
                     {request_.inputs[0], request_.inputs[1]},
                     kLimits.runMemoryBytes / (2 * static_cast<std::size_t>(workers)),
                     decodingLimits(workers),
                     port_.showsSurfaces()};
    });
    std::optional<OrderedJobs<PhotoJob>> jobs;
    inStep(checking, [&] {
      // With one worker the order of the photos is the order of the work.
      std::vector<double> costs =
          workers > 1 ? photoCosts(photos, options_) : std::vector<double>{};
      jobs.emplace(
          static_cast<int>(photos.size()), workers, kLimits.runMemoryBytes,
          [&](int index, JobContext& context) {
            return makePhotoJob(plan, photos[index], context);
          },
          std::move(costs));
    });
    std::vector<AlbumPhoto> reached;
    for (std::size_t i = 0; i < photos.size(); ++i) {
      if (!convertPhoto(photos, static_cast<int>(i), *jobs, reached)) break;
    }
    // The photos behind a stop or a failure are not made.
    return reached;
  }

  // Photo `index`: announced, its output images stored. False when the user asked to stop
  // before it.
  bool convertPhoto(const std::vector<std::string>& photos, int index, OrderedJobs<PhotoJob>& jobs,
                    std::vector<AlbumPhoto>& reached) {
    const std::string& photo = photos[index];
    std::optional<PhotoJob> job = inStep(
        text(QT_TRANSLATE_NOOP("AlbumConv", "0004 : フォームのファオグラウンド処理ができない。")),
        [&]() -> std::optional<PhotoJob> {
          if (port_.stopRequested()) {
            port_.clearStopRequest();
            return std::nullopt;
          }
          port_.photoStarts(index);
          port_.setStatusLine(ProgressLevel::Overall,
                              fillIn(QCoreApplication::translate("AlbumConv", "%1 読み込み中"),
                                     {cutUtf8(fileNamePart(photo), 40)}));
          return jobs.take();
        });
    if (!job) return false;
    AlbumPhoto entry(photo);
    bool complete = true;
    bool photoUnusable = false;  // image 1 failed on the photo itself, said once
    for (int n = 1; n <= 2; ++n) {
      if (!options_.image[n - 1].produce) continue;
      if (photoUnusable) {
        port_.advanceProgress(ProgressLevel::Overall);  // image 2 is not tried
        continue;
      }
      ImageWork& work = job->image[n - 1];
      complete = storeImage(entry, n, work) && complete;
      photoUnusable = !work.result.ok && work.result.photoFailed;
    }
    if (complete) reached.push_back(std::move(entry));
    inStep(text(QT_TRANSLATE_NOOP("AlbumConv", "000D : JPEG領域の開放に失敗した。")), [&] {
      // The surfaces stay in the workspace until the next photo's.
      for (int n = 1; n <= 2; ++n) {
        Raster& made = job->image[n - 1].surface;
        if (!made.isEmpty()) std::swap(workspace_.surface(n), made);
      }
      port_.photoDone();
    });
    return true;
  }

  // One output image of one photo, made by its job: what its pipeline told the port, then the
  // save. Notes the image's size and the photo's date in `entry`; false when the pipeline
  // failed (and has shown its "ERROR" box) or the image was skipped.
  bool storeImage(AlbumPhoto& entry, int n, const ImageWork& work) {
    const std::string& photo = entry.path;
    const ImageOptions& image = options_.image[n - 1];
    const ImageMessages& m = kMessages[n - 1];
    const PipelineResult& result = work.result;
    inStep(photoMessage(m.pipeline, photo), [&] {
      work.log.replay(port_, work.surface);
      if (!result.ok) {
        // The pipeline has shown its "ERROR" box; the surface does not hold this photo's
        // picture, so nothing is saved under its name.
        summary_.failed = true;
        port_.advanceProgress(ProgressLevel::Overall);
        return;
      }
      if (!result.damage.empty()) noteDamage(photo, result.damage);
      port_.setStatusLine(ProgressLevel::Overall,
                          fillIn(QCoreApplication::translate("AlbumConv", "%1 格納中"),
                                 {image.prefix + splitFileName(photo).base + image.suffix}));
    });
    if (!result.ok) return false;
    const bool saved =
        imageStep(photoMessage(m.convert, photo), [&] { checkEncoded(work); }) &&
        imageStep(photoMessage(m.store, photo), [&] {
          writeFileAtomically(
              joinPath(options_.outputDir,
                       outputImageName(photo, image.prefix, image.suffix,
                                       outputEncoder(options_.photo.outputFormat))),
              std::string_view(reinterpret_cast<const char*>(work.jpeg.data()), work.jpeg.size()));
        });
    if (!saved) return false;
    inStep(n == 2 ? text(QT_TRANSLATE_NOOP("AlbumConv", "000D : JPEG領域の開放に失敗した。"))
                  : photoMessage(m.store, photo),
           [&] {
             ++summary_.imagesWritten;
             entry.image[n - 1] = PixelSize{work.width, work.height};
             entry.date = result.date;
             port_.advanceProgress(ProgressLevel::Overall);
           });
    return true;
  }

  // The job's encoding of its surface, or the failure that kept it from being made.
  static void checkEncoded(const ImageWork& work) {
    if (work.width <= 0 || work.height <= 0) {
      // A surface without pixels would be saved as an empty file; that is no image.
      throw Failure("the output image has no pixels");
    }
    if (work.encodeFailure) std::rethrow_exception(work.encodeFailure);
  }

  // One step of saving an output image. A failure of the photo's own (its picture cannot be a
  // JPEG file, its name does not suit the file system, no memory for it) shows the step's message
  // with its cause and skips the image: returns false. A failure of the output place, where the
  // next photo would fail again, ends the run.
  template <typename Step>
  bool imageStep(const std::string& message, Step&& step) {
    try {
      step();
      return true;
    } catch (const FileWriteError& e) {
      if (!belongsToPhoto(e.error())) throw StepFailure(message, e.cause());
      skipImage(message, e.cause());
    } catch (const Failure& e) {
      skipImage(message, e.cause());
    } catch (...) {
      skipImage(message, {});
    }
    return false;
  }

  void skipImage(const std::string& message, const std::string& cause) {
    summary_.failed = true;
    port_.showError(withCause(message, cause));
    port_.advanceProgress(ProgressLevel::Overall);
  }

  // The album page over the photos reached, when it is asked for; then the end of the
  // conversion on the status line.
  void writePage(int photoCount, std::vector<AlbumPhoto> reached) {
    inStep(text(QT_TRANSLATE_NOOP("AlbumConv", "000F : HTMLページの作成に失敗した。")), [&] {
      if (options_.album.htmlCnv) {
        port_.setStatusLine(ProgressLevel::Detail,
                            text(QT_TRANSLATE_NOOP("AlbumConv", "HTML変換中")));
        port_.setProgressMaximum(ProgressLevel::Detail, photoCount);
        // A missing template is a plain message, not a failure: the run goes on without a page.
        AnalizeOptions analize;
        analize.fileTime = [source = options_.photo.dateSource](const std::string& photo) {
          return photoDateTime(photo, source);
        };
        summary_.pageWritten = HtmlEdit(pageInput(std::move(reached)), port_, analize);
        port_.setProgressValue(ProgressLevel::Detail, 0);
        port_.advanceProgress(ProgressLevel::Overall);
      }
      port_.setStatusLine(ProgressLevel::Overall, text(QT_TRANSLATE_NOOP("AlbumConv", "変換終了")));
    });
  }

  HtmlEditInput pageInput(std::vector<AlbumPhoto> photos) {
    HtmlEditInput input;
    input.templatePath = options_.album.htmlTemplateFile;
    input.pageFileName = options_.album.htmlFile;
    input.outputDir = options_.outputDir;
    input.language = options_.album.language;  // picks the shipped template
    input.order = options_.album.order;
    input.page.title = options_.album.albumTitle;
    input.page.photos = std::move(photos);
    input.page.prefix1 = options_.image[0].prefix;
    input.page.suffix1 = options_.image[0].suffix;
    input.page.prefix2 = options_.image[1].prefix;
    input.page.suffix2 = options_.image[1].suffix;
    input.page.width1Text = options_.image[0].widthText.text();
    input.page.outputFormat = options_.photo.outputFormat;
    input.page.progressStep = [this] { port_.advanceProgress(ProgressLevel::Overall); };
    return input;
  }

  // The batch of the run's end.
  void end() {
    if (!ini_) return;
    inStep(text(QT_TRANSLATE_NOOP("AlbumConv", "000E : iniFileの書き込みに失敗した。")),
           [&] { storeRunEnd(*ini_, options_, dialogFileName_); });
  }

  // A damaged photo is reported once, though both output images decode it.
  void noteDamage(const std::string& photo, const std::string& cause) {
    if (!damaged_.empty() && damaged_.back().photo == photo) return;
    damaged_.push_back({photo, cause});
    summary_.damagedPhotos = static_cast<int>(damaged_.size());
    port_.showWarning(damageWarning(photo, cause));
  }

  const RunRequest& request_;
  const RunOptions& options_;
  RunPort& port_;
  Workspace& workspace_;
  const std::string& settingsPath_;
  std::optional<TIniFile> ini_;
  std::string dialogFileName_;  // the first photo of the most recent confirmed choice
  RunSummary summary_;
  std::vector<DamagedPhoto> damaged_;
};

}  // namespace

std::string damageWarning(const std::string& photo, const std::string& cause) {
  return fillIn(QCoreApplication::translate("AlbumConv",
                                            "0103 : %1の一部が読めないため、補って変換した。"),
                {photo}) +
         "\n" + cause;
}

int overallGaugeMaximum(const RunOptions& options, int photoCount) {
  long long n = photoCount;
  long long maximum = 1;
  if (options.image[0].produce) maximum += 3 * n;
  if (options.image[1].produce) maximum += 3 * n;
  if (options.album.htmlCnv) maximum += n;
  for (const ImageOptions& image : options.image) {
    if (image.autoAdjust) maximum += n;
    if (image.timeStamp) maximum += n;
  }
  if (options.album.htmlCnv) maximum += 1;
  maximum -= 1;
  return static_cast<int>(std::min<long long>(maximum, std::numeric_limits<int>::max()));
}

RunSummary AlbumConv(const RunRequest& request, RunPort& port, Workspace& workspace,
                     const std::string& settingsPath) {
  RunSummary summary = Run(request, port, workspace, settingsPath)();
  summary.started = true;
  return summary;
}

RunSummary OKButtonClick(const RunRequest& request, RunPort& port, Workspace& workspace,
                         const std::string& settingsPath) {
  const RunOptions& options = request.options;
  const ImageOptions& one = options.image[0];
  const ImageOptions& two = options.image[1];
  if (!one.widthText.empty() && !two.widthText.empty() && one.prefix.empty() &&
      one.suffix.empty() && two.prefix.empty() && two.suffix.empty()) {
    port.showMessage(text(QT_TRANSLATE_NOOP(
        "AlbumConv",
        "画像1画像2を区別するためにファイル名の前後いずれかに文字を設定してください。")));
    return {};
  }
  if (!one.produce && !two.produce) {
    if (!options.album.htmlCnv) {
      port.showMessage(text(QT_TRANSLATE_NOOP(
          "AlbumConv", "いずれの画像も指定されていない為に画像の変換は行われません。")));
      return {};
    }
    port.showMessage(text(
        QT_TRANSLATE_NOOP("AlbumConv", "いずれの画像も指定されていない為にHTMLのみ出力します。")));
    return AlbumConv(request, port, workspace, settingsPath);
  }
  if ((one.produce && one.widthText.empty()) || (two.produce && two.widthText.empty())) {
    port.showMessage(
        text(QT_TRANSLATE_NOOP("AlbumConv", "出力する画像の横幅を指定してください。")));
    return {};
  }
  return AlbumConv(request, port, workspace, settingsPath);
}

}  // namespace snapfolio
