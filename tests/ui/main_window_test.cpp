// The main window: controls and form states, start-up from the settings file, the enabling
// rules, the dialog buttons, the photo choice and quitting.
#include <memory>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "settings/ini_file.h"
#include "support/fixtures.h"
#include "ui/common/gauge_bar.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window.h"
#include "ui/recording_dialogs.h"

using namespace snapfolio;

namespace {

struct Fixture {
  test::TempDir dir;
  std::shared_ptr<test::RecordingDialogs> dialogs = std::make_shared<test::RecordingDialogs>();
  std::unique_ptr<TSnapfolio> window;

  std::string iniPath() const { return (dir / "Snapfolio.ini").string(); }
  void writeIni(const std::string& text) { test::writeFile(dir / "Snapfolio.ini", text); }
  TSnapfolio& open() {
    window = std::make_unique<TSnapfolio>(MainWindowEnvironment{dir.path().string(), dialogs});
    return *window;
  }
};

// A dialog that counts how often it was shown modally instead of blocking.
class FakeDialog : public QDialog {
 public:
  int exec() override {
    ++shown;
    return QDialog::Accepted;
  }
  int shown = 0;
};

QString textOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  return QStringLiteral("<no text>");
}

QList<QWidget*> imageControls(TSnapfolio& w, int n) {
  if (n == 1) {
    return {w.form().Label1,       w.form().Width1,         w.form().Label2,
            w.form().PriFileName1, w.form().filemei1,       w.form().AftFileName1,
            w.form().jpg1,         w.form().CheckTimeStmp1, w.form().FontButton1,
            w.form().AutoAdjust1,  w.form().AdjstButton1};
  }
  return {w.form().Label5,       w.form().Width2,         w.form().Label6,
          w.form().PriFileName2, w.form().filemei2,       w.form().AftFileName2,
          w.form().jpg2,         w.form().CheckTimeStmp2, w.form().FontButton2,
          w.form().AutoAdjust2,  w.form().AdjstButton2};
}

QList<QWidget*> htmlControls(TSnapfolio& w) {
  return {w.form().Label4,     w.form().HtmlFile, w.form().HtmlButton,       w.form().Label7,
          w.form().ALBUMTITLE, w.form().Label10,  w.form().HtmlTemplateFile, w.form().HtmlTemplate};
}

bool allEnabled(const QList<QWidget*>& ws, bool enabled) {
  for (QWidget* w : ws) {
    if (w->isEnabled() != enabled) return false;
  }
  return true;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void everyControlHasItsNameAndCaption_data();
  void everyControlHasItsNameAndCaption();
  void formStatesOfTheOtherControls();
  void windowSizeFollowsGroupBox1AndPanel1();
  void startsWithoutSettingsFile();
  void startsFromStoredValues();
  void startsOnDefaultsFromAPhotoAndSaysSo();
  void storedGazou1FalseLeavesImage1ControlsEnabled();
  void storedHtmlckTrueEnablesTheHtmlControls();
  void uncheckingAnImageDisablesAndClearsItsSwitches_data();
  void uncheckingAnImageDisablesAndClearsItsSwitches();
  void checkingAnImageRestoresItsSwitchesFromTheFile_data();
  void checkingAnImageRestoresItsSwitchesFromTheFile();
  void htmlCnvEnablesItsEightControls();
  void settingsPathIsFixedAtConstruction();
  void quittingWritesNothing();
  void dialogButtonsShowTheLinkedDialogs();
  void photoDialogStartsAtIndirThenAtTheLastPhoto();
  void previewWithoutAChoiceOrWidthWritesNothing();
  void breakButtonSetsTheStopRequest();
  void messagePortShowsBoxesOnTheUiThread();
  void templateChooserFillsAndStoresTheTemplate();
  void templateChooserCancelledKeepsTheStartDirectory();
  void templateChooserReportsAFileError();
  void pageChooserKeepsOnlyTheFileName();
};

