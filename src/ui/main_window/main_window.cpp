// The main window: construction from the settings file, the enabling rules, the dialog
// buttons and the photo dialog.
#include "ui/main_window/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "album/default_template.h"
#include "folders/dir_chk.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/folder_navigation.h"
#include "ui/main_window/main_window_dialogs.h"
#include "ui/main_window/run_controller.h"

namespace snapfolio {

namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string s(const QString& q) {
  return q.toStdString();
}

}  // namespace

TSnapfolio::TSnapfolio(MainWindowEnvironment environment, QWidget* parent)
    : QWidget(parent),
      startDirectory_(environment.workingDirectory.empty() ? s(QDir::currentPath())
                                                           : environment.workingDirectory),
      settingsPath_(startDirectory_ + "/Snapfolio.ini"),
      dialogs_(environment.dialogs ? environment.dialogs
                                   : std::make_shared<QtWindowDialogs>(this)) {
  setUpForm(this, q(startDirectory_));
  controller_ =
      std::make_unique<RunController>(form(), static_cast<RunView&>(*this), settingsPath_);
  connect(controller_.get(), &RunController::operationFinished, this,
          &TSnapfolio::onOperationFinished);

  // Check boxes run their handler on every change of state, also the changes made below.
  connect(Gazou1, &QCheckBox::toggled, this, &TSnapfolio::Gazou1Click);
  connect(Gazou2, &QCheckBox::toggled, this, &TSnapfolio::Gazou2Click);
  connect(HtmlCnv, &QCheckBox::toggled, this, &TSnapfolio::HtmlCnvClick);
  connect(InButton, &QPushButton::clicked, this, &TSnapfolio::InButtonClick);
  connect(OKButton, &QPushButton::clicked, this, &TSnapfolio::OKButtonClick);
  connect(Cancel, &QPushButton::clicked, this, &TSnapfolio::CancelClick);
  connect(BreakButton1, &QPushButton::clicked, this, &TSnapfolio::BreakButton1Click);
  connect(FontButton1, &QPushButton::clicked, this, &TSnapfolio::FontButton1Click);
  connect(FontButton2, &QPushButton::clicked, this, &TSnapfolio::FontButton2Click);
  connect(AdjstButton1, &QPushButton::clicked, this, &TSnapfolio::AdjstButton1Click);
  connect(AdjstButton2, &QPushButton::clicked, this, &TSnapfolio::AdjstButton2Click);
  connect(PhotoButton, &QPushButton::clicked, this, &TSnapfolio::PhotoButtonClick);
  connect(HtmlButton, &QPushButton::clicked, this, &TSnapfolio::HtmlButtonClick);
  connect(HtmlTemplate, &QPushButton::clicked, this, &TSnapfolio::HtmlTemplateClick);
  navigation_ = std::make_unique<FolderNavigation>(*this, form(), *dialogs_);

  loadSettings();
  fitWindowSize(this);
  setWindowTitle(windowTitle() + QStringLiteral("Ver1.03"));
  DirUpdateTimer->start();
}

TSnapfolio::~TSnapfolio() {
  // Widgets are hidden and lose the focus while the base classes are destroyed; the focus
  // handlers must not see this window half-destroyed.
  navigation_.reset();
  controller_->finishWorker();
}

void TSnapfolio::setLinks(MainWindowLinks links) {
  links_ = std::move(links);
}

RunPort& TSnapfolio::runPort() {
  return controller_->port();
}

std::string TSnapfolio::outputDirectory() const {
  return navigation_->outputDirectory();
}

void TSnapfolio::DspDirClick() {
  navigation_->DspDirClick();
}

void TSnapfolio::MakeDirClick() {
  navigation_->MakeDirClick();
}

