// The main window driving the real engine: a preview and conversion runs on real photos, with
// the photo dialog and the message boxes replaced by a recorder.
#include <filesystem>
#include <memory>

#include <QCheckBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "settings/ini_file.h"
#include "support/fixtures.h"
#include "ui/common/gauge_bar.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window.h"
#include "ui/photo_options/photo_options_dialog.h"
#include "ui/recording_dialogs.h"

using namespace snapfolio;
namespace fs = std::filesystem;

namespace {

struct Fixture {
  test::TempDir dir;
  std::shared_ptr<test::RecordingDialogs> dialogs = std::make_shared<test::RecordingDialogs>();
  std::unique_ptr<TSnapfolio> window;

  // A folder whose settings file holds no options yet: every option at its default.
  TSnapfolio& open() {
    test::writeFile(dir / "Snapfolio.ini", "");
    return openWithoutSettings();
  }
  TSnapfolio& openWithoutSettings() {
    window = std::make_unique<TSnapfolio>(MainWindowEnvironment{dir.path().string(), dialogs});
    fs::create_directories(dir / "out");
    window->form().DirectoryListBox1->setDirectory(QString::fromStdString((dir / "out").string()));
    return *window;
  }
  std::string ini() const { return (dir / "Snapfolio.ini").string(); }
};

QString photo(const char* name) {
  return QString::fromStdString(test::photoPath(name).string());
}

QSize imageSize(const fs::path& path) {
  return QImageReader(QString::fromStdString(path.string())).size();
}

}  // namespace

class ConversionTest : public QObject {
  Q_OBJECT

 private slots:
  void previewShowsImage1CentredInThePanel();
  void runWritesTheImagesAndStoresTheOptions();
  void stopButtonEndsTheRunBeforeTheNextPhoto();
  void aFailingPhotoIsReportedAndTheWindowStaysUsable();
  void theFirstStartMakesAWorkingAlbum();
};

void ConversionTest::previewShowsImage1CentredInThePanel() {
  Fixture f;
  TSnapfolio& w = f.openWithoutSettings();
  w.form().Gazou1->setChecked(false);  // the preview ignores it
  w.form().Width1->setText("200");
  f.dialogs->photoAnswers = {QStringList{photo("landscape-18mp.jpg"), photo("tiny.JPG")}};
  QSignalSpy finished(&w, &TSnapfolio::operationFinished);
  QTest::mouseClick(w.form().InButton, Qt::LeftButton);
  QVERIFY(finished.wait(60000));
  QVERIFY(f.dialogs->boxes.empty());
  QVERIFY(!w.form().Image1->isHidden());
  // 5640 x 3172 at 200 pixels wide is 112 high, centred in 400 x 300
  QCOMPARE(w.form().Image1->geometry(), QRect(100, 94, 200, 112));
  QCOMPARE(w.photoDialogFileName(), test::photoPath("landscape-18mp.jpg").string());
  QCOMPARE(w.form().CGauge1->value(), 1);  // advanced, and kept within the maximum of 1
  QVERIFY(!fs::exists(f.ini()));
  QVERIFY(fs::is_empty(f.dir / "out"));
}

void ConversionTest::runWritesTheImagesAndStoresTheOptions() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().Width1->setText("160");
  w.form().PriFileName1->setText("s_");
  w.form().Width2->setText("320");
  w.form().AftFileName2->setText("_L");
  w.move(12, 34);
  f.dialogs->photoAnswers = {QStringList{photo("tiny.JPG"), photo("portrait-exif6.jpg")}};
  QSignalSpy finished(&w, &TSnapfolio::operationFinished);
  QTest::mouseClick(w.form().OKButton, Qt::LeftButton);
  QVERIFY(finished.wait(60000));
  QVERIFY2(f.dialogs->boxes.empty(),
           f.dialogs->boxes.empty() ? "" : qPrintable(f.dialogs->boxes.front().text));
  const fs::path out = f.dir / "out";
  QCOMPARE(imageSize(out / "s_tiny.JPG").width(), 160);
  QCOMPARE(imageSize(out / "tiny_L.JPG").width(), 320);
  QCOMPARE(imageSize(out / "s_portrait-exif6.jpg").width(), 160);
  QCOMPARE(imageSize(out / "portrait-exif6_L.jpg").width(), 320);
  QCOMPARE(w.form().Label8->text(), QStringLiteral("変換終了"));
  QCOMPARE(w.form().CGauge1->maximum(), 12);  // 1 + 3N + 3N - 1 with N = 2
  QCOMPARE(w.form().CGauge1->value(), 12);
  const TIniFile ini(f.ini());
  QCOMPARE(ini.ReadString("InOutFile", "OUTDIR", ""), out.string());
  QCOMPARE(ini.ReadString("InOutFile", "INDIR", ""), test::photoPath("tiny.JPG").string());
  QCOMPARE(ini.ReadString("Pict1Options", "PRIFN1", ""), std::string("s_"));
  QCOMPARE(ini.ReadString("Pict2Options", "AFTFN2", ""), std::string("_L"));
  QCOMPARE(ini.ReadString("Pict2Options", "WIDTH2", ""), std::string("320"));
  QCOMPARE(ini.ReadInteger("Snapfolio", "LEFT", -1), w.x());
  QCOMPARE(ini.ReadInteger("Snapfolio", "TOP", -1), w.y());
  QVERIFY(w.form().BreakButton1->isHidden());
}