void MainWindowTest::everyControlHasItsNameAndCaption_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("text");
  const std::pair<const char*, const char*> rows[] = {
      {"GroupBox1", "出力ディレクトリ"},
      {"Label3", "Dir:"},
      {"NewDir", ""},
      {"MakeDir", "出力Dir作成"},
      {"DspDir", "更新"},
      {"Gazou1", "出力画像１ (サムネール） "},
      {"Label1", "横幅"},
      {"Label2", "ピクセル"},
      {"filemei1", "ファイル名"},
      {"jpg1", ".jpg"},
      {"AutoAdjust1", "自動補正"},
      {"AdjstButton1", "補正値"},
      {"CheckTimeStmp1", "DATE"},
      {"FontButton1", "設定"},
      {"Gazou2", "出力画像２"},
      {"Label5", "横幅"},
      {"Label6", "ピクセル"},
      {"filemei2", "ファイル名"},
      {"jpg2", ".jpg"},
      {"AutoAdjust2", "自動補正"},
      {"AdjstButton2", "補正値"},
      {"CheckTimeStmp2", "DATE"},
      {"FontButton2", "設定"},
      {"HtmlCnv", "HTML出力"},
      {"Label4", "ﾌｧｲﾙ名 :"},
      {"HtmlButton", "設定"},
      {"Label7", "ﾀｲﾄﾙ :"},
      {"Label10", "ﾃﾝﾌﾟﾚｰﾄ :"},
      {"HtmlTemplate", "参照"},
      {"Label11", "サムネール"},
      {"Label12", "<表示幅400ピクセル>"},
      {"Label8", ""},
      {"Label9", ""},
      {"InButton", "プレビュー"},
      {"OKButton", "入力"},
      {"BreakButton1", "中止"},
      {"Cancel", "終了"},
  };
  for (const auto& [name, text] : rows) {
    QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(text);
  }
}

void MainWindowTest::everyControlHasItsNameAndCaption() {
  QFETCH(QString, name);
  QFETCH(QString, text);
  Fixture f;
  TSnapfolio& w = f.open();
  auto* control = w.findChild<QWidget*>(name);
  QVERIFY2(control != nullptr, qPrintable(name));
  QCOMPARE(textOf(control), text);
}

void MainWindowTest::formStatesOfTheOtherControls() {
  Fixture f;
  TSnapfolio& w = f.open();
  for (const char* name : {"DriveComboBox1",   "DirectoryListBox1",
                           "FileListBox1",     "GroupBox2",
                           "GroupBox3",        "GroupBox5",
                           "Width1",           "PriFileName1",
                           "AftFileName1",     "Width2",
                           "PriFileName2",     "AftFileName2",
                           "HtmlFile",         "ALBUMTITLE",
                           "HtmlTemplateFile", "Panel1",
                           "Image1",           "Image2",
                           "CGauge1",          "CGauge2"}) {
    QVERIFY2(w.findChild<QWidget*>(name) != nullptr, name);
  }
  QCOMPARE(w.form().Panel1->size(), QSize(400, 300));
  QCOMPARE(w.form().Panel1->frameShadow(), QFrame::Sunken);
  QCOMPARE(w.form().Image1->parentWidget(), w.form().Panel1);
  QCOMPARE(w.form().Image2->parentWidget(), w.form().Panel1);
  QVERIFY(w.form().Image1->isHidden());
  QVERIFY(w.form().Image2->isHidden());
  QVERIFY(w.form().BreakButton1->isHidden());
  QVERIFY(!w.form().BreakButton1->isEnabled());
  QCOMPARE(w.form().BreakButton1->focusPolicy(), Qt::NoFocus);
  QCOMPARE(w.form().FileListBox1->focusPolicy(), Qt::NoFocus);
  for (QPushButton* b :
       {w.form().InButton, w.form().OKButton, w.form().BreakButton1, w.form().Cancel}) {
    QCOMPARE(b->size(), QSize(75, 25));
  }
  QCOMPARE(w.form().CGauge1->size(), QSize(345, 17));
  QCOMPARE(w.form().CGauge2->size(), QSize(345, 17));
  QCOMPARE(w.form().CGauge1->maximum(), 1);
  QCOMPARE(w.form().CGauge1->value(), 0);
  QCOMPARE(w.form().CGauge2->value(), 0);
  QVERIFY(w.form().DriveComboBox1->count() >= 1);
  QVERIFY(w.form().DriveComboBox1->isEnabled());
  QCOMPARE(w.form().DirUpdateTimer->objectName(), QStringLiteral("DirUpdateTimer"));
  QCOMPARE(w.form().DirUpdateTimer->interval(), 2000);
  QVERIFY(w.form().DirUpdateTimer->isActive());
  QCOMPARE(w.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
  QCOMPARE(w.font().pixelSize(), 12);
  // The file list shows the start directory's files and is linked to nothing.
  test::writeFile(f.dir / "start.txt", "x");
  TSnapfolio& again = f.open();
  QCOMPARE(again.form().FileListBox1->count(), 1);
  QCOMPARE(again.form().FileListBox1->item(0)->text(), QStringLiteral("start.txt"));
}

void MainWindowTest::windowSizeFollowsGroupBox1AndPanel1() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  const QRect group = w.form().GroupBox1->geometry();
  const QPoint panel = w.form().Panel1->mapTo(&w, QPoint(0, 0));
  QCOMPARE(w.height(), group.top() + group.height() + 30);
  QCOMPARE(w.width(), panel.x() + 400 + 15);
  // every control of the right column lies inside the window
  QVERIFY(
      w.rect().contains(QRect(w.form().Cancel->mapTo(&w, QPoint(0, 0)), w.form().Cancel->size())));
  QVERIFY(w.rect().contains(
      QRect(w.form().CGauge2->mapTo(&w, QPoint(0, 0)), w.form().CGauge2->size())));
}

