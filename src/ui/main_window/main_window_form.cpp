// The main window's form: its controls with their names, captions and form states, and their
// arrangement (the output-directory group on the left, the preview and the run on the right).
#include "ui/main_window/main_window_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/common/gauge_bar.h"
#include "ui/main_window/directory_list.h"

namespace snapfolio {

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kGaugeWidth = 345;
constexpr int kGaugeHeight = 17;
constexpr int kGroupBox1Width = 361;

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
  QLabel* l = named(new QLabel(text, parent), name);
  l->setTextFormat(Qt::PlainText);  // "<表示幅400ピクセル>" is text, not markup
  return l;
}

QLineEdit* edit(QWidget* parent, const char* name, const QString& text = {}) {
  return named(new QLineEdit(text, parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
  return named(new QPushButton(text, parent), name);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text) {
  return named(new QCheckBox(text, parent), name);
}

// A status line: one line high even while empty, and never widening the window.
QLabel* statusLabel(QWidget* parent, const char* name) {
  QLabel* l = label(parent, name, {});
  l->setMinimumHeight(l->fontMetrics().height());
  l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  return l;
}

// The controls of one output image's group, in the order the group arranges them.
struct ImageGroup {
  QGroupBox* group;
  QCheckBox* gazou;
  QLabel* widthLabel;
  QLineEdit* width;
  QLabel* pixels;
  QLineEdit* prefix;
  QLabel* name;
  QLineEdit* suffix;
  QLabel* ext;
  QCheckBox* adjust;
  QPushButton* adjustButton;
  QCheckBox* stamp;
  QPushButton* stampButton;
};

// The check box heads the group; below it the width row beside the correction switch and its
// button, and the file-name row beside the time-stamp switch and its button.
void arrangeImageGroup(const ImageGroup& c) {
  auto* grid = new QGridLayout(c.group);
  grid->setContentsMargins(8, 2, 8, 4);
  grid->setVerticalSpacing(3);
  grid->addWidget(c.gazou, 0, 0, 1, 3);
  auto* widthRow = new QHBoxLayout;
  widthRow->addWidget(c.widthLabel);
  widthRow->addWidget(c.width);
  widthRow->addWidget(c.pixels);
  widthRow->addStretch(1);
  c.width->setFixedWidth(56);
  auto* nameRow = new QHBoxLayout;
  nameRow->setSpacing(2);
  nameRow->addWidget(c.prefix, 1);
  nameRow->addWidget(c.name);
  nameRow->addWidget(c.suffix, 1);
  nameRow->addWidget(c.ext);
  grid->addLayout(widthRow, 1, 0);
  grid->addWidget(c.adjust, 1, 1);
  grid->addWidget(c.adjustButton, 1, 2);
  grid->addLayout(nameRow, 2, 0);
  grid->addWidget(c.stamp, 2, 1);
  grid->addWidget(c.stampButton, 2, 2);
  grid->setColumnStretch(0, 1);
  for (QPushButton* b : {c.adjustButton, c.stampButton}) b->setFixedSize(52, 22);
}

}  // namespace

void MainWindowForm::setUpForm(QWidget* window, const QString& startDirectory) {
  QFont formFont(QStringLiteral("ＭＳ Ｐゴシック"));
  formFont.setPixelSize(12);
  window->setFont(formFont);
  window->setWindowTitle(QStringLiteral("Snapfolio "));
  window->resize(800, 557);

  createDirectoryGroup(window, startDirectory);
  createImageGroups();
  createHtmlGroup();
  createPreviewAndRun(window);

  arrangeImageGroups();
  arrangeHtmlGroup();
  arrangeDirectoryGroup();
  arrangeWindow(window);
}

void MainWindowForm::createDirectoryGroup(QWidget* window, const QString& startDirectory) {
  GroupBox1 =
      named(new QGroupBox(QCoreApplication::translate("TSnapfolio", "出力ディレクトリ"), window),
            "GroupBox1");
  DriveComboBox1 = named(new QComboBox(GroupBox1), "DriveComboBox1");
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) DriveComboBox1->addItem(volume.rootPath());
  }
  const int startVolume = DriveComboBox1->findText(QStorageInfo(startDirectory).rootPath());
  if (startVolume >= 0) DriveComboBox1->setCurrentIndex(startVolume);
  DirectoryListBox1 = named(new DirectoryList(GroupBox1), "DirectoryListBox1");
  DirectoryListBox1->setDirectory(startDirectory);
  FileListBox1 = named(new QListWidget(GroupBox1), "FileListBox1");
  FileListBox1->setFocusPolicy(Qt::NoFocus);
  FileListBox1->setStyleSheet(QStringLiteral("QListWidget { background-color: #c0c0c0; }"));
  FileListBox1->addItems(
      QDir(startDirectory).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
  Label3 = label(GroupBox1, "Label3", QStringLiteral("Dir:"));
  NewDir = edit(GroupBox1, "NewDir");
  MakeDir = button(GroupBox1, "MakeDir", QCoreApplication::translate("TSnapfolio", "出力Dir作成"));
  DspDir = button(GroupBox1, "DspDir", QCoreApplication::translate("TSnapfolio", "更新"));
}

