// SPDX-License-Identifier: GPL-2.0-or-later
// The application shell: program-wide state, start-up, the main window and
// Exit. Every menu command runs synchronously inside the dispatch of the
// event loop that delivered its menu selection.
#ifndef SORRELBY_SORRELBY_H
#define SORRELBY_SORRELBY_H

#include <cstdint>

class QMainWindow;

// The current image, a DIB handle held by the scanning library; 0 for none.
// Only the acquisition commands write it. (nEztwDll lives in the wrapper.)
extern std::int32_t nDibHnd;

// The main window; set by Main() and alive until Main() returns.
extern QMainWindow* oDlg;

// Start-up hook; deliberately empty (it opens no window of its own).
void AppSys();

// Binds the scanning library, builds and shows the main window and runs the
// main event loop until Exit. Returns at once, having shown only the
// wrapper's "DLL missing" box, when the library cannot be bound.
void Main();

// Exit: releases the current image and the library, then posts the quit
// event, which ends every running event loop and so the program.
void ausgang();

namespace sorrelby {

// The steps of Main(), separately callable for tests: openMainWindow() binds
// the library and shows the main window (false when the library is missing),
// runMainLoop() runs until the quit event, closeMainWindow() destroys oDlg.
bool openMainWindow();
void runMainLoop();
void closeMainWindow();

// The native handle of the main window as the library expects it.
std::int32_t mainWindowHandle();

}  // namespace sorrelby

#endif
