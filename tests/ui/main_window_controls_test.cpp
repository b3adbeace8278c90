// The main window's own controls: the gauge, the directory list and the file choosers'
// filters.
#include <filesystem>

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include "support/fixtures.h"
#include "ui/common/gauge_bar.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window_dialogs.h"

using namespace snapfolio;
namespace fs = std::filesystem;

namespace {

QStringList entryTexts(const QTreeWidget& list) {
  QStringList texts;
  for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&list)); *it; ++it) {
    texts << (*it)->text(0);
  }
  return texts;
}

QTreeWidgetItem* entry(QTreeWidget& list, const QString& text) {
  for (QTreeWidgetItemIterator it(&list); *it; ++it) {
    if ((*it)->text(0) == text) return *it;
  }
  return nullptr;
}

// The names a non-native file dialog lists in its folder under the selected filter (the folder
// loads in the background: compare with QTRY_COMPARE).
QStringList listedNames(QFileDialog& dialog) {
  auto* model = dialog.findChild<QFileSystemModel*>();
  auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  if (model == nullptr || view == nullptr) return {QStringLiteral("<no view>")};
  QStringList names;
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
    names << view->model()->index(row, 0, view->rootIndex()).data().toString();
  }
  names.sort();
  return names;
}

// Whether `name` matches one of the filter's patterns case-sensitively, as a platform dialog
// that compares letter case would match it.
bool matchesCaseSensitively(const QString& filter, const QString& name) {
  const qsizetype open = filter.lastIndexOf('(');
  const QStringList patterns =
      filter.mid(open + 1, filter.size() - open - 2).split(' ', Qt::SkipEmptyParts);
  for (const QString& p : patterns) {
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p));
    if (re.match(name).hasMatch()) return true;
  }
  return false;
}

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void gaugeKeepsItsValueWithinZeroAndItsMaximum();
  void directoryListShowsTheChainAndTheSubdirectories();
  void directoryListKeepsTheTextAsSet();
  void directoryListOpensAnActivatedEntry();
  void directoryListRereadsOnlyWhenTheChildrenChanged();
  void photoDialogMatchesJpegInAnyLetterCase();
  void photoDialogOpensAtTheFolderOfAStartFile();
  void templateAndPageChoosersFilters();
};

void ControlsTest::gaugeKeepsItsValueWithinZeroAndItsMaximum() {
  GaugeBar gauge(1);
  auto* bar = gauge.findChild<QProgressBar*>();
  QVERIFY(bar != nullptr);
  gauge.advance();
  gauge.advance();
  QCOMPARE(gauge.value(), 1);  // advancing past the maximum stops there
  gauge.setMaximum(12);
  gauge.advance(5);
  QCOMPARE(gauge.value(), 6);
  QCOMPARE(bar->value(), 6);
  QCOMPARE(bar->maximum(), 12);
  gauge.setMaximum(1);  // a smaller maximum lowers the value
  QCOMPARE(gauge.value(), 1);
  QCOMPARE(bar->value(), 1);
  gauge.setValue(-4);
  QCOMPARE(gauge.value(), 0);
  gauge.setValue(40);
  QCOMPARE(gauge.value(), 1);
  gauge.setMaximum(0);
  QCOMPARE(gauge.value(), 0);
  QVERIFY(bar->maximum() > 0);  // never the busy indicator of a zero range
  QCOMPARE(bar->value(), 0);
}

void ControlsTest::directoryListShowsTheChainAndTheSubdirectories() {
  test::TempDir tmp;
  fs::create_directories(tmp / "album" / "b-sub");
  fs::create_directories(tmp / "album" / "A-sub");
  fs::create_directories(tmp / "album" / ".hidden");
  test::writeFile(tmp / "album" / "file.jpg", "x");
  DirectoryList list;
  const QString album = QString::fromStdString((tmp / "album").string());
  list.setDirectory(album);
  QStringList expected{"/"};
  for (const QString& part : album.split('/', Qt::SkipEmptyParts)) expected << part;
  expected << "A-sub"
           << "b-sub";
  QCOMPARE(entryTexts(list), expected);
  QCOMPARE(list.currentItem()->text(0), QStringLiteral("album"));
  // each level is one further in
  QCOMPARE(entry(list, "A-sub")->parent(), entry(list, "album"));
  QCOMPARE(entry(list, "album")->parent()->parent() != nullptr, true);
}

void ControlsTest::directoryListKeepsTheTextAsSet() {
  test::TempDir tmp;
  fs::create_directories(tmp / "x");
  DirectoryList list;
  QSignalSpy changed(&list, &DirectoryList::directoryChanged);
  const QString withSlash = QString::fromStdString(tmp.path().string()) + "/";
  list.setDirectory(withSlash);
  QCOMPARE(list.directory(), withSlash);
  QVERIFY(entry(list, "x") != nullptr);
  list.setDirectory(QStringLiteral("/"));
  QCOMPARE(list.directory(), QStringLiteral("/"));
  QCOMPARE(list.topLevelItemCount(), 1);
  QCOMPARE(changed.count(), 2);
  list.setDirectory(QStringLiteral("/"));
  QCOMPARE(changed.count(), 2);  // the same text is no change
}

