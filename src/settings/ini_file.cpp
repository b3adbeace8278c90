#include "settings/ini_file.h"

// Standard library
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <thread>

// System
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// Project
#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/limits.h"
#include "core/number_text.h"
#include "core/text_encoding.h"
#include "core/translation.h"

namespace snapfolio {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isQuoted(std::string_view text) {
  return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// The stored form of a value: one line; quoted when blanks at either end would otherwise be
// trimmed away or quotes of its own would be taken off.
std::string storedValue(std::string_view value) {
  std::string line = sanitizeUtf8(value);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const bool quote =
      !line.empty() && (isBlank(line.front()) || isBlank(line.back()) || isQuoted(line));
  return quote ? '"' + line + '"' : line;
}

// The name of a "[section]" line, or nothing.
std::optional<std::string_view> headerName(std::string_view line) {
  const std::string_view trimmed = trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(trimmed.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key, value;  // the value without the quotes around it
};

// The key and value of a "key=value" line (split at the first "="), or nothing for a comment,
// a line without "=" or one without a key. Headers are told apart first.
std::optional<KeyLine> keyLine(std::string_view line) {
  const std::string_view trimmed = trim(line);
  const std::size_t equals = line.find('=');
  const bool comment = !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
  const std::string_view key = trim(line.substr(0, equals));
  if (comment || equals == std::string_view::npos || key.empty()) return std::nullopt;
  std::string_view value = trim(line.substr(equals + 1));
  if (isQuoted(value)) value = value.substr(1, value.size() - 2);
  return KeyLine{key, value};
}

template <typename Content>
void parse(std::string_view text, Content& content) {
  content.text.clear();
  content.lines.clear();
  content.text.reserve(text.size() + 1);
  bool underHeader = false;  // keys before the first header belong to no section
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    // CR LF and LF both end a line; stray CRs before the LF go with it.
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto start = static_cast<std::uint32_t>(content.text.size());
    const auto length = static_cast<std::uint32_t>(line.size());
    content.text.append(line);
    content.text += '\n';
    if (headerName(line)) {
      content.lines.push_back({start, length, true});
      underHeader = true;
    } else if (underHeader && keyLine(line)) {
      content.lines.push_back({start, length, false});
    }
  }
}

// The beginnings of files that are certainly no settings file, whatever follows.
struct Signature {
  std::string_view bytes;
  const char* reason;
};
constexpr Signature kSignatures[] = {
    {"\xFF\xD8\xFF", QT_TRANSLATE_NOOP("TIniFile", "JPEG画像である")},
    {"\x89PNG\r\n\x1A\n", QT_TRANSLATE_NOOP("TIniFile", "PNG画像である")},
    {"GIF87a", QT_TRANSLATE_NOOP("TIniFile", "GIF画像である")},
    {"GIF89a", QT_TRANSLATE_NOOP("TIniFile", "GIF画像である")},
    {std::string_view("II*\0", 4), QT_TRANSLATE_NOOP("TIniFile", "TIFF画像である")},
    {std::string_view("MM\0*", 4), QT_TRANSLATE_NOOP("TIniFile", "TIFF画像である")},
    {"%PDF-", QT_TRANSLATE_NOOP("TIniFile", "PDF文書である")},
    {"PK\x03\x04", QT_TRANSLATE_NOOP("TIniFile", "ZIPアーカイブである")},
    {"PK\x05\x06", QT_TRANSLATE_NOOP("TIniFile", "ZIPアーカイブである")},
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Why `bytes` are not a settings file, or nothing; `text` receives the decoded text of a file
// that is one.
const char* decode(std::string_view bytes, std::string& text) {
  // Every leading byte-order mark goes: a rewrite drops them, and must not change what reads
  // (nor turn a file taken as settings into one that is not).
  while (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  for (const Signature& signature : kSignatures) {
    if (bytes.substr(0, signature.bytes.size()) == signature.bytes) return signature.reason;
  }
  if (bytes.find('\0') != std::string_view::npos)
    return QT_TRANSLATE_NOOP("TIniFile", "NULバイトを含む");
  if (isValidUtf8(bytes)) {
    text = bytes;
    return nullptr;
  }
  // Code page 932 text holds no U+FFFD of its own: one in the result marks an invalid byte.
  text = cp932ToUtf8(bytes);
  if (text.find(kReplacement) != std::string::npos) {
    text.clear();
    return QT_TRANSLATE_NOOP("TIniFile", "UTF-8としてもShift-JIS(コードページ932)としても読めない");
  }
  return nullptr;
}

enum class Loaded { Text, Unreadable, NotSettings };

constexpr const char* kTooLarge = QT_TRANSLATE_NOOP("TIniFile", "16 MiBより大きい");

// Whether `path` is a regular file beyond the size a settings file may have.
bool tooLarge(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         static_cast<std::uint64_t>(info.st_size) > kLimits.settingsFileBytes;
}

// Reads and decodes the file. Unreadable: it exists but cannot be read; NotSettings: it is
// no settings file (`reason` says why). Both leave `content` empty.
template <typename Content>
Loaded load(const std::string& path, Content& content, std::string& reason) {
  std::string bytes;
  const ReadResult result = readFileLimited(path, kLimits.settingsFileBytes, bytes);
  std::string text;
  const char* notSettings = decode(bytes, text);
  if (result == ReadResult::Unreadable && tooLarge(path)) notSettings = kTooLarge;
  bytes = std::string();
  reason = notSettings != nullptr ? notSettings : "";
  parse(text, content);
  if (notSettings != nullptr) return Loaded::NotSettings;
  return result == ReadResult::Unreadable ? Loaded::Unreadable : Loaded::Text;
}

std::string reasonOf(int error) {
  return std::error_code(error, std::generic_category()).message();
}

void checkNames(std::string_view section, std::string_view key) {
  const auto bad = [](std::string_view name, std::string_view forbidden) {
    return name.find_first_of(forbidden) != std::string_view::npos || trim(name) != name ||
           !isValidUtf8(name);
  };
  if (bad(section, "]\r\n") || bad(key, "=\r\n") || key.empty() || key.find_first_of("[;#") == 0) {
    throw std::invalid_argument("not a settings name: [" + std::string(section) + "] " +
                                std::string(key));
  }
}

// What is kept of a written value: what its stored form reads back as.
std::string keptValue(std::string_view value) {
  std::string kept = storedValue(value);
  if (isQuoted(kept)) kept = kept.substr(1, kept.size() - 2);
  return kept;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
  load(path_, content_, notSettings_);
}

TIniFile::~TIniFile() = default;

std::optional<std::string_view> TIniFile::find(std::string_view section,
                                               std::string_view key) const {
  bool inside = false;
  for (const Line& line : content_.lines) {
    const std::string_view text(content_.text.data() + line.start, line.length);
    if (line.header) {
      inside = sameName(*headerName(text), section);
    } else if (inside) {
      const KeyLine found = *keyLine(text);
      if (sameName(found.key, key)) return found.value;
    }
  }
  return std::nullopt;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return find(section, key).has_value();
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const auto value = find(section, key);
  return std::string(value ? *value : defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const auto text = find(section, key);
  int value = 0;
  return text && parseInteger(*text, value) ? value : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  const auto text = find(section, key);
  int value = 0;
  return text && parseInteger(*text, value) ? value != 0 : defaultValue;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key,
                           double defaultValue) const {
  const auto text = find(section, key);
  double value = 0;
  return text && parseNumber(*text, value) ? value : defaultValue;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  write(section, key, value);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  write(section, key, formatInteger(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  write(section, key, value ? "1" : "0");
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  write(section, key, formatNumber(value));
}

void TIniFile::write(std::string_view section, std::string_view key, std::string_view value) {
  checkNames(section, key);
  if (batch_ != nullptr) {
    change(section, key, keptValue(value));
    return;
  }
  SettingsBatch batch(*this);
  change(section, key, keptValue(value));
  if (!batch.commit()) {
    throw SettingsWriteError("the file " + path_ + " is not a settings file (" + notSettings_ +
                             "); it is left unchanged");
  }
}

void TIniFile::OverrideString(std::string_view section, std::string_view key,
                              std::string_view value) {
  checkNames(section, key);
  change(section, key, keptValue(value));
}

void TIniFile::change(std::string_view section, std::string_view key, std::string value) {
  // The first line of the key under a header of the section; else where a new line of it goes:
  // after the last key of the first such section, before the blank lines and comments that end
  // it (at its end when it holds no key), or in a new section at the end of the file.
  std::vector<Line>& lines = content_.lines;
  const auto textOf = [&](const Line& line) {
    return std::string_view(content_.text.data() + line.start, line.length);
  };
  const std::size_t none = lines.size();
  std::size_t home = none, insertAfter = none, next = none;
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].header) {
      if (home != none && next == none) next = i;
      inside = sameName(*headerName(textOf(lines[i])), section);
      if (inside && home == none) {
        home = i;
        insertAfter = i;
      }
      continue;
    }
    if (!inside) continue;
    const KeyLine found = *keyLine(textOf(lines[i]));
    if (sameName(found.key, key)) {
      place(i, lines[i].start, lines[i].length, false,
            std::string(found.key) + "=" + storedValue(value));
      return;
    }
    if (next == none && i > home) insertAfter = i;
  }
  const std::string line = std::string(key) + "=" + storedValue(value);
  if (home == none) {
    place(none, content_.text.size(), 0, true, "[" + std::string(section) + "]");
    place(lines.size(), content_.text.size(), 0, false, line);
  } else if (insertAfter == home) {
    place(next, next == none ? content_.text.size() : lines[next].start, 0, false, line);
  } else {
    const Line& last = lines[insertAfter];
    place(insertAfter + 1, last.start + last.length + 1, 0, false, line);
  }
}

// Puts `line` into the text at `at` in place of `replaced` bytes (0: a new line, which gets
// its line break), as line `index` (the one replaced, or a new one inserted there).
void TIniFile::place(std::size_t index, std::size_t at, std::size_t replaced, bool header,
                     const std::string& line) {
  std::string& text = content_.text;
  std::vector<Line>& lines = content_.lines;
  const std::size_t added = replaced == 0 ? line.size() + 1 : line.size();
  if (text.size() - replaced + added > std::numeric_limits<std::uint32_t>::max()) {
    throw SettingsWriteError("cannot write " + path_ + ": the settings grow too large");
  }
  text.replace(at, replaced, replaced == 0 ? line + '\n' : line);
  const Line placed{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(line.size()),
                    header};
  std::size_t after = index + 1;
  if (replaced == 0) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(std::min(index, lines.size())),
                 placed);
    after = std::min(index, lines.size() - 1) + 1;
  } else {
    lines[index] = placed;
  }
  for (std::size_t i = after; i < lines.size(); ++i) {
    lines[i].start = static_cast<std::uint32_t>(lines[i].start + added - replaced);
  }
}

// ---------------------------------------------------------------------------------------------
// SettingsBatch

// An exclusive flock on the settings file. The file is replaced by a rename, so a lock taken
// on the file a name led to before someone else's rename locks nothing any more: after the
// lock is taken, the name must still lead to the locked file, else it is taken again.
class SettingsBatch::Lock {
 public:
  // The lock is taken on the file that a write of `path` replaces, by the links that a write
  // follows (and no other): a missing file is created there, and removed there again.
  explicit Lock(const std::string& path) : path_(target(path)) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    auto pause = std::chrono::milliseconds(1);
    while (true) {
      struct stat before {};
      const bool existed = ::lstat(path_.c_str(), &before) == 0;
      // O_NONBLOCK: a FIFO under the name must not block the open (it is refused later).
      fd_ = ::open(path_.c_str(),
                   O_RDONLY | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
      if (fd_ < 0) fail("cannot open the file to lock it", errno);
      created_ = !existed;
      const int locked = ::flock(fd_, LOCK_EX | LOCK_NB);
      if (locked != 0 && errno != EWOULDBLOCK && errno != EINTR) {
        // A file system without locks: the batch still replaces the file whole.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) return;
        fail("cannot lock the file", errno);
      }
      if (locked == 0 && stillNamed()) return;
      release();
      if (std::chrono::steady_clock::now() > deadline) {
        fail("another program holds the file locked", EWOULDBLOCK);
      }
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
  }
  ~Lock() {
    // A file made only to be locked goes again when nothing was written into it.
    struct stat locked {};
    if (created_ && !written_ && stillNamed() && ::fstat(fd_, &locked) == 0 &&
        locked.st_size == 0) {
      ::unlink(path_.c_str());
    }
    release();
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void written() { written_ = true; }

 private:
  static std::string target(const std::string& path) {
    try {
      return writeTarget(path);
    } catch (const FileWriteError& error) {
      throw SettingsWriteError(error.what(), error.cause());
    }
  }
  [[noreturn]] void fail(const std::string& what, int error) {
    release();
    throw SettingsWriteError("cannot write " + path_ + ": " + what + ": " + reasonOf(error));
  }
  bool stillNamed() const {
    struct stat locked {};
    struct stat named {};
    return ::fstat(fd_, &locked) == 0 && ::stat(path_.c_str(), &named) == 0 &&
           locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
  }
  void release() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the flock
    fd_ = -1;
  }

  std::string path_;
  int fd_ = -1;
  bool created_ = false;
  bool written_ = false;
};

SettingsBatch::SettingsBatch(TIniFile& ini) : ini_(ini) {
  if (ini.batch_ != nullptr) throw std::logic_error("a settings batch is already open");
  lock_ = std::make_unique<Lock>(ini.path_);
  // Start from what is on the disk now, so that writes through other objects survive.
  TIniFile::Content now;
  std::string reason;
  if (load(ini.path_, now, reason) == Loaded::Unreadable) {
    lock_.reset();
    throw SettingsWriteError("the settings file " + ini.path_ +
                             " exists but cannot be read; it is left unchanged");
  }
  ini.content_ = std::move(now);
  ini.notSettings_ = std::move(reason);
  before_ = ini.content_;
  ini.batch_ = this;
}

SettingsBatch::~SettingsBatch() {
  if (!done_) ini_.content_ = std::move(before_);
  ini_.batch_ = nullptr;
}

bool SettingsBatch::commit() {
  if (done_) throw std::logic_error("a settings batch is committed once");
  if (!ini_.notSettings_.empty()) {
    // Never written: the batch's values are dropped, and the object reads as empty again.
    ini_.content_ = before_;
    done_ = true;
    lock_.reset();
    return false;
  }
  if (ini_.content_.text.size() > kLimits.settingsFileBytes) {
    // Written, the file would read as no settings file the next time: nothing is written.
    throw SettingsWriteError(
        "cannot write " + ini_.path_ + ": the settings would be larger than " +
            std::to_string(kLimits.settingsFileBytes) + " bytes",
        translated(
            "TIniFile",
            QT_TRANSLATE_NOOP("TIniFile", "設定ファイルが16 MiBを超えるため、書き込まなかった。")));
  }
  try {
    writeFileAtomically(ini_.path_, ini_.content_.text);
  } catch (const FileWriteError& error) {
    throw SettingsWriteError(error.what());
  }
  lock_->written();
  done_ = true;
  lock_.reset();
  return true;
}

}  // namespace snapfolio
