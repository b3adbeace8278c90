#include "site/catalogue.h"

// Standard library
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

// System
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// Other libraries
#include <sqlite3.h>

namespace snapfolio::site {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS sources(
  id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, album TEXT NOT NULL,
  is_file INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS photos(
  id INTEGER PRIMARY KEY, source INTEGER NOT NULL, rel TEXT NOT NULL, album TEXT NOT NULL,
  stem TEXT NOT NULL, size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL,
  fingerprint TEXT NOT NULL, width INTEGER NOT NULL, height INTEGER NOT NULL,
  date_taken TEXT NOT NULL, camera TEXT NOT NULL, lens TEXT NOT NULL, focal TEXT NOT NULL,
  exposure TEXT NOT NULL, aperture TEXT NOT NULL, iso TEXT NOT NULL, original TEXT NOT NULL,
  UNIQUE(source, rel));
CREATE TABLE IF NOT EXISTS outputs(
  photo INTEGER NOT NULL, role INTEGER NOT NULL, file TEXT NOT NULL, width INTEGER NOT NULL,
  height INTEGER NOT NULL, options TEXT NOT NULL, PRIMARY KEY(photo, role));
)sql";

std::string columnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
              : std::string();
}

}  // namespace

// A prepared statement, reset before each use.
class Catalogue::Statement {
 public:
  Statement(const Catalogue& owner, const char* sql) : owner_(owner) {
    if (sqlite3_prepare_v3(owner.db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr) !=
        SQLITE_OK) {
      owner.fail("prepare");
    }
  }
  ~Statement() { sqlite3_finalize(statement_); }

  Statement& start() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    next_ = 1;
    return *this;
  }
  Statement& bind(const std::string& text) {
    sqlite3_bind_text(statement_, next_++, text.data(), static_cast<int>(text.size()),
                      SQLITE_STATIC);
    return *this;
  }
  Statement& bindNull() {
    sqlite3_bind_null(statement_, next_++);
    return *this;
  }
  Statement& bind(long long value) {
    sqlite3_bind_int64(statement_, next_++, value);
    return *this;
  }
  // True while there is a row.
  bool step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result != SQLITE_DONE) owner_.fail("step");
    return false;
  }
  long long integer(int column) const { return sqlite3_column_int64(statement_, column); }
  int small(int column) const { return sqlite3_column_int(statement_, column); }
  std::string text(int column) const { return columnText(statement_, column); }

 private:
  const Catalogue& owner_;
  sqlite3_stmt* statement_ = nullptr;
  int next_ = 1;
};

Catalogue::Catalogue(const std::string& siteDir, bool rebuild) {
  const fs::path folder = fs::path(siteDir) / ".snapfolio";
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string lockPath = (folder / "lock").string();
  lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd_ < 0) {
    throw CatalogueError("cannot open " + lockPath + ": " + std::strerror(errno));
  }
  if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(lockFd_);
    lockFd_ = -1;
    if (error == EWOULDBLOCK)
      throw SiteBusy("the site " + siteDir +
                     " is busy: another run is "
                     "making it");
    throw CatalogueError("cannot lock " + lockPath + ": " + std::strerror(error));
  }
  path_ = (folder / "catalogue.sqlite").string();
  if (rebuild) {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path_ + suffix, ec);
  }
  try {
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
      fail("open");
    }
    execute("PRAGMA journal_mode=WAL");
    execute("PRAGMA synchronous=NORMAL");
    execute("PRAGMA foreign_keys=OFF");
    begin();
    execute(kSchema);
    Statement& version = prepared(0, "SELECT value FROM meta WHERE key = 'schema_version'").start();
    if (version.step()) {
      const int found = std::atoi(version.text(0).c_str());
      if (found > kSchemaVersion) {
        throw CatalogueError("the catalogue " + path_ +
                             " was made by a newer version of "
                             "snapfolio (schema " +
                             std::to_string(found) + "); --rebuild makes it anew from the source");
      }
    } else {
      prepared(1, "INSERT INTO meta(key, value) VALUES('schema_version', ?)")
          .start()
          .bind(std::to_string(kSchemaVersion))
          .step();
    }
    commit();
  } catch (...) {
    statements_.clear();
    sqlite3_close(db_);
    db_ = nullptr;
    ::close(lockFd_);
    throw;
  }
}

Catalogue::~Catalogue() {
  statements_.clear();
  if (db_) {
    // An open transaction ends here without its changes.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
  }
  if (lockFd_ >= 0) ::close(lockFd_);
}

void Catalogue::fail(const std::string& step) const {
  const int code = db_ ? sqlite3_errcode(db_) : SQLITE_CANTOPEN;
  const std::string text = db_ ? sqlite3_errmsg(db_) : "cannot open";
  if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
    throw CatalogueError("the catalogue " + path_ + " is damaged (" + text +
                         "); --rebuild makes it anew from the source");
  }
  throw CatalogueError("the catalogue " + path_ + " cannot be used: " + step + ": " + text);
}

void Catalogue::execute(const char* sql) {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(sql);
}

