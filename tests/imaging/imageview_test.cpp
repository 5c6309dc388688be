// SPDX-License-Identifier: GPL-2.0-or-later
// The image view on real widgets: geometry, what load() accepts, and the
// pixels display() leaves on screen.
#include <sys/stat.h>

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "canvas_p.h"
#include "imageview.h"
#include "testimages.h"

using geometry::Rect;
using imaging::FileName;
Q_DECLARE_METATYPE(geometry::Rect)

namespace {

class ProbeView : public ImageView {
 public:
  using ImageView::ImageView;
  // 0 nothing, 1 bitmap, 2 metafile, in the order of the file kinds.
  int mode() const { return int(nMode); }
  QWidget* canvas() const { return oCanvas; }
  QFrame* frame() const { return oFrame; }
  bool busy() const { return decoding(); }
};

bool inside(const Rect& r, int x, int y) {
  return x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
}

}  // namespace

class ImageViewTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<QWidget> host_;
  ProbeView* view_ = nullptr;

  QByteArray path(const QString& name) const { return QFile::encodeName(dir_.filePath(name)); }
  QByteArray write(const QString& name, const QByteArray& data) {
    QDir().mkpath(QFileInfo(dir_.filePath(name)).path());
    if (!testimages::writeFile(dir_.filePath(name), data)) return {};
    return path(name);
  }
  QByteArray writeImage(const QString& name, const QImage& image, const char* format) {
    return write(name, testimages::encode(image, format));
  }

  // What is on screen in the canvas, read from the window's backing store:
  // only what was painted shows, nothing is repainted for the reading.
  QImage onScreen() const {
    const QImage window = host_->screen()->grabWindow(host_->winId()).toImage();
    const QPoint at = view_->canvas()->mapTo(host_.get(), QPoint(0, 0));
    return window.copy(QRect(at, view_->canvas()->size())).convertToFormat(QImage::Format_RGB32);
  }
  // The colour at canvas position (x, y), lower-left origin.
  static QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, image.height() - 1 - y);
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void init() {
    host_ = std::make_unique<QWidget>();
    host_->resize(400, 400);
    view_ = new ProbeView(host_.get(), nullptr, QPoint(10, 20), QSize(204, 228), QVariant(), true);
    view_->create();
    host_->show();
    QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
  }
  void cleanup() { host_.reset(); }

  void layoutInsetsFrameAndCanvas() {
    QCOMPARE(view_->geometry(), QRect(10, 400 - 20 - 228, 204, 228));
    QCOMPARE(view_->frame()->geometry(), QRect(4, 4, 196, 220));
    QCOMPARE(view_->canvas()->size(), QSize(194, 218));
    QCOMPARE(view_->canvas()->mapTo(view_, QPoint(0, 0)), QPoint(5, 5));
    QVERIFY(view_->autoScale);
    QCOMPARE(view_->mode(), 0);
    QVERIFY(!view_->file.has_value());
  }

  void displayPlacesImage_data() {
    QTest::addColumn<QSize>("image");
    QTest::addColumn<bool>("autoScale");
    QTest::addColumn<Rect>("target");
    QTest::newRow("wide, scaled") << QSize(400, 200) << true << Rect{1, 61, 192, 156};
    QTest::newRow("tall, scaled") << QSize(100, 150) << true << Rect{25, 1, 168, 216};
    // Square in a canvas taller than wide: limited by the width, so it fits.
    QTest::newRow("square, scaled") << QSize(100, 100) << true << Rect{1, 13, 192, 204};
    QTest::newRow("4:3, scaled") << QSize(400, 300) << true << Rect{1, 37, 192, 180};
    QTest::newRow("small, natural") << QSize(100, 50) << false << Rect{47, 84, 146, 133};
    QTest::newRow("large, natural") << QSize(640, 480) << false << Rect{1, 1, 640, 480};
    QTest::newRow("wide, natural") << QSize(300, 100) << false << Rect{1, 59, 300, 158};
  }
  void displayPlacesImage() {
    QFETCH(QSize, image);
    QFETCH(bool, autoScale);
    QFETCH(Rect, target);
    const QByteArray name = writeImage("place.png", testimages::solid(image, Qt::red), "png");
    view_->autoScale = autoScale;
    QVERIFY(view_->load(name));
    view_->display();
    const QImage shown = onScreen();
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) {
        const QColor expected = inside(target, x, y) ? QColor(Qt::red) : QColor(Qt::white);
        if (at(shown, x, y) != expected && wrong++ < 5)
          qWarning("pixel (%d, %d) is %s", x, y, qPrintable(at(shown, x, y).name()));
      }
    QCOMPARE(wrong, 0);
  }

  void reductionAveragesColumns() {
    // 400 one-pixel stripes onto 192 columns: each column is the mean of the
    // area it covers, an even grey, not a dropped black or white column.
    QVERIFY(view_->load(writeImage("stripes.png", testimages::stripes(QSize(400, 200)), "png")));
    view_->display();
    const QImage shown = onScreen();
    for (int x = 1; x <= 192; ++x) {
      const int level = at(shown, x, 100).green();
      QVERIFY2(level > 110 && level < 145, qPrintable(QString("column %1: %2").arg(x).arg(level)));
    }
  }

  void displayClipsToGrownRectangle_data() {
    QTest::addColumn<Rect>("clip");
    QTest::newRow("inside") << Rect{10, 10, 50, 50};
    QTest::newRow("corner") << Rect{0, 0, 5, 5};
    QTest::newRow("past the edge") << Rect{180, 200, 300, 300};
  }
  void displayClipsToGrownRectangle() {
    QFETCH(Rect, clip);
    view_->autoScale = false;
    QVERIFY(view_->load(writeImage("big.png", testimages::solid(QSize(640, 480), Qt::red), "png")));
    view_->display();
    const QImage before = onScreen();
    QCOMPARE(at(before, 100, 100), QColor(Qt::red));
    // A file that exists but is no image: nothing is shown any more.
    QVERIFY(!view_->load(write("notes.txt", "just text\n")));
    view_->display(clip);
    const QImage after = onScreen();
    const Rect grown{clip.x1 - 1, clip.y1 - 1, clip.x2 + 1, clip.y2 + 1};
    int wrong = 0;
    for (int y = 0; y < after.height(); ++y)
      for (int x = 0; x < after.width(); ++x) {
        const QColor expected = inside(grown, x, y) ? QColor(Qt::white) : at(before, x, y);
        if (at(after, x, y) != expected) ++wrong;
      }
    QCOMPARE(wrong, 0);
  }

  void loadByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<int>("mode");
    const QByteArray png = testimages::encode(testimages::solid(QSize(8, 6), Qt::blue), "png");
    const QByteArray bmp = testimages::encode(testimages::solid(QSize(8, 6), Qt::blue), "bmp");
    const QByteArray jpg = testimages::encode(testimages::solid(QSize(8, 6), Qt::blue), "jpeg");
    const QByteArray gif = testimages::readFile(QFINDTESTDATA("../data/imaging/red40x20.gif"));
    const QByteArray emf = testimages::emf(QSize(60, 40), QRect(5, 5, 50, 30), Qt::green);
    QTest::newRow("lower case bmp") << "photo.bmp" << bmp << true << 1;
    QTest::newRow("upper case bmp") << "PHOTO.BMP" << bmp << true << 1;
    QTest::newRow("mixed case png") << "Photo.Png" << png << true << 1;
    QTest::newRow("jpeg") << "shot.jpg" << jpg << true << 1;
    QTest::newRow("gif") << "anim.GIF" << gif << true << 1;
    QTest::newRow("content decides") << "really-a-jpeg.png" << jpg << true << 1;
    QTest::newRow("kind anywhere in name") << "scan.png.old" << png << true << 1;
    QTest::newRow("emf") << "drawing.emf" << emf << true << 2;
    QTest::newRow("EMF upper case") << "DRAWING.EMF" << emf << true << 2;
    QTest::newRow("emf in bitmap-named folder") << "SCANS.BMP/A.EMF" << emf << false << 0;
    QTest::newRow("met not read") << "chart.met" << QByteArray(64, 'x') << false << 0;
    QTest::newRow("text") << "notes.txt" << QByteArray("hello\n") << false << 0;
    QTest::newRow("only looks like png") << "fake.png" << QByteArray("hello\n") << false << 0;
    QTest::newRow("only looks like emf") << "fake.emf" << png << false << 0;
    QTest::newRow("not utf-8") << QString::fromLatin1("caf\xe9.png") << png << true << 1;
  }
  void loadByName() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, loads);
    QFETCH(int, mode);
    QDir().mkpath(QFileInfo(dir_.filePath(name)).path());
    // Written by raw bytes so that a Latin-1 name stays invalid UTF-8.
    const QByteArray raw = QFile::encodeName(dir_.path()) + '/' + name.toLatin1();
    {
      QFile out;
      FILE* f = fopen(raw.constData(), "wb");
      QVERIFY(f);
      QVERIFY(out.open(f, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
      out.write(content);
    }
    QCOMPARE(view_->load(raw), loads);
    QCOMPARE(view_->mode(), mode);
    QCOMPARE(view_->file, FileName(loads ? raw : QByteArray("")));
  }

  void missingNameChangesNothing() {
    const QByteArray name =
        writeImage("kept.png", testimages::solid(QSize(20, 20), Qt::red), "png");
    QVERIFY(view_->load(name));
    QVERIFY(!view_->load(path("does-not-exist.png")));
    QVERIFY(!view_->load(FileName()));
    QVERIFY(!view_->load(QByteArray("")));
    QCOMPARE(view_->mode(), 1);
    QCOMPARE(view_->file, FileName(name));
    view_->display();
    QCOMPARE(at(onScreen(), 97, 109), QColor(Qt::red));
  }

  void specialFilesRefusedAtOnce_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("device");  // empty: a FIFO
    QTest::newRow("fifo as png") << "pipe.png"
                                 << "";
    QTest::newRow("fifo as emf") << "pipe.emf"
                                 << "";
    QTest::newRow("fifo as jpeg") << "pipe.jpg"
                                  << "";
    QTest::newRow("device as jpeg") << "zero.jpg"
                                    << "/dev/zero";
    QTest::newRow("device as emf") << "zero.emf"
                                   << "/dev/zero";
  }
  void specialFilesRefusedAtOnce() {
    QFETCH(QString, name);
    QFETCH(QString, device);
    const QByteArray node = path(name);
    if (device.isEmpty())
      QCOMPARE(::mkfifo(node.constData(), 0600), 0);
    else
      QVERIFY(QFile::link(device, dir_.filePath(name)));
    // A reader that waited for a writer would hang here until the timeout.
    QVERIFY(!view_->load(node));
    QCOMPARE(view_->mode(), 0);
    QFile::remove(dir_.filePath(name));
  }

  void failedLoadAfterOtherKindShowsNothing_data() {
    QTest::addColumn<QString>("good");
    QTest::addColumn<QString>("bad");
    QTest::newRow("bitmap after metafile") << "ok.emf"
                                           << "broken.png";
    QTest::newRow("metafile after bitmap") << "ok.png"
                                           << "broken.emf";
  }
  void failedLoadAfterOtherKindShowsNothing() {
    QFETCH(QString, good);
    QFETCH(QString, bad);
    write("ok.emf", testimages::emf(QSize(60, 40), QRect(0, 0, 60, 40), Qt::red));
    writeImage("ok.png", testimages::solid(QSize(60, 40), Qt::red), "png");
    QVERIFY(view_->load(path(good)));
    view_->display();
    QCOMPARE(at(onScreen(), 97, 109), QColor(Qt::red));
    QVERIFY(!view_->load(write(bad, "broken")));
    QCOMPARE(view_->mode(), 0);
    QCOMPARE(view_->file, FileName(QByteArray("")));
    view_->display();
    QCOMPARE(at(onScreen(), 97, 109), QColor(Qt::white));
  }

  void metafileDrawModes() {
    // 60 x 40 recorded: natural size centred, scaled fitted to the width.
    QVERIFY(
        view_->load(write("m.emf", testimages::emf(QSize(60, 40), QRect(0, 0, 60, 40), Qt::red))));
    view_->autoScale = false;
    view_->display();
    QImage shown = onScreen();
    QCOMPARE(at(shown, 97, 109), QColor(Qt::red));
    QCOMPARE(at(shown, 20, 109), QColor(Qt::white));
    view_->autoScale = true;
    view_->display();
    shown = onScreen();
    QCOMPARE(at(shown, 20, 109), QColor(Qt::red));
    QCOMPARE(at(shown, 97, 30), QColor(Qt::white));  // 192 x 128, centred
  }

  void scaledJpegShowsWholeImage() {
    // Decoded at reduced size for the preview, at full size for natural.
    const QImage image = testimages::halves(QSize(1600, 800), Qt::red, Qt::blue);
    QVERIFY(view_->load(writeImage("photo.jpg", image, "jpeg")));
    view_->display();
    QImage shown = onScreen();
    QCOMPARE(at(shown, 3, 108).red() > 200, true);
    QCOMPARE(at(shown, 190, 108).blue() > 200, true);
    view_->autoScale = false;
    view_->display();
    shown = onScreen();
    QCOMPARE(at(shown, 190, 108).red() > 200, true);  // lower-left part of the left half
  }

  void backgroundLoadClearsAtOnceAndShowsWhenReady() {
    view_->autoScale = false;
    QVERIFY(view_->load(writeImage("first.png", testimages::solid(QSize(50, 50), Qt::red), "png")));
    view_->display();
    QCOMPARE(at(onScreen(), 97, 109), QColor(Qt::red));
    const QByteArray big = writeImage("big.png", testimages::photo(QSize(2400, 1800)), "png");
    QVERIFY(view_->loadInBackground(big));
    // Back at once, the old picture gone, the new one not there yet.
    QVERIFY(view_->busy());
    QCOMPARE(view_->mode(), 0);
    QCOMPARE(at(onScreen(), 97, 109), QColor(Qt::white));
    QTRY_VERIFY_WITH_TIMEOUT(!view_->busy(), 30000);
    QCOMPARE(view_->mode(), 1);
    QCOMPARE(view_->file, FileName(big));
    // Natural size: the lower-left corner of the picture, pixel for pixel.
    const QImage photo = testimages::photo(QSize(2400, 1800));
    QImage shown = onScreen();
    QCOMPARE(at(shown, 1, 1).rgb(), photo.pixel(0, 1799));
    QCOMPARE(at(shown, 150, 100).rgb(), photo.pixel(149, 1799 - 99));
  }

  void backgroundNaturalSizeReadOnWorker() {
    const QImage photo = testimages::photo(QSize(1200, 900));
    const QByteArray name = writeImage("photo.png", photo, "png");
    QVERIFY(view_->loadInBackground(name));
    QTRY_VERIFY_WITH_TIMEOUT(!view_->busy(), 30000);
    view_->autoScale = false;
    view_->display();  // starts the full decode; the preview's pixels stand in
    QVERIFY(view_->busy());
    QTRY_VERIFY_WITH_TIMEOUT(!view_->busy(), 30000);
    QCOMPARE(at(onScreen(), 10, 20).rgb(), photo.pixel(9, 899 - 19));
    QCOMPARE(view_->file, FileName(name));
  }

  void staleDecodeNeverShown() {
    const QByteArray slow = writeImage("a.png", testimages::photo(QSize(3000, 2000)), "png");
    const QByteArray quick = writeImage("b.png", testimages::solid(QSize(40, 40), Qt::blue), "png");
    QVERIFY(view_->loadInBackground(slow));
    QVERIFY(view_->loadInBackground(quick));
    while (view_->busy()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
      QVERIFY(view_->file != FileName(slow));
    }
    QCOMPARE(view_->file, FileName(quick));
    QCOMPARE(at(onScreen(), 97, 109), QColor(Qt::blue));
    // And the other way round: the quick one first, the slow one last wins.
    QVERIFY(view_->loadInBackground(quick));
    QVERIFY(view_->loadInBackground(slow));
    QTRY_VERIFY_WITH_TIMEOUT(!view_->busy(), 30000);
    QCOMPARE(view_->file, FileName(slow));
  }

  void eventLoopRunsDuringDecode() {
    const QByteArray big = writeImage("slow.png", testimages::photo(QSize(4000, 3000)), "png");
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(0);
    QVERIFY(view_->loadInBackground(big));
    QVERIFY(view_->busy());
    int ticksWhileDecoding = 0;
    while (view_->busy()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
      if (view_->busy()) ticksWhileDecoding = ticks;
    }
    QVERIFY2(ticksWhileDecoding > 1, qPrintable(QString::number(ticksWhileDecoding)));
    QCOMPARE(view_->mode(), 1);
  }

  void badInputNeverCrashes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("mustFail");
    const QImage picture = testimages::halves(QSize(64, 48), Qt::red, Qt::blue);
    const QByteArray gif = testimages::readFile(QFINDTESTDATA("../data/imaging/red40x20.gif"));
    const QByteArray emf = testimages::emf(QSize(60, 40), QRect(5, 5, 50, 30), Qt::green);
    const QList<std::pair<QString, QByteArray>> good = {
        {"png", testimages::encode(picture, "png")},
        {"jpg", testimages::encode(picture, "jpeg")},
        {"bmp", testimages::encode(picture, "bmp")},
        {"gif", gif},
        {"emf", emf}};
    for (const auto& [ext, data] : good) {
      QTest::addRow("%s empty", qPrintable(ext)) << "empty." + ext << QByteArray() << true;
      QTest::addRow("%s truncated", qPrintable(ext))
          << "cut." + ext << data.left(data.size() / 2) << (ext == "emf");
      for (quint32 seed = 1; seed <= 12; ++seed)
        QTest::addRow("%s corrupt %u", qPrintable(ext), seed)
            << "bad." + ext << testimages::mutated(data, 12, 1 + int(seed % 6), seed) << false;
    }
    QByteArray stray = emf;  // no description, but an offset to one near the end
    qToLittleEndian(quint32(stray.size() - 2), stray.data() + 64);
    QTest::newRow("emf stray description") << "stray.emf" << stray << false;
    QTest::newRow("png bomb") << "bomb.png" << testimages::pngClaiming(QSize(100000, 100000))
                              << true;
    QTest::newRow("png over allocation limit")
        << "big.png" << testimages::pngClaiming(QSize(10000, 10000)) << true;
    QTest::newRow("jpeg bomb") << "bomb.jpg" << testimages::jpegClaiming(QSize(65000, 65000))
                               << true;
    QTest::newRow("bmp bomb") << "bomb.bmp" << testimages::bmpClaiming(QSize(100000, 100000))
                              << true;
    QTest::newRow("gif bomb") << "bomb.gif" << testimages::gifClaiming(gif, QSize(65535, 65535))
                              << true;
  }
  void badInputNeverCrashes() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, mustFail);
    const bool loaded = view_->load(write(name, content));
    if (mustFail) QVERIFY(!loaded);
    QCOMPARE(view_->mode() != 0, loaded);
    for (bool scaled : {true, false}) {
      view_->autoScale = scaled;
      view_->display();
    }
  }
};

QTEST_MAIN(ImageViewTest)
#include "imageview_test.moc"