void TSnapfolio::loadSettings() {
  const TIniFile ini(settingsPath_);
  const int top = read(ini, keys::TOP);
  const int left = read(ini, keys::LEFT);
  move(left, top);
  const auto& image1 = keys::IMAGE[0];
  const auto& image2 = keys::IMAGE[1];
  Gazou1->setChecked(read(ini, image1.gazou));
  Width1->setText(q(read(ini, image1.width)));
  PriFileName1->setText(q(read(ini, image1.priFn)));
  AftFileName1->setText(q(read(ini, image1.aftFn)));
  AutoAdjust1->setChecked(read(ini, image1.atAdj));
  Gazou2->setChecked(read(ini, image2.gazou));
  Width2->setText(q(read(ini, image2.width)));
  PriFileName2->setText(q(read(ini, image2.priFn)));
  AftFileName2->setText(q(read(ini, image2.aftFn)));
  AutoAdjust2->setChecked(read(ini, image2.atAdj));
  inDir_ = read(ini, keys::INDIR);
  const std::string outDir = DirChk(read(ini, keys::OUTDIR));
  if (!outDir.empty()) DirectoryListBox1->setDirectory(q(outDir));
  CheckTimeStmp1->setChecked(read(ini, keys::TIMSTMP[0]));
  CheckTimeStmp2->setChecked(read(ini, keys::TIMSTMP[1]));
  HtmlCnv->setChecked(read(ini, keys::HTMLCK));
  HtmlFile->setText(q(read(ini, keys::HTMLFIL)));
  ALBUMTITLE->setText(q(read(ini, keys::ALBMTITL)));
  HtmlTemplateFile->setText(q(read(ini, keys::HTMLTMP)));
  albumOrder_ = photoOrderFromNumber(read(ini, keys::ALBUM_ORDER));
  // What an empty field stands for; shown only, never stored.
  HtmlFile->setPlaceholderText(q(std::string(kDefaultPageFileName)));
  HtmlTemplateFile->setPlaceholderText(q(shippedTemplatePath("ja")));
}

void TSnapfolio::Gazou1Click() {
  imageClick(1);
}
void TSnapfolio::Gazou2Click() {
  imageClick(2);
}

// Checking an image enables its controls and restores its correction and time-stamp switches
// as the last run stored them; unchecking disables them and clears both switches. The edits
// keep their texts.
void TSnapfolio::imageClick(int imageNumber) {
  const bool one = imageNumber == 1;
  QCheckBox* gazou = one ? Gazou1 : Gazou2;
  QCheckBox* adjust = one ? AutoAdjust1 : AutoAdjust2;
  QCheckBox* stamp = one ? CheckTimeStmp1 : CheckTimeStmp2;
  const bool checked = gazou->isChecked();
  for (QWidget* w : imageControls(imageNumber)) w->setEnabled(checked);
  if (checked) {
    const TIniFile ini(settingsPath_);
    adjust->setChecked(read(ini, keys::IMAGE[imageNumber - 1].atAdj));
    stamp->setChecked(read(ini, keys::TIMSTMP[imageNumber - 1]));
  } else {
    adjust->setChecked(false);
    stamp->setChecked(false);
  }
}

void TSnapfolio::HtmlCnvClick() {
  const bool checked = HtmlCnv->isChecked();
  for (QWidget* w : htmlControls()) w->setEnabled(checked);
}

void TSnapfolio::showDialog(QDialog* dialog) {
  if (dialog != nullptr) dialog->exec();  // the result is ignored: the dialog keeps its state
}

void TSnapfolio::FontButton1Click() {
  showDialog(links_.timeStamp1);
}
void TSnapfolio::FontButton2Click() {
  showDialog(links_.timeStamp2);
}
void TSnapfolio::AdjstButton1Click() {
  showDialog(links_.correction);
}
void TSnapfolio::AdjstButton2Click() {
  showDialog(links_.correction);
}
void TSnapfolio::PhotoButtonClick() {
  showDialog(links_.photo);
}

std::optional<QStringList> TSnapfolio::choosePhotos() {
  const std::string& start = photoFileName_.empty() ? inDir_ : photoFileName_;
  std::optional<QStringList> photos = dialogs_->choosePhotos(q(start));
  if (photos && !photos->isEmpty()) photoFileName_ = s(photos->front());
  return photos;
}

void TSnapfolio::CancelClick() {
  close();
}

}  // namespace snapfolio