// Without a settings file the window starts with the album's choices; a settings file that
// exists is read as it is, even one holding no options.
void MainWindowTest::startsWithoutSettingsFile() {
  Fixture f;
  TSnapfolio& w = f.open();
  QCOMPARE(w.pos(), QPoint(0, 0));
  QVERIFY(w.form().Gazou1->isChecked());
  QVERIFY(w.form().Gazou2->isChecked());
  QCOMPARE(w.form().Width1->text(), QStringLiteral("150"));
  QCOMPARE(w.form().Width2->text(), QStringLiteral("1280"));
  QCOMPARE(w.form().PriFileName1->text(), QStringLiteral("t_"));
  QCOMPARE(w.form().AftFileName2->text(), QStringLiteral("_l"));
  QVERIFY(!w.form().AutoAdjust1->isChecked());
  QVERIFY(!w.form().CheckTimeStmp1->isChecked());
  QVERIFY(w.form().HtmlCnv->isChecked());
  QCOMPARE(w.form().HtmlFile->text(), QStringLiteral("index.html"));
  QVERIFY(allEnabled(htmlControls(w), true));
  {
    Fixture empty;
    empty.writeIni("");
    TSnapfolio& designed = empty.open();
    QCOMPARE(designed.form().Width1->text(), QString());
    QCOMPARE(designed.form().Width2->text(), QString());
    QVERIFY(!designed.form().HtmlCnv->isChecked());
    QVERIFY(allEnabled(htmlControls(designed), false));
  }
  QVERIFY(allEnabled(imageControls(w, 1), true));
  QVERIFY(allEnabled(imageControls(w, 2), true));
  QCOMPARE(w.windowTitle(), QStringLiteral("Snapfolio Ver1.03"));
  QCOMPARE(w.form().DirectoryListBox1->directory(), QString::fromStdString(f.dir.path().string()));
  QCOMPARE(w.photoDialogInitialDir(), std::string());
  QVERIFY(!std::filesystem::exists(f.iniPath()));  // reading creates no file
}

// A photo under the settings file's name: the defaults, the file untouched, and one message
// once the window is up.
void MainWindowTest::startsOnDefaultsFromAPhotoAndSaysSo() {
  Fixture f;
  std::filesystem::copy_file(test::fixturePath("baseline-small.jpg"), f.iniPath());
  const std::string before = test::readFile(f.iniPath());
  TSnapfolio& w = f.open();
  QCOMPARE(w.pos(), QPoint(0, 0));
  QVERIFY(w.form().Gazou1->isChecked());
  QCOMPARE(w.form().Width1->text(), QString());
  QTRY_COMPARE(f.dialogs->boxes.size(), 1u);
  QCOMPARE(f.dialogs->boxes[0].caption, QStringLiteral("Snapfolio"));
  QVERIFY(f.dialogs->boxes[0].text.startsWith(QStringLiteral("0016 : ")));
  QVERIFY(f.dialogs->boxes[0].text.contains(QStringLiteral("JPEG画像である")));
  QCOMPARE(test::readFile(f.iniPath()), before);
}

