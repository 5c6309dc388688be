// SPDX-License-Identifier: GPL-2.0-or-later
// Drive enumeration with a fake probe, pattern matching and filter splitting,
// path joining, and listings of real folders with awkward entries.
#include <QDir>
#include <QMap>
#include <QtTest>

#include "availdrives.h"
#include "listing.h"
#include "testtree.h"

using Answer = DriveProbe::Answer;

namespace {

class FakeProbe : public DriveProbe {
 public:
  QByteArray current;
  QList<QPair<QByteArray, Answer>> volumes;
  QList<QByteArray> probed;

  QByteArray currentDrive() override { return current; }
  QList<QByteArray> candidates() override {
    QList<QByteArray> names;
    for (const auto& v : volumes) names.append(v.first);
    return names;
  }
  Answer probe(const QByteArray& drive) override {
    probed.append(drive);
    for (const auto& v : volumes)
      if (v.first == drive) return v.second;
    return Answer::Absent;
  }
};

using Volumes = QList<QPair<QByteArray, Answer>>;
using Names = QList<QByteArray>;

}  // namespace

class ListingTest : public QObject {
  Q_OBJECT

 private slots:
  void availDrives_data() {
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<Volumes>("volumes");
    QTest::addColumn<Names>("expected");
    QTest::newRow("current in the middle, the others ready")
        << QByteArray("/d")
        << Volumes{{"/e", Answer::Ready}, {"/d", Answer::Ready}, {"/c", Answer::Ready}}
        << Names{"/c", "/d", "/e"};
    QTest::newRow("no medium listed, absent left out")
        << QByteArray("/")
        << Volumes{{"/media/cd", Answer::NoMedium}, {"/mnt/gone", Answer::Absent}}
        << Names{"/", "/media/cd"};
    QTest::newRow("current not ready is listed once")
        << QByteArray("/media/cd") << Volumes{{"/media/cd", Answer::NoMedium}, {"/", Answer::Ready}}
        << Names{"/", "/media/cd"};
    QTest::newRow("every probe fails")
        << QByteArray("/home") << Volumes{{"/a", Answer::Absent}, {"/b", Answer::Absent}}
        << Names{"/home"};
    QTest::newRow("a volume mounted twice is listed once")
        << QByteArray("/") << Volumes{{"/srv", Answer::Ready}, {"/srv", Answer::Ready}}
        << Names{"/", "/srv"};
  }
  void availDrives() {
    QFETCH(QByteArray, current);
    QFETCH(Volumes, volumes);
    QFETCH(Names, expected);
    FakeProbe probe;
    probe.current = current;
    probe.volumes = volumes;
    QCOMPARE(AvailDrives(probe), expected);
  }

  void realDrivesIncludeCurrentAndChangeNothing() {
    const QString before = QDir::currentPath();
    const Names drives = AvailDrives();
    QCOMPARE(QDir::currentPath(), before);
    QVERIFY(drives.contains(SystemDriveProbe().currentDrive()));
    Names sorted = drives;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(drives, sorted);
    QCOMPARE(QSet<QByteArray>(drives.begin(), drives.end()).size(), drives.size());
    for (const QByteArray& drive : drives) {
      QVERIFY2(!drive.startsWith("/proc") && !drive.startsWith("/sys"), drive.constData());
    }
  }

  void systemProbeAnswers() {
    testtree::TempDir tmp;
    QVERIFY(testtree::writeFile(tmp.path() + "/file"));
    SystemDriveProbe probe;
    QCOMPARE(probe.probe(tmp.path()), Answer::Ready);
    QCOMPARE(probe.probe(tmp.path() + "/file"), Answer::Absent);
    QCOMPARE(probe.probe(tmp.path() + "/missing"), Answer::Absent);
  }

