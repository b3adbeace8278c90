// TPhotoPropty: the dialog "詳細設定", the photo options of both output images (orientation,
// colour profile, never enlarge, the date of stamps and page, the metadata kept in output
// images). Its controls hold the options in force; photoOptions() hands a copy to the engine
// when a run or a preview starts. Created once at start-up after the other dialogs, lives until
// the program ends. User-interface thread only.
//
// "設定" stores the options in section "PhotoOptions" of the settings file and closes;
// "キャンセル" loads them from the file again and closes; the close box (and Escape) closes and
// keeps the options shown in force without storing them, as in the correction dialog. Every
// control's objectName is its name.
#pragma once

#include <string>

#include <QDialog>

#include "options/photo_options.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace snapfolio {

class TPhotoPropty : public QDialog {
  Q_OBJECT

 public:
  // Loads the "PhotoOptions" keys from the settings file at `settingsPath` (defaults without).
  explicit TPhotoPropty(std::string settingsPath, QWidget* parent = nullptr);

  // The options the controls hold now.
  PhotoOptions photoOptions() const;

  // Loads the options from the settings file and shows them.
  void InfReSet();

 public slots:
  void OkButtonClick();
  void CancelButtonClick();

 private:
  void createControls();
  void showOptions(const PhotoOptions& options);

  std::string settingsPath_;

  QGroupBox* PhotoGroup;
  QCheckBox* Orientation;
  QCheckBox* ColorProfile;
  QCheckBox* NoEnlarge;
  QGroupBox* DateGroup;
  QRadioButton* FileDate;
  QRadioButton* TakenDate;
  QGroupBox* MetadataGroup;
  QRadioButton* MetadataNone;
  QRadioButton* MetadataPrivate;
  QRadioButton* MetadataAll;
  QPushButton* OkButton;
  QPushButton* CancelButton;
};

}  // namespace snapfolio
