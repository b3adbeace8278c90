// TAdjstPropty1: the correction-values dialog, one for both output images. Its controls hold
// the values in force; correctionValues() hands a copy to the engine when a pipeline call
// starts. Created once at start-up, lives until the program ends. User-interface thread only.
//
// "設定" saves the values to section "ColorAdjust" of the settings file and closes; "キャンセル"
// reloads them from the file and closes; the window's close box (and Escape) closes and keeps
// the values shown in force without saving them. Every control's objectName is its name.
#pragma once

#include <string>

#include <QDialog>

#include "options/correction_values.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace snapfolio {

class OffsetSpinEdit;
class SelectionSlider;

class TAdjstPropty1 : public QDialog {
  Q_OBJECT

 public:
  // Loads the "ColorAdjust" keys from the settings file at `settingsPath` (InfReSet).
  explicit TAdjstPropty1(std::string settingsPath, QWidget* parent = nullptr);

  // The values the controls hold now.
  CorrectionValues correctionValues() const;

  // Loads the values from the settings file (defaults for absent keys) and sizes the dialog.
  void InfReSet();

 public slots:
  void OkButtonClick();
  void CancelButtonClick();
  void AumpTrackChange();
  void CntlrTrackChange();

 private:
  void createControls();
  // Width and height from the cancel button: its right edge + 24, its bottom edge + 47.
  void sizeToCancelButton();

  std::string settingsPath_;

  QLabel* Label11;
  QGroupBox* GroupBox1;
  OffsetSpinEdit* RedAdjust;
  OffsetSpinEdit* GreenAdjust;
  OffsetSpinEdit* BlueAdjust;
  QGroupBox* GroupBox2;
  QLabel* Label9;
  SelectionSlider* AumpTrack;
  QLabel* Label7;
  QLabel* Label10;
  SelectionSlider* CntlrTrack;
  QLabel* Label8;
  QPushButton* OkButton;
  QPushButton* CancelButton;
};

}  // namespace snapfolio
