// The output-directory group of the main window: MakeDir, DspDir and the events that re-check
// the directory list.
#include <filesystem>
#include <memory>

#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "support/fixtures.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window.h"
#include "ui/recording_dialogs.h"

using namespace snapfolio;
namespace fs = std::filesystem;

namespace {

const QString kCannotEnter = QStringLiteral("ディレクトリの移動に失敗しました。\n");
const QString kCannotCreate = QStringLiteral("ディレクトリは作成できませんでした\n");

struct Fixture {
  test::TempDir dir;
  std::shared_ptr<test::RecordingDialogs> dialogs = std::make_shared<test::RecordingDialogs>();
  std::unique_ptr<TSnapfolio> window;

  TSnapfolio& open() {
    window = std::make_unique<TSnapfolio>(MainWindowEnvironment{dir.path().string(), dialogs});
    return *window;
  }
  QString path(const std::string& relative = {}) const {
    return QString::fromStdString(relative.empty() ? dir.path().string()
                                                   : (dir / relative).string());
  }
};

std::vector<fs::path> treeOf(const fs::path& root) {
  std::vector<fs::path> entries;
  for (const auto& e : fs::recursive_directory_iterator(root)) entries.push_back(e.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace

class MainWindowDirsTest : public QObject {
  Q_OBJECT

 private slots:
  void makeDirCreatesAndMovesTheList();
  void makeDirRefusesBadNames_data();
  void makeDirRefusesBadNames();
  void makeDirInADirectoryNobodyCanWrite();
  void makeDirWhenTheOutputDirectoryVanished();
  void makeDirKeepsTheWorkingDirectory();
  void dspDirMovesToTheNearestExistingAncestor();
  void dspDirWithNothingLeftKeepsTheList();
  void timerAndFocusChangesRecheckTheList();
  void enteringGroupBox1RechecksTheList();
};

void MainWindowDirsTest::makeDirCreatesAndMovesTheList() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().NewDir->setText(QStringLiteral("2024 夏"));
  QTest::mouseClick(w.form().MakeDir, Qt::LeftButton);
  QVERIFY(f.dialogs->boxes.empty());
  QVERIFY(fs::is_directory(fs::u8path((f.dir / "2024 夏").string())));
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path() + QStringLiteral("/2024 夏"));
  QCOMPARE(QString::fromStdString(w.outputDirectory()), f.path() + QStringLiteral("/2024 夏"));
  QCOMPARE(w.form().NewDir->text(), QStringLiteral("2024 夏"));
  // a list directory ending in "/" gets a second one
  w.form().DirectoryListBox1->setDirectory(f.path() + "/");
  w.form().NewDir->setText("b");
  w.MakeDirClick();
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path() + "//b");
  QVERIFY(fs::is_directory(f.dir / "b"));
}

void MainWindowDirsTest::makeDirRefusesBadNames_data() {
  QTest::addColumn<QString>("name");
  QTest::newRow("empty") << QString();
  QTest::newRow("existing directory") << QStringLiteral("existing");
  QTest::newRow("existing file") << QStringLiteral("file.txt");
  QTest::newRow("slash") << QStringLiteral("a/b");
  QTest::newRow("into a subdirectory") << QStringLiteral("existing/inner");
  QTest::newRow("absolute") << QStringLiteral("/tmp/snapfolio-escape");
  QTest::newRow("dot dot") << QStringLiteral("..");
  QTest::newRow("climbing") << QStringLiteral("../escape");
  QTest::newRow("300 characters") << QString(300, QLatin1Char('x'));
}

void MainWindowDirsTest::makeDirRefusesBadNames() {
  QFETCH(QString, name);
  Fixture f;
  fs::create_directories(f.dir / "out" / "existing");
  test::writeFile(f.dir / "out" / "file.txt", "x");
  TSnapfolio& w = f.open();
  w.form().DirectoryListBox1->setDirectory(f.path("out"));
  const auto before = treeOf(f.dir.path());
  w.form().NewDir->setText(name);
  QTest::mouseClick(w.form().MakeDir, Qt::LeftButton);
  QCOMPARE(f.dialogs->boxes.size(), 1u);
  QCOMPARE(f.dialogs->boxes[0].caption, QStringLiteral("File Error"));
  QCOMPARE(f.dialogs->boxes[0].text, kCannotCreate);
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path("out"));
  QCOMPARE(w.form().NewDir->text(), name);
  QCOMPARE(treeOf(f.dir.path()), before);
  QVERIFY(!fs::exists("/tmp/snapfolio-escape"));
}