  void matches_data() {
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("expected");
    QTest::newRow("extension, other case") << QByteArray("*.JPG") << QByteArray("a.jpg") << true;
    QTest::newRow("longer extension") << QByteArray("*.JPG") << QByteArray("a.jpeg") << false;
    QTest::newRow("extension inside") << QByteArray("*.JPG") << QByteArray("a.jpg.bak") << false;
    QTest::newRow("star dot star, no dot") << QByteArray("*.*") << QByteArray("README") << true;
    QTest::newRow("question mark") << QByteArray("?.png") << QByteArray("x.PNG") << true;
    QTest::newRow("question mark needs a byte")
        << QByteArray("?.png") << QByteArray(".png") << false;
    QTest::newRow("two stars, backtracking")
        << QByteArray("a*b*c") << QByteArray("aXbYbZc") << true;
    QTest::newRow("two stars, no match") << QByteArray("a*b*c") << QByteArray("aXbYbZ") << false;
    QTest::newRow("non-UTF-8 name") << QByteArray("*.JPG") << QByteArray("\xff\xfe.Jpg") << true;
    QTest::newRow("literal name") << QByteArray("photo.bmp") << QByteArray("PHOTO.BMP") << true;
  }
  void matches() {
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, name);
    QFETCH(bool, expected);
    QCOMPARE(listing::matches(pattern, name), expected);
  }

  void splitPatterns_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Names>("expected");
    QTest::newRow("five") << QByteArray("*.BMP *.EMF *.GIF *.JPG *.PNG")
                          << Names{"*.BMP", "*.EMF", "*.GIF", "*.JPG", "*.PNG"};
    QTest::newRow("runs of blanks") << QByteArray("  *.BMP   *.GIF  ") << Names{"*.BMP", "*.GIF"};
    QTest::newRow("empty") << QByteArray("") << Names{};
    QTest::newRow("blanks only") << QByteArray("   ") << Names{};
  }
  void splitPatterns() {
    QFETCH(QByteArray, text);
    QFETCH(Names, expected);
    QCOMPARE(listing::splitPatterns(text), expected);
  }

  void joinAndNormalise() {
    QCOMPARE(listing::join("/", "usr"), QByteArray("/usr"));
    QCOMPARE(listing::join("/home/", "a"), QByteArray("/home/a"));
    QCOMPARE(listing::join("/home", "a"), QByteArray("/home/a"));
    QCOMPARE(listing::normalise("//home//a///"), QByteArray("/home/a"));
    QCOMPARE(listing::normalise("/"), QByteArray("/"));
  }

  // Hidden entries, a dangling link loop, links to a folder and a file, a
  // folder named like a file and a non-UTF-8 name, in one folder.
  void awkwardEntries() {
    testtree::TempDir tmp;
    const QByteArray root = tmp.path();
    QVERIFY(testtree::makeDirs(root, {"sub", ".hidden", "dir.jpg", "\xff\xfe"}));
    QVERIFY(testtree::writeFile(root + "/b.JPG"));
    QVERIFY(testtree::writeFile(root + "/a.jpg"));
    QVERIFY(testtree::writeFile(root + "/.secret.jpg"));
    QVERIFY(testtree::writeFile(root + "/\xe9t\xe9.jpg"));  // Latin-1, not UTF-8
    QCOMPARE(symlink("loop2", (root + "/loop1").constData()), 0);
    QCOMPARE(symlink("loop1", (root + "/loop2").constData()), 0);
    QCOMPARE(symlink("sub", (root + "/linkdir").constData()), 0);
    QCOMPARE(symlink("a.jpg", (root + "/link.jpg").constData()), 0);

    QCOMPARE(listing::subdirectories(root), (Names{"dir.jpg", "linkdir", "sub", "\xff\xfe"}));
    QCOMPARE(listing::filesMatching(root, {"*.JPG", "a*"}),
             (QList<Names>{{"a.jpg", "b.JPG", "link.jpg", "\xe9t\xe9.jpg"}, {"a.jpg"}}));

    bool readable = true;
    QVERIFY(listing::subdirectories(root + "/missing", &readable).isEmpty());
    QVERIFY(!readable);
    QVERIFY(listing::filesMatching(root + "/a.jpg", {"*.*"}).first().isEmpty());
  }
};

QTEST_GUILESS_MAIN(ListingTest)
#include "listing_test.moc"
