// The output-directory group: keeping the directory list on an existing directory and
// creating a new directory inside it.
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "folders/dir_chk.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/main_window_dialogs.h"
#include "folders/make_dir.h"

namespace snapfolio {

void TSnapfolio::connectDirectoryEvents() {
  connect(DspDir, &QPushButton::clicked, this, &TSnapfolio::DspDirClick);
  connect(MakeDir, &QPushButton::clicked, this, &TSnapfolio::MakeDirClick);
  connect(DirUpdateTimer, &QTimer::timeout, this, &TSnapfolio::DspDirClick);
  DirectoryListBox1->installEventFilter(this);
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    connect(app, &QApplication::focusChanged, this, &TSnapfolio::onFocusChanged);
  }
}

// The directory list re-checks its directory when the focus moves into it or out of it
// within the window (not when the whole window is activated or left).
bool TSnapfolio::eventFilter(QObject* watched, QEvent* event) {
  if (watched == DirectoryListBox1 &&
      (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) DspDirClick();
  }
  return QWidget::eventFilter(watched, event);
}

// Entering GroupBox1: the focus moves from a control outside the group to one inside it.
void TSnapfolio::onFocusChanged(QWidget* old, QWidget* now) {
  if (old == nullptr || now == nullptr) return;
  if (GroupBox1->isAncestorOf(now) && !GroupBox1->isAncestorOf(old) && isAncestorOf(old)) {
    DspDirClick();
  }
}

void TSnapfolio::DspDirClick() {
  const std::string existing = DirChk(outputDirectory());
  if (!existing.empty()) DirectoryListBox1->setDirectory(QString::fromStdString(existing));
}

void TSnapfolio::MakeDirClick() {
  const MakeDirResult result = makeSubdirectory(outputDirectory(), NewDir->text().toStdString());
  switch (result.outcome) {
    case MakeDirOutcome::CannotEnter:
      dialogs_->showFileError(QStringLiteral("ディレクトリの移動に失敗しました。\n"));
      return;
    case MakeDirOutcome::CannotCreate:
      dialogs_->showFileError(QStringLiteral("ディレクトリは作成できませんでした\n"));
      return;
    case MakeDirOutcome::Created:
      DirectoryListBox1->setDirectory(QString::fromStdString(result.directory));
      return;
  }
}

}  // namespace snapfolio
