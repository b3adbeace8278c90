// DirectoryList: the directory list of the output-directory group (DirectoryListBox1), in the
// style of a classic directory list: the chain of folders from "/" down to the current
// directory, each one level further in, followed by the subdirectories of the current
// directory. Activating an entry (double click, Enter) makes it the current directory.
//
// The current directory is a text kept exactly as it was set ("/d/", "//name" stay so); the
// entries shown are those of the cleaned path. Hidden folders are not listed as
// subdirectories. User-interface thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QTreeWidget>

namespace snapfolio {

class DirectoryList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit DirectoryList(QWidget* parent = nullptr);

  // The current directory, as set.
  QString directory() const { return directory_; }
  // Makes `directory` current and re-reads the entries. Setting the text already current
  // re-reads the subdirectories and rebuilds the list only when they changed, so the
  // periodic check disturbs neither the selection nor the scroll position.
  void setDirectory(const QString& directory);

 signals:
  // The user or the program changed the current directory text.
  void directoryChanged(const QString& directory);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void reread(bool force);
  QTreeWidgetItem* addChain(const QString& clean);
  void openEntry(QTreeWidgetItem* item);

  QString directory_;
  QStringList shownChildren_;
};

}  // namespace snapfolio
