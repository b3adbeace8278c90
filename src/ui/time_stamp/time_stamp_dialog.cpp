#include "ui/time_stamp/time_stamp_dialog.h"

// Standard library
#include <array>
#include <exception>
#include <utility>

// Qt
#include <QCheckBox>
#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// Project
#include "settings/ini_file.h"
#include "settings/options.h"

namespace snapfolio {

const char* const kOfferedFormats[14] = {
    "hh:nn AM/PM",
    "h:nn AM/PM",
    "hh:nn A/P",
    "hh:nn:ss",
    "hh:nn",
    "h:nn",
    "mm/dd",
    "mm/dd hh:nn",
    "mm/dd hh:nn A/P",
    "yyyy/mm/dd",
    "yy/m/d",
    "gge\"年\"mm\"月\"dd\"日\"h\"時\"n”分\"",
    "gge\"年\"mm\"月\"dd\"日",
    "yyyy/mm/dd hh:nn",
};

namespace {

// The windows' own font for their controls, drawn through the font substitutions.
QFont controlFont() {
  QFont font(QString::fromUtf8("ＭＳ Ｐゴシック"));
  font.setPixelSize(12);
  return font;
}

// The colour of the picture panel: the classic desktop colour.
const QColor kDesktopColour(0x3A, 0x6E, 0xA5);

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect geometry) {
  auto* button = new QPushButton(QCoreApplication::translate("TTimePropty", caption), parent);
  button->setObjectName(QString::fromUtf8(name));
  button->setGeometry(geometry);
  return button;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TTimePropty

TTimePropty::TTimePropty(int imageNumber, std::string settingsPath, const QString& caption,
                         const QString& panelCaption, const QString& setButtonName, QWidget* parent)
    : QDialog(parent), imageNumber_(imageNumber), settingsPath_(std::move(settingsPath)) {
  setWindowTitle(caption);
  setFont(controlFont());
  setModal(true);
  // Created in the order of the tab chain.
  createFontControls();
  createPositionPanel(panelCaption);
  createPositionButtons();
  createSetButtons(setButtonName);

  connect(FontButton, &QPushButton::clicked, this, &TTimePropty::FontButtonClick);
  connect(BackgroundButton, &QPushButton::clicked, this, &TTimePropty::BackgroundButtonClick);
  // Runs on every change of state, also while the settings are loaded.
  connect(Background, &QCheckBox::toggled, this, &TTimePropty::BackgroundClick);
  connect(CancelButton, &QPushButton::clicked, this, &TTimePropty::CancelButtonClick);

  setFontChooser(nullptr);
  setColorChooser(nullptr);
  setMessagePort(nullptr);
}

// The font options group and the font and background buttons beside it.
void TTimePropty::createFontControls() {
  FontOption =
      new QGroupBox(QCoreApplication::translate("TTimePropty", "フォントオプション"), this);
  FontOption->setObjectName("FontOption");
  FontOption->setGeometry(8, 8, 177, 76);
  AutoSize = new QCheckBox(QCoreApplication::translate("TTimePropty", "オートサイズ"), FontOption);
  AutoSize->setObjectName("AutoSize");
  AutoSize->move(12, 22);
  AutoSize->adjustSize();
  AutoSize->setChecked(true);
  Background = new QCheckBox(QCoreApplication::translate("TTimePropty", "透過背景"), FontOption);
  Background->setObjectName("Background");
  Background->move(12, 48);
  Background->adjustSize();
  Background->setChecked(true);

  FontButton = makeButton(this, "FontButton", QT_TRANSLATE_NOOP("TTimePropty", "フォント"),
                          QRect(193, 16, 75, 25));
  BackgroundButton = makeButton(this, "BackgroundButton", QT_TRANSLATE_NOOP("TTimePropty", "背景"),
                                QRect(193, 52, 75, 25));
  BackgroundButton->setEnabled(false);
}

// The label and the picture panel the position buttons sit on.
void TTimePropty::createPositionPanel(const QString& panelCaption) {
  Label1 = new QLabel(QCoreApplication::translate("TTimePropty", "タイムスタンプの位置"), this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(8, 92, 200, 16);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(8, 110, 260, 178);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(2);
  Panel1->setAutoFillBackground(true);
  QPalette desktop = Panel1->palette();
  desktop.setColor(QPalette::Window, kDesktopColour);
  Panel1->setPalette(desktop);
  auto* picture = new QLabel(panelCaption, Panel1);
  picture->setObjectName("Panel1Caption");
  picture->setGeometry(Panel1->contentsRect());
  picture->setAlignment(Qt::AlignCenter);
  QFont large = font();
  large.setPixelSize(40);
  large.setBold(true);
  picture->setFont(large);
  QPalette grey = picture->palette();
  grey.setColor(QPalette::WindowText, Qt::gray);
  picture->setPalette(grey);
}

// The six position buttons in the corners and edges of the picture panel.
void TTimePropty::createPositionButtons() {
  const std::array<std::pair<QRadioButton**, std::pair<const char*, const char*>>, 6> radios = {{
      {&LeftUp, {"LeftUp", QT_TRANSLATE_NOOP("TTimePropty", "左上")}},
      {&MidUp, {"MidUp", QT_TRANSLATE_NOOP("TTimePropty", "上中央")}},
      {&RightUp, {"RightUp", QT_TRANSLATE_NOOP("TTimePropty", "右上")}},
      {&LeftDown, {"LeftDown", QT_TRANSLATE_NOOP("TTimePropty", "左下")}},
      {&MidDown, {"MidDown", QT_TRANSLATE_NOOP("TTimePropty", "下中央")}},
      {&RightDown, {"RightDown", QT_TRANSLATE_NOOP("TTimePropty", "右下")}},
  }};
  for (const auto& [member, names] : radios) {
    // Three captions share each edge of the panel: the caption in the panel is the short form
    // ("Left" in English, where "Bottom left" and its neighbours would not fit side by side),
    // the whole name its tool tip and accessible name.
    auto* radio = new QRadioButton(
        QCoreApplication::translate("TTimePropty", names.second, "position in the panel"), Panel1);
    const QString whole = QCoreApplication::translate("TTimePropty", names.second);
    radio->setToolTip(whole);
    radio->setAccessibleName(whole);
    radio->setObjectName(QString::fromUtf8(names.first));
    // Each button keeps the face colour of the window, readable on the desktop colour.
    radio->setAutoFillBackground(true);
    radio->setPalette(palette());
    *member = radio;
  }
  RightDown->setChecked(true);
  placeRadioButtons();
}

void TTimePropty::createSetButtons(const QString& setButtonName) {
  setButton_ = new QPushButton(QCoreApplication::translate("TTimePropty", "設定"), this);
  setButton_->setObjectName(setButtonName);
  setButton_->setDefault(true);
  CancelButton = makeButton(this, "CancelButton", QT_TRANSLATE_NOOP("TTimePropty", "キャンセル"),
                            QRect(0, 0, 75, 25));
}

TTimePropty::~TTimePropty() = default;

void TTimePropty::placeRadioButtons() {
  const QRect inner = Panel1->contentsRect().adjusted(2, 2, -2, -2);
  for (QRadioButton* radio : {LeftUp, MidUp, RightUp, LeftDown, MidDown, RightDown}) {
    radio->adjustSize();
  }
  auto place = [&](QRadioButton* radio, int column, bool bottom) {
    const QSize size = radio->size();
    const int x = column == 0   ? inner.left()
                  : column == 1 ? inner.left() + (inner.width() - size.width()) / 2
                                : inner.right() + 1 - size.width();
    const int y = bottom ? inner.bottom() + 1 - size.height() : inner.top();
    radio->move(x, y);
  };
  place(LeftUp, 0, false);
  place(MidUp, 1, false);
  place(RightUp, 2, false);
  place(LeftDown, 0, true);
  place(MidDown, 1, true);
  place(RightDown, 2, true);
}

void TTimePropty::setFontChooser(FontChooser* chooser) {
  if (chooser == nullptr) {
    if (!qtFontChooser_) qtFontChooser_ = makeQtFontChooser();
    chooser = qtFontChooser_.get();
  }
  fontChooser_ = chooser;
}

void TTimePropty::setColorChooser(ColorChooser* chooser) {
  if (chooser == nullptr) {
    if (!qtColorChooser_) qtColorChooser_ = makeQtColorChooser();
    chooser = qtColorChooser_.get();
  }
  colorChooser_ = chooser;
}

void TTimePropty::setMessagePort(MessagePort* port) {
  if (port == nullptr) {
    if (!qtMessagePort_) qtMessagePort_ = makeQtMessagePort(this);
    port = qtMessagePort_.get();
  }
  messagePort_ = port;
}

void TTimePropty::loadSettings() {
  const TIniFile ini(settingsPath_);
  const TimeStampStyle stored = readTimeStampStyle(ini, imageNumber_);
  transparent_ = stored.transparent;
  Background->setChecked(transparent_);
  autoSize_ = stored.autoSize;
  AutoSize->setChecked(autoSize_);
  position_ = stored.position;
  const std::array<QRadioButton*, 6> radios = {LeftUp,   MidUp,   RightUp,
                                               LeftDown, MidDown, RightDown};
  // Any other value checks no button (RightDown stays checked) and is kept in Position.
  if (position_ >= 1 && position_ <= 6)
    radios[static_cast<std::size_t>(position_ - 1)]->setChecked(true);
  timeFontDialogFont_ = fontOf(stored);
  backgroundColor_ = stored.backgroundColor;
  timeColorDialogColor_ = colourFromNumber(backgroundColor_);
  readMore(ini);
}

void TTimePropty::readMore(const TIniFile&) {}

std::optional<std::string> TTimePropty::formatToStore() const {
  return std::nullopt;
}

void TTimePropty::fitToControls() {
  const QRect cancel = CancelButton->geometry();
  setFixedSize(cancel.left() + cancel.width() + 24, cancel.top() + cancel.height() + 47);
}

TimeStampStyle TTimePropty::currentStyle() const {
  TimeStampStyle style;
  applyFont(style, timeFontDialogFont_);
  style.backgroundColor = backgroundColor_;
  style.transparent = transparent_;
  style.autoSize = autoSize_;
  style.position = position_;
  return style;
}

void TTimePropty::storeSettings() {
  backgroundColor_ = static_cast<float>(timeColorDialogColor_);
  transparent_ = Background->isChecked();
  autoSize_ = AutoSize->isChecked();
  const std::array<QRadioButton*, 6> radios = {LeftUp,   MidUp,   RightUp,
                                               LeftDown, MidDown, RightDown};
  for (std::size_t k = 0; k < radios.size(); ++k) {
    if (radios[k]->isChecked()) {
      position_ = static_cast<int>(k) + 1;
      break;
    }
  }
  try {
    TIniFile ini(settingsPath_);
    const std::optional<std::string> format = formatToStore();
    if (!storeTimeStampStyle(ini, imageNumber_, currentStyle(), format ? &*format : nullptr)) {
      // Not a settings file: nothing can be stored there; the style stays in force.
      messagePort_->showMessage(notSettingsMessage(ini));
    }
  } catch (const std::exception& error) {
    // The dialog stays open: the fields above are in force, the file is not up to date.
    messagePort_->showMessage(error.what());
    return;
  }
  accept();
}

void TTimePropty::FontButtonClick() {
  if (std::optional<StampFont> chosen = fontChooser_->chooseFont(this, timeFontDialogFont_)) {
    timeFontDialogFont_ = *chosen;
  }
}

void TTimePropty::BackgroundButtonClick() {
  if (std::optional<std::uint32_t> chosen =
          colorChooser_->chooseColor(this, timeColorDialogColor_)) {
    timeColorDialogColor_ = *chosen & 0x00FFFFFFu;
  }
}

void TTimePropty::BackgroundClick() {
  BackgroundButton->setEnabled(!Background->isChecked());
}

void TTimePropty::CancelButtonClick() {
  reject();
}

// ---------------------------------------------------------------------------------------------
// TTimePropty1

TTimePropty1::TTimePropty1(std::string settingsPath, QWidget* parent)
    : TTimePropty(1, std::move(settingsPath),
                  QCoreApplication::translate("TTimePropty", "画像1　タイムスタンプ設定"),
                  QCoreApplication::translate("TTimePropty", "画像１"), QStringLiteral("OkButton"),
                  parent) {
  OkButton = setButton_;

  TimeFormList1 = new QListWidget(this);
  TimeFormList1->setObjectName("TimeFormList1");
  TimeFormList1->setGeometry(276, 8, 188, 200);
  for (const char* format : kOfferedFormats) TimeFormList1->addItem(QString::fromUtf8(format));
  FormSel1 = new QLineEdit(QStringLiteral("hh:nn AM/PM"), this);
  FormSel1->setObjectName("FormSel1");
  FormSel1->setGeometry(276, 214, 188, 22);
  GroupBox1 = new QGroupBox(QCoreApplication::translate("TTimePropty", "サンプル"), this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(276, 242, 188, 46);
  DateTimesample = new QLabel(QStringLiteral("03:15 PM"), GroupBox1);
  DateTimesample->setObjectName("DateTimesample");
  DateTimesample->setGeometry(12, 20, 156, 18);

  OkButton->setGeometry(308, 300, 75, 25);
  CancelButton->setGeometry(389, 300, 75, 25);

  connect(OkButton, &QPushButton::clicked, this, &TTimePropty1::OkButtonClick);
  // A click, also on the item already selected, and a selection by the arrow keys.
  connect(TimeFormList1, &QListWidget::itemClicked, this, &TTimePropty1::TimeFormList1Click);
  connect(TimeFormList1, &QListWidget::itemSelectionChanged, this,
          &TTimePropty1::TimeFormList1Click);

  loadSettings();
  fitToControls();
}

TimeStampStyle TTimePropty1::style() const {
  return currentStyle();
}

std::string TTimePropty1::format() const {
  return FormSel1->text().toStdString();
}

void TTimePropty1::OkButtonClick() {
  storeSettings();
}

void TTimePropty1::TimeFormList1Click() {
  const QList<QListWidgetItem*> selected = TimeFormList1->selectedItems();
  if (!selected.isEmpty()) FormSel1->setText(selected.first()->text());
}

void TTimePropty1::readMore(const TIniFile& ini) {
  FormSel1->setText(QString::fromStdString(readTimeStampFormat(ini)));
}

std::optional<std::string> TTimePropty1::formatToStore() const {
  return format();
}

// ---------------------------------------------------------------------------------------------
// TTimePropty2

TTimePropty2::TTimePropty2(std::string settingsPath, QWidget* parent)
    : TTimePropty(2, std::move(settingsPath),
                  QCoreApplication::translate("TTimePropty", "画像2　タイムスタンプ設定"),
                  QCoreApplication::translate("TTimePropty", "画像２"), QStringLiteral("Button"),
                  parent) {
  Button = setButton_;
  Button->setGeometry(112, 300, 75, 25);
  CancelButton->setGeometry(193, 300, 75, 25);
  connect(Button, &QPushButton::clicked, this, &TTimePropty2::ButtonClick);
  loadSettings();
  fitToControls();
}

TimeStampStyle TTimePropty2::style() const {
  return currentStyle();
}

void TTimePropty2::ButtonClick() {
  storeSettings();
}

}  // namespace snapfolio
