// Qt's own dialogs speak Japanese like the rest of the interface once the translations are
// installed: the photo dialog's field labels and buttons, and message box buttons.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "ui/common/standard_dialogs.h"

using namespace snapfolio;

class StandardDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm";
    if (!QFileInfo::exists(qm)) QSKIP("qt6-translations-l10n is not installed");
    QVERIFY(installStandardDialogTranslations(*qApp));
  }

  void fileDialogInJapanese() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* fileNameLabel = dialog.findChild<QLabel*>("fileNameLabel");
    QVERIFY(fileNameLabel != nullptr);
    QVERIFY2(fileNameLabel->text().contains(QStringLiteral("ファイル名")),
             qPrintable(fileNameLabel->text()));
    auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    QVERIFY(buttons != nullptr);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
  }

  void messageBoxButtonsInJapanese() {
    QMessageBox box(QMessageBox::NoIcon, "File Error", "x", QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
  }
};

QTEST_MAIN(StandardDialogsTest)
#include "standard_dialogs_test.moc"
