// SPDX-License-Identifier: GPL-2.0-or-later
#include <quillmere/eztw32fu.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>

#include <exception>
#include <functional>
#include <span>

#include "busycursor.h"
#include "commands.h"
#include "fileviewer.h"
#include "functionlist.h"
#include "geometry.h"
#include "mainview.h"
#include "messages.h"
#include "sorrelby.h"

std::int32_t nDibHnd = 0;
QMainWindow* oDlg = nullptr;

namespace {

struct ExitState {
  bool exiting = false;       // Exit chosen: no command starts any more
  bool released = false;      // image and library released
  int commandsInLibrary = 0;  // library commands on the stack
};
ExitState& exitState() {
  static ExitState s;
  return s;
}

// Releases the current image and then the library, once.
void releaseLibrary() {
  ExitState& s = exitState();
  if (s.released) return;
  s.released = true;
  if (nEztwDll != 0) {
    if (nDibHnd != 0) eztw32_FreeNative(nDibHnd);
    nDibHnd = 0;
    eztw32_UnLoadDll();
  }
}

// Stops new commands and releases the library unless a command is still
// inside it; that command's end releases it then.
void beginExit() {
  ExitState& s = exitState();
  s.exiting = true;
  if (s.commandsInLibrary == 0) releaseLibrary();
}

// The quit event is the toolkit's own (QEvent::Quit), posted to the
// application object. It ends every running event loop, the main loop and
// any viewer's, as QCoreApplication::exit does; a loop started later returns
// at once.
class QuitFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit) return false;
    if (!exitState().exiting) beginExit();  // a quit that did not come from Exit
    QCoreApplication::exit(0);
    return true;
  }
};

void ensureQuitFilter() {
  static QPointer<QuitFilter> filter;
  if (filter) return;
  filter = new QuitFilter(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(filter);
}

class MainWindow : public QMainWindow {
 protected:
  // Closing the main window from its frame ends the program as Exit does;
  // the window itself stays until Main() returns.
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    ausgang();
  }
};

int desktopHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 0;
}

QString caption(const char* text) {
  // "~" marks the mnemonic; Qt marks it with "&".
  QString s = QString::fromLatin1(text);
  s.replace(QLatin1Char('&'), QStringLiteral("&&"));
  s.replace(QLatin1Char('~'), QLatin1Char('&'));
  return s;
}

void functionListOne() { showfunctionlist("FUNCTION.NO1", "function list of Quillmere Part 1"); }
void functionListTwo() { showfunctionlist("FUNCTION.NO2", "function list of Quillmere Part 2"); }
void functionsNotPorted() { showfunctionlist("FUNCTION.NOT", "functions not ported"); }
void viewFile() { fileview(oDlg); }

void runGuarded(void (*command)()) {
  try {
    command();
  } catch (const std::exception& e) {
    sorrelby::message(std::string("The command failed: ") + e.what());
  }
}

// Commands that call the library are counted, so that Exit chosen from a
// loop running inside one (the library's own windows) cannot unload the
// library under it.
void runLibraryCommand(void (*command)()) {
  ExitState& s = exitState();
  if (s.exiting) return;
  ++s.commandsInLibrary;
  {
    const sorrelby::BusyCursor busy;
    runGuarded(command);
  }
  --s.commandsInLibrary;
  if (s.commandsInLibrary == 0 && s.exiting) releaseLibrary();
}

void runViewer(void (*command)()) {
  if (!exitState().exiting) runGuarded(command);
}

struct MenuItem {
  const char* caption;  // nullptr for a separator
  void (*command)();
  bool callsLibrary;
};
struct Menu {
  const char* title;
  std::span<const MenuItem> items;
};

const MenuItem kFileItems[] = {{"Select Image Source", selectds, true},
                               {"Acquire from Source", acqfromds, true},
                               {"Acquire und Save to File", austofile, true},
                               {"Acquire to Clipboard", austoclip, true},
                               {"Save to File", savetofile, true},
                               {"ViewFile", viewFile, false},
                               {"E~xit", nullptr, false}};
