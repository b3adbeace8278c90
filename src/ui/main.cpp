// Snapfolio: turns a batch of camera photos into the images and the page of a web album.
#include <csignal>
#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "timestamp/font_substitution.h"
#include "ui/common/geometry_dump.h"
#include "ui/common/standard_dialogs.h"
#include "ui/correction/correction_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/time_stamp/time_stamp_dialog.h"

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);  // an over-limit write fails with its message, not the program
  QApplication app(argc, argv);
  try {
    // The application title. No display name: Qt would append it to every window title
    // ("Snapfolio Ver1.03 — Snapfolio"), and the captions are the windows' own.
    QApplication::setApplicationName(QStringLiteral("Snapfolio"));
    snapfolio::registerFontSubstitutions();
    snapfolio::installStandardDialogTranslations(app);
    snapfolio::installGeometryDump(app);  // only with SNAPFOLIO_DUMP_GEOMETRY set

    // The main window first (it fixes SettingsPath), then the dialogs, which read their own
    // settings; all four live until the program ends.
    snapfolio::TSnapfolio window;
    snapfolio::TTimePropty1 timePropty1(window.settingsPath(), &window);
    snapfolio::TTimePropty2 timePropty2(window.settingsPath(), &window);
    snapfolio::TAdjstPropty1 adjstPropty1(window.settingsPath(), &window);
    window.setLinks({
        .timeStamp1 = &timePropty1,
        .timeStamp2 = &timePropty2,
        .correction = &adjstPropty1,
        .style = [&](int n) { return n == 1 ? timePropty1.style() : timePropty2.style(); },
        .format = [&] { return timePropty1.format(); },
        .correctionValues = [&] { return adjstPropty1.correctionValues(); },
    });
    window.show();
    return app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Snapfolio"), QString::fromUtf8(e.what()));
    return 0;
  }
}
