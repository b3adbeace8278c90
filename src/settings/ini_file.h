// TIniFile: the settings file, opened for one batch of typed reads or writes.
//
// The whole file is read when the object is constructed. Reads come from that copy. Writes come
// in batches (SettingsBatch): a batch locks the file, reads it afresh, changes the keys in
// memory and replaces the whole file once, through a temporary file in the same directory and a
// rename, so a crash leaves the old or the new batch and never a torn file, and two programs
// sharing the file never lose each other's keys. A write outside a batch is a batch of its own.
// The file is written as UTF-8; a file that is not valid UTF-8 is read as code page 932
// (settings files of the Windows program keep working) and the first write rewrites it in UTF-8.
// A file that is not text (NUL bytes, neither UTF-8 nor code page 932, the signature of an image
// or archive) or is larger than kLimits.settingsFileBytes is not a settings file: it reads as
// empty and is never written.
// Section and key names compare case-insensitively (ASCII).
//
// Lines: "[section]" and "key=value" (split at the first "="; blanks around key and value are
// trimmed, and one pair of double quotes around a value is removed, so a value written with
// blanks at either end is stored quoted and reads back unchanged); a key given twice reads as
// its first value; other lines are ignored. Lines are written back as they were read unless
// their value changes (comments and layout of a file edited by hand survive). Line breaks inside a
// written value become blanks (a value is one line). Each write re-reads the file first, so writes
// made meanwhile through another object or program are kept.
//
// Value forms: text as is; integers as decimal digits with "-" for negatives; booleans "1" and
// "0" (read as an integer, any non-zero integer is true); numbers as decimal text, a whole
// number without a decimal point (white is 16777215). A missing key, or a value that does not
// read as the asked type, gives the default.
//
// An object is not thread-safe; objects on one file may be used from several threads and
// processes at once (their batches take turns on the file's lock).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"

namespace snapfolio {

// Raised by a write that cannot reach the disk, or that would replace a file this object could
// not read (and by nothing else: reads never fail).
class SettingsWriteError : public Failure {
 public:
  using Failure::Failure;
};

class SettingsBatch;

class TIniFile {
 public:
  // Reads the file at `path` if it exists and can be read; a missing or unreadable file reads
  // as empty (every key gives its default). A file that exists but cannot be read is never
  // overwritten: writes to it throw SettingsWriteError.
  explicit TIniFile(std::string path);
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return path_; }

  // Why the file is not taken as a settings file ("JPEG画像である", "NULバイトを含む", ...), or
  // empty when it is one (or is missing, or cannot be read). Such a file reads as empty.
  const std::string& NotSettingsReason() const { return notSettings_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

  // Inside a batch a write changes this object only, and the batch's commit stores it. Outside
  // one, each write is a batch of its own and reaches the disk before it returns; it throws
  // SettingsWriteError otherwise (also for a file that is not a settings file; the value is then
  // not changed in this object either, and the file on disk is as before).
  // Bytes of `value` that are not valid UTF-8 are stored as U+FFFD. Section and key names
  // must be plain names (no line break, no "=" in a key, no "]" in a section):
  // std::invalid_argument otherwise, before anything changes.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteFloat(std::string_view section, std::string_view key, double value);

  // Changes a value in this object only, as WriteString would store it; the file is not
  // touched (the command line's --set). Names as for the writes.
  void OverrideString(std::string_view section, std::string_view key, std::string_view value);

  // Whether the key is present (tests and the command line's --set use it).
  bool ValueExists(std::string_view section, std::string_view key) const;

 private:
  friend class SettingsBatch;

  // The file as it is written: every line as read (line breaks made "\n"), or as a write made
  // it. Only the lines that hold a section header, or a key under one, are indexed (12 bytes
  // each); blank lines, comments and anything else are text alone, so that the lines of a file
  // edited by hand survive a write and a file of many such lines costs its own size and no
  // more.
  struct Line {
    std::uint32_t start = 0;   // offset in text
    std::uint32_t length = 0;  // without the "\n"
    bool header = false;       // "[section]"; else "key=value"
  };
  struct Content {
    std::string text;
    std::vector<Line> lines;
  };

  std::optional<std::string_view> find(std::string_view section, std::string_view key) const;
  void write(std::string_view section, std::string_view key, std::string_view value);
  void change(std::string_view section, std::string_view key, std::string value);
  void place(std::size_t index, std::size_t at, std::size_t replaced, bool header,
             const std::string& line);

  std::string path_;
  Content content_;
  std::string notSettings_;
  SettingsBatch* batch_ = nullptr;  // the batch open on this object, if any
};

// One batch of writes: from construction to commit() the file is locked against every other
// batch (an advisory flock, of this process or another), the object holds the file as it is
// now, and writes through the object change the object only; commit() replaces the file once.
// A missing file is created to be locked (and removed again when nothing is written).
// One batch per object at a time; the object must outlive the batch.
class SettingsBatch {
 public:
  // Waits up to 10 seconds for the lock. Throws SettingsWriteError when the file cannot be
  // locked, or exists but cannot be read (it is then left unchanged).
  explicit SettingsBatch(TIniFile& ini);
  // Without a commit the object returns to the file as it was read here; the file is unchanged.
  ~SettingsBatch();
  SettingsBatch(const SettingsBatch&) = delete;
  SettingsBatch& operator=(const SettingsBatch&) = delete;

  // Replaces the file with the object's keys and releases the lock. Returns false, writing
  // nothing, when the file is not a settings file (TIniFile::NotSettingsReason). Throws
  // SettingsWriteError when the file could not be replaced (it is then unchanged), also when
  // it would grow beyond kLimits.settingsFileBytes, which the next read would refuse.
  bool commit();

 private:
  class Lock;

  TIniFile& ini_;
  TIniFile::Content before_;
  std::unique_ptr<Lock> lock_;
  bool done_ = false;
};

// Section and key names compare without regard to ASCII letter case.
bool sameName(std::string_view a, std::string_view b);

}  // namespace snapfolio
