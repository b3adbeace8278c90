// TSnapfolio: the main window. Its controls hold every option of a conversion run; it owns the
// output-directory browser, the preview panel with the two work images, the two gauges and
// status lines, and shows the time-stamp and correction dialogs it is linked to.
//
// The controls are public members named as on the form, each with the same objectName; the
// window owns them (Qt parent). The dialogs are not owned: main() creates them after the
// window and hands them over with setLinks(). Message boxes and file choosers go through a
// WindowDialogs (Qt's own unless the environment passes another, as the tests do).
//
// A conversion run (OKButton) and the preview (InButton) execute on a worker thread and talk to
// the window through runPort(); while one runs, the option controls are disabled, and during
// a run BreakButton1 is shown and enabled. Closing the window during a run asks the run to
// stop and closes when it has ended.
//
// User-interface thread only, except runPort(), which any thread may use.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QStringList>
#include <QWidget>

#include "imaging/correction_values.h"
#include "imaging/photo_pipeline.h"
#include "run/run_port.h"
#include "timestamp/time_stamp_style.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace snapfolio {

class DirectoryList;
class GaugeBar;
class MainWindowPort;
class WindowDialogs;

// What the main window takes from outside when it is constructed.
struct MainWindowEnvironment {
  // The program's working directory at start; SettingsPath is this + "/Snapfolio.ini" and the
  // directory list starts here. Empty: the process's working directory at construction.
  std::string workingDirectory;
  // Message boxes and file choosers. Null: QtWindowDialogs over the window.
  std::shared_ptr<WindowDialogs> dialogs;
};

// The dialogs the main window shows and reads. Any member may be empty (tests link fakes or
// nothing); an empty dialog button then does nothing.
struct MainWindowLinks {
  QDialog* timeStamp1 = nullptr;  // TTimePropty1, shown by FontButton1
  QDialog* timeStamp2 = nullptr;  // TTimePropty2, shown by FontButton2
  QDialog* correction = nullptr;  // TAdjstPropty1, shown by AdjstButton1 and AdjstButton2
  std::function<TimeStampStyle(int imageNumber)> style;  // the style of output image 1 or 2
  std::function<std::string()> format;                   // the stamp format of both images
  std::function<CorrectionValues()> correctionValues;    // the correction values in force
};

class TSnapfolio : public QWidget {
  Q_OBJECT

 public:
  explicit TSnapfolio(MainWindowEnvironment environment = {}, QWidget* parent = nullptr);
  ~TSnapfolio() override;

  void setLinks(MainWindowLinks links);
  const MainWindowLinks& links() const { return links_; }

  // SettingsPath: fixed at construction; every settings access of the program opens it.
  const std::string& settingsPath() const { return settingsPath_; }
  // The working directory at construction (the template chooser starts there).
  const std::string& startDirectory() const { return startDirectory_; }
  // The output directory: the current directory of DirectoryListBox1.
  std::string outputDirectory() const;
  // The initial folder of InFileOpen ("InOutFile"/"INDIR" as read at start-up).
  const std::string& photoDialogInitialDir() const { return inDir_; }
  // The photo dialog's file name: the first photo of the last confirmed selection, or empty.
  const std::string& photoDialogFileName() const { return photoFileName_; }

  // The window as the engine sees it (progress, messages, options, the photo dialog);
  // callable from any thread.
  RunPort& runPort();
  MessagePort& messagePort() { return runPort(); }
  WindowDialogs& dialogs() { return *dialogs_; }

  // Snapshots of the options in force, taken on the user-interface thread.
  RunOptions runOptions() const;
  PipelineInputs pipelineInputs(int imageNumber) const;

  // Whether a run or a preview is executing.
  bool isBusy() const { return busy_; }

  // The stop request of BreakButton1.
  bool stopRequested() const { return stopRequest_.load(); }
  void clearStopRequest() { stopRequest_.store(false); }

