#include "ui/main_window/folder_navigation.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "folders/dir_chk.h"
#include "folders/make_dir.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window_dialogs.h"
#include "ui/main_window/main_window_form.h"

namespace snapfolio {

FolderNavigation::FolderNavigation(QWidget& window, const MainWindowForm& form,
                                   WindowDialogs& dialogs)
    : window_(window), form_(form), dialogs_(dialogs) {
  connect(form_.DspDir, &QPushButton::clicked, this, &FolderNavigation::DspDirClick);
  connect(form_.MakeDir, &QPushButton::clicked, this, &FolderNavigation::MakeDirClick);
  connect(form_.DirUpdateTimer, &QTimer::timeout, this, &FolderNavigation::DspDirClick);
  form_.DirectoryListBox1->installEventFilter(this);
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    connect(app, &QApplication::focusChanged, this, &FolderNavigation::onFocusChanged);
  }
}

std::string FolderNavigation::outputDirectory() const {
  return form_.DirectoryListBox1->directory().toStdString();
}

// The directory list re-checks its directory when the focus moves into it or out of it
// within the window (not when the whole window is activated or left).
bool FolderNavigation::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_.DirectoryListBox1 &&
      (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) DspDirClick();
  }
  return QObject::eventFilter(watched, event);
}

// Entering GroupBox1: the focus moves from a control outside the group to one inside it.
void FolderNavigation::onFocusChanged(QWidget* old, QWidget* now) {
  if (old == nullptr || now == nullptr) return;
  QGroupBox* group = form_.GroupBox1;
  if (group->isAncestorOf(now) && !group->isAncestorOf(old) && window_.isAncestorOf(old)) {
    DspDirClick();
  }
}

void FolderNavigation::DspDirClick() {
  const std::string existing = DirChk(outputDirectory());
  if (!existing.empty()) form_.DirectoryListBox1->setDirectory(QString::fromStdString(existing));
}

void FolderNavigation::MakeDirClick() {
  const MakeDirResult result =
      makeSubdirectory(outputDirectory(), form_.NewDir->text().toStdString());
  switch (result.outcome) {
    case MakeDirOutcome::CannotEnter:
      dialogs_.showFileError(
          QCoreApplication::translate("TSnapfolio", "ディレクトリの移動に失敗しました。\n"));
      return;
    case MakeDirOutcome::CannotCreate:
      dialogs_.showFileError(
          QCoreApplication::translate("TSnapfolio", "ディレクトリは作成できませんでした\n"));
      return;
    case MakeDirOutcome::Created:
      form_.DirectoryListBox1->setDirectory(QString::fromStdString(result.directory));
      return;
  }
}

}  // namespace snapfolio