void MainWindowTest::startsFromStoredValues() {
  Fixture f;
  std::filesystem::create_directories(f.dir / "out");
  f.writeIni(
      "[Snapfolio]\nTOP=120\nLEFT=45\n"
      "[Pict1Options]\nGAZOU1=1\nWIDTH1=160\nPRIFN1=s_\nAFTFN1=_a\nATADJ1=1\n"
      "[Pict2Options]\nGAZOU2=1\nWIDTH2=640\nPRIFN2=l_\nAFTFN2=_b\nATADJ2=1\n"
      "[InOutFile]\nINDIR=/photos/p1.jpg\nOUTDIR=" +
      (f.dir / "out" / "gone" / "deeper").string() +
      "\n"
      "[OutStyl]\nTIMSTMP1=1\nTIMSTMP2=0\nHTMLCK=0\nHTMLFIL=index.html\nALBMTITL=旅行\n"
      "HTMLTMP=/t/album.dat\n");
  TSnapfolio& w = f.open();
  QCOMPARE(w.pos(), QPoint(45, 120));
  QCOMPARE(w.form().Width1->text(), QStringLiteral("160"));
  QCOMPARE(w.form().PriFileName1->text(), QStringLiteral("s_"));
  QCOMPARE(w.form().AftFileName1->text(), QStringLiteral("_a"));
  QVERIFY(w.form().AutoAdjust1->isChecked());
  QCOMPARE(w.form().Width2->text(), QStringLiteral("640"));
  QCOMPARE(w.form().PriFileName2->text(), QStringLiteral("l_"));
  QCOMPARE(w.form().AftFileName2->text(), QStringLiteral("_b"));
  QVERIFY(w.form().AutoAdjust2->isChecked());
  QVERIFY(w.form().CheckTimeStmp1->isChecked());
  QVERIFY(!w.form().CheckTimeStmp2->isChecked());
  QCOMPARE(w.form().HtmlFile->text(), QStringLiteral("index.html"));
  QCOMPARE(w.form().ALBUMTITLE->text(), QStringLiteral("旅行"));
  QCOMPARE(w.form().HtmlTemplateFile->text(), QStringLiteral("/t/album.dat"));
  QCOMPARE(w.photoDialogInitialDir(), std::string("/photos/p1.jpg"));
  // OUTDIR passes through DirChk: two missing levels climb to the existing one
  QCOMPARE(w.outputDirectory(), (f.dir / "out").string() + "/");
}

void MainWindowTest::storedGazou1FalseLeavesImage1ControlsEnabled() {
  Fixture f;
  f.writeIni("[Pict1Options]\nGAZOU1=0\nATADJ1=1\n[OutStyl]\nTIMSTMP1=1\n");
  TSnapfolio& w = f.open();
  QVERIFY(!w.form().Gazou1->isChecked());
  // the box never changed state, so its rule did not run
  QVERIFY(allEnabled(imageControls(w, 1), true));
  QVERIFY(w.form().AutoAdjust1->isChecked());
  QVERIFY(w.form().CheckTimeStmp1->isChecked());
  // the first toggle runs it
  w.form().Gazou1->setChecked(true);
  w.form().Gazou1->setChecked(false);
  QVERIFY(allEnabled(imageControls(w, 1), false));
}

void MainWindowTest::storedHtmlckTrueEnablesTheHtmlControls() {
  Fixture f;
  f.writeIni("[OutStyl]\nHTMLCK=1\n");
  TSnapfolio& w = f.open();
  QVERIFY(w.form().HtmlCnv->isChecked());
  QVERIFY(allEnabled(htmlControls(w), true));
}

void MainWindowTest::uncheckingAnImageDisablesAndClearsItsSwitches_data() {
  QTest::addColumn<int>("image");
  QTest::newRow("image 1") << 1;
  QTest::newRow("image 2") << 2;
}

