// Snapfolio: turns a batch of camera photos into the images and the page of a web album.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Snapfolio");
  return 0;
}
