#include "support/cli_process.h"

#include <cstdlib>

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace snapfolio::test {

std::string cliPath() {
  const char* cli = std::getenv("SNAPFOLIO_CLI");
  EXPECT_NE(cli, nullptr) << "SNAPFOLIO_CLI is not set";
  return cli != nullptr ? cli : "snapfolio-cli";
}

CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir,
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
  process.start(QString::fromStdString(cliPath()), list);
  EXPECT_TRUE(process.waitForFinished(600000));
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

}  // namespace snapfolio::test
