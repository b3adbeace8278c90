// TAdjstPropty1: the correction-values dialog, one for both output images. Its controls hold
// the values in force; correctionValues() hands a copy to the engine when a pipeline call
// starts. Created once at start-up, lives until the program ends. User-interface thread only.
// (Contract used by the main window and main(); the correction module completes it.)
#pragma once

#include <string>

#include <QDialog>

#include "imaging/correction_values.h"

namespace snapfolio {

class TAdjstPropty1 : public QDialog {
  Q_OBJECT

 public:
  // Loads the "ColorAdjust" keys from the settings file at `settingsPath` (InfReSet).
  explicit TAdjstPropty1(std::string settingsPath, QWidget* parent = nullptr);

  // The values the controls hold now.
  CorrectionValues correctionValues() const;
};

}  // namespace snapfolio
