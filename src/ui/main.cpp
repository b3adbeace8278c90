// Snapfolio: turns a batch of camera photos into the images and the page of a web album.
#include <csignal>

#include <QApplication>

#include "ui/application.h"

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);  // an over-limit write fails with its message, not the program
  QApplication app(argc, argv);
  return snapfolio::runGuarded([&] { return snapfolio::runSnapfolio(app); });
}
