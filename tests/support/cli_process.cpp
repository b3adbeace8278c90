#include "support/cli_process.h"

#include <cstdlib>
#include <fstream>

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace snapfolio::test {

std::string cliPath() {
  const char* cli = std::getenv("SNAPFOLIO_CLI");
  EXPECT_NE(cli, nullptr) << "SNAPFOLIO_CLI is not set";
  return cli != nullptr ? cli : "snapfolio-cli";
}

namespace {

CliResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& workingDir,
                     const std::map<std::string, std::optional<std::string>>& environment) {
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(workingDir.string()));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : environment) {
    if (value) {
      env.insert(QString::fromStdString(name), QString::fromStdString(*value));
    } else {
      env.remove(QString::fromStdString(name));
    }
  }
  process.setProcessEnvironment(env);
  QStringList list;
  for (const auto& a : args) list << QString::fromStdString(a);
  process.start(QString::fromStdString(program), list);
  EXPECT_TRUE(process.waitForFinished(600000));
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

}  // namespace

CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir,
                 const std::map<std::string, std::optional<std::string>>& environment) {
  return runProgram(cliPath(), args, workingDir, environment);
}

CliResult runCliMeasured(const std::vector<std::string>& args,
                         const std::filesystem::path& workingDir) {
  const std::filesystem::path report = workingDir / ".peak-rss";
  std::vector<std::string> timed = {"-f", "peak=%M", "-o", report.string(), cliPath()};
  timed.insert(timed.end(), args.begin(), args.end());
  CliResult result = runProgram("/usr/bin/time", timed, workingDir, {});
  // A failed command's status line comes first.
  std::ifstream in(report);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("peak=", 0) == 0) result.peakKiB = std::stol(line.substr(5));
  }
  std::filesystem::remove(report);
  return result;
}

}  // namespace snapfolio::test
