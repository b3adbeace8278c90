#include "ui/main_window/main_window_dialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "formats/photo_format.h"

namespace snapfolio {

namespace {

// "*.jpg" -> "*.[jJ][pP][gG]": some platform dialogs match patterns case-sensitively, and
// camera files are often named ".JPG".
QString anyCase(const QString& pattern) {
  QString out;
  for (QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      out += '[' + QString(c.toLower()) + QString(c.toUpper()) + ']';
    } else {
      out += c;
    }
  }
  return out;
}

// A filter whose shown name is `name` (the details are hidden) and whose patterns match
// `patterns` in any letter case.
QString filter(const QString& name, const QStringList& patterns) {
  QStringList matched;
  for (const QString& p : patterns) matched << anyCase(p);
  return name + " (" + matched.join(' ') + ')';
}

// "*.jpg" and the like for every photo extension.
QStringList photoPatterns() {
  QStringList patterns;
  for (std::string_view extension : kPhotoExtensions) {
    patterns << "*" +
                    QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size()));
  }
  return patterns;
}

void setUpChooser(QFileDialog& dialog, const QString& title, const QStringList& filters) {
  dialog.setWindowTitle(title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.front());
  dialog.setSizeGripEnabled(true);
}

void openIn(QFileDialog& dialog, const QString& start) {
  if (start.isEmpty()) return;
  const QFileInfo info(start);
  if (info.isDir()) {
    dialog.setDirectory(info.absoluteFilePath());
  } else if (info.dir().exists()) {
    dialog.setDirectory(info.absolutePath());
    if (info.exists()) dialog.selectFile(info.fileName());
  }
}

void box(QWidget* parent, const QString& caption, const QString& text,
         QMessageBox::StandardButtons buttons) {
  QMessageBox message(QMessageBox::NoIcon, caption, text, buttons, parent);
  message.exec();
}

}  // namespace

void setUpPhotoDialog(QFileDialog& dialog, const QString& start) {
  setUpChooser(dialog, QCoreApplication::translate("TSnapfolio", "フォトソース選択"),
               {filter(QCoreApplication::translate("TSnapfolio", "JPEGファイル(*.jpeg;*.jpg)"),
                       {"*.jpeg", "*.jpg"}),
                filter(QCoreApplication::translate("TSnapfolio", "写真ファイル"), photoPatterns()),
                filter(QCoreApplication::translate("TSnapfolio", "すべてのファイル"), {"*"})});
  dialog.setFileMode(QFileDialog::ExistingFiles);
  openIn(dialog, start);
}

void setUpTemplateDialog(QFileDialog& dialog, const QString& initialDirectory) {
  setUpChooser(dialog, QCoreApplication::translate("TSnapfolio", "ＨＴＭＬテンプレート選択"),
               {filter(QCoreApplication::translate("TSnapfolio", "DATファイル"), {"*.dat"}),
                filter(QCoreApplication::translate("TSnapfolio", "すべてのファイル"), {"*"})});
  dialog.setFileMode(QFileDialog::ExistingFile);
  openIn(dialog, initialDirectory);
}

void setUpPageFileDialog(QFileDialog& dialog, const QString& initialDirectory) {
  setUpChooser(
      dialog, QCoreApplication::translate("TSnapfolio", "出力ＨＴＭＬファイル選択"),
      {filter(QCoreApplication::translate("TSnapfolio", "HTMLファイル"), {"*.html", "*.htm"}),
       filter(QCoreApplication::translate("TSnapfolio", "すべてのファイル"), {"*"})});
  dialog.setFileMode(QFileDialog::AnyFile);
  openIn(dialog, initialDirectory);
}

void QtWindowDialogs::showMessage(const QString& text) {
  box(parent_, "Snapfolio", text, QMessageBox::Ok);
}

void QtWindowDialogs::showError(const QString& text) {
  box(parent_, "ERROR", text, QMessageBox::Ok);
}

void QtWindowDialogs::showFileError(const QString& text) {
  box(parent_, "File Error", text, QMessageBox::Ok | QMessageBox::Cancel);
}

bool QtWindowDialogs::confirm(const QString& text) {
  QMessageBox question(QMessageBox::Question, QStringLiteral("Snapfolio"), text,
                       QMessageBox::Ok | QMessageBox::Cancel, parent_);
  return question.exec() == QMessageBox::Ok;
}

void QtWindowDialogs::openPage(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<QStringList> QtWindowDialogs::choosePhotos(const QString& start) {
  QFileDialog dialog(parent_);
  setUpPhotoDialog(dialog, start);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles();
}

std::optional<QString> QtWindowDialogs::chooseTemplate(const QString& initialDirectory) {
  QFileDialog dialog(parent_);
  setUpTemplateDialog(dialog, initialDirectory);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

std::optional<QString> QtWindowDialogs::choosePageFile(const QString& initialDirectory) {
  QFileDialog dialog(parent_);
  setUpPageFileDialog(dialog, initialDirectory);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

}  // namespace snapfolio
