// Fuzz target of snapfolio-cli's arguments: the input, split at NUL bytes, is the argument list.
// Every argument's bytes survive the way through Qt's text and back; the parser either accepts
// the arguments or says why not; accepted photos are arguments, the output folder and title
// option values, byte for byte; --set keys are keys of the settings file. Then
// the progress line of the last argument as status fits the columns asked for.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_text.h"
#include "cli/progress_line.h"
#include "settings/settings_keys.h"

namespace {

using namespace snapfolio;
using namespace snapfolio::cli;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// Whether `value` was given whole as an argument.
bool given(const std::vector<std::string>& args, const std::string& value) {
  return std::find(args.begin(), args.end(), value) != args.end();
}

// Whether `value` was given as an option's value: whole, after the "=" of "--name=value", or at
// the end of a short option's group ("-oDIR").
bool givenAsValue(const std::vector<std::string>& args, const std::string& value) {
  return given(args, value) || std::any_of(args.begin(), args.end(), [&](const std::string& a) {
           if (a.size() <= value.size() || !a.ends_with(value)) return false;
           const std::string_view head(a.data(), a.size() - value.size());
           return head.ends_with('=') || (head.size() >= 2 && head[0] == '-' && head[1] != '-');
         });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start <= input.size()) {
    const std::size_t end = std::min(input.find('\0', start), input.size());
    args.emplace_back(input.substr(start, end - start));
    start = end + 1;
  }

  for (const std::string& arg : args) check(bytesFromText(textFromBytes(arg)) == arg);

  const ParseResult result = parseArguments(args);
  check(result.arguments.has_value() != !result.error.isEmpty());
  if (result.arguments) {
    const Arguments& a = *result.arguments;
    for (const std::string& photo : a.photos) check(given(args, photo));
    if (a.outDir) check(givenAsValue(args, *a.outDir));
    if (a.title) check(givenAsValue(args, *a.title));
    for (const SettingOverride& o : a.overrides) {
      const keys::KeyInfo* key = keys::findKey(o.section, o.key);
      check(key != nullptr && key->section == o.section && key->name == o.key);
    }
    check(a.jobs >= 0 && a.jobs <= kMaxJobs);
    if (a.command == Command::Album) check(a.outDir.has_value() && !a.photos.empty());
    if (a.command == Command::Render) {
      check((a.image == 1 || a.image == 2) && a.photos.size() == 1 && !a.png.empty());
    }
  }

  const int columns = static_cast<int>(size % 200);
  ProgressState state;
  state.fraction = static_cast<double>(size % 7) / 5;  // also beyond 1
  state.status = textFromBytes(args.back());
  check(displayWidth(progressLine(state, columns)) <= columns);
  return 0;
}
