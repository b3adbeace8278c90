// Snapfolio: turns a batch of camera photos into the images and the page of a web album.
#include <QApplication>

#include "ui/application.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return snapfolio::runGuarded([&] { return snapfolio::runSnapfolio(app); });
}
