#ifndef SORRELBY_FILEVIEW_H
#define SORRELBY_FILEVIEW_H

class QWidget;

// The "ViewFile" command: runs the file viewer window with its own event loop
// and returns when it is closed; `mainWindow` (oDlg) is shown again then.
void fileview(QWidget* mainWindow);

#endif
