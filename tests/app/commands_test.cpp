// SPDX-License-Identifier: GPL-2.0-or-later
// The menu commands through the real menu of the main window, against the
// test double of the scanning library: texts, wrapper calls and their order,
// and what happens to the current image.
#include <QMainWindow>
#include <QTemporaryDir>
#include <QtTest>

#include "fake_eztw32.h"
#include "imageview.h"
#include "mainview.h"
#include "sorrelby.h"
#include "testkit.h"

using testkit::calls;
using testkit::menuItem;
using testkit::messages;

struct Script {
  QList<QPair<QString, int>> results;
  QList<QPair<QString, QByteArray>> buffers;
};
Q_DECLARE_METATYPE(Script)

namespace {

void apply(const Script& script) {
  for (const auto& [name, result] : script.results) fake::setResult(name.toStdString(), result);
  for (const auto& [name, bytes] : script.buffers)
    fake::setBufferBytes(name.toStdString(), bytes.toStdString());
}

Script results(std::initializer_list<QPair<QString, int>> r) { return Script{r, {}}; }

// The colour in the middle of the main window's image as it is drawn now.
QColor middleOfCurrentImage() {
  ImageView* view = sorrelby::mainView()->view();
  const QImage shot = view->grab().toImage();
  return shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

bool writeImage(const QString& path, QSize size, QColor colour, const char* format) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image.save(path, format);
}

}  // namespace

class CommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    testkit::recordMessages();
    QVERIFY(sorrelby::openMainWindow());
  }
  void cleanupTestCase() { sorrelby::closeMainWindow(); }
  void init() {
    fake::reset();
    messages().clear();
    nDibHnd = 0;
  }

  void command_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<Script>("script");
    QTest::addColumn<QStringList>("expectedMessages");
    QTest::addColumn<QStringList>("expectedCalls");

    const QString source = "TWAIN_GetDefaultSourceName(256 blanks)";
    QTest::newRow("info") << "~Info" << Script{} << QStringList{"Samples for Quillmere"}
                          << QStringList{};
    QTest::newRow("version 273") << "~EZTWAIN Version" << results({{"TWAIN_EasyVersion", 273}})
                                 << QStringList{"EZTWAIN Version: 2.73"}
                                 << QStringList{"TWAIN_EasyVersion()"};
    QTest::newRow("version 300") << "~EZTWAIN Version" << results({{"TWAIN_EasyVersion", 300}})
                                 << QStringList{"EZTWAIN Version: 3.00"}
                                 << QStringList{"TWAIN_EasyVersion()"};
    QTest::newRow("version 1000 widens")
        << "~EZTWAIN Version" << results({{"TWAIN_EasyVersion", 1000}})
        << QStringList{"EZTWAIN Version: 10.00"} << QStringList{"TWAIN_EasyVersion()"};
    QTest::newRow("self test failed")
        << "~Self Test" << results({{"TWAIN_SelfTest", 1}}) << QStringList{"self test was failed"}
        << QStringList{"TWAIN_SelfTest(0)"};
    QTest::newRow("self test passed")
        << "~Self Test" << results({{"TWAIN_SelfTest", 0}})
        << QStringList{"self test was successful"} << QStringList{"TWAIN_SelfTest(0)"};
    QTest::newRow("build name") << "~Build name"
                                << Script{{}, {{"TWAIN_GetBuildName", QByteArray("SANE 1.2\0", 9)}}}
                                << QStringList{"build name of eztwain: SANE 1.2"}
                                << QStringList{"TWAIN_GetBuildName(255 blanks)"};
    QTest::newRow("parameter test") << "~Parameter test" << Script{} << QStringList{}
                                    << QStringList{"TWAIN_Testing123(null,2,50,1234,12345)"};
    QTest::newRow("twain available")
        << "~Test if twain available" << results({{"TWAIN_IsAvailable", 1}})
        << QStringList{"twain available ? YES"} << QStringList{"TWAIN_IsAvailable()"};
    QTest::newRow("twain not available")
        << "~Test if twain available" << results({{"TWAIN_IsAvailable", -1}})
        << QStringList{"twain available ? NO"} << QStringList{"TWAIN_IsAvailable()"};
    QTest::newRow("jpeg quality 75")
        << "~Test if Jpeg available"
        << results({{"TWAIN_IsJpegAvailable", 1}, {"TWAIN_GetJpegQuality", 75}})
        << QStringList{"Jpeg available ? YES\nJpeg quality:         75"}
        << QStringList{"TWAIN_IsJpegAvailable()", "TWAIN_GetJpegQuality()"};
    QTest::newRow("no jpeg") << "~Test if Jpeg available" << results({{"TWAIN_IsJpegAvailable", 0}})
                             << QStringList{"Jpeg available ? NO\n"}
                             << QStringList{"TWAIN_IsJpegAvailable()"};
    QTest::newRow("state 4") << "~Status of Twain" << results({{"TWAIN_State", 4}})
                             << QStringList{"Twain State: source open but not enabled"}
                             << QStringList{"TWAIN_State()"};
    QTest::newRow("state 9") << "~Status of Twain" << results({{"TWAIN_State", 9}})
                             << QStringList{"Twain State:          9"}
                             << QStringList{"TWAIN_State()"};
    QTest::newRow("enable log") << "~Enable Logfile" << Script{} << QStringList{}
                                << QStringList{"TWAIN_LogFile(1)"};
    QTest::newRow("disable log") << "~Disable Logfile" << Script{} << QStringList{}
                                 << QStringList{"TWAIN_LogFile(0)"};
    QTest::newRow("select fails")
        << "Select Image Source" << results({{"TWAIN_SelectImageSource", 0}})
        << QStringList{"Error: could not select a Source [TWAIN_SelectImageSource]",
                       "can't select image source"}
        << QStringList{"TWAIN_SelectImageSource(0)"};
    QTest::newRow("select succeeds")
        << "Select Image Source" << results({{"TWAIN_SelectImageSource", 1}}) << QStringList{}
        << QStringList{"TWAIN_SelectImageSource(0)", source};
    QTest::newRow("current source")
        << "~Current DS" << Script{{}, {{"TWAIN_GetSourceName", QByteArray("test:0\0", 7)}}}
        << QStringList{"test:0"} << QStringList{"TWAIN_GetSourceName(256 blanks)"};
    QTest::newRow("no default source")
        << "~Default DS" << Script{{}, {{"TWAIN_GetDefaultSourceName", QByteArray("\0", 1)}}}
        << QStringList{""} << QStringList{source};

    QTest::newRow("acquire from source")
        << "Acquire from Source" << results({{"TWAIN_Acquire", 41}}) << QStringList{}
        << QStringList{source,          "TWAIN_Acquire($hwnd)", "DIB_WriteToBmp(41,$held)",
                       "DIB_Width(41)", "DIB_Height(41)",       "DIB_Depth(41)"};
    QTest::newRow("acquire to jpeg file")
        << "Acquire und Save to File" << results({{"TWAIN_IsJpegAvailable", 1}}) << QStringList{}
        << QStringList{source,
                       "TWAIN_IsJpegAvailable()",
                       "TWAIN_GetJpegQuality()",
                       "TWAIN_SetJpegQuality(60)",
                       "TWAIN_SetSaveFormat(4)",
                       "TWAIN_AcquireToFilename($hwnd,\"MYTEST.JPG\")"};
    const QStringList toBmp{source, "TWAIN_IsJpegAvailable()", "TWAIN_SetSaveFormat(2)",
                            "TWAIN_AcquireToFilename($hwnd,\"MYTEST.BMP\")"};
    QTest::newRow("acquire to bmp file")
        << "Acquire und Save to File" << Script{} << QStringList{} << toBmp;
    QTest::newRow("file save cancelled")
        << "Acquire und Save to File" << results({{"TWAIN_AcquireToFilename", -10}})
        << QStringList{"user cancelled File Save dialog"} << toBmp;
    QTest::newRow("file open error")
        << "Acquire und Save to File" << results({{"TWAIN_AcquireToFilename", -2}})
        << QStringList{"file open error (invalid path or name, or access denied)"} << toBmp;
    QTest::newRow("other result code")
        << "Acquire und Save to File" << results({{"TWAIN_AcquireToFilename", -7}})
        << QStringList{"Error code:         -7"} << toBmp;
    QTest::newRow("clipboard fails")
        << "Acquire to Clipboard"
        << results({{"TWAIN_AcquireToClipboard", 0}, {"TWAIN_LastErrorCode", 3}})
        << QStringList{"Error - code is:          3 [TWAIN Error]"}
        << QStringList{source, "TWAIN_AcquireToClipboard($hwnd,0)", "TWAIN_LastErrorCode()",
                       "TWAIN_UserClosedSource()"};
    QTest::newRow("clipboard with jpeg available")
        << "Acquire to Clipboard"
        << results({{"TWAIN_AcquireToClipboard", 1},
                    {"DIB_GetFromClipboard", 77},
                    {"TWAIN_IsJpegAvailable", 1}})
        << QStringList{}
        << QStringList{source, "TWAIN_AcquireToClipboard($hwnd,0)", "DIB_GetFromClipboard()",
                       "DIB_WriteToBmp(77,\"MYTEST.BMP\")", "TWAIN_FreeNative(77)"};
    QTest::newRow("clipboard holds no image")
        << "Acquire to Clipboard"
        << results({{"TWAIN_AcquireToClipboard", 1}, {"TWAIN_LastErrorCode", 12}})
        << QStringList{"Error - code is:         12 [TWAIN Error]"}
        << QStringList{source, "TWAIN_AcquireToClipboard($hwnd,0)", "DIB_GetFromClipboard()",
                       "TWAIN_LastErrorCode()"};
  }
  void command() {
    QFETCH(QString, item);
    QFETCH(Script, script);
    QFETCH(QStringList, expectedMessages);
    QFETCH(QStringList, expectedCalls);
    apply(script);
    QAction* action = menuItem(item);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(messages(), expectedMessages);
    QCOMPARE(calls(), expectedCalls);
  }

  // Also while another window of the program is active, the acquisitions
  // pass the main window's handle.
  void windowHandleIsTheMainWindows() {
    fake::setResult("TWAIN_Acquire", 5);
    fake::setResult("TWAIN_AcquireToClipboard", 0);
    std::int32_t otherWindow = 0;
    QTimer::singleShot(0, qApp, [&] {
      QWidget* list = QApplication::activeModalWidget();
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "functionListWindow") list = w;
      if (!list) return;
      otherWindow = static_cast<std::int32_t>(list->winId());
      menuItem("Acquire from Source")->trigger();
      menuItem("Acquire und Save to File")->trigger();
      menuItem("Acquire to Clipboard")->trigger();
      list->close();
    });
    menuItem("~Function List Part one")->trigger();
    QVERIFY(otherWindow != 0);
    QVERIFY(otherWindow != static_cast<std::int32_t>(oDlg->winId()));
    int acquisitions = 0;
    for (const fake::Call& c : fake::calls()) {
      if (c.name.find("Acquire") == std::string::npos) continue;
      ++acquisitions;
      QCOMPARE(c.args.at(0).i, static_cast<std::int32_t>(oDlg->winId()));
    }
    QCOMPARE(acquisitions, 3);
  }

  // A new image replaces the current one, which is released; a failed or
  // cancelled acquisition leaves the current one in place.
  void acquisitionReplacesAndReleasesTheCurrentImage() {
    fake::queueResults("TWAIN_Acquire", {41, 42, 0});
    menuItem("Acquire from Source")->trigger();
    QCOMPARE(nDibHnd, 41);
    menuItem("Acquire from Source")->trigger();
    QCOMPARE(nDibHnd, 42);
    menuItem("Acquire from Source")->trigger();
    QCOMPARE(nDibHnd, 42);
    QCOMPARE(calls().filter("Acquire(").size(), 3);
    QCOMPARE(calls().filter("FreeNative"), QStringList{"TWAIN_FreeNative(41)"});
    QCOMPARE(calls().indexOf("TWAIN_FreeNative(41)"), 8);  // after the second acquisition

    fake::reset();
    fake::setResult("TWAIN_AcquireToClipboard", 1);
    fake::setResult("DIB_GetFromClipboard", 77);
    menuItem("Acquire to Clipboard")->trigger();
    QCOMPARE(calls().mid(2),
             (QStringList{"DIB_GetFromClipboard()", "TWAIN_FreeNative(42)",
                          "DIB_WriteToBmp(77,\"MYTEST.BMP\")", "TWAIN_FreeNative(77)"}));
    QCOMPARE(nDibHnd, 0);
  }

  // After each acquisition the main window shows the image, fitted into its
  // client area, and says in its status line what happened. The double does
  // not write files: where the library would, the test has written them.
  void mainWindowShowsWhatTheLastCommandDid_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<Script>("script");
    QTest::addColumn<QString>("written");  // a file the library "wrote", red
    QTest::addColumn<QString>("status");   // %1 the folder, %2 the file's size in KB
    QTest::addColumn<QColor>("shown");     // in the image's middle afterwards

    const QColor before = Qt::blue;  // the image shown before the command
    QTest::newRow("file written") << "Acquire und Save to File" << Script{} << "MYTEST.BMP"
                                  << "MYTEST.BMP written, 40 x 30, %2 KB, in %1" << QColor(Qt::red);
    QTest::newRow("jpeg written") << "Acquire und Save to File"
                                  << results({{"TWAIN_IsJpegAvailable", 1}}) << "MYTEST.JPG"
                                  << "MYTEST.JPG written, 40 x 30, %2 KB, in %1" << QColor(Qt::red);
    QTest::newRow("written but missing")
        << "Acquire und Save to File" << Script{} << ""
        << "MYTEST.BMP was reported written but is not in %1" << before;
    QTest::newRow("file acquisition cancelled")
        << "Acquire und Save to File"
        << results({{"TWAIN_AcquireToFilename", -1}, {"TWAIN_UserClosedSource", 1}}) << ""
        << "Acquisition cancelled" << before;
    QTest::newRow("file acquisition failed")
        << "Acquire und Save to File"
        << results({{"TWAIN_AcquireToFilename", -1}, {"TWAIN_LastErrorCode", 5}}) << ""
        << "Acquisition failed, MYTEST.BMP not written, library error code 5" << before;
    QTest::newRow("save dialog cancelled")
        << "Acquire und Save to File" << results({{"TWAIN_AcquireToFilename", -10}}) << ""
        << "MYTEST.BMP not written: user cancelled File Save dialog" << before;
    QTest::newRow("acquisition cancelled")
        << "Acquire from Source" << results({{"TWAIN_Acquire", 0}, {"TWAIN_UserClosedSource", 1}})
        << ""
        << "Acquisition cancelled" << before;
    QTest::newRow("acquisition failed")
        << "Acquire from Source" << results({{"TWAIN_Acquire", 0}, {"TWAIN_LastErrorCode", 2}})
        << ""
        << "Acquisition failed, library error code 2" << before;
    QTest::newRow("clipboard written")
        << "Acquire to Clipboard"
        << results({{"TWAIN_AcquireToClipboard", 1}, {"DIB_GetFromClipboard", 77}}) << "MYTEST.BMP"
        << "MYTEST.BMP written from the clipboard, 40 x 30, %2 KB, in %1" << QColor(Qt::red);
    QTest::newRow("clipboard cancelled")
        << "Acquire to Clipboard"
        << results({{"TWAIN_AcquireToClipboard", 0}, {"TWAIN_UserClosedSource", 1}}) << ""
        << "Acquisition cancelled" << before;
    QTest::newRow("held image")
        << "Acquire from Source"
        << results({{"TWAIN_Acquire", 41},
                    {"DIB_Width", 2480},
                    {"DIB_Height", 3508},
                    {"DIB_Depth", 24}})
        << "$held"
        << "Image acquired, 2480 x 3508, 24 bits per pixel, held in memory; Save to File writes "
           "it to MYTEST.BMP"
        << QColor(Qt::red);
  }
  void mainWindowShowsWhatTheLastCommandDid() {
    QFETCH(QString, item);
    QFETCH(Script, script);
    QFETCH(QString, written);
    QFETCH(QString, status);
    QFETCH(QColor, shown);
    QTemporaryDir dir;
    const QString previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previousDir); });

    sorrelby::MainView* view = sorrelby::mainView();
    QVERIFY(view);
    QVERIFY(writeImage(dir.filePath("before.png"), {30, 40}, Qt::blue, "PNG"));
    view->showImage(QFile::encodeName(dir.filePath("before.png")));
    QTRY_COMPARE(middleOfCurrentImage(), QColor(Qt::blue));

    const QString file =
        written == "$held" ? QFile::decodeName(view->heldImageFile()) : dir.filePath(written);
    if (!written.isEmpty()) {
      const char* format = file.endsWith(".JPG") ? "JPG" : "BMP";
      QVERIFY(writeImage(file, {40, 30}, Qt::red, format));
    }
    apply(script);
    menuItem(item)->trigger();
    const qint64 bytes = written.isEmpty() ? 0 : QFileInfo(file).size();
    status.replace("%1", dir.path()).replace("%2", QString::number((bytes + 1023) / 1024));
    QCOMPARE(view->status(), status);
    // Loading may finish later than the command; the image must show soon.
    const auto near = [](QColor a, QColor b) {
      return qAbs(a.red() - b.red()) < 16 && qAbs(a.blue() - b.blue()) < 16;
    };
    QTRY_VERIFY2(near(middleOfCurrentImage(), shown), qPrintable(middleOfCurrentImage().name()));
    // The window keeps its size.
    QCOMPARE(oDlg->size(), QSize(800, 580));
  }

  // The image is fitted with its proportions kept: a wide image leaves white
  // above and below it in the main window's client area.
  void mainWindowImageKeepsProportions() {
    QTemporaryDir dir;
    const QString wide = dir.filePath("wide.png");
    QVERIFY(writeImage(wide, {400, 100}, Qt::red, "PNG"));
    sorrelby::MainView* view = sorrelby::mainView();
    view->showImage(QFile::encodeName(wide));
    QTRY_COMPARE(middleOfCurrentImage(), QColor(Qt::red));
    const QImage shot = view->view()->grab().toImage();
    const int x = shot.width() / 2;
    int top = -1, bottom = -1;
    for (int y = 0; y < shot.height(); ++y)
      if (shot.pixelColor(x, y) == QColor(Qt::red)) {
        if (top < 0) top = y;
        bottom = y;
      }
    QVERIFY(top > 0);
    int left = -1, right = -1;
    for (int i = 0; i < shot.width(); ++i)
      if (shot.pixelColor(i, (top + bottom) / 2) == QColor(Qt::red)) {
        if (left < 0) left = i;
        right = i;
      }
    const double ratio = double(right - left + 1) / double(bottom - top + 1);
    QVERIFY2(qAbs(ratio - 4.0) < 0.1, qPrintable(QString::number(ratio)));
    QVERIFY(right - left + 1 > shot.width() * 9 / 10);  // as wide as the area allows
  }

  // Once released, an image is never passed to the library again.
  void saveToFileReleasesOnce() {
    fake::setResult("TWAIN_Acquire", 41);
    menuItem("Acquire from Source")->trigger();
    fake::reset();
    menuItem("Save to File")->trigger();
    QCOMPARE(calls(), (QStringList{"DIB_WriteToBmp(41,\"MYTEST.BMP\")", "TWAIN_FreeNative(41)"}));
    QCOMPARE(nDibHnd, 0);
    QVERIFY(messages().isEmpty());

    fake::reset();
    menuItem("Save to File")->trigger();
    QCOMPARE(calls(), QStringList{});
    QCOMPARE(messages().size(), 1);
    QVERIFY(messages().at(0).contains("no image"));
  }

  void saveToFileAfterClipboardPassesNoReleasedImage() {
    fake::setResult("TWAIN_AcquireToClipboard", 1);
    fake::setResult("DIB_GetFromClipboard", 77);
    menuItem("Acquire to Clipboard")->trigger();
    fake::reset();
    menuItem("Save to File")->trigger();
    QCOMPARE(calls(), QStringList{});
  }

  // A failed write keeps the image, so that nothing is lost and saving can be
  // tried again.
  void failedSaveKeepsTheImage() {
    fake::setResult("TWAIN_Acquire", 41);
    menuItem("Acquire from Source")->trigger();
    fake::reset();
    fake::queueResults("DIB_WriteToBmp", {-4});
    menuItem("Save to File")->trigger();
    QCOMPARE(calls(), QStringList{"DIB_WriteToBmp(41,\"MYTEST.BMP\")"});
    QCOMPARE(messages(), QStringList{"writing failed, possibly output device is full."});
    QCOMPARE(nDibHnd, 41);
    menuItem("Save to File")->trigger();
    QCOMPARE(calls().last(), QStringLiteral("TWAIN_FreeNative(41)"));
    QCOMPARE(nDibHnd, 0);
  }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
