// Snapfolio: turns a batch of camera photos into the images and the page of a web album.
#include <QApplication>

#include "startup/process_setup.h"
#include "ui/application.h"

int main(int argc, char** argv) {
  snapfolio::setUpProcess();
  QApplication app(argc, argv);
  return snapfolio::runGuarded([&] { return snapfolio::runSnapfolio(app); });
}
