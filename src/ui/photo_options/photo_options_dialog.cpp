#include "ui/photo_options/photo_options_dialog.h"

// Standard library
#include <utility>

// Qt
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

// Project
#include "settings/ini_file.h"
#include "settings/options.h"
#include "ui/common/dialog_store.h"

namespace snapfolio {

namespace {

template <typename Button>
Button* button(const char* name, const QString& caption, QWidget* parent, QRect geometry) {
  auto* b = new Button(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(geometry);
  return b;
}

QGroupBox* group(const char* name, const QString& caption, QWidget* parent, QRect geometry) {
  auto* g = new QGroupBox(caption, parent);
  g->setObjectName(QString::fromLatin1(name));
  g->setGeometry(geometry);
  return g;
}

}  // namespace

TPhotoPropty::TPhotoPropty(std::string settingsPath, QWidget* parent)
    : QDialog(parent), settingsPath_(std::move(settingsPath)) {
  setObjectName(QStringLiteral("PhotoPropty"));
  setWindowTitle(QCoreApplication::translate("TPhotoPropty", "詳細設定"));
  setModal(true);
  createControls();
  InfReSet();
}

void TPhotoPropty::createControls() {
  PhotoGroup =
      group("PhotoGroup",
            QCoreApplication::translate("TPhotoPropty", "写真の読み込み（画像１、画像２で共通）"),
            this, {8, 8, 376, 108});
  Orientation = button<QCheckBox>(
      "Orientation", QCoreApplication::translate("TPhotoPropty", "撮影時の向きに回転する"),
      PhotoGroup, {16, 24, 344, 24});
  ColorProfile = button<QCheckBox>(
      "ColorProfile",
      QCoreApplication::translate("TPhotoPropty", "カラープロファイルをsRGBに変換する"), PhotoGroup,
      {16, 50, 344, 24});
  NoEnlarge = button<QCheckBox>(
      "NoEnlarge", QCoreApplication::translate("TPhotoPropty", "小さい写真を拡大しない"),
      PhotoGroup, {16, 76, 344, 24});

  DateGroup = group("DateGroup",
                    QCoreApplication::translate("TPhotoPropty", "日付（タイムスタンプとHTML）"),
                    this, {8, 124, 376, 82});
  FileDate = button<QRadioButton>("FileDate",
                                  QCoreApplication::translate("TPhotoPropty", "ファイルの更新日時"),
                                  DateGroup, {16, 24, 344, 24});
  TakenDate = button<QRadioButton>("TakenDate",
                                   QCoreApplication::translate("TPhotoPropty", "撮影日時（EXIF）"),
                                   DateGroup, {16, 50, 344, 24});

  MetadataGroup =
      group("MetadataGroup", QCoreApplication::translate("TPhotoPropty", "出力画像のメタデータ"),
            this, {8, 214, 376, 108});
  MetadataNone =
      button<QRadioButton>("MetadataNone", QCoreApplication::translate("TPhotoPropty", "なし"),
                           MetadataGroup, {16, 24, 344, 24});
  MetadataPrivate = button<QRadioButton>(
      "MetadataPrivate", QCoreApplication::translate("TPhotoPropty", "GPSと個人情報を除いて残す"),
      MetadataGroup, {16, 50, 344, 24});
  MetadataAll =
      button<QRadioButton>("MetadataAll", QCoreApplication::translate("TPhotoPropty", "すべて残す"),
                           MetadataGroup, {16, 76, 344, 24});

  // Beside the buttons, in the room they leave on their left.
  WebpOutput =
      button<QCheckBox>("WebpOutput", QCoreApplication::translate("TPhotoPropty", "WebPで出力する"),
                        this, {16, 337, 144, 24});

  OkButton = button<QPushButton>("OkButton", QCoreApplication::translate("TPhotoPropty", "設定"),
                                 this, {168, 334, 100, 30});
  CancelButton =
      button<QPushButton>("CancelButton", QCoreApplication::translate("TPhotoPropty", "キャンセル"),
                          this, {284, 334, 100, 30});
  OkButton->setAutoDefault(false);
  CancelButton->setAutoDefault(false);
  const QRect cancel = CancelButton->geometry();
  setFixedSize(cancel.x() + cancel.width() + 24, cancel.y() + cancel.height() + 16);

  connect(OkButton, &QPushButton::clicked, this, &TPhotoPropty::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TPhotoPropty::CancelButtonClick);
}

void TPhotoPropty::InfReSet() {
  TIniFile ini(settingsPath_);
  addFirstStartChoices(ini);
  showOptions(readPhotoOptions(ini));
}

void TPhotoPropty::showOptions(const PhotoOptions& options) {
  Orientation->setChecked(options.orientation);
  ColorProfile->setChecked(options.colourProfile);
  NoEnlarge->setChecked(options.neverEnlarge);
  WebpOutput->setChecked(options.outputFormat == OutputFormat::Webp);
  (options.dateSource == DateSource::DateTaken ? TakenDate : FileDate)->setChecked(true);
  switch (options.metadata) {
    case MetadataMode::KeepPrivate:
      MetadataPrivate->setChecked(true);
      break;
    case MetadataMode::KeepAll:
      MetadataAll->setChecked(true);
      break;
    default:
      MetadataNone->setChecked(true);
      break;
  }
}

PhotoOptions TPhotoPropty::photoOptions() const {
  PhotoOptions options;
  options.orientation = Orientation->isChecked();
  options.colourProfile = ColorProfile->isChecked();
  options.neverEnlarge = NoEnlarge->isChecked();
  options.outputFormat = WebpOutput->isChecked() ? OutputFormat::Webp : OutputFormat::Jpeg;
  options.dateSource = TakenDate->isChecked() ? DateSource::DateTaken : DateSource::FileTime;
  options.metadata = MetadataAll->isChecked()       ? MetadataMode::KeepAll
                     : MetadataPrivate->isChecked() ? MetadataMode::KeepPrivate
                                                    : MetadataMode::None;
  return options;
}

void TPhotoPropty::OkButtonClick() {
  const bool stored = storeDialogValues(this, settingsPath_, [this](TIniFile& ini) {
    return storePhotoOptions(ini, photoOptions());
  });
  if (stored) accept();
}

void TPhotoPropty::CancelButtonClick() {
  InfReSet();
  reject();
}

}  // namespace snapfolio

// The meta-object code of this file's classes is compiled here rather than with every other
// window's, so that linking this dialog does not need the other windows.
#include "moc_photo_options_dialog.cpp"
