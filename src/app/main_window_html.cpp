// The file choosers of the HTML group: the template (HtmlOutOpen) and the page file
// (HtmlOutFile).
#include <QFileInfo>
#include <QLineEdit>

#include "app/main_window.h"
#include "app/main_window_dialogs.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace snapfolio {

void TSnapfolio::HtmlTemplateClick() {
  try {
    if (HtmlTemplateFile->text().isEmpty()) {
      HtmlTemplateFile->setText(QString::fromStdString(startDirectory_ + "/"));
    }
    // The folder part of the field, with its final "/".
    const QString field = HtmlTemplateFile->text();
    const QString folder = field.left(field.lastIndexOf('/') + 1);
    const std::optional<QString> chosen = dialogs_->chooseTemplate(folder);
    if (!chosen) return;
    HtmlTemplateFile->setText(*chosen);
    TIniFile ini(settingsPath_);
    write(ini, keys::HTMLTMP, chosen->toStdString());
  } catch (const std::exception&) {
    dialogs_->showFileError(
        QStringLiteral("以下のファイルの操作を実行することができない.: Open, Seek, Read, Close."));
  }
}

// The page always goes into the output directory: only the chosen file's name is kept.
void TSnapfolio::HtmlButtonClick() {
  const std::optional<QString> chosen =
      dialogs_->choosePageFile(QString::fromStdString(outputDirectory()));
  if (chosen) HtmlFile->setText(QFileInfo(*chosen).fileName());
}

}  // namespace snapfolio
