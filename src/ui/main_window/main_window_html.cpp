// The file choosers of the HTML group: the template (HtmlOutOpen) and the page file
// (HtmlOutFile).
#include <QCoreApplication>
#include <QLineEdit>

#include "album/album_choosers.h"
#include "settings/ini_file.h"
#include "settings/options.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_dialogs.h"

namespace snapfolio {

namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

void TSnapfolio::HtmlTemplateClick() {
  try {
    const std::string field =
        templateFieldBeforeChoosing(HtmlTemplateFile->text().toStdString(), startDirectory_);
    HtmlTemplateFile->setText(q(field));
    const std::optional<QString> chosen =
        dialogs_->chooseTemplate(q(templateChooserDirectory(field)));
    if (!chosen) return;
    HtmlTemplateFile->setText(*chosen);
    // A file that is no settings file is left alone; the user heard so at start-up.
    TIniFile ini(settingsPath_);
    storeTemplateFile(ini, chosen->toStdString());
  } catch (const std::exception&) {
    dialogs_->showFileError(QCoreApplication::translate(
        "TSnapfolio", "以下のファイルの操作を実行することができない.: Open, Seek, Read, Close."));
  }
}

// The page always goes into the output directory: only the chosen file's name is kept.
void TSnapfolio::HtmlButtonClick() {
  const std::optional<QString> chosen = dialogs_->choosePageFile(q(outputDirectory()));
  if (chosen) HtmlFile->setText(q(pageFileNameFromChoice(chosen->toStdString())));
}

}  // namespace snapfolio
