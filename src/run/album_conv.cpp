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
          joinPath(options.outputDir, outputImageName(photo, image.prefix, image.suffix));
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

class Run {
 public:
  Run(RunPort& port, Workspace& workspace, const std::string& settingsPath)
      : port_(port), workspace_(workspace), settingsPath_(settingsPath) {}

  RunSummary operator()() {
    try {
      steps();
    } catch (const Failure& e) {
      summary_.failed = true;
      port_.showError(withCause(errorText_.text(), e.cause()));
    } catch (...) {
      summary_.failed = true;
      port_.showError(errorText_.text());
    }
    // Also after a failure: the photos converted before it stay written, damaged or not.
    if (!damaged_.empty()) port_.showDamagedPhotos(damageList(damaged_));
    return summary_;
  }

 private:
  void steps() {
    port_.clearStopRequest();
    errorText_.set(
        text(QT_TRANSLATE_NOOP("AlbumConv", "0000 : iniファイルの領域が確保できない。")));
    std::optional<TIniFile> ini;
    if (!settingsPath_.empty()) ini.emplace(settingsPath_);
    const RunOptions options = port_.runOptions();

    if (ini) {
      errorText_.set(
          text(QT_TRANSLATE_NOOP("AlbumConv", "0001 : iniファイルの書き込みができない。")));
      // A file that is no settings file is left alone; the program said so when it read it.
      storeRunStart(*ini, options, port_.windowPosition());
    }

    errorText_.set(text(QT_TRANSLATE_NOOP("AlbumConv", "0002 : InFileOpenの表示ができない。")));
    std::optional<std::vector<std::string>> chosen = port_.choosePhotos();
    if (chosen) {
      const std::vector<std::string>& photos = *chosen;
      summary_.photos = static_cast<int>(photos.size());
      port_.setProgressMaximum(ProgressLevel::Overall, 1);
      port_.setProgressMaximum(ProgressLevel::Overall,
                               overallGaugeMaximum(options, static_cast<int>(photos.size())));

      errorText_.set(
          text(QT_TRANSLATE_NOOP("AlbumConv", "0003 : InFileOpenの取り込みができない。")));
      if (auto message = findOverwrite(options, photos)) {
        errorText_.set(*message);
        throw Failure(*message);
      }
      // The photos are made ahead on worker threads from what the windows hold now; this
      // thread takes them in the order chosen, tells the port what each did, and writes them.
      const int workers =
          std::max(1, options.jobs > 0 ? options.jobs
                                       : static_cast<int>(std::thread::hardware_concurrency()));
      const RunPlan plan{options,
                         {port_.pipelineInputs(1), port_.pipelineInputs(2)},
                         kLimits.runMemoryBytes / (2 * static_cast<std::size_t>(workers))};
      std::optional<OrderedJobs<PhotoJob>> jobs;
      jobs.emplace(static_cast<int>(photos.size()), workers, kLimits.runMemoryBytes,
                   [&](int index, JobContext& context) {
                     return makePhotoJob(plan, photos[index], context);
                   });
      // The photos the page shows: those the run reached whose output images were all made.
      std::vector<AlbumPhoto> reached;
      for (std::size_t i = 0; i < photos.size(); ++i) {
        if (port_.stopRequested()) {
          port_.clearStopRequest();
          break;
        }
        const std::string& photo = photos[i];
        errorText_.set(text(
            QT_TRANSLATE_NOOP("AlbumConv", "0004 : フォームのファオグラウンド処理ができない。")));
        port_.photoStarts(static_cast<int>(i));
        port_.setStatusLine(ProgressLevel::Overall,
                            fillIn(QCoreApplication::translate("AlbumConv", "%1 読み込み中"),
                                   {cutUtf8(fileNamePart(photo), 40)}));
        PhotoJob job = jobs->take();
        AlbumPhoto entry(photo);
        photoUnusable_ = false;
        bool complete = true;
        for (int n = 1; n <= 2; ++n) {
          if (!options.image[n - 1].produce) continue;
          if (photoUnusable_) {
            // Image 1 failed on the photo itself, said once: image 2 is not tried.
            port_.advanceProgress(ProgressLevel::Overall);
            continue;
          }
          complete = storeImage(options, entry, n, job.image[n - 1]) && complete;
        }
        if (complete) reached.push_back(std::move(entry));
        // The surfaces stay in the workspace until the next photo's.
        for (int n = 1; n <= 2; ++n) {
          Raster& made = job.image[n - 1].surface;
          if (!made.isEmpty()) std::swap(workspace_.surface(n), made);
        }
        port_.photoDone();
      }
      // The photos behind a stop are not made.
      jobs.reset();

      if (options.album.htmlCnv) {
        port_.setStatusLine(ProgressLevel::Detail,
                            text(QT_TRANSLATE_NOOP("AlbumConv", "HTML変換中")));
        port_.setProgressMaximum(ProgressLevel::Detail, static_cast<int>(photos.size()));
        albumPage(options, std::move(reached));
        port_.setProgressValue(ProgressLevel::Detail, 0);
        port_.advanceProgress(ProgressLevel::Overall);
      }
      port_.setStatusLine(ProgressLevel::Overall, text(QT_TRANSLATE_NOOP("AlbumConv", "変換終了")));
    }

    if (!ini) return;
    errorText_.set(text(QT_TRANSLATE_NOOP("AlbumConv", "000E : iniFileの書き込みに失敗した。")));
    storeRunEnd(*ini, options, port_.photoDialogFileName());
  }

