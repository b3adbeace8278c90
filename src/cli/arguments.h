// The arguments of snapfolio-cli: the command, its options and its photos, read with
// QCommandLineParser and checked before anything runs.
//
// parseArguments is a function of the argument bytes alone (it reads no file), so that it can be
// tested and fuzzed by itself; the commands look at files and folders afterwards. Arguments
// keep their bytes: photo and folder names that are not UTF-8 come back unchanged.
//
// Plain functions; any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "settings/options.h"

namespace snapfolio::cli {

enum class Command { Album, Convert, Render, DefaultTemplate, Help, Version };

// How much a run writes to stderr besides failures: -q nothing else, the default a progress bar
// on a terminal and the closing summary, -v also each step.
enum class Verbosity { Quiet, Normal, Verbose };


struct Arguments {
  Command command = Command::Help;
  std::optional<std::string> settings;     // --settings FILE (convert, render)
  std::vector<SettingOverride> overrides;  // --set, in the order given
  bool save = false;                       // --save (convert)
  std::optional<std::string> outDir;       // --out DIR (album, convert)
  std::optional<std::string> title;        // --title TITLE (album)
  bool recursive = false;                  // -r (convert; album takes a folder's tree anyway)
  bool rebuild = false;                    // --rebuild (album)
  std::optional<std::string> originals;    // --originals copy|none (album)
  std::optional<std::string> baseUrl;      // --base-url URL (album)
  Verbosity verbosity = Verbosity::Normal;
  int jobs = 0;                     // --jobs N (album, convert); 0: the default
  int image = 0;                    // --image N (render)
  std::string png;                  // --png OUT (render)
  std::vector<std::string> photos;  // the photos and folders, as given
};

// The greatest --jobs.
inline constexpr int kMaxJobs = 256;

// Either the arguments or the usage error that stops the program (exit status 2).
struct ParseResult {
  std::optional<Arguments> arguments;
  QString error;
};

// `args` without the program name.
ParseResult parseArguments(const std::vector<std::string>& args);

// Reads one "SECTION/KEY=VALUE": the key must be one of the settings file's keys and the value
// must read as the key's type (a width: a number of pixels of at least 1, or empty). Returns the
// error, or an empty text.
QString parseOverride(const QString& text, SettingOverride& result);

QString helpText();
QString versionText();

}  // namespace snapfolio::cli