void ControlsTest::directoryListOpensAnActivatedEntry() {
  test::TempDir tmp;
  fs::create_directories(tmp / "a" / "b");
  DirectoryList list;
  const QString a = QString::fromStdString((tmp / "a").string());
  list.setDirectory(a);
  QSignalSpy changed(&list, &DirectoryList::directoryChanged);
  emit list.itemActivated(entry(list, "b"), 0);
  QCOMPARE(list.directory(), a + "/b");
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.at(0).at(0).toString(), a + "/b");
  // back up the chain
  emit list.itemActivated(entry(list, "a"), 0);
  QCOMPARE(list.directory(), a);
  emit list.itemActivated(entry(list, "/"), 0);
  QCOMPARE(list.directory(), QStringLiteral("/"));
}

void ControlsTest::directoryListRereadsOnlyWhenTheChildrenChanged() {
  test::TempDir tmp;
  fs::create_directories(tmp / "one");
  DirectoryList list;
  const QString root = QString::fromStdString(tmp.path().string());
  list.setDirectory(root);
  QTreeWidgetItem* one = entry(list, "one");
  list.setCurrentItem(one);
  list.setDirectory(root);
  QCOMPARE(entry(list, "one"), one);  // nothing rebuilt
  QCOMPARE(list.currentItem(), one);
  fs::create_directories(tmp / "two");
  list.setDirectory(root);
  QVERIFY(entry(list, "two") != nullptr);
  QCOMPARE(list.currentItem()->text(0), QStringLiteral("one"));  // the selection survives
}

void ControlsTest::photoDialogMatchesJpegInAnyLetterCase() {
  test::TempDir tmp;
  for (const char* name :
       {"a.JPG", "b.jpeg", "c.Jpg", "d.JPEG", "e.jpg", "f.txt", "g.jpg.bak", "jpg"}) {
    test::writeFile(tmp / name, "x");
  }
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  setUpPhotoDialog(dialog, QString::fromStdString(tmp.path().string()));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("フォトソース選択"));
  QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFiles);
  auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  QVERIFY(types != nullptr);
  QCOMPARE(types->count(), 3);
  QCOMPARE(types->itemText(0), QStringLiteral("JPEGファイル(*.jpeg;*.jpg)"));
  QCOMPARE(types->itemText(1), QStringLiteral("写真ファイル"));
  QCOMPARE(types->itemText(2), QStringLiteral("すべてのファイル"));
  // The entry for every photo format takes HEIC and raw files, in any letter case.
  for (const char* name : {"p.HEIC", "q.png", "r.tiff", "s.webp", "t.NEF", "u.jpg"}) {
    QVERIFY2(matchesCaseSensitively(dialog.nameFilters().at(1), name), name);
  }
  QTRY_COMPARE(listedNames(dialog), (QStringList{"a.JPG", "b.jpeg", "c.Jpg", "d.JPEG", "e.jpg"}));
  const QString jpeg = dialog.nameFilters().at(0);
  for (const char* name : {"a.JPG", "b.jpeg", "c.Jpg", "d.JPEG", "e.jpg", "x.jPeG"}) {
    QVERIFY2(matchesCaseSensitively(jpeg, name), name);
  }
  for (const char* name : {"f.txt", "g.jpg.bak", "jpg", "h.jpgx"}) {
    QVERIFY2(!matchesCaseSensitively(jpeg, name), name);
  }
  dialog.selectNameFilter(dialog.nameFilters().at(2));
  QTRY_COMPARE(listedNames(dialog).size(), 8);
}

void ControlsTest::photoDialogOpensAtTheFolderOfAStartFile() {
  test::TempDir tmp;
  fs::create_directories(tmp / "photos");
  test::writeFile(tmp / "photos" / "p1.jpg", "x");
  const QString photos = QString::fromStdString((tmp / "photos").string());
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  setUpPhotoDialog(dialog, photos + "/p1.jpg");
  QCOMPARE(dialog.directory().absolutePath(), photos);
  QCOMPARE(dialog.selectedFiles(), QStringList{photos + "/p1.jpg"});
  QFileDialog fromFolder;
  fromFolder.setOption(QFileDialog::DontUseNativeDialog, true);
  setUpPhotoDialog(fromFolder, photos);
  QCOMPARE(fromFolder.directory().absolutePath(), photos);
  // a file that is gone still opens its folder
  QFileDialog gone;
  gone.setOption(QFileDialog::DontUseNativeDialog, true);
  setUpPhotoDialog(gone, photos + "/gone.jpg");
  QCOMPARE(gone.directory().absolutePath(), photos);
}

void ControlsTest::templateAndPageChoosersFilters() {
  test::TempDir tmp;
  for (const char* name : {"a.dat", "B.DAT", "c.html", "D.HTM", "e.txt"}) {
    test::writeFile(tmp / name, "x");
  }
  const QString dir = QString::fromStdString(tmp.path().string());
  QFileDialog templates;
  templates.setOption(QFileDialog::DontUseNativeDialog, true);
  setUpTemplateDialog(templates, dir + "/");
  QCOMPARE(templates.windowTitle(), QStringLiteral("ＨＴＭＬテンプレート選択"));
  QCOMPARE(templates.fileMode(), QFileDialog::ExistingFile);
  QTRY_COMPARE(listedNames(templates), (QStringList{"B.DAT", "a.dat"}));
  QFileDialog page;
  page.setOption(QFileDialog::DontUseNativeDialog, true);
  setUpPageFileDialog(page, dir);
  QCOMPARE(page.windowTitle(), QStringLiteral("出力ＨＴＭＬファイル選択"));
  QCOMPARE(page.fileMode(), QFileDialog::AnyFile);  // a new page name may be typed
  QTRY_COMPARE(listedNames(page), (QStringList{"D.HTM", "c.html"}));
}

QTEST_MAIN(ControlsTest)
#include "main_window_controls_test.moc"
