// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up, main window, menu and Exit, against the test double of the
// scanning library. Exit is always taken through the real main loop of
// Main(), which must return for the test to go on.
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <quillmere/eztw32fu.h>

#include "busycursor.h"
#include "fake_eztw32.h"
#include "sorrelby.h"
#include "testkit.h"

using testkit::calls;
using testkit::menuItem;
using testkit::messages;

namespace {

// Runs `inside` in the main loop of Main(); the test ends Main through the
// program's own ways (Exit or closing the window) from there.
void runMain(std::function<void()> inside) {
  QTimer::singleShot(0, qApp, std::move(inside));
  Main();
}

bool libraryBound() { return eztw32_GetVersion() == 273; }

// Records what the menu bar holds when the main window is first shown.
class ShowWatcher : public QObject {
 public:
  int menusAtShow = -1;
  int itemsAtShow = -1;
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<QMainWindow*>(watched);
    if (window && event->type() == QEvent::Show && menusAtShow < 0) {
      menusAtShow = 0;
      itemsAtShow = 0;
      for (QAction* menu : window->menuBar()->actions()) {
        ++menusAtShow;
        itemsAtShow += menu->menu()->actions().size();
      }
    }
    return false;
  }
};

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testkit::recordMessages(); }
  void init() {
    fake::reset();
    fake::setResult("TWAIN_EasyVersion", 273);
    messages().clear();
  }

  void startUpBuildsTheWholeWindowBeforeShowingIt() {
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    QVERIFY(sorrelby::openMainWindow());
    qApp->removeEventFilter(&watcher);

    QCOMPARE(watcher.menusAtShow, 3);
    QCOMPARE(watcher.itemsAtShow, 7 + 11 + 5);
    QVERIFY(oDlg->isVisible());
    QCOMPARE(oDlg->windowTitle(), QStringLiteral("Samples for Quillmere"));
    QTRY_COMPARE(QApplication::activeWindow(), oDlg);
    QCOMPARE(
        calls(),
        (QStringList{R"(TWAIN_RegisterApp(1,0,6,49,"1.0 Beta","Hestrel","Corvane","Quillmere"))",
                     R"(TWAIN_SetAppTitle("Quillmere"))"}));
    QVERIFY(messages().isEmpty());
    QCOMPARE(nDibHnd, 0);
    sorrelby::closeMainWindow();
  }

  // Lower-left corner at (0, 20) from the desktop's lower-left corner.
  void mainWindowGeometry() {
    QVERIFY(sorrelby::openMainWindow());
    const int desktopHeight = QGuiApplication::primaryScreen()->geometry().height();
    const QRect g = oDlg->geometry();
    QCOMPARE(g.size(), QSize(800, 580));
    QCOMPARE(g.left(), 0);
    QCOMPARE(desktopHeight - (g.bottom() + 1), 20);
    sorrelby::closeMainWindow();
  }

  void menuStructure() {
    QVERIFY(sorrelby::openMainWindow());
    QStringList shown;
    for (QAction* menu : oDlg->menuBar()->actions()) {
      shown << menu->text();
      for (QAction* item : menu->menu()->actions())
        shown << "  " + (item->isSeparator() ? QStringLiteral("----") : item->text());
    }
    const QStringList expected{"&File",
                               "  Select Image Source",
                               "  Acquire from Source",
                               "  Acquire und Save to File",
                               "  Acquire to Clipboard",
                               "  Save to File",
                               "  ViewFile",
                               "  E&xit",
                               "&Utils",
                               "  &Self Test",
                               "  &EZTWAIN Version",
                               "  &Build name",
                               "  &Parameter test",
                               "  &Test if twain available",
                               "  &Test if Jpeg available",
                               "  &Status of Twain",
                               "  &Current DS",
                               "  &Default DS",
                               "  &Enable Logfile",
                               "  &Disable Logfile",
                               "&?",
                               "  &Function List Part one",
                               "  &Function List Part two",
                               "  &Functions not ported",
                               "  ----",
                               "  &Info"};
    QCOMPARE(shown, expected);
    QVERIFY(!oDlg->menuBar()->isNativeMenuBar());
    sorrelby::closeMainWindow();
  }

  // Exit releases the current image, then the library, before the quit
  // event ends the main loop; nothing reaches the library afterwards.
  void exitReleasesImageAndLibraryThenEndsMain() {
    bool boundBeforeExit = false, boundAfterExit = true;
    int callsAtExit = -1;
    runMain([&] {
      fake::setResult("TWAIN_Acquire", 41);
      menuItem("Acquire from Source")->trigger();
      boundBeforeExit = libraryBound();
      menuItem("E~xit")->trigger();
      boundAfterExit = libraryBound();  // still inside the main loop
      callsAtExit = fake::calls().size();
      menuItem("~EZTWAIN Version")->trigger();  // too late: must not run
    });
    QVERIFY(boundBeforeExit);
    QVERIFY(!boundAfterExit);
    QVERIFY(calls().contains("TWAIN_FreeNative(41)"));
    QCOMPARE(calls().last(), QStringLiteral("TWAIN_FreeNative(41)"));
    QCOMPARE(int(fake::calls().size()), callsAtExit);
    QCOMPARE(nDibHnd, 0);
    QVERIFY(messages().isEmpty());
    QCOMPARE(oDlg, nullptr);
  }

  void closingTheMainWindowEndsLikeExit() {
    runMain([] { oDlg->close(); });
    QVERIFY(!libraryBound());
    QCOMPARE(oDlg, nullptr);
  }

  // The quit event ends a viewer's own loop and the main loop together.
  void exitFromInsideAFunctionList() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile list(dir.filePath("FUNCTION.NO1"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("eztw32_LoadDll()\n");
    list.close();
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    bool listShown = false;
    runMain([&] {
      QTimer::singleShot(0, qApp, [&] {
        const QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
          if (w->objectName() == "functionListWindow" && w->isVisible()) window = w;
        listShown = window != nullptr;
        menuItem("E~xit")->trigger();
      });
      menuItem("~Function List Part one")->trigger();
    });
    QDir::setCurrent(previous);
    QVERIFY(listShown);
    QVERIFY(!libraryBound());
    for (QWidget* w : QApplication::topLevelWidgets())
      QVERIFY(w->objectName() != "functionListWindow");
  }

  // Exit chosen while a command is still inside the library (here from its
  // message box) waits for the command to return before unloading.
  void exitDuringALibraryCommandUnloadsAfterIt() {
    bool boundInsideCommand = false;
    testkit::recordMessages([&] {
      menuItem("E~xit")->trigger();
      boundInsideCommand = libraryBound();
    });
    fake::setResult("TWAIN_AcquireToFilename", -1);
    runMain([] { menuItem("Acquire und Save to File")->trigger(); });
    testkit::recordMessages();
    QCOMPARE(messages(), QStringList{"the Acquire failed."});
    QVERIFY(boundInsideCommand);
    QVERIFY(!libraryBound());
  }

  // The busy cursor comes only once a call has run for a moment, and only
  // over the windows that were open when it began; all cursors come back.
  void busyCursorAfterAMoment() {
    QWidget plain, ownCursor;
    ownCursor.setCursor(Qt::IBeamCursor);
    for (QWidget* w : {&plain, &ownCursor}) {
      w->resize(100, 100);
      w->show();
      QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    {
      const sorrelby::BusyCursor quick(10000);  // ends within its moment
    }
    QCOMPARE(plain.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(ownCursor.cursor().shape(), Qt::IBeamCursor);
    {
      const sorrelby::BusyCursor busy(50);
      QCOMPARE(plain.cursor().shape(), Qt::ArrowCursor);
      QWidget later;  // the library's own window, say
      later.show();
      // An event loop runs meanwhile, as the library's windows do.
      QTRY_COMPARE(plain.cursor().shape(), Qt::BusyCursor);
      QCOMPARE(ownCursor.cursor().shape(), Qt::BusyCursor);
      QCOMPARE(later.cursor().shape(), Qt::ArrowCursor);
    }
    QCOMPARE(plain.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(ownCursor.cursor().shape(), Qt::IBeamCursor);
  }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
