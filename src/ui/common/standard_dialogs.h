// Qt's own dialogs and buttons in Japanese, for the Japanese interface: the file choosers
// ("ファイル名", "開く"), the colour dialog and the standard buttons of message boxes follow the
// rest of the interface instead of the toolkit's English. Uses the translations of the Debian
// package qt6-translations-l10n (qtbase_ja.qm in Qt's translations directory); without them Qt's
// English texts stay.
//
// User-interface thread only, once at start-up. The translator is owned by the application.
#pragma once

class QApplication;

namespace snapfolio {

// Installs Qt's Japanese translations on `app`; false when they are not installed.
bool installStandardDialogTranslations(QApplication& app);

}  // namespace snapfolio