void MainWindowForm::createImageGroups() {
  GroupBox2 = named(new QGroupBox(GroupBox1), "GroupBox2");
  Gazou1 = checkBox(GroupBox2, "Gazou1",
                    QCoreApplication::translate("TSnapfolio", "出力画像１ (サムネール） "));
  Label1 = label(GroupBox2, "Label1", QCoreApplication::translate("TSnapfolio", "横幅"));
  Width1 = edit(GroupBox2, "Width1", QStringLiteral("150"));
  Label2 = label(GroupBox2, "Label2", QCoreApplication::translate("TSnapfolio", "ピクセル"));
  PriFileName1 = edit(GroupBox2, "PriFileName1");
  filemei1 = label(GroupBox2, "filemei1", QCoreApplication::translate("TSnapfolio", "ファイル名"));
  AftFileName1 = edit(GroupBox2, "AftFileName1");
  jpg1 = label(GroupBox2, "jpg1", QStringLiteral(".jpg"));
  AutoAdjust1 =
      checkBox(GroupBox2, "AutoAdjust1", QCoreApplication::translate("TSnapfolio", "自動補正"));
  AdjstButton1 =
      button(GroupBox2, "AdjstButton1", QCoreApplication::translate("TSnapfolio", "補正値"));
  CheckTimeStmp1 = checkBox(GroupBox2, "CheckTimeStmp1", QStringLiteral("DATE"));
  FontButton1 = button(GroupBox2, "FontButton1", QCoreApplication::translate("TSnapfolio", "設定"));

  GroupBox3 = named(new QGroupBox(GroupBox1), "GroupBox3");
  Gazou2 = checkBox(GroupBox3, "Gazou2", QCoreApplication::translate("TSnapfolio", "出力画像２"));
  Label5 = label(GroupBox3, "Label5", QCoreApplication::translate("TSnapfolio", "横幅"));
  Width2 = edit(GroupBox3, "Width2");
  Label6 = label(GroupBox3, "Label6", QCoreApplication::translate("TSnapfolio", "ピクセル"));
  PriFileName2 = edit(GroupBox3, "PriFileName2");
  filemei2 = label(GroupBox3, "filemei2", QCoreApplication::translate("TSnapfolio", "ファイル名"));
  AftFileName2 = edit(GroupBox3, "AftFileName2");
  jpg2 = label(GroupBox3, "jpg2", QStringLiteral(".jpg"));
  AutoAdjust2 =
      checkBox(GroupBox3, "AutoAdjust2", QCoreApplication::translate("TSnapfolio", "自動補正"));
  AutoAdjust2->setChecked(true);
  AdjstButton2 =
      button(GroupBox3, "AdjstButton2", QCoreApplication::translate("TSnapfolio", "補正値"));
  CheckTimeStmp2 = checkBox(GroupBox3, "CheckTimeStmp2", QStringLiteral("DATE"));
  FontButton2 = button(GroupBox3, "FontButton2", QCoreApplication::translate("TSnapfolio", "設定"));
}

