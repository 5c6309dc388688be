// SPDX-License-Identifier: GPL-2.0-or-later
// Small files that claim huge pictures: each is previewed by a separate
// process under an address-space limit, which must refuse it without ever
// holding much more memory than an empty preview.
#include <sys/resource.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>

#include "testimages.h"

namespace {

// More than any honest preview needs, far less than the bombs would take.
constexpr qint64 kAddressSpaceLimit = 1536LL * 1024 * 1024;
constexpr qint64 kMaxExtraKb = 96 * 1024;

bool underSanitizer() {
  const char* v = std::getenv("SORRELBY_UNDER_SANITIZER");
  return v && *v == '1';
}

struct ProbeResult {
  bool finished = false;
  bool loaded = false;
  qint64 peakKb = 0;
};

ProbeResult probe(const QStringList& args) {
  QProcess process;
  process.setProgram(QCoreApplication::applicationDirPath() + "/imaging_load_probe");
  process.setArguments(args);
  // The sanitizer's shadow memory does not fit under any such limit.
  if (!underSanitizer())
    process.setChildProcessModifier([] {
      const rlimit limit{rlim_t(kAddressSpaceLimit), rlim_t(kAddressSpaceLimit)};
      ::setrlimit(RLIMIT_AS, &limit);
    });
  process.start();
  ProbeResult result;
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    qWarning("probe: %s", process.readAllStandardError().constData());
    return result;
  }
  const QList<QByteArray> words = process.readAllStandardOutput().simplified().split(' ');
  if (words.size() != 4) return result;
  result.finished = true;
  result.loaded = words[1] == "1";
  result.peakKb = words[3].toLongLong();
  return result;
}

}  // namespace

class BombsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  qint64 baselineKb_ = 0;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const ProbeResult empty = probe({});
    QVERIFY(empty.finished);
    baselineKb_ = empty.peakKb;
  }

  void refusedWithinMemory_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loads");
    const QByteArray progressive = testimages::progressiveJpeg(QSize(11000, 11000), 3);
    const QByteArray gif = testimages::readFile(QFINDTESTDATA("../data/imaging/red40x20.gif"));
    // The same kind of file at a modest size shows that the bombs are
    // refused for their size, not for their make.
    QTest::newRow("progressive jpeg, modest")
        << "fine.jpg" << testimages::progressiveJpeg(QSize(2000, 1500), 3) << true;
    QTest::newRow("progressive jpeg, huge frame, whole") << "whole.jpg" << progressive << false;
    QTest::newRow("progressive jpeg, huge frame, cut")
        << "cut.jpg" << progressive.left(50 * 1024) << false;
    QTest::newRow("progressive grey jpeg, huge frame")
        << "grey.jpg" << testimages::progressiveJpeg(QSize(12000, 12000), 1) << false;
    QTest::newRow("png, huge canvas")
        << "canvas.png" << testimages::pngClaiming(QSize(11000, 11000)) << false;
    QTest::newRow("png, vast canvas")
        << "vast.png" << testimages::pngClaiming(QSize(60000, 60000)) << false;
    QTest::newRow("gif, huge canvas")
        << "canvas.gif" << testimages::gifClaiming(gif, QSize(11000, 11000)) << false;
    QTest::newRow("gif, vast canvas")
        << "vast.gif" << testimages::gifClaiming(gif, QSize(65535, 65535)) << false;
    QTest::newRow("emf, a few records")
        << "few.emf" << testimages::emfWithRectangles(QSize(400, 300), 1000) << true;
    QTest::newRow("emf, more elements than drawn")
        << "busy.emf" << testimages::emfWithRectangles(QSize(400, 300), 60'000) << false;
    QTest::newRow("emf, more records than read")
        << "many.emf" << testimages::emfWithRectangles(QSize(400, 300), 300'000) << false;
  }
  void refusedWithinMemory() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, loads);
    QVERIFY(testimages::writeFile(dir_.filePath(name), content));
    const ProbeResult result = probe({dir_.filePath(name)});
    QVERIFY(result.finished);
    QCOMPARE(result.loaded, loads);
    QVERIFY2(
        result.peakKb - baselineKb_ < kMaxExtraKb,
        qPrintable(
            QString("peak %1 MB over an empty preview").arg((result.peakKb - baselineKb_) / 1024)));
  }

  void converterKeepsToItsMemoryLimit_data() {
    QTest::addColumn<int>("memoryMB");
    QTest::addColumn<bool>("converts");
    QTest::newRow("ample") << 512 << true;
    QTest::newRow("too little to start") << 8 << false;
    QTest::newRow("too little to finish") << 16 << false;
  }
  void converterKeepsToItsMemoryLimit() {
    if (underSanitizer()) QSKIP("no address-space limit fits the sanitizer's shadow memory");
    QFETCH(int, memoryMB);
    QFETCH(bool, converts);
    const QString emf = dir_.filePath("limit.emf");
    QVERIFY(testimages::writeFile(emf, testimages::emfWithRectangles(QSize(400, 300), 60'000)));
    QProcess helper;
    helper.setStandardInputFile(emf);
    helper.start(QCoreApplication::applicationDirPath() + "/sorrelby-emf2svg",
                 {QString::number(memoryMB), "5"});
    QVERIFY(helper.waitForFinished(60000));
    const QByteArray svg = helper.readAllStandardOutput();
    const bool succeeded = helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0;
    QCOMPARE(succeeded, converts);
    if (converts) QVERIFY(svg.trimmed().endsWith("</svg>"));
  }
};

QTEST_GUILESS_MAIN(BombsTest)
#include "bombs_test.moc"
