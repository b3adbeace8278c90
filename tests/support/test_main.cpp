// GoogleTest entry point for the engine tests. Painting text needs a QGuiApplication; the
// platform plugin comes from QT_QPA_PLATFORM (offscreen), which CTest sets.
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
