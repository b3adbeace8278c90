// Catalogue: the kept album's record of what it holds, an SQLite database in the site
// (SITE/.snapfolio/catalogue.sqlite): the source folders and photos it was made from, and for
// each photo its file's size, modification time and content fingerprint, the images made of it
// with the options they were made with, and the few EXIF fields its page shows.
//
// A run opens it once and holds SITE/.snapfolio/lock (an exclusive flock) until it closes it,
// so a second run on the same site at once is told the site is busy instead of waiting. The
// database runs in WAL mode, and every change is made inside a transaction, so that a kill at
// any moment leaves the last committed state, which the next run completes.
//
// Owned by one run, used on the run's thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/failure.h"

struct sqlite3;
struct sqlite3_stmt;

namespace snapfolio::site {

// Another run holds the site.
class SiteBusy : public Failure {
 public:
  using Failure::Failure;
};

// The catalogue cannot be used: damaged, made by a newer version, or not writable. what() says
// which in English, for the command line.
class CatalogueError : public Failure {
 public:
  using Failure::Failure;
};

// One image of a photo as it stands in the site.
struct OutputRecord {
  int role = 0;      // ImageRole
  std::string file;  // its name in the album's _img folder
  int width = 0;     // pixels
  int height = 0;
  std::string options;  // the options it was made with (optionsKey of site_build)
  friend bool operator==(const OutputRecord&, const OutputRecord&) = default;
};

// One photo of the site.
struct PhotoRecord {
  long long id = 0;      // 0: not stored yet
  long long source = 0;  // SourceRecord::id
  std::string rel;       // its path from the source (a photo named alone: its file name)
  std::string album;     // the album it shows in ("" the top album, else "a/b")
  std::string stem;      // its images' names start with it, distinct in the album
  long long size = 0;    // bytes
  long long mtimeNs = 0;
  std::string fingerprint;
  int width = 0;  // the upright photo, pixels
  int height = 0;
  std::string dateTaken, camera, lens, focalLength, exposure, aperture, iso;
  std::string original;  // the copy of the photo in _img; empty: none
  std::vector<OutputRecord> outputs;
};

// A source the site was made from: a folder (its tree) or a photo named alone.
struct SourceRecord {
  long long id = 0;
  std::string path;   // absolute
  std::string album;  // the album the folder's photos (or the photo) show in
  bool isFile = false;
};

class Catalogue {
 public:
  // The schema version this program writes.
  static constexpr int kSchemaVersion = 1;

  // Opens SITE/.snapfolio/catalogue.sqlite, creating the folder and the database when they are
  // not there, after taking the site's lock. `rebuild`: the database is made anew (the old one
  // is removed once the lock is held). Throws SiteBusy or CatalogueError.
  Catalogue(const std::string& siteDir, bool rebuild);
  ~Catalogue();
  Catalogue(const Catalogue&) = delete;
  Catalogue& operator=(const Catalogue&) = delete;

  // Every change between begin() and commit() lands at once; a failure throws CatalogueError.
  void begin();
  void commit();

  // A value of the site kept between runs (such as its title); empty when not set.
  std::string meta(const std::string& key);
  void setMeta(const std::string& key, const std::string& value);

  std::vector<SourceRecord> sources();
  // Stores a new source and sets its id.
  void addSource(SourceRecord& source);

  // Every photo with its outputs, in id order.
  std::vector<PhotoRecord> photos();
  // Inserts (id 0: sets the id) or replaces the photo and its outputs.
  void putPhoto(PhotoRecord& photo);
  void removePhoto(long long id);

 private:
  class Statement;
  void execute(const char* sql);
  Statement& prepared(int index, const char* sql);
  [[noreturn]] void fail(const std::string& step) const;

  std::string path_;
  int lockFd_ = -1;
  sqlite3* db_ = nullptr;
  std::vector<std::unique_ptr<Statement>> statements_;
};

}  // namespace snapfolio::site