void MainWindowTest::uncheckingAnImageDisablesAndClearsItsSwitches() {
  QFETCH(int, image);
  Fixture f;
  f.writeIni(
      "[Pict1Options]\nWIDTH1=150\nPRIFN1=a\nATADJ1=1\n[Pict2Options]\nWIDTH2=800\nPRIFN2=b\n"
      "ATADJ2=1\n[OutStyl]\nTIMSTMP1=1\nTIMSTMP2=1\n");
  TSnapfolio& w = f.open();
  QCheckBox* gazou = image == 1 ? w.form().Gazou1 : w.form().Gazou2;
  QCheckBox* adjust = image == 1 ? w.form().AutoAdjust1 : w.form().AutoAdjust2;
  QCheckBox* stamp = image == 1 ? w.form().CheckTimeStmp1 : w.form().CheckTimeStmp2;
  QLineEdit* width = image == 1 ? w.form().Width1 : w.form().Width2;
  QLineEdit* prefix = image == 1 ? w.form().PriFileName1 : w.form().PriFileName2;
  QVERIFY(adjust->isChecked() && stamp->isChecked());
  const QString widthText = width->text();

  gazou->setChecked(false);
  QVERIFY(allEnabled(imageControls(w, image), false));
  QVERIFY(!adjust->isChecked());
  QVERIFY(!stamp->isChecked());
  QCOMPARE(width->text(), widthText);
  QCOMPARE(prefix->text(), image == 1 ? QStringLiteral("a") : QStringLiteral("b"));
  // the other image is untouched
  QVERIFY(allEnabled(imageControls(w, 3 - image), true));
  QVERIFY((image == 1 ? w.form().AutoAdjust2 : w.form().AutoAdjust1)->isChecked());
}

void MainWindowTest::checkingAnImageRestoresItsSwitchesFromTheFile_data() {
  QTest::addColumn<int>("image");
  QTest::newRow("image 1") << 1;
  QTest::newRow("image 2") << 2;
}

void MainWindowTest::checkingAnImageRestoresItsSwitchesFromTheFile() {
  QFETCH(int, image);
  Fixture f;
  f.writeIni(
      "[Pict1Options]\nATADJ1=1\n[Pict2Options]\nATADJ2=1\n[OutStyl]\nTIMSTMP1=0\n"
      "TIMSTMP2=0\n");
  TSnapfolio& w = f.open();
  QCheckBox* gazou = image == 1 ? w.form().Gazou1 : w.form().Gazou2;
  QCheckBox* adjust = image == 1 ? w.form().AutoAdjust1 : w.form().AutoAdjust2;
  QCheckBox* stamp = image == 1 ? w.form().CheckTimeStmp1 : w.form().CheckTimeStmp2;
  // a change made since the last run is discarded by unchecking and checking again
  adjust->setChecked(false);
  stamp->setChecked(true);
  gazou->setChecked(false);
  gazou->setChecked(true);
  QVERIFY(allEnabled(imageControls(w, image), true));
  QVERIFY(adjust->isChecked());
  QVERIFY(!stamp->isChecked());

  // the file is read anew on every check, not remembered from start-up
  {
    TIniFile ini(f.iniPath());
    ini.WriteBool(image == 1 ? "Pict1Options" : "Pict2Options", image == 1 ? "ATADJ1" : "ATADJ2",
                  false);
    ini.WriteBool("OutStyl", image == 1 ? "TIMSTMP1" : "TIMSTMP2", true);
  }
  gazou->setChecked(false);
  gazou->setChecked(true);
  QVERIFY(!adjust->isChecked());
  QVERIFY(stamp->isChecked());
}

void MainWindowTest::htmlCnvEnablesItsEightControls() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().HtmlFile->setText("page.html");
  w.form().HtmlCnv->setChecked(true);
  QVERIFY(allEnabled(htmlControls(w), true));
  w.form().HtmlCnv->setChecked(false);
  QVERIFY(allEnabled(htmlControls(w), false));
  QCOMPARE(w.form().HtmlFile->text(), QStringLiteral("page.html"));
  QVERIFY(!std::filesystem::exists(f.iniPath()));  // no settings are read or written
}

void MainWindowTest::settingsPathIsFixedAtConstruction() {
  Fixture f;
  TSnapfolio& w = f.open();
  QCOMPARE(w.settingsPath(), f.dir.path().string() + "/Snapfolio.ini");
  QCOMPARE(w.startDirectory(), f.dir.path().string());
  // without an injected directory, the process's working directory at construction
  TSnapfolio plain(MainWindowEnvironment{{}, f.dialogs});
  QCOMPARE(plain.settingsPath(), QDir::currentPath().toStdString() + "/Snapfolio.ini");
}