void MainWindowForm::createHtmlGroup() {
  GroupBox5 = named(new QGroupBox(GroupBox1), "GroupBox5");
  HtmlCnv = checkBox(GroupBox5, "HtmlCnv", QCoreApplication::translate("TSnapfolio", "HTML出力"));
  Label4 = label(GroupBox5, "Label4", QCoreApplication::translate("TSnapfolio", "ﾌｧｲﾙ名 :"));
  HtmlFile = edit(GroupBox5, "HtmlFile");
  HtmlButton = button(GroupBox5, "HtmlButton", QCoreApplication::translate("TSnapfolio", "設定"));
  Label7 = label(GroupBox5, "Label7", QCoreApplication::translate("TSnapfolio", "ﾀｲﾄﾙ :"));
  ALBUMTITLE = edit(GroupBox5, "ALBUMTITLE");
  Label10 = label(GroupBox5, "Label10", QCoreApplication::translate("TSnapfolio", "ﾃﾝﾌﾟﾚｰﾄ :"));
  HtmlTemplateFile = edit(GroupBox5, "HtmlTemplateFile");
  HtmlTemplate =
      button(GroupBox5, "HtmlTemplate", QCoreApplication::translate("TSnapfolio", "参照"));
  for (QWidget* w : htmlControls()) w->setEnabled(false);
}

void MainWindowForm::createPreviewAndRun(QWidget* window) {
  Label11 = label(window, "Label11", QCoreApplication::translate("TSnapfolio", "サムネール"));
  Panel1 = named(new QFrame(window), "Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setFixedSize(kPreviewPanelWidth, kPreviewPanelHeight);
  Image1 = label(Panel1, "Image1", {});
  Image2 = label(Panel1, "Image2", {});
  Image1->hide();
  Image2->hide();
  Label12 =
      label(window, "Label12", QCoreApplication::translate("TSnapfolio", "<表示幅400ピクセル>"));
  Label8 = statusLabel(window, "Label8");
  CGauge1 = named(new GaugeBar(1, window), "CGauge1");
  Label9 = statusLabel(window, "Label9");
  CGauge2 = named(new GaugeBar(100, window), "CGauge2");
  for (GaugeBar* g : {CGauge1, CGauge2}) g->setFixedSize(kGaugeWidth, kGaugeHeight);
  InButton = button(window, "InButton", QCoreApplication::translate("TSnapfolio", "プレビュー"));
  OKButton = button(window, "OKButton", QCoreApplication::translate("TSnapfolio", "入力"));
  BreakButton1 = button(window, "BreakButton1", QCoreApplication::translate("TSnapfolio", "中止"));
  BreakButton1->setEnabled(false);
  BreakButton1->setFocusPolicy(Qt::NoFocus);
  BreakButton1->hide();
  Cancel = button(window, "Cancel", QCoreApplication::translate("TSnapfolio", "終了"));
  PhotoButton =
      button(window, "PhotoButton", QCoreApplication::translate("TSnapfolio", "詳細設定"));
  for (QPushButton* b : {InButton, OKButton, BreakButton1, Cancel, PhotoButton}) {
    b->setFixedSize(kButtonWidth, kButtonHeight);
  }
  KeptAlbumButton = button(window, "KeptAlbumButton",
                           QCoreApplication::translate("TSnapfolio", "アルバムサイト"));
  KeptAlbumButton->setFixedSize(KeptAlbumButton->sizeHint().width() + 8, kButtonHeight);

  DirUpdateTimer = named(new QTimer(window), "DirUpdateTimer");
  DirUpdateTimer->setInterval(2000);
}

void MainWindowForm::arrangeImageGroups() {
  arrangeImageGroup({GroupBox2, Gazou1, Label1, Width1, Label2, PriFileName1, filemei1,
                     AftFileName1, jpg1, AutoAdjust1, AdjstButton1, CheckTimeStmp1, FontButton1});
  arrangeImageGroup({GroupBox3, Gazou2, Label5, Width2, Label6, PriFileName2, filemei2,
                     AftFileName2, jpg2, AutoAdjust2, AdjstButton2, CheckTimeStmp2, FontButton2});
}

void MainWindowForm::arrangeHtmlGroup() {
  auto* html = new QGridLayout(GroupBox5);
  html->setContentsMargins(8, 2, 8, 4);
  html->setVerticalSpacing(3);
  html->addWidget(HtmlCnv, 0, 0, 1, 3);
  html->addWidget(Label4, 1, 0);
  html->addWidget(HtmlFile, 1, 1);
  html->addWidget(HtmlButton, 1, 2);
  html->addWidget(Label7, 2, 0);
  html->addWidget(ALBUMTITLE, 2, 1, 1, 2);
  html->addWidget(Label10, 3, 0);
  html->addWidget(HtmlTemplateFile, 3, 1);
  html->addWidget(HtmlTemplate, 3, 2);
  html->setColumnStretch(1, 1);
  for (QPushButton* b : {HtmlButton, HtmlTemplate}) b->setFixedSize(52, 22);
}

// The drive selector above the directory list beside the file list, the new-directory row, then
// the three option groups.
void MainWindowForm::arrangeDirectoryGroup() {
  auto* nav = new QHBoxLayout;
  auto* tree = new QVBoxLayout;
  tree->addWidget(DriveComboBox1);
  tree->addWidget(DirectoryListBox1, 1);
  nav->addLayout(tree, 1);
  nav->addWidget(FileListBox1);
  FileListBox1->setFixedWidth(120);
  DirectoryListBox1->setMinimumHeight(120);
  DirectoryListBox1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);

  auto* newDirRow = new QHBoxLayout;
  newDirRow->addWidget(Label3);
  newDirRow->addWidget(NewDir, 1);
  newDirRow->addWidget(MakeDir);
  newDirRow->addWidget(DspDir);

  auto* left = new QVBoxLayout(GroupBox1);
  left->setContentsMargins(8, 6, 8, 8);
  left->setSpacing(5);
  left->addLayout(nav, 1);
  left->addLayout(newDirRow);
  left->addWidget(GroupBox2);
  left->addWidget(GroupBox3);
  left->addWidget(GroupBox5);
  GroupBox1->setFixedWidth(kGroupBox1Width);
}

