// SPDX-License-Identifier: GPL-2.0-or-later
#include "dirselector.h"

#include <unistd.h>

#include <cerrno>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "availdrives.h"
#include "dirtree.h"
#include "geometry.h"
#include "icons.h"
#include "listing.h"
#include "userevents.h"

namespace {

QByteArray currentDirectory() {
  QByteArray buffer(4096, '\0');
  while (!getcwd(buffer.data(), size_t(buffer.size()))) {
    if (errno != ERANGE || buffer.size() > (1 << 20)) return QByteArray("/");
    buffer.resize(buffer.size() * 2);
  }
  return QByteArray(buffer.constData());
}

// True when `path` lies at or below `dir`, comparing whole components.
bool isAtOrBelow(const QByteArray& path, const QByteArray& dir, bool ignoreCase) {
  if (dir.isEmpty()) return false;
  if (ignoreCase ? !listing::startsWithNoCase(path, dir) : !path.startsWith(dir)) return false;
  return path.size() == dir.size() || dir.endsWith('/') || path[dir.size()] == '/';
}

void setExpandedWithIcon(QTreeWidgetItem* item, const QIcon& open) {
  item->setExpanded(true);
  if (item->parent()) item->setIcon(0, open);
}

}  // namespace

DirSelector::DirSelector(QWidget* parent)
    : QFrame(parent),
      startDir(currentDirectory()),
      driveSource([] { return AvailDrives(); }),
      beep([] { QApplication::beep(); }),
      dirTree(new DirTree(this)),
      driveList(new QComboBox(this)),
      driveIcon_(icons::byNumber(icons::Drive)),
      openIcon_(icons::byNumber(icons::OpenFolder)),
      closedIcon_(icons::byNumber(icons::ClosedFolder)) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  // The frame is a tab stop only through the tree: focus given to the
  // control goes to the tree, which shows it.
  setFocusPolicy(Qt::NoFocus);
  setFocusProxy(dirTree);
  dirTree->setFocusPolicy(Qt::StrongFocus);
  dirTree->setHeaderHidden(true);
  dirTree->setColumnCount(1);
  dirTree->setRootIsDecorated(true);
  dirTree->setItemsExpandable(true);
  // A double click rebuilds the tree around the item; it must not also fold it.
  dirTree->setExpandsOnDoubleClick(false);
  dirTree->setUniformRowHeights(true);
  driveList->setFocusPolicy(Qt::StrongFocus);
  driveList->setEditable(false);
}

DirSelector* DirSelector::create(QPoint pos, QSize size) {
  const int parentHeight = parentWidget() ? parentWidget()->height() : size.height();
  setGeometry(geometry::placeInParent(pos.x(), pos.y(), size.width(), size.height(), parentHeight));
  const int w = width();
  const int h = height();
  dirTree->setGeometry(geometry::placeInParent(4, 30, w - 8, h - 34, h));
  // The closed field's top edge lies 4 pixels below the tree; the list opens
  // below it.
  driveList->setGeometry(geometry::placeInParent(4, 4, w - 8, 22, h));

  connect(dirTree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    // The rebuild deletes the item the view is still handling; run it once
    // the view has finished with the event.
    const QByteArray path = pathOf(item);
    QMetaObject::invokeMethod(
        this, [this, path] { rebuild(path, true); }, Qt::QueuedConnection);
  });
  connect(dirTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
    if (current) userevents::post(userevents::DirectoryCurrent, pathOf(current), this);
  });
  connect(dirTree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (item->parent()) item->setIcon(0, openIcon_);
  });
  connect(dirTree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (item->parent()) item->setIcon(0, closedIcon_);
  });

  aDrives = driveSource ? driveSource() : QList<QByteArray>();
  {
    const QSignalBlocker blocker(driveList);
    for (const QByteArray& drive : aDrives) driveList->addItem(QFile::decodeName(drive));
    int index = driveIndexFor(startDir);
    if (index < 0) index = aDrives.indexOf(SystemDriveProbe().currentDrive());
    driveList->setCurrentIndex(index);
  }
  connect(driveList, &QComboBox::activated, this, [this] { fillTree(); });

  fillTree(dirTree->invisibleRootItem());
  return this;
}

