// Fuzz target of the settings file reader: any bytes as the file, every key of the table read
// as every type; then one write, which must read back as written and leave every other key as
// it was, in a file that is valid UTF-8, or, for a file that is no settings file, be refused
// and leave every byte as it was.
#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/text_encoding.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace {

using namespace snapfolio;

// One scratch directory per process, in memory where the system has one (fsync is free there),
// removed at exit. Never destroyed itself: the exit handler still needs it.
const std::string& scratchPath() {
  static const std::string* const path = [] {
    namespace fs = std::filesystem;
    const fs::path base =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("snapfolio-ini-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(fs::path(scratchPath()).parent_path(), ec);
    });
    return new std::string((dir / "Snapfolio.ini").string());
  }();
  return *path;
}

void check(bool condition) {
  if (!condition) __builtin_trap();
}

std::vector<std::string> readAll(const TIniFile& ini) {
  std::vector<std::string> values;
  for (const keys::KeyInfo& k : keys::allKeys()) {
    values.push_back(ini.ReadString(k.section, k.name, "\x01missing"));
    check(isValidUtf8(values.back()));
    int integer = 0;
    double number = 0;
    if (parseInteger(values.back(), integer))
      check(ini.ReadInteger(k.section, k.name, 0) == integer);
    if (parseNumber(values.back(), number)) check(ini.ReadFloat(k.section, k.name, 0) == number);
    ini.ReadBool(k.section, k.name, true);
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = scratchPath();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  const std::vector<std::string> before = readAll(TIniFile(path));

  // The first byte chooses the key, the last few bytes are the value written.
  if (size == 0) return 0;
  const auto& table = keys::allKeys();
  const std::size_t which = data[0] % table.size();
  const std::string value = bytes.substr(size - std::min<std::size_t>(size, 12));
  TIniFile ini(path);
  bool refused = false;
  try {
    ini.WriteString(table[which].section, table[which].name, value);
  } catch (const SettingsWriteError&) {
    refused = true;
  }
  check(refused == !ini.NotSettingsReason().empty());

  std::ifstream in(path, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (refused) {
    check(written == bytes);
    return 0;
  }
  check(isValidUtf8(written));
  const std::vector<std::string> after = readAll(TIniFile(path));
  std::string expected = sanitizeUtf8(value);
  for (char& c : expected) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  for (std::size_t i = 0; i < table.size(); ++i) {
    check(after[i] == (i == which ? expected : before[i]));
  }
  check(ini.ReadString(table[which].section, table[which].name, "") == expected);
  return 0;
}
