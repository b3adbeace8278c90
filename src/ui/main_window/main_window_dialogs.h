// WindowDialogs: every message box and file chooser of the main window, behind one small
// interface. QtWindowDialogs shows Qt's own; the tests pass a recorder instead.
#pragma once

#include <optional>

#include <QFileDialog>
#include <QString>
#include <QStringList>

class QWidget;

namespace snapfolio {

// All calls on the user-interface thread.
class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;

  // Plain message box: caption "Snapfolio", one OK button.
  virtual void showMessage(const QString& text) = 0;
  // Failure box: caption "ERROR", one OK button.
  virtual void showError(const QString& text) = 0;
  // File-system failure: caption "File Error", buttons OK and Cancel; the answer is ignored.
  virtual void showFileError(const QString& text) = 0;

  // InFileOpen, "フォトソース選択": JPEG files (any letter case) or all files, several at once.
  // `start` is a folder to open in, or a file whose folder is opened with the file selected.
  // The chosen files' full names in the dialog's order, or nothing when cancelled.
  virtual std::optional<QStringList> choosePhotos(const QString& start) = 0;
  // HtmlOutOpen, "ＨＴＭＬテンプレート選択": one existing file, ".dat" files first.
  virtual std::optional<QString> chooseTemplate(const QString& initialDirectory) = 0;
  // HtmlOutFile, "出力ＨＴＭＬファイル選択": one file name, HTML files first; the file need not
  // exist yet.
  virtual std::optional<QString> choosePageFile(const QString& initialDirectory) = 0;

  // A question: caption "Snapfolio", buttons OK and Cancel; true for OK.
  virtual bool confirm(const QString& text) = 0;
  // Opens the album page at `path` in the desktop's web browser.
  virtual void openPage(const QString& path) = 0;
};

// The Qt implementation; boxes and choosers are modal to `parent`.
class QtWindowDialogs : public WindowDialogs {
 public:
  explicit QtWindowDialogs(QWidget* parent) : parent_(parent) {}

  void showMessage(const QString& text) override;
  void showError(const QString& text) override;
  void showFileError(const QString& text) override;
  std::optional<QStringList> choosePhotos(const QString& start) override;
  std::optional<QString> chooseTemplate(const QString& initialDirectory) override;
  std::optional<QString> choosePageFile(const QString& initialDirectory) override;
  bool confirm(const QString& text) override;
  void openPage(const QString& path) override;

 private:
  QWidget* parent_;
};

// The choosers, configured but not shown (tests look at their filters and listings).
// Patterns match extensions in any letter case, also where a platform dialog would not.
void setUpPhotoDialog(QFileDialog& dialog, const QString& start);
void setUpTemplateDialog(QFileDialog& dialog, const QString& initialDirectory);
void setUpPageFileDialog(QFileDialog& dialog, const QString& initialDirectory);

}  // namespace snapfolio