void ConversionTest::stopButtonEndsTheRunBeforeTheNextPhoto() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().Width1->setText("100");
  w.form().Gazou2->setChecked(false);
  f.dialogs->photoAnswers = {QStringList{photo("tiny.JPG"), photo("grey-exif.jpg")}};
  // the stop button is pressed while the run waits for the photo dialog (after the run has
  // cleared any earlier request): the run stops before its first photo
  bool stopUsable = false;
  f.dialogs->whileChoosing = [&] {
    stopUsable = !w.form().BreakButton1->isHidden() && w.form().BreakButton1->isEnabled();
    QTest::mouseClick(w.form().BreakButton1, Qt::LeftButton);
  };
  QSignalSpy finished(&w, &TSnapfolio::operationFinished);
  QTest::mouseClick(w.form().OKButton, Qt::LeftButton);
  QVERIFY(finished.wait(60000));
  QVERIFY(stopUsable);
  QVERIFY(fs::is_empty(f.dir / "out"));
  QVERIFY(!w.stopRequested());  // honoured and cleared
  QCOMPARE(w.form().Label8->text(), QStringLiteral("変換終了"));
  // the settings of the run's end are still stored
  QCOMPARE(TIniFile(f.ini()).ReadString("Pict1Options", "WIDTH1", ""), std::string("100"));
  QVERIFY(f.dialogs->boxes.empty());
}

void ConversionTest::aFailingPhotoIsReportedAndTheWindowStaysUsable() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().Width1->setText("100");
  w.form().Gazou2->setChecked(false);
  test::writeFile(f.dir / "broken.jpg", "not a jpeg");
  const QString broken = QString::fromStdString((f.dir / "broken.jpg").string());
  f.dialogs->photoAnswers = {QStringList{broken, photo("tiny.JPG")}};
  QSignalSpy finished(&w, &TSnapfolio::operationFinished);
  QTest::mouseClick(w.form().OKButton, Qt::LeftButton);
  QVERIFY(finished.wait(60000));
  QVERIFY(!f.dialogs->boxes.empty());
  QCOMPARE(f.dialogs->boxes[0].caption, QStringLiteral("ERROR"));
  QVERIFY2(f.dialogs->boxes[0].text.startsWith(QStringLiteral("0101 : ") + broken),
           qPrintable(f.dialogs->boxes[0].text));
  QVERIFY(fs::exists(f.dir / "out" / "tiny.JPG"));
  QVERIFY(w.form().OKButton->isEnabled() && w.form().GroupBox1->isEnabled());
}

// Opened with photos in a folder without a settings file (`snapfolio PHOTO...`): one question,
// then both images and the page; the next start reads the same choices back.
void ConversionTest::theFirstStartMakesAWorkingAlbum() {
  Fixture f;
  TSnapfolio& w = f.openWithoutSettings();
  TPhotoPropty photoOptions(w.settingsPath(), &w);
  w.setLinks({.photoOptions = [&] { return photoOptions.photoOptions(); }});
  f.dialogs->confirmAnswer = true;
  QSignalSpy finished(&w, &TSnapfolio::operationFinished);
  w.runPhotos({photo("portrait-exif6.jpg")});
  QVERIFY(finished.wait(60000));
  QCOMPARE(f.dialogs->questions.size(), 2);  // the photos, then whether to open the page
  QVERIFY2(f.dialogs->boxes.empty(),
           f.dialogs->boxes.empty() ? "" : qPrintable(f.dialogs->boxes.front().text));
  const fs::path out = f.dir / "out";
  QCOMPARE(imageSize(out / "t_portrait-exif6.jpg").width(), 150);
  QCOMPARE(imageSize(out / "portrait-exif6_l.jpg").width(), 1280);
  QVERIFY(test::readFile(out / "index.html").find("t_portrait-exif6.jpg") != std::string::npos);

  TSnapfolio again(MainWindowEnvironment{f.dir.path().string(), f.dialogs});
  QCOMPARE(again.form().Width1->text(), QStringLiteral("150"));
  QVERIFY(again.form().HtmlCnv->isChecked());
  QCOMPARE(TIniFile(f.ini()).ReadInteger("PhotoOptions", "DATESOURCE", 0), 1);
}

QTEST_MAIN(ConversionTest)
#include "main_window_conversion_test.moc"