  // One output image of one photo, made by its job: what its pipeline told the port, then the
  // save. Notes the image's size and the photo's date in `entry`; false when the pipeline
  // failed (and has shown its "ERROR" box) or the image was skipped.
  bool storeImage(const RunOptions& options, AlbumPhoto& entry, int n, ImageWork& work) {
    const std::string& photo = entry.path;
    const ImageOptions& image = options.image[n - 1];
    const ImageMessages& m = kMessages[n - 1];
    errorText_.set(photoMessage(m.pipeline, photo));
    work.log.replay(port_, work.surface);
    const PipelineResult& result = work.result;
    if (!result.ok) {
      // The pipeline has shown its "ERROR" box; the surface does not hold this photo's
      // picture, so nothing is saved under its name.
      summary_.failed = true;
      photoUnusable_ = result.photoFailed;
      port_.advanceProgress(ProgressLevel::Overall);
      return false;
    }
    if (!result.damage.empty()) noteDamage(photo, result.damage);
    const std::string name = outputImageName(photo, image.prefix, image.suffix);
    port_.setStatusLine(ProgressLevel::Overall,
                        fillIn(QCoreApplication::translate("AlbumConv", "%1 格納中"),
                               {image.prefix + splitFileName(photo).base + image.suffix}));
    const Raster& surface = work.surface;
    try {
      save(photo, n, work, joinPath(options.outputDir, name));
    } catch (const FileWriteError& e) {
      if (!belongsToPhoto(e.error())) throw;
      skipImage(e.cause());
      return false;
    } catch (const Failure& e) {
      // The picture of this photo cannot be a JPEG file (its size): the photo is skipped.
      skipImage(e.cause());
      return false;
    } catch (...) {
      // No memory for this photo's picture: the next photo may be smaller.
      skipImage({});
      return false;
    }
    ++summary_.imagesWritten;
    entry.image[n - 1] = PixelSize{surface.width(), surface.height()};
    entry.date = result.date;
    port_.advanceProgress(ProgressLevel::Overall);
    return true;
  }

  // Writes the file the job encoded from surface n (with the EXIF block when there is one) as
  // `path`, or raises the failure of its encoding.
  void save(const std::string& photo, int n, const ImageWork& work, const std::string& path) {
    const ImageMessages& m = kMessages[n - 1];
    errorText_.set(text(m.allocate));
    errorText_.set(photoMessage(m.convert, photo));
    if (work.surface.isEmpty()) {
      // A surface without pixels would be saved as an empty file; that is no image.
      throw Failure("the output image has no pixels");
    }
    if (work.encodeFailure) std::rethrow_exception(work.encodeFailure);

    errorText_.set(photoMessage(m.store, photo));
    writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(work.jpeg.data()), work.jpeg.size()));

    if (n == 2)
      errorText_.set(text(QT_TRANSLATE_NOOP("AlbumConv", "000D : JPEG領域の開放に失敗した。")));
  }

  // An output image that failed for a reason of its photo: its message with `cause`, and on to
  // the next.
  void skipImage(const std::string& cause) {
    summary_.failed = true;
    port_.showError(withCause(errorText_.text(), cause));
    port_.advanceProgress(ProgressLevel::Overall);
  }

  void albumPage(const RunOptions& options, std::vector<AlbumPhoto> photos) {
    HtmlEditInput input;
    input.templatePath = options.album.htmlTemplateFile;
    input.pageFileName = options.album.htmlFile;
    input.outputDir = options.outputDir;
    input.language = options.album.language;  // picks the shipped template
    input.order = options.album.order;
    input.page.title = options.album.albumTitle;
    input.page.photos = std::move(photos);
    input.page.prefix1 = options.image[0].prefix;
    input.page.suffix1 = options.image[0].suffix;
    input.page.prefix2 = options.image[1].prefix;
    input.page.suffix2 = options.image[1].suffix;
    input.page.width1Text = options.image[0].widthText.text();
    input.page.progressStep = [this] { port_.advanceProgress(ProgressLevel::Overall); };
    errorText_.set(text(QT_TRANSLATE_NOOP("AlbumConv", "000F : HTMLページの作成に失敗した。")));
    // A missing template is a plain message, not a failure: the run goes on without a page.
    AnalizeOptions analize;
    analize.fileTime = [source = options.photo.dateSource](const std::string& photo) {
      return photoDateTime(photo, source);
    };
    summary_.pageWritten = HtmlEdit(input, port_, errorText_, analize);
  }

  // A damaged photo is reported once, though both output images decode it.
  void noteDamage(const std::string& photo, const std::string& cause) {
    if (!damaged_.empty() && damaged_.back().photo == photo) return;
    damaged_.push_back({photo, cause});
    summary_.damagedPhotos = static_cast<int>(damaged_.size());
    port_.showWarning(damageWarning(photo, cause));
  }

  RunPort& port_;
  Workspace& workspace_;
  const std::string& settingsPath_;
  ErrorText errorText_;
  RunSummary summary_;
  std::vector<DamagedPhoto> damaged_;
  bool photoUnusable_ = false;  // the current photo's first image failed on the photo itself
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

RunSummary AlbumConv(RunPort& port, Workspace& workspace, const std::string& settingsPath) {
  RunSummary summary = Run(port, workspace, settingsPath)();
  summary.started = true;
  return summary;
}

RunSummary OKButtonClick(RunPort& port, Workspace& workspace, const std::string& settingsPath) {
  const RunOptions options = port.runOptions();
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
    return AlbumConv(port, workspace, settingsPath);
  }
  if ((one.produce && one.widthText.empty()) || (two.produce && two.widthText.empty())) {
    port.showMessage(
        text(QT_TRANSLATE_NOOP("AlbumConv", "出力する画像の横幅を指定してください。")));
    return {};
  }
  return AlbumConv(port, workspace, settingsPath);
}

}  // namespace snapfolio
