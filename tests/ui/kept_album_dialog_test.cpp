// The dialog "アルバムサイト": an old settings file shows empty fields and is not touched, "作成"
// stores the fields (folders made absolute) and a new dialog shows them again, and the fields
// that cannot be run are refused with the reason.
#include "ui/kept_album/kept_album_dialog.h"

// Standard library
#include <filesystem>
#include <string>

// Qt
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Project
#include "support/fixtures.h"

using snapfolio::KeptAlbumFields;
using snapfolio::TKeptAlbum;

namespace {

QLineEdit* edit(const QWidget& dialog, const char* name) {
  auto* found = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("no control %s", name);
  return found;
}

}  // namespace

class KeptAlbumDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void oldSettingsFileShowsEmptyFields() {
    snapfolio::test::TempDir dir;
    const std::filesystem::path path = dir / "Snapfolio.ini";
    std::filesystem::copy_file(snapfolio::test::fixturePath("cp932-settings.ini"), path);
    const std::string before = snapfolio::test::readFile(path);
    TKeptAlbum dialog(path.string());
    QVERIFY(dialog.fields().source.empty());
    QVERIFY(dialog.fields().site.empty());
    QVERIFY(!dialog.fields().copyOriginals);
    QCOMPARE(snapfolio::test::readFile(path), before);
  }

  void createStoresTheFieldsForTheNextDialog() {
    snapfolio::test::TempDir dir;
    std::filesystem::create_directories(dir / "photos");
    const std::string path = (dir / "Snapfolio.ini").string();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    TKeptAlbum dialog(path);
    dialog.show();
    edit(dialog, "SourceDir")->setText("photos/");
    edit(dialog, "SiteDir")->setText("photos/../site");
    edit(dialog, "SiteTitle")->setText("夏");
    dialog.findChild<QCheckBox*>("CopyOriginals")->setChecked(true);
    QTest::mouseClick(dialog.findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    std::filesystem::current_path(previous);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    const KeptAlbumFields shown = TKeptAlbum(path).fields();
    QCOMPARE(shown.source, (dir / "photos").string());
    QCOMPARE(shown.site, (dir / "site").string());
    QCOMPARE(shown.title, std::string("夏"));
    QVERIFY(shown.copyOriginals);
  }

  void fieldsThatCannotRun_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("site");
    QTest::addColumn<bool>("refused");
    QTest::newRow("no source") << ""
                               << "/site" << true;
    QTest::newRow("source missing") << "/no/such/folder"
                                    << "/site" << true;
    QTest::newRow("no site") << "."
                             << "" << true;
    QTest::newRow("source is the site") << "."
                                        << "." << true;
    QTest::newRow("source inside the site") << "./photos"
                                            << "." << true;
    QTest::newRow("site inside the source") << "."
                                            << "./site" << false;
    QTest::newRow("site beside the source") << "./photos"
                                            << "./photos-site" << false;
  }

  void fieldsThatCannotRun() {
    QFETCH(QString, source);
    QFETCH(QString, site);
    QFETCH(bool, refused);
    snapfolio::test::TempDir dir;
    std::filesystem::create_directories(dir / "photos");
    const auto absolute = [&](const QString& folder) {
      return folder.startsWith('.')
                 ? snapfolio::absoluteFolder((dir / folder.toStdString()).string())
                 : folder.toStdString();
    };
    KeptAlbumFields fields;
    fields.source = absolute(source);
    fields.site = absolute(site);
    QCOMPARE(!snapfolio::keptAlbumProblem(fields).isEmpty(), refused);
  }
};

QTEST_MAIN(KeptAlbumDialogTest)
#include "kept_album_dialog_test.moc"