void MainWindowDirsTest::makeDirInADirectoryNobodyCanWrite() {
  Fixture f;
  TSnapfolio& w = f.open();
  // /proc takes no new directories, not even from root (which writes read-only directories)
  w.form().DirectoryListBox1->setDirectory(QStringLiteral("/proc"));
  w.form().NewDir->setText(QStringLiteral("snapfolio-new"));
  w.MakeDirClick();
  QCOMPARE(f.dialogs->boxes.size(), 1u);
  QCOMPARE(f.dialogs->boxes[0].text, kCannotCreate);
  QCOMPARE(w.form().DirectoryListBox1->directory(), QStringLiteral("/proc"));
  QVERIFY(!fs::exists("/proc/snapfolio-new"));
}

void MainWindowDirsTest::makeDirWhenTheOutputDirectoryVanished() {
  Fixture f;
  fs::create_directories(f.dir / "gone");
  TSnapfolio& w = f.open();
  w.form().DirectoryListBox1->setDirectory(f.path("gone"));
  fs::remove(f.dir / "gone");
  w.form().NewDir->setText(QStringLiteral("new"));
  w.MakeDirClick();
  QCOMPARE(f.dialogs->boxes.size(), 1u);
  QCOMPARE(f.dialogs->boxes[0].caption, QStringLiteral("File Error"));
  QCOMPARE(f.dialogs->boxes[0].text, kCannotEnter);
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path("gone"));
  QVERIFY(!fs::exists(f.dir / "gone"));
  QVERIFY(!fs::exists(f.dir / "new"));
}

void MainWindowDirsTest::makeDirKeepsTheWorkingDirectory() {
  Fixture f;
  TSnapfolio& w = f.open();
  const fs::path before = fs::current_path();
  w.form().NewDir->setText("kept");
  w.MakeDirClick();
  QCOMPARE(fs::current_path(), before);
  QCOMPARE(w.settingsPath(), f.dir.path().string() + "/Snapfolio.ini");
}

void MainWindowDirsTest::dspDirMovesToTheNearestExistingAncestor() {
  Fixture f;
  fs::create_directories(f.dir / "a" / "b" / "c");
  TSnapfolio& w = f.open();
  w.form().DirectoryListBox1->setDirectory(f.path("a/b/c"));
  w.DspDirClick();
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path("a/b/c"));  // existing: unchanged
  fs::remove_all(f.dir / "a" / "b");
  QTest::mouseClick(w.form().DspDir, Qt::LeftButton);
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path("a") + "/");
  QVERIFY(f.dialogs->boxes.empty());
}

void MainWindowDirsTest::dspDirWithNothingLeftKeepsTheList() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().DirectoryListBox1->setDirectory(QStringLiteral("relative-and-missing"));
  w.DspDirClick();
  QCOMPARE(w.form().DirectoryListBox1->directory(), QStringLiteral("relative-and-missing"));
}

void MainWindowDirsTest::timerAndFocusChangesRecheckTheList() {
  Fixture f;
  fs::create_directories(f.dir / "t" / "u");
  TSnapfolio& w = f.open();
  QVERIFY(w.form().DirUpdateTimer->isActive());
  QCOMPARE(w.form().DirUpdateTimer->interval(), 2000);

  w.form().DirectoryListBox1->setDirectory(f.path("t/u"));
  fs::remove(f.dir / "t" / "u");
  QTRY_COMPARE_WITH_TIMEOUT(w.form().DirectoryListBox1->directory(), f.path("t") + "/", 3000);

  for (QEvent::Type type : {QEvent::FocusIn, QEvent::FocusOut}) {
    fs::create_directories(f.dir / "t" / "v");
    w.form().DirectoryListBox1->setDirectory(f.path("t/v"));
    fs::remove(f.dir / "t" / "v");
    QFocusEvent windowSwitch(type, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w.form().DirectoryListBox1, &windowSwitch);
    QCOMPARE(w.form().DirectoryListBox1->directory(),
             f.path("t/v"));  // not a move within the window
    QFocusEvent tab(type, Qt::TabFocusReason);
    QApplication::sendEvent(w.form().DirectoryListBox1, &tab);
    QCOMPARE(w.form().DirectoryListBox1->directory(), f.path("t") + "/");
  }
}

void MainWindowDirsTest::enteringGroupBox1RechecksTheList() {
  Fixture f;
  fs::create_directories(f.dir / "g");
  TSnapfolio& w = f.open();
  w.show();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  w.form().DirUpdateTimer->stop();  // only the focus change may move the list here
  w.form().Cancel->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), w.form().Cancel);
  w.form().DirectoryListBox1->setDirectory(f.path("g"));
  fs::remove(f.dir / "g");
  // from outside into the group
  w.form().NewDir->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), w.form().NewDir);
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path() + "/");
  fs::create_directories(f.dir / "h");
  w.form().DirectoryListBox1->setDirectory(f.path("h"));
  fs::remove(f.dir / "h");
  // within the group nothing is entered
  w.form().MakeDir->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), w.form().MakeDir);
  QCOMPARE(w.form().DirectoryListBox1->directory(), f.path("h"));
}

QTEST_MAIN(MainWindowDirsTest)
#include "main_window_dirs_test.moc"
