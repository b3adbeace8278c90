// The set button of a settings dialog: stores the dialog's values as one settings batch; and
// what the window and its dialogs start with where there is no settings file yet.
// User-interface thread only.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace snapfolio {

class TIniFile;

// Stores with `store` (one batch; false when the file is no settings file) in the settings file
// at `settingsPath`. A file that is no settings file is said in a box and nothing is stored
// there; the values stay in force and the dialog may close (true). A failure to write is said
// in a box and false returned: the values stay in force and the dialog stays open, so that the
// user can retry or cancel.
bool storeDialogValues(QWidget* dialog, const std::string& settingsPath,
                       const std::function<bool(TIniFile&)>& store);

// Where `ini`'s file does not exist (the program's first start in a folder), sets the choices
// of the command line's album in it (both output images, the album page, the date taken), so
// that the first run makes a working album; an existing file is read as it is.
void addFirstStartChoices(TIniFile& ini);

// Whether there is no settings file at `settingsPath` yet.
bool isFirstStart(const std::string& settingsPath);

}  // namespace snapfolio
