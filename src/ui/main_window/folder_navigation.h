// FolderNavigation: the output-directory group of the main window. It keeps DirectoryListBox1
// on an existing directory (DspDirClick: on the button "更新", every tick of DirUpdateTimer,
// when the focus enters GroupBox1, and when it moves into or out of the list) and creates a new
// directory inside it (MakeDirClick). The output directory of a run is the list's current
// directory.
//
// Owned by the main window (destroyed before its controls); works on the window's form and shows
// its failures through the window's dialogs. User-interface thread only.
#pragma once

#include <string>

#include <QObject>

class QWidget;

namespace snapfolio {

class MainWindowForm;
class WindowDialogs;

class FolderNavigation : public QObject {
  Q_OBJECT

 public:
  // Connects the group's buttons, the timer and the focus events of `window`.
  FolderNavigation(QWidget& window, const MainWindowForm& form, WindowDialogs& dialogs);

  // The output directory: the current directory of DirectoryListBox1.
  std::string outputDirectory() const;

  void DspDirClick();
  void MakeDirClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void onFocusChanged(QWidget* old, QWidget* now);

  QWidget& window_;
  const MainWindowForm& form_;
  WindowDialogs& dialogs_;
};

}  // namespace snapfolio