  // Event handlers, named after their controls.
  void InButtonClick();
  void OKButtonClick();
  void CancelClick();
  void MakeDirClick();
  void HtmlTemplateClick();
  void FontButton1Click();
  void FontButton2Click();
  void HtmlButtonClick();
  void Gazou1Click();
  void Gazou2Click();
  void HtmlCnvClick();
  void AdjstButton1Click();
  void AdjstButton2Click();
  void DspDirClick();
  void BreakButton1Click();

  // The photo dialog (InFileOpen): shows it starting at the last chosen photo's folder (or at
  // "INDIR"), remembers the first chosen photo; the chosen names, or nothing when cancelled.
  std::optional<QStringList> choosePhotos();

  // Controls, in the form's order.
  QGroupBox* GroupBox1;
  QComboBox* DriveComboBox1;
  DirectoryList* DirectoryListBox1;
  QListWidget* FileListBox1;
  QLabel* Label3;
  QLineEdit* NewDir;
  QPushButton* MakeDir;
  QPushButton* DspDir;

  QGroupBox* GroupBox2;
  QCheckBox* Gazou1;
  QLabel* Label1;
  QLineEdit* Width1;
  QLabel* Label2;
  QLineEdit* PriFileName1;
  QLabel* filemei1;
  QLineEdit* AftFileName1;
  QLabel* jpg1;
  QCheckBox* AutoAdjust1;
  QPushButton* AdjstButton1;
  QCheckBox* CheckTimeStmp1;
  QPushButton* FontButton1;

  QGroupBox* GroupBox3;
  QCheckBox* Gazou2;
  QLabel* Label5;
  QLineEdit* Width2;
  QLabel* Label6;
  QLineEdit* PriFileName2;
  QLabel* filemei2;
  QLineEdit* AftFileName2;
  QLabel* jpg2;
  QCheckBox* AutoAdjust2;
  QPushButton* AdjstButton2;
  QCheckBox* CheckTimeStmp2;
  QPushButton* FontButton2;

  QGroupBox* GroupBox5;
  QCheckBox* HtmlCnv;
  QLabel* Label4;
  QLineEdit* HtmlFile;
  QPushButton* HtmlButton;
  QLabel* Label7;
  QLineEdit* ALBUMTITLE;
  QLabel* Label10;
  QLineEdit* HtmlTemplateFile;
  QPushButton* HtmlTemplate;

  QLabel* Label11;
  QFrame* Panel1;
  QLabel* Image1;
  QLabel* Image2;
  QLabel* Label12;
  QLabel* Label8;
  GaugeBar* CGauge1;
  QLabel* Label9;
  GaugeBar* CGauge2;
  QPushButton* InButton;
  QPushButton* OKButton;
  QPushButton* BreakButton1;
  QPushButton* Cancel;
  QTimer* DirUpdateTimer;

 signals:
  // A run or a preview has ended and the controls are usable again.
  void operationFinished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // main_window_layout.cpp
  void createForm();
  void fitWindowSize();
  // main_window.cpp
  void loadSettings();
  void imageClick(int imageNumber);
  void showDialog(QDialog* dialog);
  // main_window_run.cpp
  ImageOptions imageOptions(int imageNumber) const;
  void startOperation(bool run, std::function<void()> work);
  void setBusy(bool busy, bool run);
  void finishWorker();
  // main_window_dirs.cpp
  void connectDirectoryEvents();
  void onFocusChanged(QWidget* old, QWidget* now);

  std::string startDirectory_;
  std::string settingsPath_;
  std::string inDir_;
  PhotoOrder albumOrder_ = PhotoOrder::AsChosen;  // "AlbumOptions"/"ORDER", read at start-up
  std::string photoFileName_;
  std::shared_ptr<WindowDialogs> dialogs_;
  std::unique_ptr<MainWindowPort> port_;
  MainWindowLinks links_;
  std::atomic<bool> stopRequest_{false};
  // The two work surfaces; only the worker of the operation in progress touches them.
  Workspace workspace_;
  bool busy_ = false;
  bool closeWhenDone_ = false;
  QThread* worker_ = nullptr;
};

}  // namespace snapfolio
