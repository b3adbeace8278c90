// The geometry dump that tools driving the program from outside read: the line format,
// coordinates relative to the window, and which controls are listed.
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

#include "ui/common/geometry_dump.h"

using namespace snapfolio;

namespace probe {
// A window class in a namespace, as the program's own (snapfolio::TSnapfolio).
class PlainWindow : public QWidget {
  Q_OBJECT
};
}  // namespace probe

class GeometryDumpTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsRelativeToTheirWindow() {
    QWidget window;
    window.setObjectName("Form");
    window.resize(300, 200);
    auto* group = new QGroupBox(&window);
    group->setObjectName("Group");
    group->setGeometry(5, 7, 200, 150);
    auto* button = new QPushButton(group);
    button->setObjectName("Button");
    button->setGeometry(10, 20, 75, 25);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(geometryLine(button), QStringLiteral("geometry: Form/Button=15,27,75,25"));
    const QStringList lines = geometryLines(&window);
    QCOMPARE(lines.value(0), QStringLiteral("geometry: Form/.=0,0,300,200"));
    QVERIFY(lines.contains(QStringLiteral("geometry: Form/Group=5,7,200,150")));
    QVERIFY(lines.contains(QStringLiteral("geometry: Form/Button=15,27,75,25")));
    QCOMPARE(lines.size(), 3);
  }

  // Hidden controls, unnamed ones, Qt's internal ones and those of another window are left out;
  // a window without a name is named by its class.
  void listsOnlyNamedVisibleControlsOfTheWindow() {
    QGroupBox window;
    window.resize(200, 100);
    auto* hidden = new QPushButton(&window);
    hidden->setObjectName("Hidden");
    hidden->hide();
    new QPushButton(&window);  // unnamed
    auto* internal = new QPushButton(&window);
    internal->setObjectName("qt_internal");
    auto* dialog = new QWidget(&window, Qt::Dialog);
    dialog->setObjectName("Dialog");
    auto* inDialog = new QPushButton(dialog);
    inDialog->setObjectName("InDialog");
    window.show();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(geometryLines(&window), QStringList{"geometry: QGroupBox/.=0,0,200,100"});
    const QStringList dialogLines = geometryLines(dialog);
    QCOMPARE(dialogLines.size(), 2);
    QVERIFY(dialogLines.at(1).startsWith(QStringLiteral("geometry: Dialog/InDialog=")));
  }

  // An unnamed window of a class in a namespace is named by the class alone.
  void unnamedWindowByClassWithoutNamespace() {
    probe::PlainWindow window;
    window.resize(120, 80);
    QCOMPARE(geometryLine(&window), QStringLiteral("geometry: PlainWindow/.=0,0,120,80"));
  }
};

QTEST_MAIN(GeometryDumpTest)
#include "geometry_dump_test.moc"
