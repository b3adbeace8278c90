// TTimePropty1 and TTimePropty2: the time-stamp style dialogs of output image 1 and 2. Each
// holds its image's TimeStampStyle; TTimePropty1 also holds the date-time format of both
// images. Created once at start-up, live until the program ends. User-interface thread only.
//
// When a change takes effect: the font (face, size in points, colour, character set, style
// flags) as soon as the user confirms the font dialog; the background colour, transparency,
// auto size and position only on the set button ("設定"); the format as FormSel1 changes.
// The settings file is read while the dialog is constructed and written only by the set button.
//
// The font and colour dialogs and the error report are reached through ports (FontChooser,
// ColorChooser, MessagePort) so tests can replace them; by default they are Qt dialogs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <QDialog>

#include "core/ports.h"
#include "options/time_stamp_style.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace snapfolio {

class TIniFile;

// Runs a font dialog starting from `current`; the chosen font, or nothing when cancelled.
class FontChooser {
 public:
  virtual ~FontChooser() = default;
  virtual std::optional<StampFont> chooseFont(QWidget* parent, const StampFont& current) = 0;
};

// Runs a colour dialog starting from `current` (0x00BBGGRR); the colour, or nothing.
class ColorChooser {
 public:
  virtual ~ColorChooser() = default;
  virtual std::optional<std::uint32_t> chooseColor(QWidget* parent, std::uint32_t current) = 0;
};

// The Qt implementations: a font dialog with colour and character set (StampFontDialog), the
// toolkit's colour dialog, and message boxes.
std::unique_ptr<FontChooser> makeQtFontChooser();
std::unique_ptr<ColorChooser> makeQtColorChooser();
std::unique_ptr<MessagePort> makeQtMessagePort(QWidget* parent);

// What the two dialogs share: every control but the format ones, the style fields, the
// handlers. Controls are named (and their objectName is) as the dialogs' own.
class TTimePropty : public QDialog {
  Q_OBJECT

 public:
  // The style in force for drawing now.
  virtual TimeStampStyle style() const = 0;

  // Replace the ports (tests); nullptr restores the Qt implementation. Not owned.
  void setFontChooser(FontChooser* chooser);
  void setColorChooser(ColorChooser* chooser);
  void setMessagePort(MessagePort* port);

  // The colour the colour dialog holds (it becomes the background colour on the set button).
  std::uint32_t colorDialogColor() const { return timeColorDialogColor_; }

  QGroupBox* FontOption = nullptr;
  QCheckBox* AutoSize = nullptr;
  QCheckBox* Background = nullptr;
  QPushButton* FontButton = nullptr;
  QPushButton* BackgroundButton = nullptr;
  QLabel* Label1 = nullptr;
  QFrame* Panel1 = nullptr;
  QRadioButton* LeftUp = nullptr;
  QRadioButton* MidUp = nullptr;
  QRadioButton* RightUp = nullptr;
  QRadioButton* LeftDown = nullptr;
  QRadioButton* MidDown = nullptr;
  QRadioButton* RightDown = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  void FontButtonClick();
  void BackgroundButtonClick();
  void BackgroundClick();
  void CancelButtonClick();

 protected:
  // Builds the shared controls; the set button gets `setButtonName` and the caption "設定".
  TTimePropty(int imageNumber, std::string settingsPath, const QString& caption,
              const QString& panelCaption, const QString& setButtonName, QWidget* parent);
  ~TTimePropty() override;

  // Construction: reads the style keys in order (then readMore), then fits the window.
  void loadSettings();
  virtual void readMore(const TIniFile& ini);
  // The set button: takes the fields from the controls, writes the keys in order, closes.
  void storeSettings();
  // The format to store with the style (TTimePropty1 only).
  virtual std::optional<std::string> formatToStore() const;
  // Window height = CancelButton top + height + 47; width = CancelButton left + width + 24.
  void fitToControls();
  TimeStampStyle currentStyle() const;

  QPushButton* setButton_ = nullptr;

 private:
  void placeRadioButtons();

  const int imageNumber_;
  const std::string settingsPath_;

  // The fields of the dialog object, changed only at construction and by the set button.
  float backgroundColor_ = 16777215.0f;
  bool transparent_ = true;
  bool autoSize_ = true;
  int position_ = 6;

  StampFont timeFontDialogFont_;                   // the font dialog's font
  std::uint32_t timeColorDialogColor_ = 0xFFFFFF;  // the colour dialog's colour

  std::unique_ptr<FontChooser> qtFontChooser_;
  std::unique_ptr<ColorChooser> qtColorChooser_;
  std::unique_ptr<MessagePort> qtMessagePort_;
  FontChooser* fontChooser_ = nullptr;
  ColorChooser* colorChooser_ = nullptr;
  MessagePort* messagePort_ = nullptr;
};

class TTimePropty1 : public TTimePropty {
  Q_OBJECT

 public:
  // Reads the image-1 style keys and "TIMSTYLE1" from the settings file at `settingsPath`.
  explicit TTimePropty1(std::string settingsPath, QWidget* parent = nullptr);
  TimeStampStyle style() const override;
  // The text of FormSel1: the format of both images' stamps.
  std::string format() const;

  QPushButton* OkButton = nullptr;
  QListWidget* TimeFormList1 = nullptr;
  QLineEdit* FormSel1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* DateTimesample = nullptr;

 public slots:
  void OkButtonClick();
  void TimeFormList1Click();

 protected:
  void readMore(const TIniFile& ini) override;
  std::optional<std::string> formatToStore() const override;
};

class TTimePropty2 : public TTimePropty {
  Q_OBJECT

 public:
  explicit TTimePropty2(std::string settingsPath, QWidget* parent = nullptr);
  TimeStampStyle style() const override;

  QPushButton* Button = nullptr;

 public slots:
  void ButtonClick();
};

// The formats offered by TimeFormList1, in list order.
extern const char* const kOfferedFormats[14];

}  // namespace snapfolio
