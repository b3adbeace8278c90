#include "cli/cli_application.h"

// Standard library
#include <cstdlib>
#include <string>

// System
#include <unistd.h>

// Project
#include "core/translation.h"

namespace snapfolio::cli {

CliApplication::CliApplication(char* programName) : argv_{programName, nullptr} {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string runtimeDir;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/snapfolio-cli-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
      runtimeDir = pattern;
      qputenv("XDG_RUNTIME_DIR", runtimeDir.c_str());
    }
  }
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  // The engine's messages in the interface language (the command line's own texts are English).
  installTranslations(*app_, interfaceLanguage());
  if (!runtimeDir.empty()) {
    rmdir(runtimeDir.c_str());
    qunsetenv("XDG_RUNTIME_DIR");
  }
}

}  // namespace snapfolio::cli
