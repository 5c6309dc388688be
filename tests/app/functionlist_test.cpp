// SPDX-License-Identifier: GPL-2.0-or-later
// The function list viewer: its window, edit field and own event loop, and
// the "Dateifehler" cases.
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "fake_eztw32.h"
#include "functionlist.h"
#include "sorrelby.h"
#include "testkit.h"

using testkit::messages;

namespace {

QWidget* listWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "functionListWindow" && w->isVisible()) return w;
  return nullptr;
}

// Runs `inside` once the viewer's loop runs, then closes its window from
// the frame (a close request), which must end the viewer.
void whileShown(std::function<void(QWidget*)> inside) {
  QTimer::singleShot(0, qApp, [inside] {
    QWidget* window = listWindow();
    if (window) {
      inside(window);
      window->close();
    }
  });
}

}  // namespace

class FunctionListTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString previousDir_;

  QString write(const QString& name, const QByteArray& bytes) {
    QFile f(dir_.filePath(name));
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return f.fileName();
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    previousDir_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_.path()));
    testkit::recordMessages();
  }
  void cleanupTestCase() { QDir::setCurrent(previousDir_); }
  void init() { messages().clear(); }

  void noTextGivesDateifehler_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // null: no such file
    QTest::newRow("missing") << "MISSING.LST" << QByteArray();
    QTest::newRow("empty") << "EMPTY.LST" << QByteArray("");
    QTest::newRow("blank lines") << "BLANK.LST" << QByteArray(" \r\n\t\n  \n");
    QTest::newRow("directory") << "ADIR.LST" << QByteArray();
  }
  void noTextGivesDateifehler() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    if (!content.isNull()) write(name, content);
    if (name == "ADIR.LST") QVERIFY(QDir(dir_.path()).mkdir(name));
    bool windowOpened = false;
    // The check runs only if a loop runs in this row; with `scope` as its
    // context it dies with the row instead of writing into a later one's stack.
    QObject scope;
    QTimer::singleShot(0, &scope, [&] { windowOpened = listWindow() != nullptr; });
    showfunctionlist(name.toStdString(), "title");
    QCOMPARE(messages(), QStringList{"Dateifehler"});
    QVERIFY(!windowOpened);
  }

  void showsTheFileUnwrappedAndNeverWritesIt() {
    // Built as std::string: Qt 6.4's QByteArray concatenation trips UBSan's
    // alignment check inside Qt's own headers.
    const std::string longLine = "eztw32_SetImageLayout(" + std::string(400, 'x') + ")";
    const QByteArray content =
        QByteArray::fromStdString("first line\n" + longLine + "\nlast line\n");
    const QString path = write("LIST.TXT", content);
    const int desktopHeight = QGuiApplication::primaryScreen()->geometry().height();
    bool checked = false;
    whileShown([&](QWidget* window) {
      QCOMPARE(window->windowTitle(), QStringLiteral("my list"));
      QCOMPARE(window->geometry(), QRect(50, desktopHeight - 50 - 450, 700, 450));
      QTRY_COMPARE(QApplication::activeWindow(), window);
      auto* edit = window->findChild<QPlainTextEdit*>();
      QVERIFY(edit);
      QCOMPARE(edit->geometry(), QRect(50, 450 - 50 - 350, 550, 350));
      QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
      QVERIFY(!edit->isReadOnly());
      QCOMPARE(edit->toPlainText(), QString::fromLatin1(content));
      QCOMPARE(edit->document()->lineCount(), 4);  // the long line stays one line
      // Columns lined up with blanks stay lined up: a fixed-pitch font.
      QVERIFY(QFontInfo(edit->font()).fixedPitch());
      QCOMPARE(QFontMetrics(edit->font()).horizontalAdvance("iiii"),
               QFontMetrics(edit->font()).horizontalAdvance("WWWW"));
      edit->appendPlainText("an edit that must stay in memory");
      checked = true;
    });
    showfunctionlist("LIST.TXT", "my list");
    QVERIFY(checked);
    QVERIFY(messages().isEmpty());
    QVERIFY(!listWindow());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content);
  }

  // Escape closes the list window and so ends the viewer.
  void escapeEndsTheViewer() {
    write("ESC.TXT", "some text\n");
    bool pressed = false;
    QTimer::singleShot(0, qApp, [&] {
      if (QWidget* window = listWindow()) {
        QTest::keyClick(window->findChild<QPlainTextEdit*>(), Qt::Key_Escape);
        pressed = true;
      }
    });
    showfunctionlist("ESC.TXT", "esc");
    QVERIFY(pressed);
    QVERIFY(!listWindow());
  }

  // With no list in the current directory, the lists shipped beside the
  // executable are shown: they are generated from the wrapper's table.
  void menuItemsShowTheShippedLists_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("mustContain");
    QTest::newRow("part one") << "~Function List Part one"
                              << "function list of Quillmere Part 1"
                              << "eztw32_AcquireToFilename";
    QTest::newRow("part two") << "~Function List Part two"
                              << "function list of Quillmere Part 2"
                              << "eztw32_DIB_WriteToBmp";
    QTest::newRow("not ported") << "~Functions not ported"
                                << "functions not ported"
                                << "cannot honour";
  }
  void menuItemsShowTheShippedLists() {
    QFETCH(QString, item);
    QFETCH(QString, title);
    QFETCH(QString, mustContain);
    QVERIFY(!QFileInfo::exists("FUNCTION.NO1"));
    fake::reset();
    QVERIFY(sorrelby::openMainWindow());
    QString shownTitle, shownText;
    whileShown([&](QWidget* window) {
      shownTitle = window->windowTitle();
      shownText = window->findChild<QPlainTextEdit*>()->toPlainText();
    });
    testkit::menuItem(item)->trigger();
    sorrelby::closeMainWindow();
    QCOMPARE(shownTitle, title);
    QVERIFY2(shownText.contains(mustContain), qPrintable(shownText.left(200)));
    QVERIFY(messages().isEmpty());
  }
};

QTEST_MAIN(FunctionListTest)
#include "functionlist_test.moc"
