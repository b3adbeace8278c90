#include "ui/time_stamp/stamp_font_dialog.h"

// Standard library
#include <algorithm>

// Qt
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

// Project
#include "core/limits.h"
#include "imaging/time_stamp_drawing.h"

namespace snapfolio {

namespace {

QColor toQColor(std::uint32_t colour) {
  return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

QString charsetName(int charset) {
  switch (charset) {
    case 0:
      return QCoreApplication::translate("StampFontDialog", "欧文");
    case 1:
      return QCoreApplication::translate("StampFontDialog", "既定");
    case 2:
      return QCoreApplication::translate("StampFontDialog", "記号");
    case 128:
      return QCoreApplication::translate("StampFontDialog", "日本語");
    default:
      return QString::number(charset);
  }
}

QIcon swatch(std::uint32_t colour) {
  QPixmap pixmap(24, 12);
  pixmap.fill(toQColor(colour));
  return QIcon(pixmap);
}

// True where the interface's translation is written in Latin letters. Like the toolkit's own
// layout-direction marker, the translation states it: the designed interface says nothing.
bool latinInterface() {
  return QCoreApplication::translate("StampFontDialog", "INTERFACE_SCRIPT",
                                     "Latin for a translation in Latin letters") ==
         QLatin1String("Latin");
}

// The installed family the stamp is drawn with for `font`.
QString drawnFamily(const StampFont& font) {
  TimeStampStyle style;
  applyFont(style, font);
  style.autoSize = false;
  return QFontInfo(stampFont(style, 0)).family();
}

QComboBox* makeFontName(const QString& stored, const QString& shown, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName("FontName");
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  QStringList families = QFontDatabase::families();
  if (!stored.isEmpty() && !families.contains(stored)) families.prepend(stored);
  box->addItems(families);
  box->setCurrentText(shown);
  return box;
}

QSpinBox* makeFontSize(int size, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName("FontSize");
  box->setRange(kLimits.smallestStampPoints, kLimits.largestStampPoints);
  box->setSuffix(QStringLiteral(" pt"));
  box->setValue(std::clamp(size, kLimits.smallestStampPoints, kLimits.largestStampPoints));
  return box;
}

QCheckBox* makeStyleBox(const QString& caption, const char* name, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(checked);
  return box;
}

QComboBox* makeFontCharset(int charset, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName("FontCharset");
  for (int offered : StampFontDialog::kCharsets) box->addItem(charsetName(offered), offered);
  if (box->findData(charset) < 0) box->addItem(charsetName(charset), charset);
  box->setCurrentIndex(box->findData(charset));
  return box;
}

QLabel* makeSample(QWidget* parent) {
  // A date in the formats' manner; the English interface shows Latin letters instead of the
  // Japanese era.
  auto* sample = new QLabel(
      QCoreApplication::translate("StampFontDialog", "2002/05/30 03:15 PM 平成14年"), parent);
  sample->setObjectName("Sample");
  sample->setMinimumSize(320, 72);
  sample->setAlignment(Qt::AlignCenter);
  sample->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return sample;
}

}  // namespace

StampFontDialog::StampFontDialog(const StampFont& initial, QWidget* parent)
    : QDialog(parent),
      color_(initial.color & 0x00FFFFFFu),
      storedName_(QString::fromStdString(initial.name)),
      shownName_(storedName_),
      storedCharset_(initial.charset),
      shownCharset_(initial.charset) {
  // A Latin-letter interface opens on what the stamp is really drawn with: the installed font
  // that stands in for a face that is not installed, and the Western character set instead of
  // the Japanese one. Confirming without changing them keeps the stored values.
  if (latinInterface()) {
    if (!storedName_.isEmpty() && !QFontDatabase::families().contains(storedName_)) {
      shownName_ = drawnFamily(initial);
    }
    if (storedCharset_ == 128) shownCharset_ = 0;
  }
  setWindowTitle(QCoreApplication::translate("StampFontDialog", "フォント"));
  qtColorChooser_ = makeQtColorChooser();
  colorChooser_ = qtColorChooser_.get();

  // Created in the order of the tab chain.
  FontName = makeFontName(storedName_, shownName_, this);
  FontSize = makeFontSize(initial.size, this);
  Bold = makeStyleBox(QCoreApplication::translate("StampFontDialog", "太字"), "Bold", initial.bold,
                      this);
  Italic = makeStyleBox(QCoreApplication::translate("StampFontDialog", "斜体"), "Italic",
                        initial.italic, this);
  Underline = makeStyleBox(QCoreApplication::translate("StampFontDialog", "下線"), "Underline",
                           initial.underline, this);
  StrikeOut = makeStyleBox(QCoreApplication::translate("StampFontDialog", "取り消し線"),
                           "StrikeOut", initial.strikeOut, this);
  FontColor = new QPushButton(QCoreApplication::translate("StampFontDialog", "色の選択..."), this);
  FontColor->setObjectName("FontColor");
  FontCharset = makeFontCharset(shownCharset_, this);
  DrawnWith = new QLabel(this);
  DrawnWith->setObjectName("DrawnWith");
  Sample = makeSample(this);
  auto* buttons = new QDialogButtonBox(this);
  OkButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  OkButton->setObjectName("OkButton");
  OkButton->setDefault(true);
  CancelButton = buttons->addButton(QCoreApplication::translate("StampFontDialog", "キャンセル"),
                                    QDialogButtonBox::RejectRole);
  CancelButton->setObjectName("CancelButton");

  layOutControls(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(FontColor, &QPushButton::clicked, this, &StampFontDialog::FontColorClick);
  connect(FontName, &QComboBox::currentTextChanged, this, &StampFontDialog::updateSample);
  connect(FontSize, &QSpinBox::valueChanged, this, &StampFontDialog::updateSample);
  for (QCheckBox* box : {Bold, Italic, Underline, StrikeOut}) {
    connect(box, &QCheckBox::toggled, this, &StampFontDialog::updateSample);
  }
  updateSample();
}

// The form of the font's fields above the sample and the buttons.
void StampFontDialog::layOutControls(QDialogButtonBox* buttons) {
  auto* styleRow = new QHBoxLayout;
  for (QCheckBox* box : {Bold, Italic, Underline, StrikeOut}) styleRow->addWidget(box);
  styleRow->addStretch();
  auto* form = new QFormLayout;
  form->addRow(QCoreApplication::translate("StampFontDialog", "フォント名:"), FontName);
  form->addRow(QCoreApplication::translate("StampFontDialog", "描画に使うフォント:"), DrawnWith);
  form->addRow(QCoreApplication::translate("StampFontDialog", "サイズ:"), FontSize);
  form->addRow(QCoreApplication::translate("StampFontDialog", "スタイル:"), styleRow);
  form->addRow(QCoreApplication::translate("StampFontDialog", "色:"), FontColor);
  form->addRow(QCoreApplication::translate("StampFontDialog", "文字セット:"), FontCharset);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Sample, 1);
  layout->addWidget(buttons);
}

StampFont StampFontDialog::font() const {
  StampFont font;
  const QString name = FontName->currentText().trimmed();
  font.name = (name == shownName_ ? storedName_ : name).toStdString();
  font.size = FontSize->value();
  font.color = color_;
  const int charset = FontCharset->currentData().toInt();
  font.charset = charset == shownCharset_ ? storedCharset_ : charset;
  font.bold = Bold->isChecked();
  font.italic = Italic->isChecked();
  font.underline = Underline->isChecked();
  font.strikeOut = StrikeOut->isChecked();
  return font;
}

void StampFontDialog::FontColorClick() {
  if (std::optional<std::uint32_t> chosen = colorChooser_->chooseColor(this, color_)) {
    color_ = *chosen & 0x00FFFFFFu;
    updateSample();
  }
}

void StampFontDialog::updateSample() {
  TimeStampStyle style;
  applyFont(style, font());
  style.autoSize = false;
  // The sample shows the face and style; a very large size is shown at most 48 pixels high.
  QFont sampleFont = stampFont(style, 0);
  sampleFont.setPixelSize(std::min(sampleFont.pixelSize(), 48));
  Sample->setFont(sampleFont);
  DrawnWith->setText(QFontInfo(sampleFont).family());
  QPalette palette = Sample->palette();
  palette.setColor(QPalette::WindowText, toQColor(color_));
  Sample->setPalette(palette);
  FontColor->setIcon(swatch(color_));
}

}  // namespace snapfolio