// GroupBox1 on the left; on the right the preview, the two status lines over their gauges, and
// the buttons at the bottom, with "アルバムサイト" and "詳細設定" at the right end just above them
// (in the form's empty space, so that no designed control moves; the row below has no room for a
// fifth button while 中止 is shown).
void MainWindowForm::arrangeWindow(QWidget* window) {
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(8);
  for (QPushButton* b : {InButton, OKButton, BreakButton1, Cancel}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* options = new QHBoxLayout;
  options->addStretch(1);
  options->addWidget(KeptAlbumButton);
  options->addWidget(PhotoButton);

  auto* right = new QVBoxLayout;
  right->setSpacing(4);
  right->addWidget(Label11);
  right->addWidget(Panel1);
  right->addWidget(Label12);
  right->addSpacing(10);
  right->addWidget(Label8);
  right->addWidget(CGauge1);
  right->addSpacing(4);
  right->addWidget(Label9);
  right->addWidget(CGauge2);
  right->addStretch(1);
  right->addLayout(options);
  right->addLayout(buttons);

  auto* columns = new QHBoxLayout(window);
  columns->setContentsMargins(8, 8, 15, 30);
  columns->setSpacing(7);
  columns->addWidget(GroupBox1);
  columns->addLayout(right, 1);
}

void MainWindowForm::fitWindowSize(QWidget* window) {
  window->resize(window->minimumSizeHint());  // the compact form; the lists grow with the window
  window->layout()->activate();
  const QRect group = GroupBox1->geometry();
  const QRect panel(Panel1->mapTo(window, QPoint(0, 0)), Panel1->size());
  window->resize(panel.left() + panel.width() + 15, group.top() + group.height() + 30);
}

std::array<QWidget*, 11> MainWindowForm::imageControls(int imageNumber) const {
  if (imageNumber == 1) {
    return {Label1, Width1,         Label2,      PriFileName1, filemei1,    AftFileName1,
            jpg1,   CheckTimeStmp1, FontButton1, AutoAdjust1,  AdjstButton1};
  }
  return {Label5, Width2,         Label6,      PriFileName2, filemei2,    AftFileName2,
          jpg2,   CheckTimeStmp2, FontButton2, AutoAdjust2,  AdjstButton2};
}

std::array<QWidget*, 8> MainWindowForm::htmlControls() const {
  return {Label4,     HtmlFile, HtmlButton,       Label7,
          ALBUMTITLE, Label10,  HtmlTemplateFile, HtmlTemplate};
}

void MainWindowForm::placePreview(const QImage& picture) {
  const int top = (Panel1->height() - picture.height()) / 2;
  const int left = (Panel1->width() - picture.width()) / 2;
  Image1->setPixmap(QPixmap::fromImage(picture));
  Image1->setGeometry(left, top, picture.width(), picture.height());
  Image1->show();
}

}  // namespace snapfolio
