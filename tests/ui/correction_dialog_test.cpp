// The correction-values dialog: loading, saving, cancelling, the close box, its texts and the
// limits of its controls.
#include "ui/correction/correction_dialog.h"

// Standard library
#include <climits>
#include <filesystem>
#include <string>

// Qt
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// Project
#include "settings/ini_file.h"
#include "support/fixtures.h"
#include "ui/correction/correction_dialog_controls.h"

using snapfolio::CorrectionValues;
using snapfolio::OffsetSpinEdit;
using snapfolio::SelectionSlider;
using snapfolio::TAdjstPropty1;
using snapfolio::TIniFile;

namespace {

template <typename T>
T* control(const QWidget& dialog, const char* name) {
  T* found = dialog.findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("no control %s", name);
  return found;
}

QString text(const QWidget& dialog, const char* name) {
  return control<QLabel>(dialog, name)->text();
}

void writeStoredValues(const std::string& path) {
  TIniFile ini(path);
  ini.WriteString("ColorAdjust", "RED_Adjust", "7");
  ini.WriteString("ColorAdjust", "GREEN_Adjust", "12abc");
  ini.WriteString("ColorAdjust", "BLUE_Adjust", "-300");
  ini.WriteInteger("ColorAdjust", "Aump_Adjust", 20);
  ini.WriteInteger("ColorAdjust", "Cntlr_Adjust", 30);
}

void changeEverything(const QWidget& dialog) {
  control<OffsetSpinEdit>(dialog, "RedAdjust")->setText("-40");
  control<OffsetSpinEdit>(dialog, "GreenAdjust")->setText("1000");
  control<OffsetSpinEdit>(dialog, "BlueAdjust")->setText("x");
  control<SelectionSlider>(dialog, "AumpTrack")->setValue(66);
  control<SelectionSlider>(dialog, "CntlrTrack")->setValue(7);
}

const CorrectionValues kChanged{"-40", "1000", "x", 66, 7};
const CorrectionValues kStored{"7", "12abc", "-300", 20, 30};

}  // namespace

class CorrectionDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void defaultsWithoutSettingsFile() {
    snapfolio::test::TempDir dir;
    const std::string path = (dir / "Snapfolio.ini").string();
    TAdjstPropty1 dialog(path);
    QCOMPARE(dialog.correctionValues(), CorrectionValues({"0", "0", "0", 0, 0}));
    QCOMPARE(control<OffsetSpinEdit>(dialog, "RedAdjust")->text(), QString("0"));
    QCOMPARE(text(dialog, "Label7"), QString("0"));
    QCOMPARE(text(dialog, "Label8"), QString("0"));
    QCOMPARE(control<SelectionSlider>(dialog, "AumpTrack")->selectionEnd(), 0);
    QCOMPARE(control<SelectionSlider>(dialog, "CntlrTrack")->selectionEnd(), 0);
    QVERIFY(!std::filesystem::exists(path));  // loading writes nothing
  }

  void loadsStoredTextsAsTheyAre() {
    snapfolio::test::TempDir dir;
    const std::string path = (dir / "Snapfolio.ini").string();
    writeStoredValues(path);
    TAdjstPropty1 dialog(path);
    QCOMPARE(dialog.correctionValues(), kStored);
    QCOMPARE(control<OffsetSpinEdit>(dialog, "GreenAdjust")->text(), QString("12abc"));
    QCOMPARE(text(dialog, "Label7"), QString("20"));
    QCOMPARE(text(dialog, "Label8"), QString("3"));
    QCOMPARE(control<SelectionSlider>(dialog, "AumpTrack")->selectionEnd(), 20);
    QCOMPARE(control<SelectionSlider>(dialog, "CntlrTrack")->selectionEnd(), 30);
  }

  void clampsStoredPositionsToTheBars() {
    snapfolio::test::TempDir dir;
    const std::string path = (dir / "Snapfolio.ini").string();
    {
      TIniFile ini(path);
      ini.WriteInteger("ColorAdjust", "Aump_Adjust", 120);
      ini.WriteInteger("ColorAdjust", "Cntlr_Adjust", -3);
    }
    TAdjstPropty1 dialog(path);
    QCOMPARE(dialog.correctionValues().gain, 80);
    QCOMPARE(dialog.correctionValues().limit, 0);
    QCOMPARE(text(dialog, "Label7"), QString("80"));
  }

  void setWritesTheFiveKeysAndCloses() {
    snapfolio::test::TempDir dir;
    const std::string path = (dir / "Snapfolio.ini").string();
    TAdjstPropty1 dialog(path);
    dialog.show();
    control<OffsetSpinEdit>(dialog, "RedAdjust")->setText("-12");
    control<OffsetSpinEdit>(dialog, "GreenAdjust")->setText(" 3x");
    control<SelectionSlider>(dialog, "AumpTrack")->setValue(55);
    control<SelectionSlider>(dialog, "CntlrTrack")->setValue(13);
    QCOMPARE(text(dialog, "Label8"), QString("1.3"));
    QCOMPARE(text(dialog, "Label7"), QString("55"));
    QCOMPARE(control<SelectionSlider>(dialog, "CntlrTrack")->selectionEnd(), 13);

    QTest::mouseClick(control<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    const TIniFile ini(path);
    QCOMPARE(ini.ReadString("ColorAdjust", "RED_Adjust", "?"), std::string("-12"));
    QCOMPARE(ini.ReadString("ColorAdjust", "GREEN_Adjust", "?"), std::string(" 3x"));
    QCOMPARE(ini.ReadString("ColorAdjust", "BLUE_Adjust", "?"), std::string("0"));
    QCOMPARE(ini.ReadInteger("ColorAdjust", "Aump_Adjust", -1), 55);
    QCOMPARE(ini.ReadInteger("ColorAdjust", "Cntlr_Adjust", -1), 13);
    // written in this order into a new file
    const std::string file = snapfolio::test::readFile(path);
    const auto at = [&](const char* key) { return file.find(key); };
    QVERIFY(at("RED_Adjust") < at("GREEN_Adjust"));
    QVERIFY(at("GREEN_Adjust") < at("BLUE_Adjust"));
    QVERIFY(at("BLUE_Adjust") < at("Aump_Adjust"));
    QVERIFY(at("Aump_Adjust") < at("Cntlr_Adjust"));
    QVERIFY(at("Cntlr_Adjust") != std::string::npos);

    // A new dialog (the next start) shows what was saved.
    TAdjstPropty1 next(path);
    QCOMPARE(next.correctionValues(), CorrectionValues({"-12", " 3x", "0", 55, 13}));
  }

  void cancelRestoresTheStoredValues() {
    snapfolio::test::TempDir dir;
    const std::string path = (dir / "Snapfolio.ini").string();
    writeStoredValues(path);
    const std::string before = snapfolio::test::readFile(path);
    TAdjstPropty1 dialog(path);
    dialog.show();
    changeEverything(dialog);
    QCOMPARE(dialog.correctionValues(), kChanged);

    QTest::mouseClick(control<QPushButton>(dialog, "CancelButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.correctionValues(), kStored);
    QCOMPARE(text(dialog, "Label8"), QString("3"));
    QCOMPARE(control<SelectionSlider>(dialog, "CntlrTrack")->selectionEnd(), 30);
    QCOMPARE(snapfolio::test::readFile(path), before);
  }

  void closeBoxKeepsValuesWithoutSaving() {
    snapfolio::test::TempDir dir;
    const std::string path = (dir / "Snapfolio.ini").string();
    writeStoredValues(path);
    const std::string before = snapfolio::test::readFile(path);
    TAdjstPropty1 dialog(path);
    dialog.show();
    changeEverything(dialog);
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.correctionValues(), kChanged);  // in force for the next correction
    QCOMPARE(snapfolio::test::readFile(path), before);
  }

  void showsItsTexts() {
    snapfolio::test::TempDir dir;
    TAdjstPropty1 dialog((dir / "Snapfolio.ini").string());
    QCOMPARE(dialog.windowTitle(), QString("AdjstPropty"));
    QCOMPARE(text(dialog, "Label11"), QString("画像１、画像２で共通"));
    QCOMPARE(control<QGroupBox>(dialog, "GroupBox1")->title(), QString("色補正"));
    QCOMPARE(control<QGroupBox>(dialog, "GroupBox2")->title(), QString("明るさ補正"));
    QCOMPARE(text(dialog, "Label9"), QString("増感係数"));
    QCOMPARE(text(dialog, "Label10"), QString("白飛び抑制"));
    QCOMPARE(control<QPushButton>(dialog, "OkButton")->text(), QString("設定"));
    QCOMPARE(control<QPushButton>(dialog, "CancelButton")->text(), QString("キャンセル"));

    // R, G, B and three range notes, inside the colour group
    const auto* group = control<QGroupBox>(dialog, "GroupBox1");
    QStringList texts;
    for (const QLabel* l : group->findChildren<QLabel*>()) texts << l->text();
    texts.sort();
    QCOMPARE(texts, QStringList({"(-255～255)", "(-255～255)", "(-255～255)", "B", "G", "R"}));
    for (const char* name : {"RedAdjust", "GreenAdjust", "BlueAdjust"}) {
      QCOMPARE(control<OffsetSpinEdit>(dialog, name)->parentWidget(), group);
    }
  }

  void trackBarsAsDesigned() {
    snapfolio::test::TempDir dir;
    TAdjstPropty1 dialog((dir / "Snapfolio.ini").string());
    const auto* gain = control<SelectionSlider>(dialog, "AumpTrack");
    QCOMPARE(gain->minimum(), 0);
    QCOMPARE(gain->maximum(), 80);
    QCOMPARE(gain->pageStep(), 10);
    QCOMPARE(gain->tickInterval(), 5);
    QCOMPARE(gain->tickPosition(), QSlider::TicksBothSides);
    const auto* limit = control<SelectionSlider>(dialog, "CntlrTrack");
    QCOMPARE(limit->maximum(), 50);
    QCOMPARE(limit->pageStep(), 10);
    QCOMPARE(limit->tickInterval(), 2);
    QCOMPARE(limit->tickPosition(), QSlider::TicksBothSides);
  }

  void limitLabel_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("shown");
    QTest::newRow("25") << 25 << "2.5";
    QTest::newRow("30") << 30 << "3";
    QTest::newRow("1") << 1 << "0.1";
    QTest::newRow("13") << 13 << "1.3";
    QTest::newRow("3") << 3 << "0.3";
    QTest::newRow("50") << 50 << "5";
    QTest::newRow("0") << 0 << "0";
  }
  void limitLabel() {
    QFETCH(int, position);
    QFETCH(QString, shown);
    snapfolio::test::TempDir dir;
    TAdjstPropty1 dialog((dir / "Snapfolio.ini").string());
    auto* limit = control<SelectionSlider>(dialog, "CntlrTrack");
    limit->setValue(position == 0 ? 1 : 0);  // make sure the position really changes
    limit->setValue(position);
    QCOMPARE(text(dialog, "Label8"), shown);
    QCOMPARE(limit->selectionStart(), 0);
    QCOMPARE(limit->selectionEnd(), position);
  }

  void redStopsAtItsLimitsGreenAndBlueDoNot() {
    snapfolio::test::TempDir dir;
    TAdjstPropty1 dialog((dir / "Snapfolio.ini").string());
    auto* red = control<OffsetSpinEdit>(dialog, "RedAdjust");
    red->setText("250");
    for (int i = 0; i < 10; ++i) red->stepUp();
    QCOMPARE(red->text(), QString("255"));
    red->setText("-250");
    for (int i = 0; i < 10; ++i) red->stepDown();
    QCOMPARE(red->text(), QString("-255"));
    red->stepBy(-1000);
    QCOMPARE(red->text(), QString("-255"));

    for (const char* name : {"GreenAdjust", "BlueAdjust"}) {
      auto* edit = control<OffsetSpinEdit>(dialog, name);
      edit->setText("250");
      for (int i = 0; i < 10; ++i) edit->stepUp();
      QCOMPARE(edit->text(), QString("260"));
      edit->setText("-255");
      edit->stepDown();
      QCOMPARE(edit->text(), QString("-256"));
      // at the int limits the buttons stop instead of overflowing
      edit->setText(QString::number(INT_MAX));
      edit->stepUp();
      QCOMPARE(edit->text(), QString::number(INT_MAX));
      edit->setText(QString::number(INT_MIN));
      edit->stepBy(-5);
      QCOMPARE(edit->text(), QString::number(INT_MIN));
    }
  }

  void typingKeepsTheTextAndTheButtonsReadItLeniently() {
    snapfolio::test::TempDir dir;
    TAdjstPropty1 dialog((dir / "Snapfolio.ini").string());
    dialog.show();
    auto* green = control<OffsetSpinEdit>(dialog, "GreenAdjust");
    green->setFocus();
    green->selectAll();
    QTest::keyClicks(green, "12abc");
    QCOMPARE(green->text(), QString("12abc"));
    QCOMPARE(dialog.correctionValues().green, std::string("12abc"));
    QTest::keyClick(green, Qt::Key_Up);
    QCOMPARE(green->text(), QString("13"));

    // A number typed into the red field beyond its limits comes back to the limit when the
    // field is left.
    auto* red = control<OffsetSpinEdit>(dialog, "RedAdjust");
    red->setFocus();
    red->selectAll();
    QTest::keyClicks(red, "300");
    QCOMPARE(red->text(), QString("300"));
    QTest::keyClick(red, Qt::Key_Return);
    QCOMPARE(red->text(), QString("255"));
    QVERIFY(dialog.isVisible());  // Enter does not press a button
  }

  void sizedToTheCancelButton() {
    snapfolio::test::TempDir dir;
    TAdjstPropty1 dialog((dir / "Snapfolio.ini").string());
    const QRect cancel = control<QPushButton>(dialog, "CancelButton")->geometry();
    QCOMPARE(dialog.width(), cancel.x() + cancel.width() + 24);
    QCOMPARE(dialog.height(), cancel.y() + cancel.height() + 47);
    // every control lies inside
    for (const QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      QVERIFY2(dialog.rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
  }
};

QTEST_MAIN(CorrectionDialogTest)
#include "correction_dialog_test.moc"
