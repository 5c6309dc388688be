// SPDX-License-Identifier: GPL-2.0-or-later
// The preview's reduced decode of PNG and BMP files, read row by row into the
// target size, against Qt's own full decode of the same file scaled down by
// area averaging: the two must agree to within rounding.
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "bitmap.h"
#include "testimages.h"

namespace {

// Mean absolute difference per channel of two images of one size, compared
// premultiplied, as they are drawn.
double meanDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col)
      sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
             std::abs(qBlue(p[col]) - qBlue(q[col])) + std::abs(qAlpha(p[col]) - qAlpha(q[col]));
  }
  return sum / (4.0 * x.width() * x.height());
}

}  // namespace

class StreamingTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void reducedMatchesScaledFullDecode_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    const QImage photo = testimages::photo(QSize(641, 479));
    QImage translucent = photo.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < translucent.height(); ++y)
      for (int x = 0; x < translucent.width(); ++x) {
        QColor c = translucent.pixelColor(x, y);
        c.setAlpha(255 * x / translucent.width());
        translucent.setPixelColor(x, y, c);
      }
    const auto png = [](const QImage& image) { return testimages::encode(image, "png"); };
    QTest::newRow("png rgb 8-bit") << "rgb8.png" << png(photo);
    QTest::newRow("png rgb 16-bit")
        << "rgb16.png" << png(photo.convertToFormat(QImage::Format_RGBX64));
    QTest::newRow("png palette") << "palette.png"
                                 << png(photo.convertToFormat(QImage::Format_Indexed8));
    QTest::newRow("png 1-bit") << "mono.png" << png(photo.convertToFormat(QImage::Format_Mono));
    QTest::newRow("png grey 8-bit")
        << "grey8.png" << png(photo.convertToFormat(QImage::Format_Grayscale8));
    QTest::newRow("png grey 16-bit")
        << "grey16.png" << png(photo.convertToFormat(QImage::Format_Grayscale16));
    QTest::newRow("png alpha") << "alpha.png" << png(translucent);
    // Interlaced files come from ImageMagick; Qt writes none.
    for (const auto& [label, source] :
         {std::pair{"rgb", photo}, std::pair{"alpha", QImage(translucent)}}) {
      const QString plain = dir_.filePath(QString("plain-%1.png").arg(label));
      const QString interlaced = dir_.filePath(QString("interlaced-%1.png").arg(label));
      testimages::writeFile(plain, png(source));
      QCOMPARE(QProcess::execute("convert", {plain, "-interlace", "PNG", interlaced}), 0);
      QTest::addRow("png interlaced %s", label)
          << QString("interlaced-%1.png").arg(label) << testimages::readFile(interlaced);
    }
    for (int bits : {1, 4, 8, 24, 32})
      for (bool topDown : {false, true})
        QTest::addRow("bmp %d-bit %s", bits, topDown ? "top-down" : "bottom-up")
            << QString("b%1%2.bmp").arg(bits).arg(topDown) << testimages::bmp(photo, bits, topDown);
  }
  void reducedMatchesScaledFullDecode() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = dir_.filePath(name);
    QVERIFY(testimages::writeFile(path, content));
    QImageReader reader(path);
    const QImage full = reader.read();
    QVERIFY2(!full.isNull(), qPrintable(reader.errorString()));
    const QSize fit(192, 143);
    imaging::Bitmap bitmap;
    QVERIFY(bitmap.load(
        QFile::encodeName(path), [fit](QSize) { return fit; }, imaging::Bitmap::Reduction::Exact));
    QCOMPARE(bitmap.size(), full.size());
    // Exactly the size asked for: not a full decode scaled afterwards.
    QCOMPARE(bitmap.pixelsAtHand().size(), fit);
    const QImage reference = full.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                 .scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double difference = meanDifference(bitmap.pixelsAtHand(), reference);
    QVERIFY2(difference < 2.0, qPrintable(QString("mean difference %1").arg(difference)));
  }

  void cancelledDecodeFails() {
    const QString path = dir_.filePath("cancel.png");
    QVERIFY(
        testimages::writeFile(path, testimages::encode(testimages::photo(QSize(400, 300)), "png")));
    imaging::Bitmap bitmap;
    int rows = 0;
    QVERIFY(!bitmap.load(
        QFile::encodeName(path), [](QSize) { return QSize(40, 30); },
        imaging::Bitmap::Reduction::Exact, [&rows] { return ++rows > 10; }));
    QVERIFY(bitmap.isNull());
    QCOMPARE(rows, 11);
  }
};

QTEST_GUILESS_MAIN(StreamingTest)
#include "streaming_test.moc"
