#include "site/site_build.h"

// Standard library
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>

// System
#include <sys/stat.h>

// Project
#include "core/atomic_file.h"
#include "core/limits.h"
#include "jpeg/jpeg_markers.h"
#include "site/site_page.h"
#include "site/site_scan.h"
#include "site/site_tree.h"

namespace snapfolio::site {

namespace {

namespace fs = std::filesystem;

constexpr int kView = static_cast<int>(ImageRole::View);

// The output image (1 thumbnails, 2 view) whose options a role follows, as an index.
int imageOf(int role) {
  return role == kView ? 1 : 0;
}

std::string lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string baseName(const std::string& rel) {
  const std::string name = rel.substr(rel.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string extensionOf(const std::string& rel) {
  const std::string name = rel.substr(rel.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string folderOf(const std::string& rel) {
  const std::size_t slash = rel.rfind('/');
  return slash == std::string::npos ? std::string() : rel.substr(0, slash);
}

std::string joined(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + "/" + b;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// Whether the view image needs a name of its own beside a thumbnail of the same width.
bool viewVariant(const RoleSizes& sizes, const SiteJobPlan& plan) {
  return plan.options[0] != plan.options[1] &&
         (sizes.width[kView] == sizes.width[0] || sizes.width[kView] == sizes.width[1]);
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeWhole(const std::string& path, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  AtomicFile file(path);
  file.write(bytes);
  file.commit();
}

// Tells the site's port what the pipeline told its log; progress stays the run's own.
class LogReplay : public PipelinePort {
 public:
  explicit LogReplay(SitePort& port) : port_(port) {}
  void setStatusLine(ProgressLevel, const std::string&) override {}
  void setProgressMaximum(ProgressLevel, int) override {}
  void setProgressValue(ProgressLevel, int) override {}
  void advanceProgress(ProgressLevel) override {}
  void showMessage(const std::string& text) override { port_.showMessage(text); }
  void showError(const std::string& text) override { port_.showError(text); }
  void showFileError(const std::string& text) override { port_.showFileError(text); }
  void surfaceReady(int, const Raster&) override {}

 private:
  SitePort& port_;
};

class Build {
 public:
  Build(const SiteRequest& request, SitePort& port)
      : request_(request), port_(port), catalogue_(request.siteDir, request.rebuild) {}

  SiteSummary run();

 private:
  struct Work {
    std::size_t record;
    SiteJobInput input;
    bool convert;  // the photo is new or changed (else: some images remade)
  };
  // What the scan found against the catalogue, step by step.
  struct Changes {
    std::vector<bool> seen;                 // by record: its file is where it was
    std::vector<const ScannedFile*> fresh;  // files without a record at their path
    std::vector<const ScannedFile*> added;  // of those, the ones that are no moved photo
    std::vector<std::size_t> remakes;       // records kept, whose images are checked
    std::vector<Work> work;                 // the photos to convert or remake
  };

  std::string albumDir(const std::string& album) const { return joined(request_.siteDir, album); }
  std::string imagePath(const std::string& album, const std::string& file) const {
    return albumDir(album) + "/_img/" + file;
  }
  std::string originalPath(const std::string& album, const std::string& file) const {
    return albumDir(album) + "/_orig/" + file;
  }

  std::set<std::string> open();
  void takeSources();
  ScanResult scan();
  void compare(const ScanResult& found, Changes& changes);
  void matchMoves(Changes& changes);
  void queueRemakes(Changes& changes);
  void queueAdded(Changes& changes);
  std::string albumOf(long long source, const std::string& rel) const;
  std::string uniqueStem(const std::string& album, const std::string& base);
  void releaseStem(const std::string& album, const std::string& stem);
  bool needsRemake(const PhotoRecord& record, bool roles[3]) const;
  bool move(PhotoRecord& record, const ScannedFile& file);
  void remove(PhotoRecord& record);
  bool adopt(PhotoRecord& record, const ScannedFile& file, bool roles[3]);
  void convert(std::vector<Work>& work);
  void store(PhotoRecord& record, SiteJob& job, const SiteJobInput& input);
  void keepOriginal(PhotoRecord& record);
  void writePages(const std::set<std::string>& albumsBefore);

  const SiteRequest& request_;
  SitePort& port_;
  Catalogue catalogue_;
  SiteSummary summary_;
  bool copyOriginals_ = false;
  std::vector<SourceRecord> sources_;
  std::vector<PhotoRecord> records_;
  std::vector<bool> removed_;
  std::set<long long> missing_;                         // the sources that are not there
  std::map<std::string, std::set<std::string>> stems_;  // by album, in lower case
};

void Build::takeSources() {
  sources_ = catalogue_.sources();
  // A source folder inside one already kept (or a photo inside one) is taken with it.
  const auto covered = [&](const std::string& path) {
    for (const SourceRecord& s : sources_) {
      if (s.path == path) return true;
      if (!s.isFile && path.starts_with(s.path == "/" ? s.path : s.path + "/")) return true;
    }
    return false;
  };
  std::set<std::string> topNames;
  for (const SourceRecord& s : sources_)
    topNames.insert(lowered(s.album.substr(0, s.album.find('/'))));
  for (const PhotoRecord& p : records_)
    topNames.insert(lowered(p.album.substr(0, p.album.find('/'))));
  const bool firstFolder = std::none_of(sources_.begin(), sources_.end(),
                                        [](const SourceRecord& s) { return !s.isFile; });
  bool rootTaken = !firstFolder || request_.folders.size() != 1;
  for (const std::string& folder : request_.folders) {
    if (covered(folder)) continue;
    SourceRecord source{0, folder, "", false};
    if (rootTaken) {
      const std::string name = fs::path(folder).filename().string();
      std::string album = name.empty() ? "photos" : name;
      for (int n = 2; topNames.contains(lowered(album)); ++n)
        album = name + "-" + std::to_string(n);
      topNames.insert(lowered(album));
      source.album = album;
    }
    rootTaken = true;
    catalogue_.addSource(source);
    sources_.push_back(source);
  }
  for (const std::string& photo : request_.photos) {
    if (covered(photo)) continue;
    SourceRecord source{0, photo, "", true};
    catalogue_.addSource(source);
    sources_.push_back(source);
  }
}

std::string Build::albumOf(long long source, const std::string& rel) const {
  for (const SourceRecord& s : sources_) {
    if (s.id == source) return s.isFile ? s.album : joined(s.album, folderOf(rel));
  }
  return {};
}

std::string Build::uniqueStem(const std::string& album, const std::string& base) {
  std::set<std::string>& taken = stems_[album];
  std::string stem = base;
  for (int n = 2; taken.contains(lowered(stem)); ++n) stem = base + "-" + std::to_string(n);
  taken.insert(lowered(stem));
  return stem;
}

void Build::releaseStem(const std::string& album, const std::string& stem) {
  stems_[album].erase(lowered(stem));
}

// Which images of a kept photo must be made again: missing, of another size (the photo's sizes
// changed with this program), or made with other options.
bool Build::needsRemake(const PhotoRecord& record, bool roles[3]) const {
  const RoleSizes sizes = roleSizes(record.width, record.height);
  bool any = false;
  for (int role = 0; role < 3; ++role) {
    roles[role] = true;
    for (const OutputRecord& out : record.outputs) {
      if (out.role == role && out.width == sizes.width[role] &&
          out.options == request_.plan.options[imageOf(role)] &&
          exists(imagePath(record.album, out.file))) {
        roles[role] = false;
      }
    }
    any = any || roles[role];
  }
  return any;
}

// Moves the images of a photo found under a new path; false when they are not all there.
bool Build::move(PhotoRecord& record, const ScannedFile& file) {
  const std::string album = albumOf(file.source, file.rel);
  releaseStem(record.album, record.stem);
  const std::string stem = album == record.album && baseName(file.rel) == baseName(record.rel)
                               ? uniqueStem(album, record.stem)
                               : uniqueStem(album, baseName(file.rel));
  std::error_code ec;
  fs::create_directories(albumDir(album) + "/_img", ec);
  std::vector<OutputRecord> outputs = record.outputs;
  for (OutputRecord& out : outputs) {
    const std::string from = imagePath(record.album, out.file);
    out.file = stem + out.file.substr(record.stem.size());
    const std::string to = imagePath(album, out.file);
    if (from == to) continue;
    // A move cut short by a kill has put some images in place already.
    if (std::rename(from.c_str(), to.c_str()) != 0 && !exists(to)) {
      releaseStem(album, stem);
      stems_[record.album].insert(lowered(record.stem));
      return false;
    }
  }
  if (!record.original.empty()) {
    const std::string original = stem + extensionOf(file.rel);
    fs::create_directories(albumDir(album) + "/_orig", ec);
    std::rename(originalPath(record.album, record.original).c_str(),
                originalPath(album, original).c_str());
    record.original = original;
  }
  record.outputs = std::move(outputs);
  record.source = file.source;
  record.rel = file.rel;
  record.album = album;
  record.stem = stem;
  record.size = file.size;
  record.mtimeNs = file.mtimeNs;
  catalogue_.putPhoto(record);
  ++summary_.moved;
  return true;
}

void Build::remove(PhotoRecord& record) {
  std::error_code ec;
  for (const OutputRecord& out : record.outputs) fs::remove(imagePath(record.album, out.file), ec);
  if (!record.original.empty()) fs::remove(originalPath(record.album, record.original), ec);
  releaseStem(record.album, record.stem);
  catalogue_.removePhoto(record.id);
}

// A new photo whose images are in the site already, from a catalogue made anew: the images
// whose comment names this photo's fingerprint and the options in force are taken as they are.
// Clears the roles adopted; true when every role was.
bool Build::adopt(PhotoRecord& record, const ScannedFile& file, bool roles[3]) {
  const std::string prefix = record.stem + "-";
  std::error_code ec;
  std::vector<std::string> candidates;
  for (fs::directory_iterator it(albumDir(record.album) + "/_img", ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.starts_with(prefix)) candidates.push_back(name);
  }
  if (candidates.empty()) return false;
  const std::string fingerprint = fileFingerprint(file.path);
  int width = 0, height = 0;
  for (const std::string& name : candidates) {
    const std::string comment = readSiteComment(imagePath(record.album, name));
    if (comment.starts_with(fingerprint + " ") &&
        std::sscanf(comment.c_str() + fingerprint.size() + 1, "%dx%d", &width, &height) == 2) {
      break;
    }
  }
  if (width <= 0 || height <= 0) return false;
  const RoleSizes sizes = roleSizes(width, height);
  const bool variant = viewVariant(sizes, request_.plan);
  for (int role = 0; role < 3; ++role) {
    const std::string name =
        imageFileName(record.stem, sizes.width[role], role == kView && variant,
                      request_.plan.format);
    const std::string options = request_.plan.options[imageOf(role)];
    if (std::find(candidates.begin(), candidates.end(), name) == candidates.end() ||
        readSiteComment(imagePath(record.album, name)) !=
            siteComment(fingerprint, width, height, options)) {
      continue;
    }
    record.outputs.push_back({role, name, sizes.width[role], sizes.height[role], options});
    roles[role] = false;
  }
  if (record.outputs.empty()) return false;
  record.fingerprint = fingerprint;
  record.width = width;
  record.height = height;
  try {
    const CameraFields camera = cameraFieldsOf(jpeg::readJpegExif(file.path).exif);
    record.dateTaken = camera.dateTaken;
    record.camera = camera.camera;
    record.lens = camera.lens;
    record.focalLength = camera.focalLength;
    record.exposure = camera.exposure;
    record.aperture = camera.aperture;
    record.iso = camera.iso;
  } catch (...) {
    // No header to read: the conversion reports the photo.
  }
  return !roles[0] && !roles[1] && !roles[2];
}

void Build::store(PhotoRecord& record, SiteJob& job, const SiteJobInput& input) {
  const RoleSizes sizes = roleSizes(job.width, job.height);
  const bool variant = viewVariant(sizes, request_.plan);
  std::vector<OutputRecord> outputs;
  for (const OutputRecord& out : record.outputs) {
    if (!input.roles[out.role] && job.width == record.width && job.height == record.height) {
      outputs.push_back(out);
    }
  }
  std::set<std::string> written;
  for (const MadeImage& made : job.images) {
    const std::string name = imageFileName(record.stem, made.width, made.role == kView && variant,
                                           request_.plan.format);
    if (written.insert(name).second) {
      writeWhole(
          imagePath(record.album, name),
          std::string_view(reinterpret_cast<const char*>(made.jpeg.data()), made.jpeg.size()));
    }
    outputs.push_back(
        {made.role, name, made.width, made.height, request_.plan.options[imageOf(made.role)]});
  }
  // Images of the photo that no role names any more go.
  std::set<std::string> kept;
  for (const OutputRecord& out : outputs) kept.insert(out.file);
  std::error_code ec;
  for (const OutputRecord& out : record.outputs) {
    if (!kept.contains(out.file)) fs::remove(imagePath(record.album, out.file), ec);
  }
  record.outputs = std::move(outputs);
  record.fingerprint = job.fingerprint;
  record.size = job.size;
  record.width = job.width;
  record.height = job.height;
  record.dateTaken = job.camera.dateTaken;
  record.camera = job.camera.camera;
  record.lens = job.camera.lens;
  record.focalLength = job.camera.focalLength;
  record.exposure = job.camera.exposure;
  record.aperture = job.camera.aperture;
  record.iso = job.camera.iso;
}

// The copy of the original as --originals asks: made when missing, removed when not wanted.
void Build::keepOriginal(PhotoRecord& record) {
  if (!copyOriginals_) {
    if (record.original.empty()) return;
    std::error_code ec;
    fs::remove(originalPath(record.album, record.original), ec);
    record.original.clear();
    catalogue_.putPhoto(record);
    return;
  }
  const std::string name = record.stem + extensionOf(record.rel);
  const std::string path = originalPath(record.album, name);
  if (record.original == name && exists(path)) return;
  std::string source;
  for (const SourceRecord& s : sources_) {
    if (s.id == record.source) source = s.isFile ? s.path : s.path + "/" + record.rel;
  }
  const std::string bytes = readWhole(source);
  if (bytes.empty()) return;
  writeWhole(path, bytes);
  record.original = name;
  catalogue_.putPhoto(record);
}

void Build::convert(std::vector<Work>& work) {
  if (work.empty()) return;
  if (request_.beforeConverting) request_.beforeConverting();
  const int workers = std::max(
      1, request_.jobs > 0 ? request_.jobs : static_cast<int>(std::thread::hardware_concurrency()));
  SiteJobPlan plan = request_.plan;
  plan.keptDecodeBytes = kLimits.runMemoryBytes / (2 * static_cast<std::size_t>(workers));
  LogReplay replay(port_);
  std::optional<OrderedJobs<SiteJob>> jobs;
  jobs.emplace(static_cast<int>(work.size()), workers, kLimits.runMemoryBytes,
               [&](int index, JobContext& context) {
                 return makeSiteJob(plan, work[static_cast<std::size_t>(index)].input, context);
               });
  for (std::size_t i = 0; i < work.size(); ++i) {
    if (port_.stopRequested()) {
      summary_.stopped = true;
      break;
    }
    Work& w = work[i];
    port_.converting(static_cast<int>(i), static_cast<int>(work.size()), w.input.path);
    SiteJob job;
    try {
      job = jobs->take();
    } catch (const std::exception& e) {
      port_.showError(w.input.path + " : " + e.what());
      ++summary_.failed;
      continue;
    }
    job.log.replay(replay, Raster());
    if (!job.ok) {
      ++summary_.failed;
      continue;
    }
    if (!job.damage.empty()) {
      port_.showWarning(w.input.path + " : " + job.damage);
      ++summary_.damaged;
    }
    PhotoRecord& record = records_[w.record];
    store(record, job, w.input);
    catalogue_.putPhoto(record);
    keepOriginal(record);
    ++(w.convert ? summary_.converted : summary_.remade);
    // Each photo done is kept, whatever happens to the run afterwards.
    catalogue_.commit();
    catalogue_.begin();
  }
  jobs.reset();
}

void Build::writePages(const std::set<std::string>& albumsBefore) {
  std::vector<PhotoRecord> kept;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (!removed_[i] && records_[i].id != 0) kept.push_back(records_[i]);
  }
  summary_.photos = static_cast<int>(kept.size());
  std::string title = request_.title.empty() ? catalogue_.meta("title") : request_.title;
  if (title.empty()) title = fs::path(request_.siteDir).filename().string();
  const std::string baseUrl =
      request_.baseUrl.empty() ? catalogue_.meta("base_url") : request_.baseUrl;
  std::set<std::string> albumsNow;
  for (const SiteAlbum& album : siteAlbums(kept, {title, baseUrl, request_.language})) {
    albumsNow.insert(album.relPath);
    const std::string path = joined(request_.siteDir, joined(album.relPath, "index.html"));
    const std::string html = albumPageHtml(album);
    if (readWhole(path) == html) continue;
    writeWhole(path, html);
    ++summary_.pagesWritten;
  }
  const std::string scriptPath = joined(request_.siteDir, std::string(kSharedScriptName));
  const std::string script = sharedScript();
  if (readWhole(scriptPath) != script) writeWhole(scriptPath, script);
  // An album whose photos are all gone: its page goes, and its folders when nothing else is in
  // them.
  for (auto it = albumsBefore.rbegin(); it != albumsBefore.rend(); ++it) {
    if (albumsNow.contains(*it)) continue;
    std::error_code ec;
    fs::remove(albumDir(*it) + "/index.html", ec);
    fs::remove(albumDir(*it) + "/_img", ec);
    fs::remove(albumDir(*it) + "/_orig", ec);
    fs::remove(albumDir(*it), ec);
  }
}

// What the run opens with: the site's settings of this run kept, the photos it holds read, and
// the albums they are in (with every album above them).
std::set<std::string> Build::open() {
  catalogue_.begin();
  if (!request_.title.empty()) catalogue_.setMeta("title", request_.title);
  if (!request_.baseUrl.empty()) catalogue_.setMeta("base_url", request_.baseUrl);
  if (request_.copyOriginals) {
    catalogue_.setMeta("originals", *request_.copyOriginals ? "copy" : "none");
  }
  copyOriginals_ = catalogue_.meta("originals") == "copy";
  records_ = catalogue_.photos();
  removed_.assign(records_.size(), false);
  std::set<std::string> albumsBefore;
  for (const PhotoRecord& p : records_) {
    stems_[p.album].insert(lowered(p.stem));
    for (std::string a = p.album;; a = folderOf(a)) {
      albumsBefore.insert(a);
      if (a.empty()) break;
    }
  }
  return albumsBefore;
}

// The sources walked; what cannot be read, and the source folders that are not there, are
// warned of.
ScanResult Build::scan() {
  ScanResult result = scanSources(sources_, request_.siteDir);
  for (const std::string& error : result.errors) port_.showWarning("cannot read " + error);
  missing_.insert(result.missingSources.begin(), result.missingSources.end());
  for (const SourceRecord& s : sources_) {
    if (missing_.contains(s.id)) {
      port_.showWarning("the source folder " + s.path + " is not there; its albums are kept");
    }
  }
  return result;
}

// Each file found against its record: new, changed (converted), or kept (its images checked).
void Build::compare(const ScanResult& found, Changes& changes) {
  std::unordered_map<std::string, std::size_t> index;
  const auto key = [](long long source, const std::string& rel) {
    return std::to_string(source) + '\0' + rel;
  };
  for (std::size_t i = 0; i < records_.size(); ++i) {
    index.emplace(key(records_[i].source, records_[i].rel), i);
  }
  changes.seen.assign(records_.size(), false);
  for (const ScannedFile& file : found.files) {
    const auto at = index.find(key(file.source, file.rel));
    if (at == index.end()) {
      changes.fresh.push_back(&file);
      continue;
    }
    const std::size_t i = at->second;
    changes.seen[i] = true;
    PhotoRecord& record = records_[i];
    if (record.size != file.size || record.mtimeNs != file.mtimeNs) {
      // Touched but not changed: its content says so.
      if (fileFingerprint(file.path) != record.fingerprint) {
        changes.work.push_back({i, {file.path, {true, true, true}}, true});
        continue;
      }
      record.size = file.size;
      record.mtimeNs = file.mtimeNs;
      catalogue_.putPhoto(record);
    }
    changes.remakes.push_back(i);
  }
}

// Photos gone from where they were: moved when a new file has the same content, else deleted.
// The new files that are no moved photo are added.
void Build::matchMoves(Changes& changes) {
  std::multimap<long long, std::size_t> vanished;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (!changes.seen[i] && !missing_.contains(records_[i].source)) {
      vanished.emplace(records_[i].size, i);
    }
  }
  for (const ScannedFile* file : changes.fresh) {
    bool moved = false;
    const auto [from, to] = vanished.equal_range(file->size);
    if (from != to) {
      const std::string fingerprint = fileFingerprint(file->path);
      for (auto it = from; it != to; ++it) {
        if (records_[it->second].fingerprint != fingerprint) continue;
        const std::size_t i = it->second;
        vanished.erase(it);
        moved = move(records_[i], *file);
        if (moved) {
          changes.remakes.push_back(i);
        } else {
          vanished.emplace(records_[i].size, i);
        }
        break;
      }
    }
    if (!moved) changes.added.push_back(file);
  }
  for (const auto& [size, i] : vanished) {
    remove(records_[i]);
    removed_[i] = true;
    ++summary_.removed;
  }
}

// The kept photos whose images must be made again go to the work; the others get their
// original copied or removed as asked.
void Build::queueRemakes(Changes& changes) {
  for (std::size_t i : changes.remakes) {
    bool roles[3];
    if (!needsRemake(records_[i], roles)) {
      keepOriginal(records_[i]);
      continue;
    }
    changes.work.push_back({i, {"", {roles[0], roles[1], roles[2]}}, false});
    for (const SourceRecord& s : sources_) {
      if (s.id == records_[i].source) {
        changes.work.back().input.path = s.isFile ? s.path : s.path + "/" + records_[i].rel;
      }
    }
  }
}

// The new photos get a record each; those whose images a catalogue made anew finds in the site
// are adopted, the others go to the work.
void Build::queueAdded(Changes& changes) {
  for (const ScannedFile* file : changes.added) {
    PhotoRecord record;
    record.source = file->source;
    record.rel = file->rel;
    record.album = albumOf(file->source, file->rel);
    record.stem = uniqueStem(record.album, baseName(file->rel));
    record.size = file->size;
    record.mtimeNs = file->mtimeNs;
    bool roles[3] = {true, true, true};
    records_.push_back(std::move(record));
    removed_.push_back(false);
    PhotoRecord& stored = records_.back();
    if (adopt(stored, *file, roles)) {
      catalogue_.putPhoto(stored);
      keepOriginal(stored);
      ++summary_.adopted;
      continue;
    }
    changes.work.push_back(
        {records_.size() - 1, {file->path, {roles[0], roles[1], roles[2]}}, true});
  }
}

SiteSummary Build::run() {
  const std::set<std::string> albumsBefore = open();
  takeSources();
  const ScanResult found = scan();
  Changes changes;
  compare(found, changes);
  matchMoves(changes);
  queueRemakes(changes);
  queueAdded(changes);
  // The photos in page order of their sources, so that the first pages fill first.
  std::sort(changes.work.begin(), changes.work.end(),
            [](const Work& a, const Work& b) { return a.input.path < b.input.path; });
  catalogue_.commit();
  catalogue_.begin();
  convert(changes.work);
  writePages(albumsBefore);
  catalogue_.commit();
  return summary_;
}

}  // namespace

bool liesInside(const std::string& path, const std::string& folder) {
  return path == folder || path.starts_with(folder == "/" ? folder : folder + "/");
}

SiteSummary buildSite(const SiteRequest& request, SitePort& port) {
  Build build(request, port);
  return build.run();
}

}  // namespace snapfolio::site
