#include "ui/common/dialog_store.h"

#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include "core/failure.h"
#include "settings/ini_file.h"
#include "settings/options.h"
#include "site/site_options.h"

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

bool isFirstStart(const std::string& settingsPath) {
  // A link, even a broken one, is a file the user made: not a first start.
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(settingsPath, ec);
  return status.type() == std::filesystem::file_type::not_found;
}

void addFirstStartChoices(TIniFile& ini) {
  if (isFirstStart(ini.FileName())) site::applyAlbumChoices(ini);
}

}  // namespace snapfolio
