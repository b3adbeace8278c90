#include "ui/application.h"

#include <cstdlib>
#include <exception>
#include <string>

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include "core/translation.h"
#include "timestamp/font_substitution.h"
#include "ui/common/geometry_dump.h"
#include "ui/common/standard_dialogs.h"
#include "ui/correction/correction_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/photo_options/photo_options_dialog.h"
#include "ui/time_stamp/time_stamp_dialog.h"

namespace snapfolio {

int runSnapfolio(QApplication& app) {
  // The application title. No display name: Qt would append it to every window title
  // ("Snapfolio Ver1.03 — Snapfolio"), and the captions are the windows' own.
  QApplication::setApplicationName(QStringLiteral("Snapfolio"));
  registerFontSubstitutions();
  // The interface language: the program's own texts, and Qt's dialogs and buttons with them.
  const std::string language = interfaceLanguage();
  installTranslations(app, language);
  if (language == "ja") installStandardDialogTranslations(app);
  installGeometryDump(app);  // only with SNAPFOLIO_DUMP_GEOMETRY set

  // The main window first (it fixes SettingsPath), then the dialogs, which read their own
  // settings; all five live until the program ends.
  TSnapfolio window;
  TTimePropty1 timePropty1(window.settingsPath(), &window);
  TTimePropty2 timePropty2(window.settingsPath(), &window);
  TAdjstPropty1 adjstPropty1(window.settingsPath(), &window);
  TPhotoPropty photoPropty(window.settingsPath(), &window);
  window.setLinks({
      .timeStamp1 = &timePropty1,
      .timeStamp2 = &timePropty2,
      .correction = &adjstPropty1,
      .style = [&](int n) { return n == 1 ? timePropty1.style() : timePropty2.style(); },
      .format = [&] { return timePropty1.format(); },
      .correctionValues = [&] { return adjstPropty1.correctionValues(); },
      .photo = &photoPropty,
      .photoOptions = [&] { return photoPropty.photoOptions(); },
  });
  window.show();
  // Photos given on the command line (opened with the program from a file manager): a run
  // over them once the window is up.
  QStringList photos;
  for (const QString& argument : QApplication::arguments().mid(1)) {
    photos << QFileInfo(argument).absoluteFilePath();
  }
  if (!photos.isEmpty())
    QTimer::singleShot(0, &window, [&window, photos] { window.runPhotos(photos); });
  return QApplication::exec();
}

int runGuarded(const std::function<int()>& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Snapfolio"), QString::fromUtf8(e.what()));
    return EXIT_FAILURE;
  }
}

}  // namespace snapfolio
