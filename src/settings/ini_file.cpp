#include "settings/ini_file.h"

// Standard library
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>

// Project
#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/limits.h"
#include "core/text_encoding.h"

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

template <typename Sections>
void parse(std::string_view text, Sections& sections) {
  sections.clear();
  sections.push_back({"", "", false, {}});
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    // CR LF and LF both end a line; stray CRs before the LF go with it.
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string_view trimmed = trim(line);
    if (!trimmed.empty() && trimmed.front() == '[') {
      const std::size_t close = trimmed.find(']');
      if (close != std::string_view::npos) {
        sections.push_back(
            {std::string(trim(trimmed.substr(1, close - 1))), std::string(line), true, {}});
        continue;
      }
    }
    const std::size_t equals = line.find('=');
    const bool comment = !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
    const std::string_view key = trim(line.substr(0, equals));
    if (comment || equals == std::string_view::npos || key.empty()) {
      sections.back().entries.push_back({"", "", std::string(line), false});
      continue;
    }
    std::string_view value = trim(line.substr(equals + 1));
    if (isQuoted(value)) value = value.substr(1, value.size() - 2);
    sections.back().entries.push_back(
        {std::string(key), std::string(value), std::string(line), true});
  }
}

template <typename Sections>
std::string serialize(const Sections& sections) {
  std::string text;
  for (const auto& section : sections) {
    if (section.hasHeader) {
      text += section.line.empty() ? "[" + section.name + "]" : section.line;
      text += '\n';
    }
    for (const auto& entry : section.entries) {
      const bool asRead = !entry.isKey || !entry.line.empty();
      text += asRead ? entry.line : entry.key + "=" + storedValue(entry.value);
      text += '\n';
    }
  }
  return text;
}

// Reads and decodes the file; false when it exists but cannot be read.
template <typename Sections>
bool load(const std::string& path, Sections& sections) {
  std::string bytes;
  const ReadResult result = readFileLimited(path, kLimits.settingsFileBytes, bytes);
  std::string_view text = bytes;
  // Every leading byte-order mark goes: a rewrite drops them, and must not change what reads.
  while (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  if (isValidUtf8(text)) {
    parse(text, sections);
  } else {
    parse(cp932ToUtf8(text), sections);
  }
  return result != ReadResult::Unreadable;
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

// Removes one leading "+" (from_chars takes "-" only); false when a second sign follows.
bool dropPlus(std::string_view& text) {
  if (text.empty() || text.front() != '+') return true;
  text.remove_prefix(1);
  return text.empty() || (text.front() != '+' && text.front() != '-');
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
  load(path_, sections_);
}

const std::string* TIniFile::find(std::string_view section, std::string_view key) const {
  for (const Section& s : sections_) {
    if (!s.hasHeader || !sameName(s.name, section)) continue;
    for (const Entry& e : s.entries) {
      if (e.isKey && sameName(e.key, key)) return &e.value;
    }
  }
  return nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return find(section, key) != nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const std::string* value = find(section, key);
  return value != nullptr ? *value : std::string(defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const std::string* text = find(section, key);
  int value = 0;
  return text != nullptr && parseInteger(*text, value) ? value : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  const std::string* text = find(section, key);
  int value = 0;
  return text != nullptr && parseInteger(*text, value) ? value != 0 : defaultValue;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key,
                           double defaultValue) const {
  const std::string* text = find(section, key);
  double value = 0;
  return text != nullptr && parseNumber(*text, value) ? value : defaultValue;
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
  // Start from what is on the disk now, so that writes through other objects survive.
  std::vector<Section> next;
  if (!load(path_, next)) {
    throw SettingsWriteError("the settings file " + path_ +
                             " exists but cannot be read; it is left unchanged");
  }
  put(next, section, key, value);
  save(next);
  sections_ = std::move(next);
}

void TIniFile::OverrideString(std::string_view section, std::string_view key,
                              std::string_view value) {
  checkNames(section, key);
  put(sections_, section, key, value);
}

void TIniFile::put(std::vector<Section>& sections, std::string_view section, std::string_view key,
                   std::string_view value) {
  // What is stored reads back exactly as what is kept here.
  std::string newValue = storedValue(value);
  if (isQuoted(newValue)) newValue = newValue.substr(1, newValue.size() - 2);

  Entry* target = nullptr;
  Section* home = nullptr;
  for (Section& s : sections) {
    if (!s.hasHeader || !sameName(s.name, section)) continue;
    if (home == nullptr) home = &s;
    for (Entry& e : s.entries) {
      if (e.isKey && sameName(e.key, key)) {
        target = &e;
        break;
      }
    }
    if (target != nullptr) break;
  }
  if (target != nullptr) {
    target->value = std::move(newValue);
    target->line.clear();
  } else {
    if (home == nullptr) {
      sections.push_back({std::string(section), "", true, {}});
      home = &sections.back();
    }
    // After the section's last key, before the blank lines and comments that end it.
    auto at = home->entries.end();
    while (at != home->entries.begin() && !std::prev(at)->isKey) --at;
    if (at == home->entries.begin()) at = home->entries.end();
    home->entries.insert(at, {std::string(key), std::move(newValue), "", true});
  }
}

void TIniFile::save(const std::vector<Section>& sections) const {
  try {
    writeFileAtomically(path_, serialize(sections));
  } catch (const FileWriteError& error) {
    throw SettingsWriteError(error.what());
  }
}

std::string formatInteger(long long value) {
  return std::to_string(value);
}

std::string formatNumber(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

bool parseInteger(std::string_view text, int& value) {
  text = trim(text);
  if (!dropPlus(text)) return false;
  const std::string_view digits = !text.empty() && text.front() == '-' ? text.substr(1) : text;
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  long long wide = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), wide);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max()) {
    return false;
  }
  value = static_cast<int>(wide);
  return true;
}

bool parseNumber(std::string_view text, double& value) {
  text = trim(text);
  // Decimal notation only; from_chars alone would also take "inf" and "nan".
  if (!dropPlus(text) || text.empty() ||
      text.find_first_not_of("0123456789.eE+-") != std::string_view::npos) {
    return false;
  }
  double parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      !std::isfinite(parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

}  // namespace snapfolio
