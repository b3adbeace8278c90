// WindowDialogs: every message box and file chooser of the main window, behind one small
// interface. QtWindowDialogs shows Qt's own; the tests pass a recorder instead.
// WindowMessagePort: the engine's MessagePort over WindowDialogs, safe to call from a worker
// thread (each call is handed to the user-interface thread and waits for the box to close).
#pragma once

#include <optional>
#include <string>
#include <utility>

#include <QFileDialog>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include "core/ports.h"

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

 private:
  QWidget* parent_;
};

// The choosers, configured but not shown (tests look at their filters and listings).
// Patterns match extensions in any letter case, also where a platform dialog would not.
void setUpPhotoDialog(QFileDialog& dialog, const QString& start);
void setUpTemplateDialog(QFileDialog& dialog, const QString& initialDirectory);
void setUpPageFileDialog(QFileDialog& dialog, const QString& initialDirectory);

// Runs `f` on the thread of `context` (the user-interface thread for a window) and returns its
// result: directly when already there, otherwise through a blocking queued call.
template <typename F>
auto onThreadOf(QObject* context, F&& f) -> decltype(f()) {
  using R = decltype(f());
  if (QThread::currentThread() == context->thread()) return f();
  if constexpr (std::is_void_v<R>) {
    QMetaObject::invokeMethod(context, std::forward<F>(f), Qt::BlockingQueuedConnection);
  } else {
    R result{};
    QMetaObject::invokeMethod(context, std::forward<F>(f), Qt::BlockingQueuedConnection, &result);
    return result;
  }
}

class WindowMessagePort : public MessagePort {
 public:
  // `context` lives on the user-interface thread (the main window); both outlive the port.
  WindowMessagePort(QObject* context, WindowDialogs& dialogs)
      : context_(context), dialogs_(dialogs) {}

  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  void showFileError(const std::string& text) override;

 private:
  QObject* context_;
  WindowDialogs& dialogs_;
};

}  // namespace snapfolio
