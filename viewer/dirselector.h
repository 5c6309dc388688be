// SPDX-License-Identifier: GPL-2.0-or-later
// A tree of directories and a drop-down list of drives with which the user
// picks a directory. The tree never holds a whole drive: after each rebuild it
// shows the drive, the chain of directories down to the chosen one with their
// siblings on every level, and the chosen directory's subdirectories.
// Whenever a directory becomes current the control posts user event 100 with
// its full path.
#ifndef SORRELBY_DIRSELECTOR_H
#define SORRELBY_DIRSELECTOR_H

#include <QByteArray>
#include <QFrame>
#include <QIcon>
#include <QList>
#include <functional>
#include <optional>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

class DirSelector : public QFrame {
  Q_OBJECT

 public:
  // The item data role that holds an item's full path as raw bytes.
  static constexpr int PathRole = Qt::UserRole;

  // Constructs the children, not yet laid out, and sets startDir to the
  // current directory.
  explicit DirSelector(QWidget* parent);

  // Places the control at lower-left position `pos` of its parent with
  // `size`, lays out the children, fills the drive list and builds the tree
  // for startDir.
  DirSelector* create(QPoint pos, QSize size);

  // Rebuilds the tree around `target` (an item of the tree, or the tree's
  // invisible root item standing for startDir); without a target, around the
  // chosen drive's root. Selecting a directory without subdirectories beeps
  // and changes nothing, while the control is on screen; the start directory
  // is always shown.
  DirSelector* fillTree(QTreeWidgetItem* target = nullptr);

  // The path of the target of the last completed rebuild.
  QByteArray curDir() const { return oItem; }

  // The directory the tree shows after creation; may be changed between
  // construction and creation.
  QByteArray startDir;
  // Where the drive list comes from (AvailDrives by default); may be replaced
  // between construction and creation.
  std::function<QList<QByteArray>()> driveSource;
  // Sounded when a directory without subdirectories is selected.
  std::function<void()> beep;

  QTreeWidget* dirTree;
  QComboBox* driveList;

 protected:
  QList<QByteArray> aDrives;
  QByteArray oItem;

 private:
  void rebuild(std::optional<QByteArray> targetPath, bool mayEndEarly);
  QTreeWidgetItem* addDirectory(QTreeWidgetItem* parent, const QByteArray& parentPath,
                                const QByteArray& name);
  QByteArray pathOf(const QTreeWidgetItem* item) const;
  int driveIndexFor(const QByteArray& path) const;

  // Shared by every item; one icon object each, not one per item.
  QIcon driveIcon_;
  QIcon openIcon_;
  QIcon closedIcon_;
};

#endif
