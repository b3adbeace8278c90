// The Qt application object of the command line. Drawing text (the time stamps) needs a
// QGuiApplication and so a platform plugin; the command line takes the offscreen one and never
// shows a window.
//
// Without XDG_RUNTIME_DIR (as root in a container or over ssh) Qt would warn on every start and
// make a folder of a predictable name under /tmp, only to look for a file in it while it starts.
// So when the variable is not set, the application starts with a private runtime folder of its
// own (mkdtemp: a random name, mode 0700) that is removed again as soon as Qt has started.
//
// Construct once, on the main thread, before any other Qt object that needs the application.
#pragma once

#include <memory>

#include <QGuiApplication>

namespace snapfolio::cli {

class CliApplication {
 public:
  // Qt sees the program name only: the arguments are the command line's own.
  explicit CliApplication(char* programName);

 private:
  int argc_ = 1;  // Qt keeps a reference to it for the application's lifetime
  char* argv_[2];
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace snapfolio::cli
