// SPDX-License-Identifier: GPL-2.0-or-later
// Full-size image windows on an offscreen desktop of 1024 x 768 whose
// windows have a frame of 2 pixels on every side.
#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include "fullview.h"
#include "testimages.h"

using imaging::FileName;

class FullViewTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QByteArray write(const QString& name, const QByteArray& data) {
    return testimages::writeFile(dir_.filePath(name), data) ? QFile::encodeName(dir_.filePath(name))
                                                            : QByteArray();
  }
  QByteArray writePng(const QString& name, const QImage& image) {
    return write(name, testimages::encode(image, "png"));
  }
  static QList<QWidget*> windows() {
    QList<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible()) shown << w;
    return shown;
  }
  // Opens `name` and returns the one new window.
  static QWidget* open(const FileName& name) {
    const QList<QWidget*> before = windows();
    FullView(name);
    QWidget* found = nullptr;
    for (QWidget* w : windows())
      if (!before.contains(w)) {
        if (found) return nullptr;
        found = w;
      }
    if (found && !QTest::qWaitForWindowExposed(found)) return nullptr;
    return found;
  }
  static QImage pixels(QWidget* window) {
    return window->screen()
        ->grabWindow(window->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
  }
  void cleanup() {
    for (QWidget* w : windows()) w->close();
    QTRY_VERIFY(windows().isEmpty());
  }

  void bitmapWindowGeometry_data() {
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QRect>("frame");  // Qt's frame geometry: top-left origin
    // 644 x 484 with the frame: x = 190, y = 142 from the bottom.
    QTest::newRow("640 x 480") << QSize(640, 480) << QRect(190, 142, 644, 484);
    // 645 x 485: y = 141 (integer part of 141.5) from the bottom, so the top
    // is 768 - 141 - 485 = 142.
    QTest::newRow("odd size") << QSize(641, 481) << QRect(189, 142, 645, 485);
    QTest::newRow("tiny, at least 16") << QSize(10, 12) << QRect(502, 374, 20, 20);
    // Squeezed to the desktop's width; wider than it with the frame.
    QTest::newRow("wider than desktop") << QSize(3000, 400) << QRect(-2, 182, 1028, 404);
    QTest::newRow("larger both ways") << QSize(2000, 1600) << QRect(-2, -2, 1028, 772);
  }
  void bitmapWindowGeometry() {
    QFETCH(QSize, image);
    QFETCH(QRect, frame);
    const QByteArray name = writePng("full.png", testimages::halves(image, Qt::red, Qt::blue));
    QWidget* window = open(name);
    QVERIFY(window);
    QCOMPARE(window->frameGeometry(), frame);
    QCOMPARE(window->windowTitle(), QFile::decodeName(name));
    // The whole image, stretched over the whole area.
    const QImage shown = pixels(window);
    QCOMPARE(shown.size(), window->size());
    QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(shown.width() - 1, shown.height() - 1), QColor(Qt::blue));
    QCOMPARE(shown.pixelColor(shown.width() / 2 - 2, 0), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(shown.width() / 2 + 1, 0), QColor(Qt::blue));
  }

  void resizeStretchesAgain() {
    QWidget* window =
        open(writePng("small.png", testimages::halves(QSize(10, 12), Qt::red, Qt::blue)));
    QVERIFY(window);
    QCOMPARE(window->size(), QSize(16, 16));
    window->resize(100, 30);
    QTRY_COMPARE(pixels(window).size(), QSize(100, 30));
    const QImage shown = pixels(window);
    QCOMPARE(shown.pixelColor(49, 29), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(50, 0), QColor(Qt::blue));
  }

  void twoWindowsForOneFile() {
    const QByteArray name = writePng("twice.png", testimages::solid(QSize(50, 40), Qt::red));
    QWidget* first = open(name);
    QWidget* second = open(name);
    QVERIFY(first && second && first != second);
    QPointer<QWidget> gone(first);
    first->close();
    QTRY_VERIFY(gone.isNull());  // destroyed on close
    QVERIFY(second->isVisible());
    QCOMPARE(windows(), QList<QWidget*>{second});
  }

  void metafileWindowIs600By400() {
    const QByteArray name =
        write("chart.EMF", testimages::emf(QSize(1500, 90), QRect(0, 0, 1500, 90), Qt::red));
    QWidget* window = open(name);
    QVERIFY(window);
    QCOMPARE(window->frameGeometry(), QRect(212, 184, 600, 400));
    QCOMPARE(window->size(), QSize(596, 396));
  }

  void noWindow_data() {
    QTest::addColumn<FileName>("name");
    QTest::newRow("no value") << FileName();
    QTest::newRow("empty") << FileName(QByteArray(""));
    QTest::newRow("text file") << FileName(write("notes.txt", "text"));
  }
  void noWindow() {
    QFETCH(FileName, name);
    FullView(name);
    QVERIFY(windows().isEmpty());
  }
};

QTEST_MAIN(FullViewTest)
#include "fullview_test.moc"
