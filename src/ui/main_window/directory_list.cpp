#include "ui/main_window/directory_list.h"

#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidgetItemIterator>

namespace snapfolio {

namespace {

constexpr int kPathRole = Qt::UserRole;

QStringList subdirectoriesOf(const QString& path) {
  return QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                              QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

QString joined(const QString& parent, const QString& name) {
  return parent.endsWith('/') ? parent + name : parent + '/' + name;
}

}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  header()->hide();
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setIndentation(12);
  setUniformRowHeights(true);
  // a list of folders, not a tree to fold: no branch marks
  setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QTreeWidget::itemActivated, this, &DirectoryList::openEntry);
}

void DirectoryList::setDirectory(const QString& directory) {
  const bool changed = directory != directory_;
  directory_ = directory;
  reread(changed);
  if (changed) emit directoryChanged(directory_);
}

// The list is filled before the window first shows; only then is its height known.
void DirectoryList::showEvent(QShowEvent* event) {
  QTreeWidget::showEvent(event);
  if (currentItem() != nullptr) scrollToItem(currentItem(), QAbstractItemView::PositionAtCenter);
}

void DirectoryList::openEntry(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  setDirectory(item->data(0, kPathRole).toString());
}

void DirectoryList::reread(bool force) {
  const QString clean = QDir::cleanPath(directory_);
  const QStringList children = subdirectoriesOf(clean);
  if (!force && children == shownChildren_) return;

  QString selectedPath;
  if (!force && currentItem() != nullptr)
    selectedPath = currentItem()->data(0, kPathRole).toString();
  const int scroll = verticalScrollBar()->value();

  clear();
  shownChildren_ = children;
  if (clean.isEmpty()) return;

  QTreeWidgetItem* here = addChain(clean);
  if (here == nullptr) return;
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
  for (const QString& child : children) {
    auto* item = new QTreeWidgetItem(here);
    item->setText(0, child);
    item->setIcon(0, closedIcon);
    item->setData(0, kPathRole, joined(clean, child));
  }
  expandAll();

  QTreeWidgetItem* select = here;
  if (!selectedPath.isEmpty()) {
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
      if ((*it)->data(0, kPathRole).toString() == selectedPath) select = *it;
    }
  }
  setCurrentItem(select);
  if (force) {
    scrollToItem(here, QAbstractItemView::PositionAtCenter);
  } else {
    verticalScrollBar()->setValue(scroll);
  }
}

// The chain from the root down to the directory `clean`, each level a child of the one above;
// the last level, or null when there is none.
QTreeWidgetItem* DirectoryList::addChain(const QString& clean) {
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  QTreeWidgetItem* current = nullptr;
  auto addLevel = [&](const QString& text, const QString& levelPath) {
    auto* item = current == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(current);
    item->setText(0, text);
    item->setIcon(0, openIcon);
    item->setData(0, kPathRole, levelPath);
    current = item;
  };
  QString path;
  if (clean.startsWith('/')) {
    path = "/";
    addLevel("/", path);
  }
  for (const QString& part : clean.split('/', Qt::SkipEmptyParts)) {
    path = path.isEmpty() ? part : joined(path, part);
    addLevel(part, path);
  }
  return current;
}

}  // namespace snapfolio
