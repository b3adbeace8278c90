// Runs the built snapfolio-cli ($SNAPFOLIO_CLI) as a child process with its stdout and stderr
// on pipes.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace snapfolio::test {

struct CliResult {
  int exitCode = -1;
  std::string out, err;
  long peakKiB = -1;  // the process's peak resident memory, from runCliMeasured
};

// `environment`: variables to set (a value of nullopt removes the variable).
CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir,
                 const std::map<std::string, std::optional<std::string>>& environment = {});

// runCli under /usr/bin/time, which tells the process's peak resident memory (peakKiB).
CliResult runCliMeasured(const std::vector<std::string>& args,
                         const std::filesystem::path& workingDir);

// The path of the snapfolio-cli under test.
std::string cliPath();

}  // namespace snapfolio::test
