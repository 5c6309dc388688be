// SPDX-License-Identifier: GPL-2.0-or-later
#include "fileselector.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QSignalBlocker>

#include "geometry.h"
#include "listing.h"
#include "userevents.h"

FileSelector::FileSelector(QWidget* parent)
    : QFrame(parent), fileList(new QListWidget(this)), extList(new QComboBox(this)) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  // The frame is a tab stop only through the list, which shows the focus.
  setFocusPolicy(Qt::NoFocus);
  setFocusProxy(fileList);
  fileList->setFocusPolicy(Qt::StrongFocus);
  fileList->setSelectionMode(QAbstractItemView::SingleSelection);
  // All rows are one line of text; lets the view skip measuring each of them.
  fileList->setUniformItemSizes(true);
  extList->setFocusPolicy(Qt::StrongFocus);
  extList->setEditable(false);
}

FileSelector* FileSelector::create(QPoint pos, QSize size) {
  const int parentHeight = parentWidget() ? parentWidget()->height() : size.height();
  setGeometry(geometry::placeInParent(pos.x(), pos.y(), size.width(), size.height(), parentHeight));
  const int w = width();
  const int h = height();
  fileList->setGeometry(geometry::placeInParent(4, 30, w - 8, h - 34, h));
  connect(fileList, &QListWidget::itemSelectionChanged, this, [this] { fileMarked(); });
  connect(fileList, &QListWidget::itemActivated, this, [this] { fileSelected(); });

  extList->setGeometry(geometry::placeInParent(4, 4, w - 8, 22, h));
  aExtensions = QStringList{QStringLiteral("*.*")};
  {
    const QSignalBlocker blocker(extList);
    extList->addItems(aExtensions);
    extList->setCurrentIndex(0);
  }
  connect(extList, &QComboBox::activated, this, [this] { fillFileList(); });
  return this;
}

FileSelector* FileSelector::setFilesTo(const QVariant& dir, const QVariant& extensions) {
  if (extensions.typeId() == QMetaType::QStringList) {
    const QSignalBlocker blocker(extList);
    extList->clear();
    extList->addItems(extensions.toStringList());
    extList->setCurrentIndex(0);
  }
  if (dir.typeId() == QMetaType::QByteArray)
    cDir = dir.toByteArray();
  else if (dir.typeId() == QMetaType::QString)
    cDir = QFile::encodeName(dir.toString());
  return fillFileList();
}

FileSelector* FileSelector::fillFileList() {
  const QList<QByteArray> patterns =
      listing::splitPatterns(QFile::encodeName(extList->currentText().trimmed()));
  aFiles.clear();
  if (cDir) {
    for (const QList<QByteArray>& matched : listing::filesMatching(*cDir, patterns))
      aFiles += matched;
  }
  QStringList shown;
  shown.reserve(aFiles.size());
  for (const QByteArray& name : aFiles) shown.append(QFile::decodeName(name));
  const QSignalBlocker blocker(fileList);
  fileList->setUpdatesEnabled(false);
  fileList->clear();
  fileList->addItems(shown);
  fileList->setUpdatesEnabled(true);
  return this;
}

FileSelector* FileSelector::fileMarked() {
  postForMarked(userevents::FileMarked);
  return this;
}

FileSelector* FileSelector::fileSelected() {
  postForMarked(userevents::FileSelected);
  return this;
}

void FileSelector::postForMarked(userevents::Number number) {
  const QModelIndexList marked = fileList->selectionModel()->selectedRows();
  if (marked.isEmpty() || aFiles.isEmpty() || !cDir) return;
  int row = marked.first().row();
  for (const QModelIndex& index : marked) row = qMin(row, index.row());
  if (row < 0 || row >= aFiles.size()) return;
  userevents::post(number, listing::join(*cDir, aFiles[row]), this);
}
