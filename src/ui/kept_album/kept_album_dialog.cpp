#include "ui/kept_album/kept_album_dialog.h"

// Standard library
#include <utility>

// Qt
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

// Project
#include "settings/ini_file.h"
#include "site/site_build.h"
#include "ui/common/dialog_store.h"

namespace snapfolio {

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

std::string absoluteFolder(const std::string& typed) {
  if (typed.empty()) return {};
  return QDir::cleanPath(QFileInfo(QString::fromStdString(typed)).absoluteFilePath()).toStdString();
}

QString keptAlbumProblem(const KeptAlbumFields& fields) {
  const QString source = QString::fromStdString(fields.source);
  if (fields.source.empty())
    return QCoreApplication::translate("TKeptAlbum", "写真のフォルダを指定してください。");
  if (!QFileInfo(source).isDir())
    return QCoreApplication::translate("TKeptAlbum", "写真のフォルダ %1 がありません。")
        .arg(source);
  if (fields.site.empty())
    return QCoreApplication::translate("TKeptAlbum", "アルバムのフォルダを指定してください。");
  // The site may lie inside the photo folder (it is never scanned), not the other way round.
  if (site::liesInside(fields.source, fields.site)) {
    return QCoreApplication::translate("TKeptAlbum",
                                       "写真のフォルダ %1 がアルバムのフォルダの中にあります。")
        .arg(source);
  }
  return {};
}

TKeptAlbum::TKeptAlbum(std::string settingsPath, QWidget* parent)
    : QDialog(parent), settingsPath_(std::move(settingsPath)) {
  setObjectName(QStringLiteral("KeptAlbum"));
  setWindowTitle(QCoreApplication::translate("TKeptAlbum", "アルバムサイト"));
  setModal(true);
  createControls();
  const KeptAlbumFields stored = readKeptAlbumFields(TIniFile(settingsPath_));
  SourceDir->setText(QString::fromStdString(stored.source));
  SiteDir->setText(QString::fromStdString(stored.site));
  SiteTitle->setText(QString::fromStdString(stored.title));
  BaseUrl->setText(QString::fromStdString(stored.baseUrl));
  CopyOriginals->setChecked(stored.copyOriginals);
}

void TKeptAlbum::createControls() {
  auto* grid = new QGridLayout;
  const auto row = [&](int at, const char* labelName, const QString& caption, QLineEdit* edit,
                       QPushButton* button) {
    grid->addWidget(named(new QLabel(caption, this), labelName), at, 0);
    grid->addWidget(edit, at, 1, 1, button ? 1 : 2);
    if (button) grid->addWidget(button, at, 2);
  };
  SourceDir = named(new QLineEdit(this), "SourceDir");
  SourceButton = named(new QPushButton(QCoreApplication::translate("TKeptAlbum", "参照"), this),
                       "SourceButton");
  SiteDir = named(new QLineEdit(this), "SiteDir");
  SiteButton =
      named(new QPushButton(QCoreApplication::translate("TKeptAlbum", "参照"), this), "SiteButton");
  SiteTitle = named(new QLineEdit(this), "SiteTitle");
  BaseUrl = named(new QLineEdit(this), "BaseUrl");
  BaseUrl->setPlaceholderText(
      QCoreApplication::translate("TKeptAlbum", "（なくてもよい）https://..."));
  row(0, "SourceLabel", QCoreApplication::translate("TKeptAlbum", "写真のフォルダ :"), SourceDir,
      SourceButton);
  row(1, "SiteLabel", QCoreApplication::translate("TKeptAlbum", "アルバムのフォルダ :"), SiteDir,
      SiteButton);
  row(2, "TitleLabel", QCoreApplication::translate("TKeptAlbum", "タイトル :"), SiteTitle, nullptr);
  row(3, "BaseUrlLabel", QCoreApplication::translate("TKeptAlbum", "公開するURL :"), BaseUrl,
      nullptr);
  CopyOriginals = named(
      new QCheckBox(
          QCoreApplication::translate("TKeptAlbum", "元の写真もアルバムに入れる（ダウンロード用）"),
          this),
      "CopyOriginals");
  Rebuild =
      named(new QCheckBox(QCoreApplication::translate("TKeptAlbum", "カタログを作り直す"), this),
            "Rebuild");
  grid->addWidget(CopyOriginals, 4, 0, 1, 3);
  grid->addWidget(Rebuild, 5, 0, 1, 3);
  grid->setColumnMinimumWidth(1, 320);

  OkButton =
      named(new QPushButton(QCoreApplication::translate("TKeptAlbum", "作成"), this), "OkButton");
  CancelButton =
      named(new QPushButton(QCoreApplication::translate("TKeptAlbum", "キャンセル"), this),
            "CancelButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  for (QPushButton* b : {SourceButton, SiteButton, OkButton, CancelButton})
    b->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(OkButton, &QPushButton::clicked, this, &TKeptAlbum::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(SourceButton, &QPushButton::clicked, this, &TKeptAlbum::SourceButtonClick);
  connect(SiteButton, &QPushButton::clicked, this, &TKeptAlbum::SiteButtonClick);
}

KeptAlbumFields TKeptAlbum::fields() const {
  KeptAlbumFields fields;
  fields.source = absoluteFolder(SourceDir->text().trimmed().toStdString());
  fields.site = absoluteFolder(SiteDir->text().trimmed().toStdString());
  fields.title = SiteTitle->text().toStdString();
  fields.copyOriginals = CopyOriginals->isChecked();
  fields.baseUrl = BaseUrl->text().trimmed().toStdString();
  return fields;
}

bool TKeptAlbum::rebuild() const {
  return Rebuild->isChecked();
}

void TKeptAlbum::OkButtonClick() {
  const KeptAlbumFields chosen = fields();
  if (const QString problem = keptAlbumProblem(chosen); !problem.isEmpty()) {
    QMessageBox::information(this, QStringLiteral("Snapfolio"), problem);
    return;
  }
  const bool stored = storeDialogValues(
      this, settingsPath_, [&](TIniFile& ini) { return storeKeptAlbumFields(ini, chosen); });
  if (stored) accept();
}

void TKeptAlbum::SourceButtonClick() {
  chooseFolder(SourceDir);
}

void TKeptAlbum::SiteButtonClick() {
  chooseFolder(SiteDir);
}

void TKeptAlbum::chooseFolder(QLineEdit* edit) {
  const QString folder = QFileDialog::getExistingDirectory(this, windowTitle(), edit->text());
  if (!folder.isEmpty()) edit->setText(folder);
}

}  // namespace snapfolio

// The meta-object code of this file's classes is compiled here rather than with every other
// window's, so that linking this dialog does not need the other windows.
#include "moc_kept_album_dialog.cpp"
