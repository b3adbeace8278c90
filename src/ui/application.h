// The program's start, shared by main() and the tests: the application title, the font
// substitutions, the interface language (core/translation.h), the five windows in their order and
// the message loop; and the last resort for a failure that escapes them.
//
// User-interface thread only.
#pragma once

#include <functional>

class QApplication;

namespace snapfolio {

// Sets the application up, creates the main window and then the dialogs TTimePropty1,
// TTimePropty2, TAdjstPropty1 and TPhotoPropty (which read their settings through the main window's
// SettingsPath), shows the main window, starts a run over the photos named by the program's
// arguments (if any) and runs the message loop; the loop's exit status.
int runSnapfolio(QApplication& app);

// Runs `body` and returns its result. A std::exception escaping it is shown in a message box
// captioned "Snapfolio" with the exception's text, and the result is then EXIT_FAILURE.
int runGuarded(const std::function<int()>& body);

}  // namespace snapfolio
