#include "ui/common/dialog_store.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include "core/failure.h"
#include "settings/ini_file.h"
#include "settings/options.h"

namespace snapfolio {

bool storeDialogValues(QWidget* dialog, const std::string& settingsPath,
                       const std::function<bool(TIniFile&)>& store) {
  try {
    TIniFile ini(settingsPath);
    if (!store(ini)) {
      QMessageBox::warning(dialog, QApplication::applicationName(),
                           QString::fromStdString(notSettingsMessage(ini)));
    }
  } catch (const Failure& failure) {
    QMessageBox::warning(dialog, QApplication::applicationName(),
                         QString::fromStdString(failure.what()));
    return false;
  }
  return true;
}

}  // namespace snapfolio
