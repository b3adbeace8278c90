// The dialog "詳細設定": an old settings file shows the defaults and is not touched, "設定" stores
// what the controls show and a new dialog shows it again, "キャンセル" brings back what is stored.
#include "ui/photo_options/photo_options_dialog.h"

// Standard library
#include <filesystem>
#include <string>

// Qt
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// Project
#include "settings/ini_file.h"
#include "support/fixtures.h"

using snapfolio::DateSource;
using snapfolio::MetadataMode;
using snapfolio::PhotoOptions;
using snapfolio::TPhotoPropty;

namespace {

template <typename T>
T* control(const QWidget& dialog, const char* name) {
  T* found = dialog.findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("no control %s", name);
  return found;
}

}  // namespace

class PhotoOptionsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void oldSettingsFileShowsTheDefaults() {
    snapfolio::test::TempDir dir;
    const std::filesystem::path path = dir / "Snapfolio.ini";
    std::filesystem::copy_file(snapfolio::test::fixturePath("cp932-settings.ini"), path);
    const std::string before = snapfolio::test::readFile(path);
    TPhotoPropty dialog(path.string());
    QCOMPARE(dialog.photoOptions(), PhotoOptions{});
    QCOMPARE(snapfolio::test::readFile(path), before);
  }

  void setStoresTheOptionsAndCancelRestoresThem() {
    snapfolio::test::TempDir dir;
    const std::string path = (dir / "Snapfolio.ini").string();
    TPhotoPropty dialog(path);
    dialog.show();
    // Every control away from its default.
    control<QCheckBox>(dialog, "Orientation")->setChecked(false);
    control<QCheckBox>(dialog, "ColorProfile")->setChecked(false);
    control<QCheckBox>(dialog, "NoEnlarge")->setChecked(true);
    control<QRadioButton>(dialog, "TakenDate")->setChecked(true);
    control<QRadioButton>(dialog, "MetadataPrivate")->setChecked(true);
    control<QCheckBox>(dialog, "WebpOutput")->setChecked(true);
    const PhotoOptions changed{false, false, DateSource::DateTaken, MetadataMode::KeepPrivate,
                               true, snapfolio::OutputFormat::Webp};
    QTest::mouseClick(control<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(TPhotoPropty(path).photoOptions(), changed);

    dialog.show();
    control<QRadioButton>(dialog, "MetadataAll")->setChecked(true);
    control<QCheckBox>(dialog, "Orientation")->setChecked(true);
    QTest::mouseClick(control<QPushButton>(dialog, "CancelButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.photoOptions(), changed);
  }
};

QTEST_MAIN(PhotoOptionsDialogTest)
#include "photo_options_dialog_test.moc"
