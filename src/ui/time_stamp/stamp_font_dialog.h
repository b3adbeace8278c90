// StampFontDialog ("フォント"): the font dialog of the time-stamp dialogs. One window for all
// the font fields of a stamp: face, size in points, bold, italic, underline, strike-out, colour
// and character set, with a sample drawn in the chosen font and colour, and the name of the font
// it is really drawn with (the installed font that stands in for a face that is not installed).
//
// The face list holds the installed families and, first, the stored face when it is not
// installed (such as "ＭＳ Ｐゴシック", drawn through a substitute): confirming without picking
// another face keeps the stored name. In an interface in Latin letters (English) the dialog
// opens on the installed font that draws the stamp and on the Western character set; confirming
// without changing them still keeps the stored face and character set. User-interface thread
// only.
#pragma once

#include <QDialog>

#include "ui/time_stamp/time_stamp_dialog.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace snapfolio {

class StampFontDialog : public QDialog {
  Q_OBJECT

 public:
  // The character sets offered, by number; a stored number outside this list is added to it.
  static constexpr int kCharsets[] = {0, 1, 2, 128};

  StampFontDialog(const StampFont& initial, QWidget* parent = nullptr);

  // The font the controls show now.
  StampFont font() const;

  // The colour button runs this chooser (default: the toolkit's colour dialog). Not owned.
  void setColorChooser(ColorChooser* chooser) { colorChooser_ = chooser; }

  QComboBox* FontName = nullptr;
  QSpinBox* FontSize = nullptr;
  QCheckBox* Bold = nullptr;
  QCheckBox* Italic = nullptr;
  QCheckBox* Underline = nullptr;
  QCheckBox* StrikeOut = nullptr;
  QPushButton* FontColor = nullptr;
  QComboBox* FontCharset = nullptr;
  QLabel* DrawnWith = nullptr;
  QLabel* Sample = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  void FontColorClick();

 private:
  void layOutControls(QDialogButtonBox* buttons);
  void updateSample();

  std::uint32_t color_ = 255;
  // The stored face and character set, and the ones the controls opened on.
  QString storedName_;
  QString shownName_;
  int storedCharset_ = 128;
  int shownCharset_ = 128;
  ColorChooser* colorChooser_ = nullptr;
  std::unique_ptr<ColorChooser> qtColorChooser_;
};

}  // namespace snapfolio
