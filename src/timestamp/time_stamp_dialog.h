// TTimePropty1 and TTimePropty2: the time-stamp style dialogs of output image 1 and 2. Each
// holds its image's TimeStampStyle; TTimePropty1 also holds the date-time format of both
// images. Created once at start-up, live until the program ends. User-interface thread only.
// (Contract used by the main window and main(); the time-stamp module completes it.)
#pragma once

#include <string>

#include <QDialog>

#include "timestamp/time_stamp_style.h"

namespace snapfolio {

class TTimePropty : public QDialog {
  Q_OBJECT

 public:
  // The style in force for drawing now.
  virtual TimeStampStyle style() const = 0;

 protected:
  using QDialog::QDialog;
};

class TTimePropty1 : public TTimePropty {
  Q_OBJECT

 public:
  // Reads the image-1 style keys and "TIMSTYLE1" from the settings file at `settingsPath`.
  explicit TTimePropty1(std::string settingsPath, QWidget* parent = nullptr);
  TimeStampStyle style() const override;
  // The text of FormSel1: the format of both images' stamps.
  std::string format() const;
};

class TTimePropty2 : public TTimePropty {
  Q_OBJECT

 public:
  explicit TTimePropty2(std::string settingsPath, QWidget* parent = nullptr);
  TimeStampStyle style() const override;
};

}  // namespace snapfolio
