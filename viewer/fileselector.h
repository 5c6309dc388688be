// SPDX-License-Identifier: GPL-2.0-or-later
// A list of the files of one directory under a file-name filter, and below it
// a drop-down list of filters. A filter entry holds one or more patterns
// separated by blanks ("*.BMP *.EMF *.GIF *.JPG *.PNG"); the files of the
// first pattern come first, then those of the second, and so on, without
// merging duplicates. Marking a file posts user event 101, selecting it (double
// click or Enter) user event 102, each with the file's full path.
#ifndef SORRELBY_FILESELECTOR_H
#define SORRELBY_FILESELECTOR_H

#include <QByteArray>
#include <QFrame>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "userevents.h"

class QComboBox;
class QListWidget;

class FileSelector : public QFrame {
  Q_OBJECT

 public:
  explicit FileSelector(QWidget* parent);

  // Places the control at lower-left position `pos` of its parent with
  // `size`, lays out the children and loads the single filter "*.*". Does not
  // fill the list.
  FileSelector* create(QPoint pos, QSize size);

  // Both arguments are optional and checked by type: a directory given as a
  // QByteArray (the file system's bytes) or a QString replaces the listed
  // directory; a QStringList replaces the filter entries and chooses the
  // first. Anything else is ignored. The list is refilled in every case.
  FileSelector* setFilesTo(const QVariant& cDir = QVariant(),
                           const QVariant& aExtensions = QVariant());
  // Refills the list from the chosen filter.
  FileSelector* fillFileList();
  // Post user event 101 / 102 for the first marked entry, if any.
  FileSelector* fileMarked();
  FileSelector* fileSelected();

  // The listed directory and the listed names, as the file system's bytes.
  std::optional<QByteArray> directory() const { return cDir; }
  const QList<QByteArray>& names() const { return aFiles; }

  QListWidget* fileList;
  QComboBox* extList;

 protected:
  QList<QByteArray> aFiles;
  QStringList aExtensions;
  std::optional<QByteArray> cDir;

 private:
  void postForMarked(userevents::Number number);
};

#endif
