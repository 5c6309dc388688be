// SPDX-License-Identifier: GPL-2.0-or-later
// The file viewer window and the loop that ties its controls together: the
// selectors post user events, the viewer turns user event 100 into a refill
// of the file list and user event 101 into a load and display of the preview.
// fileview() opens one, runs it and closes it; tests drive the parts.
//
// The window is used with the keyboard alone as well: Tab walks the tree, the
// drive list, the file list, the filter list, the two radio buttons and the
// three buttons; arrows move in the lists, Return selects a directory or
// presses the focused button, Space toggles a radio button, Escape ends.
#ifndef SORRELBY_FILEVIEWER_H
#define SORRELBY_FILEVIEWER_H

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QWidget>

class DirSelector;
class FileSelector;
class ImageView;
class QFrame;
class QPushButton;
class QRadioButton;

namespace viewer {

class FileViewer : public QObject {
 public:
  // Opens the window with every control, shown, the focus in the tree.
  // `mainWindow` is shown again when the viewer closes.
  explicit FileViewer(QWidget* mainWindow);
  // Closes the window, makes the window that was current before current
  // again and shows the main window.
  ~FileViewer() override;

  // Runs the viewer's own loop until "End", the close box, or the end of the
  // application's event loops.
  void exec();
  bool ended() const { return endestat; }

  QWidget* oDlg1;
  QWidget* drawingArea;
  DirSelector* oDirs;
  FileSelector* oFiles;
  ImageView* oView;
  QRadioButton* oRadio1;  // "Scaled"
  QRadioButton* oRadio2;  // "Normal"
  QFrame* separator;
  QPushButton* fullViewButton;
  QPushButton* printButton;
  QPushButton* endButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void end();
  void chooseScaled(bool scaled);

  bool endestat = false;
  QEventLoop loop;
  QPointer<QWidget> mainWindow_;
  QPointer<QWidget> olast;
};

}  // namespace viewer

// The "ViewFile" command: runs the file viewer window with its own event loop
// and returns when it is closed; `mainWindow` (oDlg) is shown again then.
void fileview(QWidget* mainWindow);

#endif