DirSelector* DirSelector::fillTree(QTreeWidgetItem* target) {
  if (!target)
    rebuild(std::nullopt, false);
  else
    // The root stands for the start directory, which is always shown, also
    // when it has no subdirectories; otherwise curDir() would have nothing.
    rebuild(pathOf(target), target != dirTree->invisibleRootItem());
  return this;
}

void DirSelector::rebuild(std::optional<QByteArray> targetPath, bool mayEndEarly) {
  if (targetPath && !targetPath->startsWith('/'))
    targetPath = listing::join(currentDirectory(), *targetPath);

  // A directory without subdirectories has nothing to open: beep and leave
  // everything as it is. (Not while the control is being set up unseen.)
  if (targetPath && mayEndEarly && isVisible()) {
    bool readable = false;
    if (listing::subdirectories(*targetPath, &readable).isEmpty() && readable) {
      if (beep) beep();
      return;
    }
  }

  const int driveIndex = driveList->currentIndex();
  QByteArray drive = driveIndex >= 0 && driveIndex < aDrives.size() ? aDrives[driveIndex] : "";
  // With no drive chosen, every absolute path still starts at the root.
  if (drive.isEmpty()) drive = "/";
  QByteArray target = targetPath ? listing::normalise(*targetPath) : drive;
  // A target on another drive: show the chosen drive's root instead.
  if (!isAtOrBelow(target, drive, true)) target = drive;

  const QSignalBlocker blocker(dirTree);
  dirTree->setUpdatesEnabled(false);
  dirTree->clear();

  auto* parent = new QTreeWidgetItem(dirTree, QStringList(QFile::decodeName(drive)));
  parent->setIcon(0, driveIcon_);
  parent->setData(0, PathRole, drive);
  parent->setToolTip(0, QFile::decodeName(drive));

  // Walk down the target's components; the path follows the names as the
  // disk spells them wherever a component was found.
  QByteArray current = drive;
  while (!listing::startsWithNoCase(current, target)) {
    const QByteArray rest = target.mid(current.endsWith('/') ? current.size() : current.size() + 1);
    const qsizetype slash = rest.indexOf('/');
    const QByteArray component = slash < 0 ? rest : rest.left(slash);
    if (component.isEmpty()) break;
    QTreeWidgetItem* next = nullptr;
    bool exact = false;
    for (const QByteArray& name : listing::subdirectories(current)) {
      QTreeWidgetItem* item = addDirectory(parent, current, name);
      if (!exact && listing::equalNoCase(name, component)) {
        next = item;
        exact = name == component;
      }
    }
    setExpandedWithIcon(parent, openIcon_);
    if (next) {
      parent = next;
      current = pathOf(next);
    } else {
      current = listing::join(current, component);
    }
  }
  for (const QByteArray& name : listing::subdirectories(current))
    addDirectory(parent, current, name);
  oItem = current;

  setExpandedWithIcon(parent, openIcon_);
  dirTree->setCurrentItem(parent);
  dirTree->setUpdatesEnabled(true);
  static_cast<DirTree*>(dirTree)->showWholeName(parent);
  dirTree->viewport()->update();
  userevents::post(userevents::DirectoryCurrent, pathOf(parent), this);
}

QTreeWidgetItem* DirSelector::addDirectory(QTreeWidgetItem* parent, const QByteArray& parentPath,
                                           const QByteArray& name) {
  auto* item = new QTreeWidgetItem(parent, QStringList(QFile::decodeName(name)));
  item->setIcon(0, closedIcon_);
  const QByteArray path = listing::join(parentPath, name);
  item->setData(0, PathRole, path);
  item->setToolTip(0, QFile::decodeName(path));
  return item;
}

QByteArray DirSelector::pathOf(const QTreeWidgetItem* item) const {
  if (!item || item == dirTree->invisibleRootItem()) return startDir;
  return item->data(0, PathRole).toByteArray();
}

int DirSelector::driveIndexFor(const QByteArray& path) const {
  int best = -1;
  for (int i = 0; i < aDrives.size(); ++i)
    if (isAtOrBelow(path, aDrives[i], false) &&
        (best < 0 || aDrives[i].size() > aDrives[best].size()))
      best = i;
  return best;
}
