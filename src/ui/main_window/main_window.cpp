// The main window: construction from the settings file, the enabling rules, the dialog
// buttons and the photo dialog.
#include "ui/main_window/main_window.h"

#include <utility>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "album/default_template.h"
#include "core/translation.h"
#include "folders/dir_chk.h"
#include "settings/ini_file.h"
#include "ui/common/dialog_store.h"
#include "settings/options.h"
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
  setAcceptDrops(true);  // photos dropped onto the window start a run over them
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
  connect(KeptAlbumButton, &QPushButton::clicked, this, &TSnapfolio::KeptAlbumButtonClick);
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
  TIniFile ini(settingsPath_);
  addFirstStartChoices(ini);
  const WindowPosition position = readWindowPosition(ini);
  move(position.left, position.top);
  // The controls take the values in the order of the keys: each check box's handler runs as
  // its state changes.
  const RunOptions run = readRunOptions(ini);
  for (int n = 1; n <= 2; ++n) {
    const ImageOptions& image = run.image[n - 1];
    (n == 1 ? Gazou1 : Gazou2)->setChecked(image.produce);
    (n == 1 ? Width1 : Width2)->setText(q(image.widthText.text()));
    (n == 1 ? PriFileName1 : PriFileName2)->setText(q(image.prefix));
    (n == 1 ? AftFileName1 : AftFileName2)->setText(q(image.suffix));
    (n == 1 ? AutoAdjust1 : AutoAdjust2)->setChecked(image.autoAdjust);
  }
  inDir_ = readPhotoFolder(ini);
  const std::string outDir = DirChk(run.outputDir);
  if (!outDir.empty()) DirectoryListBox1->setDirectory(q(outDir));
  CheckTimeStmp1->setChecked(run.image[0].timeStamp);
  CheckTimeStmp2->setChecked(run.image[1].timeStamp);
  HtmlCnv->setChecked(run.album.htmlCnv);
  HtmlFile->setText(q(run.album.htmlFile));
  ALBUMTITLE->setText(q(run.album.albumTitle));
  HtmlTemplateFile->setText(q(run.album.htmlTemplateFile));
  albumOrder_ = run.album.order;
  // What an empty field stands for; shown only, never stored.
  HtmlFile->setPlaceholderText(q(std::string(kDefaultPageFileName)));
  HtmlTemplateFile->setPlaceholderText(q(shippedTemplatePath(interfaceLanguage())));
  // A file that is no settings file is left alone; the user hears so once the window is up.
  if (const std::string message = notSettingsMessage(ini); !message.empty()) {
    QTimer::singleShot(0, this, [this, message] { dialogs_->showMessage(q(message)); });
  }
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
    const ImageOptions stored = readImageOptions(TIniFile(settingsPath_), imageNumber);
    adjust->setChecked(stored.autoAdjust);
    stamp->setChecked(stored.timeStamp);
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

bool TSnapfolio::confirmPhotos(const QStringList& photos) {
  const QString question =
      QCoreApplication::translate("TSnapfolio", "%1枚の写真を変換します。よろしいですか？")
          .arg(photos.size());
  if (!dialogs_->confirm(question)) return false;
  if (!photos.isEmpty()) photoFileName_ = s(photos.front());
  return true;
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