const MenuItem kUtilsItems[] = {{"~Self Test", selftest, true},
                                {"~EZTWAIN Version", ezversion, true},
                                {"~Build name", ezbname, true},
                                {"~Parameter test", parmtest, true},
                                {"~Test if twain available", TwainAvailable, true},
                                {"~Test if Jpeg available", JpegAvailable, true},
                                {"~Status of Twain", TwainStat, true},
                                {"~Current DS", currentds, true},
                                {"~Default DS", defaultds, true},
                                {"~Enable Logfile", elogfile, true},
                                {"~Disable Logfile", dlogfile, true}};
const MenuItem kHelpItems[] = {{"~Function List Part one", functionListOne, false},
                               {"~Function List Part two", functionListTwo, false},
                               {"~Functions not ported", functionsNotPorted, false},
                               {nullptr, nullptr, false},
                               {"~Info", infomsg, false}};
const Menu kMenus[] = {{"~File", kFileItems}, {"~Utils", kUtilsItems}, {"~?", kHelpItems}};

void buildMenus(QMenuBar* oMenuBar, const std::function<void()>& bBlock) {
  for (const Menu& m : kMenus) {
    auto* oSubMenu = new QMenu(oMenuBar);
    oSubMenu->setTitle(caption(m.title));
    for (const MenuItem& item : m.items) {
      if (item.caption == nullptr) {
        oSubMenu->addSeparator();
        continue;
      }
      QAction* action = oSubMenu->addAction(caption(item.caption));
      if (item.command == nullptr) {
        QObject::connect(action, &QAction::triggered, oSubMenu, bBlock);
      } else {
        auto command = item.command;
        auto run = item.callsLibrary ? runLibraryCommand : runViewer;
        QObject::connect(action, &QAction::triggered, oSubMenu, [run, command] { run(command); });
      }
    }
    oMenuBar->addMenu(oSubMenu);
  }
}

}  // namespace

void AppSys() {}

void ausgang() {
  beginExit();
  ensureQuitFilter();
  QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
}

void Main() {
  if (!sorrelby::openMainWindow()) return;
  sorrelby::runMainLoop();
  sorrelby::closeMainWindow();
}

namespace sorrelby {

bool openMainWindow() {
  const std::function<void()> bBlock = ausgang;
  nEztwDll = 0;
  nDibHnd = 0;
  exitState() = ExitState{};
  // Of the text conventions (dates, two-digit years, prefix equality of
  // texts) the program uses none, so none is set here.
  nEztwDll = eztw32_LoadDll();
  if (nEztwDll == 0) return false;

  ensureQuitFilter();
  // Closing a viewer must never end the program by itself; only Exit does.
  QGuiApplication::setQuitOnLastWindowClosed(false);

  oDlg = new MainWindow;
  oDlg->setGeometry(geometry::placeInParent(0, 20, 800, 580, desktopHeight()));
  oDlg->setWindowTitle(QStringLiteral("Samples for Quillmere"));
  // The client area shows the current image and what the last command did.
  oDlg->setCentralWidget(new MainView(oDlg));
  oDlg->winId();  // created, still hidden

  eztw32_RegisterApp(1, 0, 6, 49, "1.0 Beta", "Hestrel", "Corvane", "Quillmere");
  eztw32_SetAppTitle("Quillmere");

  QMenuBar* oMenuBar = oDlg->menuBar();
  oMenuBar->setNativeMenuBar(false);  // always inside the window
  buildMenus(oMenuBar, bBlock);

  oDlg->show();
  oDlg->activateWindow();
  oDlg->setFocus();
  return true;
}

void runMainLoop() { QApplication::exec(); }

void closeMainWindow() {
  delete oDlg;
  oDlg = nullptr;
}

std::int32_t mainWindowHandle() { return oDlg ? static_cast<std::int32_t>(oDlg->winId()) : 0; }

}  // namespace sorrelby
