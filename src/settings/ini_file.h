// TIniFile: the settings file, opened for one batch of typed reads or writes.
//
// The whole file is read when the object is constructed. Reads come from that copy; every write
// replaces the key's value and rewrites the whole file at once, through a temporary file in the
// same directory and a rename, so a crash never leaves a torn settings file. The file is
// written as UTF-8; a file that is not valid UTF-8 is read as code page 932 (settings files of
// the Windows program keep working) and the first write rewrites it in UTF-8.
// Section and key names compare case-insensitively (ASCII).
//
// Lines: "[section]" and "key=value" (split at the first "="; blanks around key and value are
// trimmed, and one pair of double quotes around a value is removed, so a value written with
// blanks at either end is stored quoted and reads back unchanged); a key given twice reads as
// its first value; other lines are ignored. Lines are written back as they were read unless
// their value changes (comments and layout of a file edited by hand survive). Line breaks inside a
// written value become blanks (a value is one line). Each write re-reads the file first, so writes
// made meanwhile through another object are kept.
//
// Value forms: text as is; integers as decimal digits with "-" for negatives; booleans "1" and
// "0" (read as an integer, any non-zero integer is true); numbers as decimal text, a whole
// number without a decimal point (white is 16777215). A missing key, or a value that does not
// read as the asked type, gives the default.
//
// Not thread-safe; one batch at a time (the program opens, reads or writes, and drops it).
#pragma once

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

class TIniFile {
 public:
  // Reads the file at `path` if it exists and can be read; a missing or unreadable file reads
  // as empty (every key gives its default). A file that exists but cannot be read is never
  // overwritten: writes to it throw SettingsWriteError.
  explicit TIniFile(std::string path);

  const std::string& FileName() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

  // Each write reaches the disk before it returns; throws SettingsWriteError otherwise (the
  // value is then not changed in this object either, and the file on disk is as before).
  // Bytes of `value` that are not valid UTF-8 are stored as U+FFFD. Section and key names
  // must be plain names (no line break, no "=" in a key, no "]" in a section):
  // std::invalid_argument otherwise.
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
  // One line of the file. Lines that hold no key (blank lines, comments, anything else) are
  // kept as they are, so a file edited by hand keeps them when the program writes a value.
  // A line read from the file is written back as it was until its value is changed.
  struct Entry {
    std::string key;
    std::string value;
    std::string line;  // as read; empty for a key written since
    bool isKey = true;
  };
  struct Section {
    std::string name;
    std::string line;       // the header line as read; empty for a section written since
    bool hasHeader = true;  // false only for the lines before the first "[section]"
    std::vector<Entry> entries;
  };

  const std::string* find(std::string_view section, std::string_view key) const;
  void write(std::string_view section, std::string_view key, std::string_view value);
  static void put(std::vector<Section>& sections, std::string_view section, std::string_view key,
                  std::string_view value);
  void save(const std::vector<Section>& sections) const;

  std::string path_;
  std::vector<Section> sections_;
};

// Section and key names compare without regard to ASCII letter case.
bool sameName(std::string_view a, std::string_view b);

// The value forms, also used where a value crosses the command line.
std::string formatInteger(long long value);
// Shortest decimal text that reads back exactly, "." as the decimal point whatever the locale;
// whole numbers without a decimal point (16777215).
std::string formatNumber(double value);
// Optional sign and decimal digits, blanks around them ignored, within the range of int.
bool parseInteger(std::string_view text, int& value);
// Decimal floating point with optional sign and exponent ("1e3"), blanks around it ignored;
// "", "nan", "inf" and out-of-range values are not numbers.
bool parseNumber(std::string_view text, double& value);

}  // namespace snapfolio
