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
  if (!item) return;
  header()->resizeSections(QHeaderView::ResizeToContents);
  scrollToItem(item);
  // Scroll sideways only as far as needed to show the whole name, keeping
  // its level's line in view where the name allows.
  const QRect r = visualItemRect(item);
  QScrollBar* bar = horizontalScrollBar();
  const int itemLeft = r.left() + bar->value();
  const int itemRight = itemLeft + sizeHintForIndex(indexFromItem(item)).width();
  const int width = viewport()->width();
  if (itemRight - bar->value() > width || itemLeft < bar->value())
    bar->setValue(
        std::clamp(std::min(itemLeft - kIndentation, itemRight - width), 0, bar->maximum()));
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
