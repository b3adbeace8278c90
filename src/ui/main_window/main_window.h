// TSnapfolio: the main window. Its controls hold every option of a conversion run; it shows the
// time-stamp and correction dialogs it is linked to, and reads its options from the settings
// file at start-up. It is made of three parts:
//   - its form (MainWindowForm): the controls, named as on the form and each with the same
//     objectName, and their arrangement; the window owns the controls (Qt parent);
//   - the folder navigation (FolderNavigation): the output-directory group;
//   - the run controller (RunController): a conversion run (OKButton) and the preview (InButton)
//     on a worker thread, the stop button, and the enabling rules while one executes. Closing
//     the window during a run asks the run to stop and closes when it has ended.
// The engine reaches the window only through runPort(), which hands its calls to the window's
// RunView side on the user-interface thread.
//
// The dialogs are not owned: main() creates them after the window and hands them over with
// setLinks(). Message boxes and file choosers go through a WindowDialogs (Qt's own unless the
// environment passes another, as the tests do).
//
// User-interface thread only, except runPort(), which any thread may use.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QStringList>
#include <QWidget>

#include "imaging/photo_pipeline.h"
#include "options/correction_values.h"
#include "options/time_stamp_style.h"
#include "run/run_port.h"
#include "run/run_request.h"
#include "ui/main_window/main_window_form.h"
#include "ui/main_window/run_view.h"

class QDialog;
class QDragEnterEvent;
class QDropEvent;

namespace snapfolio {

class FolderNavigation;
class RunController;
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
  QDialog* photo = nullptr;                              // TPhotoPropty, shown by PhotoButton
  std::function<PhotoOptions()> photoOptions;            // the photo options in force
};

class TSnapfolio : public QWidget, private MainWindowForm, private RunView {
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
  std::string photoDialogFileName() const { return photoFileName_; }

  // The window as the engine sees it (progress, messages, options, the photo dialog);
  // callable from any thread.
  RunPort& runPort();
  MessagePort& messagePort() { return runPort(); }
  WindowDialogs& dialogs() override { return *dialogs_; }

  // Snapshots of the options in force, taken on the user-interface thread.
  RunOptions runOptions() const;
  PipelineInputs pipelineInputs(int imageNumber) const;
  WindowPosition windowPosition() const { return {y(), x()}; }
  // What a run starts from: the options in force, where the window stands, the photo dialog's
  // file name, and `photos` when they are given before the run.
  RunRequest runRequest(std::optional<QStringList> photos = std::nullopt) const;

  // Whether a run or a preview is executing.
  bool isBusy() const;

  // The stop request of BreakButton1.
  bool stopRequested() const;
  void clearStopRequest();

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
  void PhotoButtonClick();
  // "アルバムサイト": the album site dialog, then its run.
  void KeptAlbumButtonClick();
  void DspDirClick();
  void BreakButton1Click();

  // The photo dialog (InFileOpen): shows it starting at the last chosen photo's folder (or at
  // "INDIR"), remembers the first chosen photo; the chosen names, or nothing when cancelled.
  std::optional<QStringList> choosePhotos() override;
  // In a run over given photos (runPhotos), asked once in place of the photo dialog: whether to
  // convert them; remembers the first photo when the answer is yes.
  bool confirmPhotos(const QStringList& photos) override;

  // A run over `photos` (dropped onto the window or given on the command line) as if they had
  // been chosen in the photo dialog: the validation of OKButton, then one confirmation in
  // place of the dialog. Does nothing while an operation executes.
  void runPhotos(const QStringList& photos);

  // The form's controls, by their form names (the tests read and drive the window through it).
  const MainWindowForm& form() const { return *this; }

 signals:
  // A run or a preview has ended and the controls are usable again.
  void operationFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // main_window.cpp
  void loadSettings();
  void imageClick(int imageNumber);
  void showDialog(QDialog* dialog);
  // main_window_run.cpp
  ImageOptions imageOptions(int imageNumber) const;
  void onOperationFinished();
  void startRun(std::optional<QStringList> photos = std::nullopt);
  void keepFirstStartChoices();
  // RunView: what the port shows on the user-interface thread.
  void showStatusLine(ProgressLevel level, const QString& text) override;
  void setProgressMaximum(ProgressLevel level, int maximum) override;
  void setProgressValue(ProgressLevel level, int value) override;
  void advanceProgress(ProgressLevel level) override;
  void showPreview(const QImage& picture) override;
  void photoStarts(int index) override;

  std::string startDirectory_;
  std::string settingsPath_;
  std::string inDir_;
  PhotoOrder albumOrder_ = PhotoOrder::AsChosen;  // "AlbumOptions"/"ORDER", read at start-up
  std::string photoFileName_;
  std::shared_ptr<WindowDialogs> dialogs_;
  MainWindowLinks links_;
  std::unique_ptr<FolderNavigation> navigation_;
  std::unique_ptr<RunController> controller_;
  bool closeWhenDone_ = false;
  QString pagePath_;  // the album page the running run writes when "HTML出力" is on
  QString sitePath_;  // the top page of the album site being made
};

}  // namespace snapfolio
