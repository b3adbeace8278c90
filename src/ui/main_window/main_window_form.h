// MainWindowForm: the main window's form. It creates every control with its name, caption and
// form state and arranges them: the output-directory group with the option groups of output
// image 1, output image 2 and the album page on the left; the preview panel, the status lines
// with their gauges and the buttons on the right. It also places the preview picture in its
// panel.
//
// The members are the controls, named as on the form and each with the same objectName; they
// belong to the window they were created in (Qt parent). TSnapfolio inherits the form privately
// and hands it to its parts; nothing else reaches into it (tests read it through
// TSnapfolio::form()). User-interface thread only.
#pragma once

#include <array>

#include <QString>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class QWidget;

namespace snapfolio {

class DirectoryList;
class GaugeBar;

// The preview panel Panel1, in pixels.
inline constexpr int kPreviewPanelWidth = 400;
inline constexpr int kPreviewPanelHeight = 300;

class MainWindowForm {
 public:
  // Creates the controls inside `window` in the form's order, with their form states, and
  // arranges them. The directory list and the file list start at `startDirectory`.
  void setUpForm(QWidget* window, const QString& startDirectory);
  // The window's size follows the form: its height reaches 30 pixels below GroupBox1 and its
  // width 15 pixels beyond Panel1, measured in the laid-out geometry.
  void fitWindowSize(QWidget* window);

  // The eleven controls of output image n (1 or 2) that its check box enables and disables.
  std::array<QWidget*, 11> imageControls(int imageNumber) const;
  // The eight controls of the album page that HtmlCnv enables and disables.
  std::array<QWidget*, 8> htmlControls() const;

  // Shows `picture` as Image1, centred in Panel1: top = (panel height - H) / 2, then left =
  // (panel width - W) / 2, both truncating toward zero, so a picture larger than the panel sits
  // at negative offsets and is clipped by it.
  void placePreview(const QImage& picture);

  // Controls, in the form's order.
  QGroupBox* GroupBox1 = nullptr;
  QComboBox* DriveComboBox1 = nullptr;
  DirectoryList* DirectoryListBox1 = nullptr;
  QListWidget* FileListBox1 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* NewDir = nullptr;
  QPushButton* MakeDir = nullptr;
  QPushButton* DspDir = nullptr;

  QGroupBox* GroupBox2 = nullptr;
  QCheckBox* Gazou1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Width1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* PriFileName1 = nullptr;
  QLabel* filemei1 = nullptr;
  QLineEdit* AftFileName1 = nullptr;
  QLabel* jpg1 = nullptr;
  QCheckBox* AutoAdjust1 = nullptr;
  QPushButton* AdjstButton1 = nullptr;
  QCheckBox* CheckTimeStmp1 = nullptr;
  QPushButton* FontButton1 = nullptr;

  QGroupBox* GroupBox3 = nullptr;
  QCheckBox* Gazou2 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Width2 = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* PriFileName2 = nullptr;
  QLabel* filemei2 = nullptr;
  QLineEdit* AftFileName2 = nullptr;
  QLabel* jpg2 = nullptr;
  QCheckBox* AutoAdjust2 = nullptr;
  QPushButton* AdjstButton2 = nullptr;
  QCheckBox* CheckTimeStmp2 = nullptr;
  QPushButton* FontButton2 = nullptr;

  QGroupBox* GroupBox5 = nullptr;
  QCheckBox* HtmlCnv = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* HtmlFile = nullptr;
  QPushButton* HtmlButton = nullptr;
  QLabel* Label7 = nullptr;
  QLineEdit* ALBUMTITLE = nullptr;
  QLabel* Label10 = nullptr;
  QLineEdit* HtmlTemplateFile = nullptr;
  QPushButton* HtmlTemplate = nullptr;

  QLabel* Label11 = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label8 = nullptr;
  GaugeBar* CGauge1 = nullptr;
  QLabel* Label9 = nullptr;
  GaugeBar* CGauge2 = nullptr;
  QPushButton* InButton = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* BreakButton1 = nullptr;
  QPushButton* Cancel = nullptr;
  // "詳細設定": the photo options dialog, above 終了 where the designed form is empty.
  QPushButton* PhotoButton = nullptr;
  // "アルバムサイト": the album site dialog, beside 詳細設定.
  QPushButton* KeptAlbumButton = nullptr;
  QTimer* DirUpdateTimer = nullptr;

 private:
  void createDirectoryGroup(QWidget* window, const QString& startDirectory);
  void createImageGroups();
  void createHtmlGroup();
  void createPreviewAndRun(QWidget* window);
  void arrangeImageGroups();
  void arrangeHtmlGroup();
  void arrangeDirectoryGroup();
  void arrangeWindow(QWidget* window);
};

}  // namespace snapfolio