void MainWindowTest::quittingWritesNothing() {
  Fixture f;
  const std::string stored =
      "[Snapfolio]\nTOP=10\nLEFT=20\n[Pict1Options]\nGAZOU1=1\nWIDTH1=150\nATADJ1=1\n";
  f.writeIni(stored);
  TSnapfolio& w = f.open();
  w.show();
  w.form().Width1->setText("999");
  w.form().Gazou2->setChecked(false);
  w.form().HtmlCnv->setChecked(true);
  w.move(300, 200);
  QTest::mouseClick(w.form().Cancel, Qt::LeftButton);
  QVERIFY(!w.isVisible());
  QCOMPARE(test::readFile(f.iniPath()), stored);
  QCOMPARE(QDir(QString::fromStdString(f.dir.path().string())).entryList(QDir::Files),
           QStringList{"Snapfolio.ini"});
  QVERIFY(f.dialogs->boxes.empty());
}

void MainWindowTest::dialogButtonsShowTheLinkedDialogs() {
  Fixture f;
  TSnapfolio& w = f.open();
  // unlinked buttons do nothing
  QTest::mouseClick(w.form().FontButton1, Qt::LeftButton);
  QTest::mouseClick(w.form().AdjstButton2, Qt::LeftButton);

  FakeDialog time1, time2, correction, photo;
  w.setLinks({&time1, &time2, &correction, {}, {}, {}, &photo, {}});
  QTest::mouseClick(w.form().FontButton1, Qt::LeftButton);
  QCOMPARE(time1.shown, 1);
  QCOMPARE(time2.shown, 0);
  QTest::mouseClick(w.form().FontButton2, Qt::LeftButton);
  QCOMPARE(time2.shown, 1);
  QTest::mouseClick(w.form().AdjstButton1, Qt::LeftButton);
  QTest::mouseClick(w.form().AdjstButton2, Qt::LeftButton);
  QCOMPARE(correction.shown, 2);
  QCOMPARE(time1.shown, 1);
  QTest::mouseClick(w.form().PhotoButton, Qt::LeftButton);
  QCOMPARE(photo.shown, 1);
}

void MainWindowTest::photoDialogStartsAtIndirThenAtTheLastPhoto() {
  Fixture f;
  f.writeIni("[InOutFile]\nINDIR=/photos/old.jpg\n");
  TSnapfolio& w = f.open();
  f.dialogs->photoAnswers = {std::nullopt, QStringList{"/a/first.JPG", "/a/second.jpg"},
                             QStringList{"/b/third.jpg"}};
  QVERIFY(!w.choosePhotos());
  QCOMPARE(w.photoDialogFileName(), std::string());
  QCOMPARE(*w.choosePhotos(), (QStringList{"/a/first.JPG", "/a/second.jpg"}));
  QCOMPARE(w.photoDialogFileName(), std::string("/a/first.JPG"));
  QVERIFY(w.choosePhotos());
  QCOMPARE(w.photoDialogFileName(), std::string("/b/third.jpg"));
  QCOMPARE(f.dialogs->photoStarts,
           (QStringList{"/photos/old.jpg", "/photos/old.jpg", "/a/first.JPG"}));
}

// Without output image 1's width the preview says so before asking for a photo; without a
// photo chosen it does nothing.
void MainWindowTest::previewWithoutAChoiceOrWidthWritesNothing() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().Width1->clear();
  w.form().Gazou1->setChecked(false);  // the preview does not depend on Gazou1
  QTest::mouseClick(w.form().InButton, Qt::LeftButton);
  QVERIFY(f.dialogs->photoStarts.isEmpty());
  QCOMPARE(f.dialogs->boxes.size(), 1);
  QVERIFY(f.dialogs->boxes[0].text.contains(QStringLiteral("出力画像1の横幅")));
  w.form().Width1->setText("100");
  f.dialogs->photoAnswers = {std::nullopt};
  QTest::mouseClick(w.form().InButton, Qt::LeftButton);
  QCOMPARE(f.dialogs->photoStarts.size(), 1);
  QCOMPARE(f.dialogs->boxes.size(), 1);
  QVERIFY(w.form().Image1->isHidden());
  QCOMPARE(w.form().CGauge1->value(), 0);
  QVERIFY(!std::filesystem::exists(f.iniPath()));
}

void MainWindowTest::breakButtonSetsTheStopRequest() {
  Fixture f;
  TSnapfolio& w = f.open();
  QVERIFY(!w.stopRequested());
  w.BreakButton1Click();
  QVERIFY(w.stopRequested());
  w.clearStopRequest();
  QVERIFY(!w.stopRequested());
}

