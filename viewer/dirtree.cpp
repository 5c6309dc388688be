// SPDX-License-Identifier: GPL-2.0-or-later
#include "dirtree.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace {

constexpr int kIndentation = 16;
constexpr int kHalfBox = 4;  // the expand box reaches this far from its centre

}  // namespace

DirTree::DirTree(QWidget* parent) : QTreeWidget(parent) {
  setIndentation(kIndentation);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // The column follows the widest shown name, indentation included.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void DirTree::showWholeName(QTreeWidgetItem* item) {
  pendingName_ = item ? QPersistentModelIndex(indexFromItem(item)) : QPersistentModelIndex();
  // A view not yet on screen has no size to scroll in: it catches up when
  // it is shown.
  if (isVisible()) scrollToPendingName();
}

void DirTree::showEvent(QShowEvent* event) {
  QTreeWidget::showEvent(event);
  scrollToPendingName();
}

void DirTree::scrollToPendingName() {
  QTreeWidgetItem* item = itemFromIndex(pendingName_);
  pendingName_ = QPersistentModelIndex();
  if (!item) return;
  doItemsLayout();
  header()->resizeSections(QHeaderView::ResizeToContents);
  updateGeometries();
  scrollToItem(item);
  // Sideways: the whole name in view with as much of the lines to its left
  // as fits; a name wider than the view from one level's line before it.
  QScrollBar* bar = horizontalScrollBar();
  const int left = visualItemRect(item).left() + bar->value();
  const int right = left + sizeHintForIndex(indexFromItem(item)).width();
  const int width = viewport()->width();
  if (left >= bar->value() && right <= bar->value() + width) return;
  bar->setValue(
      std::clamp(right - left <= width ? right - width : left - kIndentation, 0, bar->maximum()));
}

void DirTree::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
  // Instead of the style's indicators (arrows in most styles): the area in
  // the view's background, then the lines and boxes.
  painter->save();
  painter->fillRect(rect, palette().brush(QPalette::Base));

  // The chain from the item up to the top level: one indentation column per
  // level, the item's own column at the right.
  std::vector<QModelIndex> chain;
  for (QModelIndex i = index; i.isValid(); i = i.parent()) chain.push_back(i);
  const int levels = int(chain.size());
  const int right = rect.right() + 1;
  const int top = rect.top();
  const int bottom = rect.bottom();
  const int midY = top + rect.height() / 2;

  QPen pen(palette().color(QPalette::Dark));
  pen.setStyle(Qt::DotLine);
  painter->setPen(pen);
  for (int level = 0; level < levels; ++level) {
    // chain[level] is the ancestor whose column lies `level` columns left of
    // the item's own.
    const QModelIndex& at = chain[level];
    const int midX = right - level * kIndentation - kIndentation / 2;
    const bool hasNext = at.sibling(at.row() + 1, 0).isValid();
    if (level == 0) {
      const bool hasAbove = at.row() > 0 || at.parent().isValid();
      if (hasAbove) painter->drawLine(midX, top, midX, midY);
      if (hasNext) painter->drawLine(midX, midY, midX, bottom);
      painter->drawLine(midX, midY, right - 2, midY);
    } else if (hasNext) {
      painter->drawLine(midX, top, midX, bottom);
    }
  }

  // A box with "-" or "+" on an item that has children.
  if (model()->hasChildren(index)) {
    const int midX = right - kIndentation / 2;
    const QRect box(midX - kHalfBox, midY - kHalfBox, 2 * kHalfBox, 2 * kHalfBox);
    painter->fillRect(box.adjusted(0, 0, 1, 1), palette().brush(QPalette::Base));
    painter->setPen(QPen(palette().color(QPalette::Dark)));
    painter->drawRect(box);  // a one-pixel outline kHalfBox from the centre
    painter->setPen(QPen(palette().color(QPalette::Text)));
    painter->drawLine(midX - 2, midY, midX + 2, midY);
    if (!isExpanded(index)) painter->drawLine(midX, midY - 2, midX, midY + 2);
  }
  painter->restore();
}
