// SPDX-License-Identifier: GPL-2.0-or-later
// Printing into PDF files, read back with pdftoppm.
#include <QApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "messagesink.h"
#include "printing.h"
#include "testimages.h"

using imaging::FileName;

class PrintingTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QStringList messages_;

  QByteArray write(const QString& name, const QByteArray& data) {
    return testimages::writeFile(dir_.filePath(name), data) ? QFile::encodeName(dir_.filePath(name))
                                                            : QByteArray();
  }
  // The pages of `pdf` as images at 20 dots per inch.
  QList<QImage> pages(const QString& pdf) {
    const QString prefix = dir_.filePath("page");
    for (const QString& old : QDir(dir_.path()).entryList({"page-*.png"}))
      QFile::remove(dir_.filePath(old));
    if (QProcess::execute("pdftoppm", {"-png", "-r", "20", pdf, prefix}) != 0) return {};
    QList<QImage> result;
    for (const QString& file : QDir(dir_.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name))
      result << QImage(dir_.filePath(file)).convertToFormat(QImage::Format_RGB32);
    return result;
  }
  static bool near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
           qAbs(a.blue() - b.blue()) < 40;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) QSKIP("pdftoppm is not installed");
    imaging::setMessageSink(
        [this](const QString& text, const QString& title) { messages_ << title + ": " + text; });
  }
  void init() { messages_.clear(); }

  // The extent of the non-white pixels of `page`, in its pixels.
  static QRect inked(const QImage& page) {
    QRect r;
    for (int y = 0; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x) {
        const QColor c = page.pixelColor(x, y);
        if (c.red() < 200 || c.green() < 200 || c.blue() < 200) r |= QRect(x, y, 1, 1);
      }
    return r;
  }

  // A landscape image on a portrait sheet keeps its proportions: as wide as
  // the sheet (a PDF has no unprintable margins), centred from top to bottom.
  void imageFitsPrintableAreaKeepingProportions_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<double>("aspect");  // width / height of the image
    QTest::newRow("bitmap 400 x 200")
        << write("wide.png",
                 testimages::encode(testimages::halves(QSize(400, 200), Qt::red, Qt::blue), "png"))
        << 2.0;
    QTest::newRow("metafile 300 x 100")
        << write("wide.emf", testimages::emf(QSize(300, 100), QRect(0, 0, 300, 100), Qt::red))
        << 3.0;
  }
  void imageFitsPrintableAreaKeepingProportions() {
    QFETCH(QByteArray, name);
    QFETCH(double, aspect);
    const QString pdf = dir_.filePath("fit.pdf");
    QFile::remove(pdf);
    DokDruck(name, pdf);
    QCOMPARE(messages_, QStringList());
    const QList<QImage> printed = pages(pdf);
    QCOMPARE(printed.size(), 1);
    const QImage& page = printed.first();
    QVERIFY2(page.height() > page.width(), "portrait sheet");
    const QRect ink = inked(page);
    QVERIFY(!ink.isEmpty());
    // Full width, proportions within one pixel, centred vertically.
    QVERIFY2(ink.left() <= 1 && ink.right() >= page.width() - 2,
             qPrintable(QString::number(ink.width())));
    QVERIFY2(qAbs(ink.height() - page.width() / aspect) <= 1.5,
             qPrintable(QStringLiteral("%1 x %2").arg(ink.width()).arg(ink.height())));
    QVERIFY2(qAbs(ink.top() - (page.height() - 1 - ink.bottom())) <= 1,
             qPrintable(QStringLiteral("%1 above, %2 below")
                            .arg(ink.top())
                            .arg(page.height() - 1 - ink.bottom())));
    if (aspect == 2.0) {
      // Red left half, blue right half: the image is whole, not cropped.
      const int y = ink.center().y();
      QVERIFY(near(page.pixelColor(ink.left() + 1, y), Qt::red));
      QVERIFY(near(page.pixelColor(ink.center().x() - 2, y), Qt::red));
      QVERIFY(near(page.pixelColor(ink.center().x() + 2, y), Qt::blue));
      QVERIFY(near(page.pixelColor(ink.right() - 1, y), Qt::blue));
      // Queued under the file's name.
      QProcess info;
      info.start("pdfinfo", {pdf});
      if (info.waitForFinished() && info.exitCode() == 0)
        QVERIFY(info.readAllStandardOutput().contains("wide.png"));
    }
  }

  void nothingToDrawGivesEmptyPage_data() {
    QTest::addColumn<FileName>("name");
    QTest::newRow("unreadable metafile") << FileName(write("c.emf", "not a metafile"));
    QTest::newRow("empty name") << FileName(QByteArray(""));
    QTest::newRow("no value") << FileName();
    QTest::newRow("missing") << FileName(QFile::encodeName(dir_.filePath("missing.png")));
  }
  void nothingToDrawGivesEmptyPage() {
    QFETCH(FileName, name);
    const QString pdf = dir_.filePath("empty.pdf");
    QFile::remove(pdf);
    DokDruck(name, pdf);
    QCOMPARE(messages_, QStringList());
    const QList<QImage> printed = pages(pdf);
    QCOMPARE(printed.size(), 1);
    const QImage& page = printed.first();
    int coloured = 0;
    for (int y = 0; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x)
        if (page.pixelColor(x, y) != QColor(Qt::white)) ++coloured;
    QCOMPARE(coloured, 0);
  }

  void unopenablePrinterSaysSoOnce() {
    const QByteArray name =
        write("p.png", testimages::encode(testimages::solid(QSize(4, 4), Qt::red), "png"));
    DokDruck(name, dir_.filePath("no/such/folder/out.pdf"));
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_.first().contains("could not be opened"));
    QVERIFY(!QFile::exists(dir_.filePath("no/such/folder/out.pdf")));
  }

  void noDefaultPrinterSaysSoOnce() {
    if (!QPrinterInfo::defaultPrinter().isNull())
      QSKIP("a default printer is installed; not printing on it");
    QVERIFY(!PrinterPS());
    DokDruck(write("q.png", testimages::encode(testimages::solid(QSize(4, 4), Qt::red), "png")));
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_.first().contains("No default printer"));
  }

  void paperSizeInTenthsOfMillimetres() {
    std::unique_ptr<PrintSurface> ps = PrinterPS(dir_.filePath("size.pdf"));
    QVERIFY(ps && ps->device());
    ps->device()->setPageSize(QPageSize(QPageSize::A4));
    QCOMPARE(ps->paperSize().toSize(), QSize(2100, 2970));
    DestroyDevice(ps.get());
    QVERIFY(!ps->device());
    QCOMPARE(ps->paperSize(), QSizeF());
  }

  void destroyDeviceWithoutDeviceDoesNothing() {
    PrintSurface surface;
    DestroyDevice(&surface);
    DestroyDevice(&surface);
    DestroyDevice(nullptr);
    QVERIFY(!surface.device());
    QVERIFY(!surface.startDocument("x"));
  }
};

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