void MainWindowTest::messagePortShowsBoxesOnTheUiThread() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.messagePort().showMessage("変換終了");
  std::atomic<bool> done = false;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    w.messagePort().showError("0005 : /p.jpgのJPEGからの変換に失敗した。");
    w.messagePort().showFileError("x");
    done = true;
  }));
  worker->start();
  QTRY_VERIFY(done.load());
  worker->wait();
  QCOMPARE(f.dialogs->boxes.size(), 3u);
  QCOMPARE(f.dialogs->boxes[0].caption, QStringLiteral("Snapfolio"));
  QCOMPARE(f.dialogs->boxes[0].text, QStringLiteral("変換終了"));
  QCOMPARE(f.dialogs->boxes[1].caption, QStringLiteral("ERROR"));
  QCOMPARE(f.dialogs->boxes[1].text, QStringLiteral("0005 : /p.jpgのJPEGからの変換に失敗した。"));
  QCOMPARE(f.dialogs->boxes[2].caption, QStringLiteral("File Error"));
  for (const auto& box : f.dialogs->boxes) QCOMPARE(box.thread, w.thread());
}

void MainWindowTest::templateChooserFillsAndStoresTheTemplate() {
  Fixture f;
  f.writeIni("[OutStyl]\nHTMLCK=1\nHTMLTMP=/old/templates/a.dat\n");
  TSnapfolio& w = f.open();
  f.dialogs->templateAnswers = {QStringLiteral("/new/テンプレート.dat")};
  QTest::mouseClick(w.form().HtmlTemplate, Qt::LeftButton);
  QCOMPARE(f.dialogs->templateStarts, QStringList{"/old/templates/"});
  QCOMPARE(w.form().HtmlTemplateFile->text(), QStringLiteral("/new/テンプレート.dat"));
  QCOMPARE(TIniFile(f.iniPath()).ReadString("OutStyl", "HTMLTMP", ""),
           std::string("/new/テンプレート.dat"));
  QVERIFY(f.dialogs->boxes.empty());
}

void MainWindowTest::templateChooserCancelledKeepsTheStartDirectory() {
  Fixture f;
  f.writeIni("[OutStyl]\nHTMLCK=1\n");
  TSnapfolio& w = f.open();
  const std::string before = test::readFile(f.iniPath());
  QTest::mouseClick(w.form().HtmlTemplate, Qt::LeftButton);
  const QString start = QString::fromStdString(f.dir.path().string() + "/");
  QCOMPARE(w.form().HtmlTemplateFile->text(), start);
  QCOMPARE(f.dialogs->templateStarts, QStringList{start});
  QCOMPARE(test::readFile(f.iniPath()), before);
}

void MainWindowTest::templateChooserReportsAFileError() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().HtmlCnv->setChecked(true);
  // a directory in the settings file's place cannot be written
  std::filesystem::create_directories(f.iniPath());
  f.dialogs->templateAnswers = {QStringLiteral("/t/a.dat")};
  QTest::mouseClick(w.form().HtmlTemplate, Qt::LeftButton);
  QCOMPARE(f.dialogs->boxes.size(), 1u);
  QCOMPARE(f.dialogs->boxes[0].caption, QStringLiteral("File Error"));
  QCOMPARE(
      f.dialogs->boxes[0].text,
      QStringLiteral("以下のファイルの操作を実行することができない.: Open, Seek, Read, Close."));
}

void MainWindowTest::pageChooserKeepsOnlyTheFileName() {
  Fixture f;
  f.writeIni("[OutStyl]\nHTMLCK=1\nHTMLFIL=old.html\n");
  TSnapfolio& w = f.open();
  f.dialogs->pageAnswers = {std::nullopt, QStringLiteral("/elsewhere/dir/album.html")};
  QTest::mouseClick(w.form().HtmlButton, Qt::LeftButton);
  QCOMPARE(w.form().HtmlFile->text(), QStringLiteral("old.html"));
  QTest::mouseClick(w.form().HtmlButton, Qt::LeftButton);
  QCOMPARE(w.form().HtmlFile->text(), QStringLiteral("album.html"));
  const QString out = QString::fromStdString(w.outputDirectory());
  QCOMPARE(f.dialogs->pageStarts, (QStringList{out, out}));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
