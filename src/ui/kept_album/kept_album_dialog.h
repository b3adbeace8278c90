// TKeptAlbum: the dialog "アルバムサイト", which makes or updates an album site (a kept album)
// from a photo folder: the photo folder, the site folder, the title, whether the photos
// themselves go into the site, the address it will be published at, and whether its catalogue
// is made anew. Shown by the main window's "アルバムサイト" button; "作成" checks the fields,
// stores them in section "KeptAlbum" of the settings file and closes, and the main window runs
// the site; "キャンセル" closes and stores nothing. Every control's objectName is its name.
// User-interface thread only.
#pragma once

#include <string>

#include <QDialog>
#include <QString>

#include "settings/options.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace snapfolio {

// What keeps `fields` (its folders absolute) from being run, as the box says it, or empty when
// they can be.
QString keptAlbumProblem(const KeptAlbumFields& fields);

// A folder as typed, absolute (against the working directory) and without a trailing "/".
std::string absoluteFolder(const std::string& typed);

class TKeptAlbum : public QDialog {
  Q_OBJECT

 public:
  // Shows the "KeptAlbum" keys of the settings file at `settingsPath` (defaults without).
  explicit TKeptAlbum(std::string settingsPath, QWidget* parent = nullptr);

  // The fields as they stand, the folders absolute.
  KeptAlbumFields fields() const;
  bool rebuild() const;

 public slots:
  void OkButtonClick();
  void SourceButtonClick();
  void SiteButtonClick();

 private:
  void createControls();
  void chooseFolder(QLineEdit* edit);

  std::string settingsPath_;

  QLineEdit* SourceDir;
  QPushButton* SourceButton;
  QLineEdit* SiteDir;
  QPushButton* SiteButton;
  QLineEdit* SiteTitle;
  QLineEdit* BaseUrl;
  QCheckBox* CopyOriginals;
  QCheckBox* Rebuild;
  QPushButton* OkButton;
  QPushButton* CancelButton;
};

}  // namespace snapfolio
