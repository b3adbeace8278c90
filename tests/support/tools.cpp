#include "support/tools.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

namespace snapfolio::test {

std::string runTool(const std::string& program, const std::vector<std::string>& args) {
  QProcess process;
  QStringList list;
  for (const auto& a : args) list << QString::fromStdString(a);
  process.start(QString::fromStdString(program), list);
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    ADD_FAILURE() << program << " failed (is it installed? scripts/setup-debian.sh): "
                  << process.errorString().toStdString() << " "
                  << process.readAllStandardError().toStdString();
    return {};
  }
  return process.readAllStandardOutput().toStdString();
}

std::map<std::string, std::string> exifTags(const std::filesystem::path& file,
                                            const std::string& group) {
  // -S: "Tag: value" lines; -n: numbers as stored.
  const std::string out = runTool("exiftool", {"-S", "-n", "-" + group + ":all", file.string()});
  std::map<std::string, std::string> tags;
  std::size_t start = 0;
  while (start < out.size()) {
    std::size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    const std::string line = out.substr(start, end - start);
    if (const std::size_t colon = line.find(": "); colon != std::string::npos) {
      tags[line.substr(0, colon)] = line.substr(colon + 2);
    }
    start = end + 1;
  }
  return tags;
}

}  // namespace snapfolio::test