Catalogue::Statement& Catalogue::prepared(int index, const char* sql) {
  if (statements_.size() <= static_cast<std::size_t>(index)) statements_.resize(index + 1);
  auto& statement = statements_[static_cast<std::size_t>(index)];
  if (!statement) statement = std::make_unique<Statement>(*this, sql);
  return *statement;
}

void Catalogue::begin() {
  execute("BEGIN IMMEDIATE");
}

void Catalogue::commit() {
  execute("COMMIT");
}

std::string Catalogue::meta(const std::string& key) {
  Statement& s = prepared(10, "SELECT value FROM meta WHERE key = ?").start().bind(key);
  return s.step() ? s.text(0) : std::string();
}

void Catalogue::setMeta(const std::string& key, const std::string& value) {
  prepared(11, "INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)")
      .start()
      .bind(key)
      .bind(value)
      .step();
}

std::vector<SourceRecord> Catalogue::sources() {
  std::vector<SourceRecord> list;
  Statement& s = prepared(2, "SELECT id, path, album, is_file FROM sources ORDER BY id").start();
  while (s.step()) list.push_back({s.integer(0), s.text(1), s.text(2), s.integer(3) != 0});
  return list;
}

void Catalogue::addSource(SourceRecord& source) {
  prepared(3, "INSERT INTO sources(path, album, is_file) VALUES(?, ?, ?)")
      .start()
      .bind(source.path)
      .bind(source.album)
      .bind(source.isFile ? 1LL : 0LL)
      .step();
  source.id = sqlite3_last_insert_rowid(db_);
}

std::vector<PhotoRecord> Catalogue::photos() {
  std::vector<PhotoRecord> list;
  Statement& s = prepared(4,
                          "SELECT id, source, rel, album, stem, size, mtime_ns, fingerprint, "
                          "width, height, date_taken, camera, lens, focal, exposure, aperture, "
                          "iso, original FROM photos ORDER BY id")
                     .start();
  while (s.step()) {
    PhotoRecord p;
    p.id = s.integer(0);
    p.source = s.integer(1);
    p.rel = s.text(2);
    p.album = s.text(3);
    p.stem = s.text(4);
    p.size = s.integer(5);
    p.mtimeNs = s.integer(6);
    p.fingerprint = s.text(7);
    p.width = s.small(8);
    p.height = s.small(9);
    p.dateTaken = s.text(10);
    p.camera = s.text(11);
    p.lens = s.text(12);
    p.focalLength = s.text(13);
    p.exposure = s.text(14);
    p.aperture = s.text(15);
    p.iso = s.text(16);
    p.original = s.text(17);
    list.push_back(std::move(p));
  }
  // The outputs in one pass, matched to their photos by id (both lists are in id order).
  Statement& o = prepared(5,
                          "SELECT photo, role, file, width, height, options FROM outputs "
                          "ORDER BY photo, role")
                     .start();
  std::size_t next = 0;
  while (o.step()) {
    const long long photo = o.integer(0);
    while (next < list.size() && list[next].id < photo) ++next;
    if (next == list.size() || list[next].id != photo) continue;
    list[next].outputs.push_back({o.small(1), o.text(2), o.small(3), o.small(4), o.text(5)});
  }
  return list;
}

void Catalogue::putPhoto(PhotoRecord& p) {
  Statement& s = prepared(6,
                          "INSERT OR REPLACE INTO photos(id, source, rel, album, stem, size, "
                          "mtime_ns, fingerprint, width, height, date_taken, camera, lens, focal, "
                          "exposure, aperture, iso, original) "
                          "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                     .start();
  // A NULL id makes a new row id.
  if (p.id != 0) {
    s.bind(p.id);
  } else {
    s.bindNull();
  }
  s.bind(p.source)
      .bind(p.rel)
      .bind(p.album)
      .bind(p.stem)
      .bind(p.size)
      .bind(p.mtimeNs)
      .bind(p.fingerprint)
      .bind(static_cast<long long>(p.width))
      .bind(static_cast<long long>(p.height))
      .bind(p.dateTaken)
      .bind(p.camera)
      .bind(p.lens)
      .bind(p.focalLength)
      .bind(p.exposure)
      .bind(p.aperture)
      .bind(p.iso)
      .bind(p.original);
  s.step();
  p.id = sqlite3_last_insert_rowid(db_);
  prepared(7, "DELETE FROM outputs WHERE photo = ?").start().bind(p.id).step();
  Statement& o = prepared(8,
                          "INSERT INTO outputs(photo, role, file, width, height, options) "
                          "VALUES(?, ?, ?, ?, ?, ?)");
  for (const OutputRecord& out : p.outputs) {
    o.start()
        .bind(p.id)
        .bind(static_cast<long long>(out.role))
        .bind(out.file)
        .bind(static_cast<long long>(out.width))
        .bind(static_cast<long long>(out.height))
        .bind(out.options)
        .step();
  }
}

void Catalogue::removePhoto(long long id) {
  prepared(7, "DELETE FROM outputs WHERE photo = ?").start().bind(id).step();
  prepared(9, "DELETE FROM photos WHERE id = ?").start().bind(id).step();
}

}  // namespace snapfolio::site
