// SPDX-License-Identifier: GPL-2.0-or-later
// The directory selector's tree view: dotted lines between the items and
// boxed expand buttons, whatever the widget style draws; its one column as
// wide as its widest name, so that deep names scroll into view instead of
// being cut off.
#ifndef SORRELBY_DIRTREE_H
#define SORRELBY_DIRTREE_H

#include <QPersistentModelIndex>
#include <QTreeWidget>

class DirTree : public QTreeWidget {
 public:
  explicit DirTree(QWidget* parent);

  // Scrolls to `item` and sideways so that its whole name is in view.
  void showWholeName(QTreeWidgetItem* item);

 protected:
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  void showEvent(QShowEvent* event) override;

 private:
  void scrollToPendingName();

  QPersistentModelIndex pendingName_;
};

#endif
