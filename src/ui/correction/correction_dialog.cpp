#include "ui/correction/correction_dialog.h"

// Standard library
#include <climits>
#include <utility>

// Qt
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

// Project
#include "settings/options.h"
#include "ui/common/dialog_store.h"
#include "ui/correction/correction_dialog_controls.h"

namespace snapfolio {

namespace {

QLabel* label(const char* name, const QString& text, QWidget* parent, QRect geometry) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setGeometry(geometry);
  return l;
}

SelectionSlider* trackBar(const char* name, int maximum, int tickInterval, int position,
                          QWidget* parent, QRect geometry) {
  auto* bar = new SelectionSlider(parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setRange(0, maximum);
  bar->setPageStep(10);
  bar->setSingleStep(1);
  bar->setTickPosition(QSlider::TicksBothSides);
  bar->setTickInterval(tickInterval);
  bar->setValue(position);
  bar->setSelection(0, position);
  bar->setGeometry(geometry);
  return bar;
}

}  // namespace

TAdjstPropty1::TAdjstPropty1(std::string settingsPath, QWidget* parent)
    : QDialog(parent), settingsPath_(std::move(settingsPath)) {
  setObjectName(QStringLiteral("AdjstPropty1"));
  // The designed caption is the dialog's internal name; the English interface names it.
  setWindowTitle(QCoreApplication::translate("TAdjstPropty1", "AdjstPropty"));
  setModal(true);
  createControls();
  InfReSet();
}

void TAdjstPropty1::createControls() {
  Label11 = label("Label11", QCoreApplication::translate("TAdjstPropty1", "画像１、画像２で共通"),
                  this, {16, 10, 300, 20});

  GroupBox1 = new QGroupBox(QCoreApplication::translate("TAdjstPropty1", "色補正"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(8, 36, 336, 130);
  // The red offset stops at -255 and 255; green and blue take any integer.
  RedAdjust = new OffsetSpinEdit(-255, 255, GroupBox1);
  GreenAdjust = new OffsetSpinEdit(INT_MIN, INT_MAX, GroupBox1);
  BlueAdjust = new OffsetSpinEdit(INT_MIN, INT_MAX, GroupBox1);
  const struct {
    const char* name;
    const char* letterName;
    const char* letter;
    const char* rangeName;
    OffsetSpinEdit* edit;
  } rows[] = {{"RedAdjust", "Label1", "R", "Label4", RedAdjust},
              {"GreenAdjust", "Label2", "G", "Label5", GreenAdjust},
              {"BlueAdjust", "Label3", "B", "Label6", BlueAdjust}};
  int y = 26;
  for (const auto& row : rows) {
    label(row.letterName, QString::fromLatin1(row.letter), GroupBox1, {20, y + 2, 20, 24});
    row.edit->setObjectName(QString::fromLatin1(row.name));
    row.edit->setGeometry(48, y, 110, 26);
    row.edit->setText(QStringLiteral("0"));
    label(row.rangeName, QCoreApplication::translate("TAdjstPropty1", "(-255～255)"), GroupBox1,
          {170, y + 2, 140, 24});
    y += 32;
  }

  GroupBox2 = new QGroupBox(QCoreApplication::translate("TAdjstPropty1", "明るさ補正"), this);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox2->setGeometry(8, 176, 336, 204);
  // As designed: gain 40, limit 25; the settings replace them right after.
  Label9 = label("Label9", QCoreApplication::translate("TAdjstPropty1", "増感係数"), GroupBox2,
                 {16, 24, 200, 20});
  AumpTrack = trackBar("AumpTrack", 80, 5, 40, GroupBox2, {12, 44, 312, 40});
  Label7 = label("Label7", QStringLiteral("40"), GroupBox2, {16, 86, 60, 20});
  Label10 = label("Label10", QCoreApplication::translate("TAdjstPropty1", "白飛び抑制"), GroupBox2,
                  {16, 110, 200, 20});
  CntlrTrack = trackBar("CntlrTrack", 50, 2, 25, GroupBox2, {12, 130, 312, 40});
  Label8 = label("Label8", QStringLiteral("2.5"), GroupBox2, {16, 172, 60, 20});
  AumpTrack->setToolTip(QStringLiteral("40"));

  OkButton = new QPushButton(QCoreApplication::translate("TAdjstPropty1", "設定"), this);
  OkButton->setObjectName(QStringLiteral("OkButton"));
  OkButton->setGeometry(128, 392, 100, 30);
  CancelButton = new QPushButton(QCoreApplication::translate("TAdjstPropty1", "キャンセル"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setGeometry(244, 392, 100, 30);
  // Enter in an offset field must not save behind the user's back.
  OkButton->setAutoDefault(false);
  CancelButton->setAutoDefault(false);

  connect(OkButton, &QPushButton::clicked, this, &TAdjstPropty1::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TAdjstPropty1::CancelButtonClick);
  connect(AumpTrack, &QSlider::valueChanged, this, &TAdjstPropty1::AumpTrackChange);
  connect(CntlrTrack, &QSlider::valueChanged, this, &TAdjstPropty1::CntlrTrackChange);
}

void TAdjstPropty1::InfReSet() {
  const CorrectionValues stored = readCorrectionValues(TIniFile(settingsPath_));
  RedAdjust->setText(QString::fromStdString(stored.red));
  GreenAdjust->setText(QString::fromStdString(stored.green));
  BlueAdjust->setText(QString::fromStdString(stored.blue));
  // A stored position beyond a bar's range is clamped by the bar; a change runs its handler.
  AumpTrack->setValue(stored.gain);
  CntlrTrack->setValue(stored.limit);
  sizeToCancelButton();
}

void TAdjstPropty1::sizeToCancelButton() {
  const QRect button = CancelButton->geometry();
  // The size of the dialog's client area (the frame is the window system's).
  setFixedSize(button.x() + button.width() + 24, button.y() + button.height() + 47);
}

void TAdjstPropty1::OkButtonClick() {
  const bool stored = storeDialogValues(this, settingsPath_, [this](TIniFile& ini) {
    return storeCorrectionValues(ini, correctionValues());
  });
  if (stored) accept();
}

void TAdjstPropty1::CancelButtonClick() {
  InfReSet();
  reject();
}

void TAdjstPropty1::AumpTrackChange() {
  const int position = AumpTrack->value();
  AumpTrack->setSelection(0, position);
  Label7->setText(QString::number(position));
  AumpTrack->setToolTip(QString::number(position));
}

void TAdjstPropty1::CntlrTrackChange() {
  const int position = CntlrTrack->value();
  CntlrTrack->setSelection(0, position);
  // position x 0.1 in the shortest general form: 25 gives "2.5", 30 gives "3", 0 gives "0"
  Label8->setText(QString::number(position * 0.1, 'g', 15));
}

CorrectionValues TAdjstPropty1::correctionValues() const {
  return CorrectionValues{RedAdjust->text().toStdString(), GreenAdjust->text().toStdString(),
                          BlueAdjust->text().toStdString(), AumpTrack->value(),
                          CntlrTrack->value()};
}

}  // namespace snapfolio

// The meta-object code of this file's classes is compiled here rather than with every other
// window's, so that linking this dialog does not need the other windows.
#include "moc_correction_dialog.cpp"
