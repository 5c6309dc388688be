// SPDX-License-Identifier: GPL-2.0-or-later
// The directory and file selectors on real folder trees: what the tree and
// the list hold, and which user events they post.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QTreeWidget>
#include <QtTest>

#include "dirselector.h"
#include "fileselector.h"
#include "testtree.h"

using Names = QList<QByteArray>;
using Events = QList<QPair<int, QByteArray>>;

namespace {

// One line per item: indent by depth, caption, "+" when expanded, "*" when
// it is the marked item.
void dump(const QTreeWidget* tree, const QTreeWidgetItem* item, int depth, QStringList& out) {
  for (int i = 0; i < item->childCount(); ++i) {
    const QTreeWidgetItem* child = item->child(i);
    out << QString(depth * 2, ' ') + child->text(0) + (child->isExpanded() ? "+" : "") +
               (tree->currentItem() == child ? "*" : "");
    dump(tree, child, depth + 1, out);
  }
}

QStringList dump(const QTreeWidget* tree) {
  QStringList out;
  dump(tree, tree->invisibleRootItem(), 0, out);
  return out;
}

QTreeWidgetItem* findByPath(QTreeWidget* tree, const QByteArray& path) {
  QList<QTreeWidgetItem*> pending{tree->invisibleRootItem()};
  while (!pending.isEmpty()) {
    QTreeWidgetItem* item = pending.takeFirst();
    if (item->data(0, DirSelector::PathRole).toByteArray() == path) return item;
    for (int i = 0; i < item->childCount(); ++i) pending << item->child(i);
  }
  return nullptr;
}

QStringList listed(const FileSelector& files) {
  QStringList out;
  for (int i = 0; i < files.fileList->count(); ++i) out << files.fileList->item(i)->text();
  return out;
}

}  // namespace

class SelectorsTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp;
  QByteArray root;
  std::unique_ptr<QWidget> host;
  testtree::EventRecorder* recorder = nullptr;
  int beeps = 0;

  DirSelector* makeDirs(const QByteArray& startDir, Names drives, bool shown = false) {
    host = std::make_unique<QWidget>();
    host->resize(400, 400);
    if (shown) {
      host->show();
      if (!QTest::qWaitForWindowExposed(host.get())) return nullptr;
    }
    auto* dirs = new DirSelector(host.get());
    dirs->startDir = startDir;
    dirs->driveSource = [drives] { return drives; };
    dirs->beep = [this] { ++beeps; };
    if (shown) dirs->show();  // on screen already while it is created
    dirs->create({12, 12}, {168, 312});
    return dirs;
  }

 private slots:
  void initTestCase() {
    root = testtree::rootOf(tmp);
    QVERIFY(testtree::makeDirs(root, {"A", "IMAGES/2001", "IMAGES/2002/deep", "IMAGES/2002/more",
                                      "PROG/X", "PROGRAMS/Y", ".hidden/inner"}));
    QVERIFY(testtree::writeFile(root + "/IMAGES/readme.txt"));
  }
  void init() {
    beeps = 0;
    recorder = new testtree::EventRecorder;
    recorder->take();
  }
  void cleanup() {
    host.reset();
    delete recorder;
  }

  void geometryOfTheChildren() {
    DirSelector* dirs = makeDirs(root, {root});
    QCOMPARE(dirs->geometry(), QRect(12, 400 - 12 - 312, 168, 312));
    QCOMPARE(dirs->dirTree->geometry(), QRect(4, 4, 160, 278));
    QCOMPARE(dirs->driveList->geometry().top(), 312 - 26);
    QCOMPARE(dirs->driveList->geometry().width(), 160);
  }

  void treeAfterCreation() {
    DirSelector* dirs = makeDirs(root, {"/", root});
    QCOMPARE(dirs->driveList->currentText(), QFile::decodeName(root));
    QCOMPARE(dump(dirs->dirTree), (QStringList{QFile::decodeName(root) + "+*", "  A", "  IMAGES",
                                               "  PROG", "  PROGRAMS"}));
    QCOMPARE(dirs->curDir(), root);
    QCOMPARE(recorder->take(), (Events{{100, root}}));
    const QTreeWidgetItem* drive = dirs->dirTree->topLevelItem(0);
    QCOMPARE(drive->data(0, DirSelector::PathRole).toByteArray(), root);
    QCOMPARE(drive->child(1)->data(0, DirSelector::PathRole).toByteArray(), root + "/IMAGES");
    QVERIFY(!drive->icon(0).isNull());
    QCOMPARE(drive->icon(0).cacheKey(), drive->icon(0).cacheKey());
  }

  void nestedTarget_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QByteArray>("posted");
    const QString r = QFile::decodeName(root);
    QTest::newRow("nested directory")
        << root + "/IMAGES/2002"
        << QStringList{r + "+",      "  A",        "  IMAGES+", "    2001",  "    2002+*",
                       "      deep", "      more", "  PROG",    "  PROGRAMS"}
        << root + "/IMAGES/2002";
    QTest::newRow("prefix sibling not taken")
        << root + "/PROG/X"
        << QStringList{r + "+", "  A", "  IMAGES", "  PROG+", "    X+*", "  PROGRAMS"}
        << root + "/PROG/X";
    QTest::newRow("letter case differs from the disk")
        << root + "/images/2002/"
        << QStringList{r + "+",      "  A",        "  IMAGES+", "    2001",  "    2002+*",
                       "      deep", "      more", "  PROG",    "  PROGRAMS"}
        << root + "/IMAGES/2002";
    QTest::newRow("missing component: deeper levels under the last found")
        << root + "/IMAGES/gone/deeper"
        << QStringList{r + "+", "  A", "  IMAGES+*", "    2001", "    2002", "  PROG", "  PROGRAMS"}
        << root + "/IMAGES";
  }
  void nestedTarget() {
    QFETCH(QByteArray, target);
    QFETCH(QStringList, tree);
    QFETCH(QByteArray, posted);
    DirSelector* dirs = makeDirs(target, {root});
    QCOMPARE(dump(dirs->dirTree), tree);
    QCOMPARE(recorder->take(), (Events{{100, posted}}));
    QCOMPARE(dirs->dirTree->currentItem()->data(0, DirSelector::PathRole).toByteArray(), posted);
  }

  void targetOnAnotherVolumeShowsTheDrive() {
    DirSelector* dirs = makeDirs(root + "/PROG", {root});
    dirs->startDir = "/nowhere/else";
    recorder->take();
    dirs->fillTree(dirs->dirTree->invisibleRootItem());
    QCOMPARE(dump(dirs->dirTree), (QStringList{QFile::decodeName(root) + "+*", "  A", "  IMAGES",
                                               "  PROG", "  PROGRAMS"}));
    QCOMPARE(dirs->curDir(), root);
    QCOMPARE(recorder->take(), (Events{{100, root}}));
  }

  void selectingAnItemRebuildsAroundIt() {
    DirSelector* dirs = makeDirs(root, {root}, true);
    QVERIFY(dirs);
    recorder->take();
    dirs->fillTree(findByPath(dirs->dirTree, root + "/IMAGES"));
    QCOMPARE(dirs->curDir(), root + "/IMAGES");
    QCOMPARE(recorder->take(), (Events{{100, root + "/IMAGES"}}));
    const QTreeWidgetItem* images = findByPath(dirs->dirTree, root + "/IMAGES");
    QVERIFY(images && images->isExpanded());
    QCOMPARE(images->childCount(), 2);
    QCOMPARE(images->icon(0).pixmap(16).toImage(),
             QIcon(":/icons/icon101-open-folder.png").pixmap(16).toImage());
    QCOMPARE(images->child(0)->icon(0).pixmap(16).toImage(),
             QIcon(":/icons/icon102-closed-folder.png").pixmap(16).toImage());

    // Double click (item activation) does the same once the view is done.
    QTreeWidgetItem* y2002 = findByPath(dirs->dirTree, root + "/IMAGES/2002");
    emit dirs->dirTree->itemActivated(y2002, 0);
    QTRY_COMPARE(dirs->curDir(), root + "/IMAGES/2002");
    QCOMPARE(recorder->take().last(), (QPair<int, QByteArray>{100, root + "/IMAGES/2002"}));
  }

  void directoryWithoutSubdirectoriesBeeps() {
    DirSelector* dirs = makeDirs(root, {root}, true);
    QVERIFY(dirs);
    const QStringList before = dump(dirs->dirTree);
    recorder->take();
    dirs->fillTree(findByPath(dirs->dirTree, root + "/A"));
    QCOMPARE(beeps, 1);
    QCOMPARE(dump(dirs->dirTree), before);
    QCOMPARE(dirs->curDir(), root);
    QVERIFY(recorder->take().isEmpty());
  }

  // Created on screen with a start directory that has no subdirectories: the
  // tree is built all the same.
  void visibleCreationShowsAStartDirectoryWithoutSubdirectories() {
    DirSelector* dirs = makeDirs(root + "/A", {root}, true);
    QVERIFY(dirs);
    QCOMPARE(beeps, 0);
    QCOMPARE(dirs->curDir(), root + "/A");
    QCOMPARE(recorder->take(), (Events{{100, root + "/A"}}));
  }

  void markingPostsWithoutRebuilding() {
    DirSelector* dirs = makeDirs(root, {root});
    const QStringList before = dump(dirs->dirTree);
    recorder->take();
    dirs->dirTree->setCurrentItem(findByPath(dirs->dirTree, root + "/PROG"));
    QCOMPARE(recorder->take(), (Events{{100, root + "/PROG"}}));
    QCOMPARE(dirs->curDir(), root);
    QCOMPARE(dump(dirs->dirTree).size(), before.size());
  }

  void choosingADrive() {
    DirSelector* dirs = makeDirs(root + "/PROG/X", {root, root + "/IMAGES"});
    recorder->take();
    dirs->driveList->setCurrentIndex(1);
    emit dirs->driveList->activated(1);
    const QString images = QFile::decodeName(root + "/IMAGES");
    QCOMPARE(dump(dirs->dirTree), (QStringList{images + "+*", "  2001", "  2002"}));
    QCOMPARE(dirs->curDir(), root + "/IMAGES");
    QCOMPARE(recorder->take(), (Events{{100, root + "/IMAGES"}}));
  }

  // Drive text "/": children are "/name", not "//name".
  void volumeRootAsStartAndDrive() {
    DirSelector* dirs = makeDirs("/", {"/"});
    QCOMPARE(dirs->curDir(), QByteArray("/"));
    const QTreeWidgetItem* drive = dirs->dirTree->topLevelItem(0);
    QVERIFY(drive->childCount() > 0);
    const QByteArray first = drive->child(0)->data(0, DirSelector::PathRole).toByteArray();
    QVERIFY2(first.startsWith('/') && !first.startsWith("//"), first.constData());
  }

  void emptyDriveFieldStillEnds() {
    DirSelector* dirs = makeDirs(root + "/IMAGES", {});
    QCOMPARE(dirs->driveList->currentIndex(), -1);
    QCOMPARE(dirs->curDir(), root + "/IMAGES");
    QCOMPARE(dirs->dirTree->currentItem()->text(0), QString("IMAGES"));
  }

  void awkwardDirectories() {
    testtree::TempDir other;
    const QByteArray r = other.path();
    QVERIFY(testtree::makeDirs(r, {"gone", "\xff\xfe/inner", "real"}));
    QCOMPARE(symlink("l2", (r + "/l1").constData()), 0);
    QCOMPARE(symlink("l1", (r + "/l2").constData()), 0);
    QCOMPARE(symlink(".", (r + "/self").constData()), 0);
    DirSelector* dirs = makeDirs(r, {r}, true);
    QVERIFY(dirs);
    QCOMPARE(dump(dirs->dirTree), (QStringList{QFile::decodeName(r) + "+*", "  gone", "  real",
                                               "  self", "  " + QFile::decodeName("\xff\xfe")}));

    // A non-UTF-8 name keeps its bytes in the path and can be entered.
    dirs->fillTree(findByPath(dirs->dirTree, r + "/\xff\xfe"));
    QCOMPARE(dirs->curDir(), r + "/\xff\xfe");
    QVERIFY(findByPath(dirs->dirTree, r + "/\xff\xfe/inner"));

    // A link to its own folder: one level per selection, never a walk.
    dirs->fillTree(findByPath(dirs->dirTree, r + "/\xff\xfe"));
    dirs->fillTree(dirs->dirTree->topLevelItem(0));
    dirs->fillTree(findByPath(dirs->dirTree, r + "/self"));
    QCOMPARE(dirs->curDir(), r + "/self");
    QVERIFY(findByPath(dirs->dirTree, r + "/self/self"));

    // Removed while shown: the rebuild shows what is left.
    QTreeWidgetItem* gone = findByPath(dirs->dirTree, r + "/gone");
    QVERIFY(gone);
    QCOMPARE(rmdir((r + "/gone").constData()), 0);
    recorder->take();
    dirs->fillTree(gone);
    QCOMPARE(dirs->curDir(), r + "/gone");
    QCOMPARE(dump(dirs->dirTree), (QStringList{QFile::decodeName(r) + "+*", "  real", "  self",
                                               "  " + QFile::decodeName("\xff\xfe")}));
    QCOMPARE(recorder->take(), (Events{{100, r}}));

    if (geteuid() != 0) {
      QVERIFY(chmod((r + "/real").constData(), 0) == 0);
      dirs->fillTree(findByPath(dirs->dirTree, r + "/real"));
      QCOMPARE(dirs->curDir(), r + "/real");
      QVERIFY(chmod((r + "/real").constData(), 0755) == 0);
    }
  }

  // --- the file selector ---

  // Deep folders with long names: every name can be read, by scrolling
  // sideways or from the item's tooltip, and the control stays where it is.
  void deepTreeShowsWholeNames() {
    const QByteArray deep = root +
                            "/IMAGES/2002/deep/Pictures of the family archive/"
                            "2024 summer holidays at the seaside";
    QVERIFY(testtree::makeDirs(root, {deep.mid(root.size() + 1) + "/last stop/leaf"}));
    DirSelector* dirs = makeDirs(deep, {root});
    host->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    QTreeWidget* tree = dirs->dirTree;
    QCOMPARE(dirs->geometry(), QRect(12, 400 - 12 - 312, 168, 312));
    QCOMPARE(tree->geometry(), QRect(4, 4, 160, 278));

    // The column is as wide as the widest name with its indentation, wider
    // than the view, and the view scrolls sideways to all of it.
    QTreeWidgetItem* marked = tree->currentItem();
    QCOMPARE(marked->data(0, DirSelector::PathRole).toByteArray(), deep);
    const QRect markedRect = tree->visualItemRect(marked);
    const int nameWidth = tree->fontMetrics().horizontalAdvance(marked->text(0));
    QScrollBar* bar = tree->horizontalScrollBar();
    QVERIFY(tree->header()->sectionSize(0) > tree->viewport()->width());
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->maximum() + tree->viewport()->width(), tree->header()->sectionSize(0));
    // After the rebuild the marked item's name starts in view, one level's
    // line after the left edge (it is wider than the view itself).
    QVERIFY(nameWidth > tree->viewport()->width());
    QVERIFY2(markedRect.left() >= 0 && markedRect.left() <= tree->indentation(),
             qPrintable(QString::number(markedRect.left())));
    // A name that fits is shown whole: mark the last level's only child.
    dirs->fillTree(marked->child(0));
    QCoreApplication::sendPostedEvents();
    QTreeWidgetItem* stop = tree->currentItem();
    QCOMPARE(stop->text(0), QString("last stop"));
    const QRect stopRect = tree->visualItemRect(stop);
    QVERIFY(stopRect.left() >= 0);
    QVERIFY(stopRect.left() + tree->fontMetrics().horizontalAdvance(stop->text(0)) <
            tree->viewport()->width());
    QCOMPARE(tree->geometry(), QRect(4, 4, 160, 278));

    // Every item carries its full path as its tooltip.
    QList<QTreeWidgetItem*> pending{tree->topLevelItem(0)};
    int items = 0;
    while (!pending.isEmpty()) {
      QTreeWidgetItem* item = pending.takeFirst();
      QCOMPARE(item->toolTip(0),
               QFile::decodeName(item->data(0, DirSelector::PathRole).toByteArray()));
      ++items;
      for (int i = 0; i < item->childCount(); ++i) pending << item->child(i);
    }
    QVERIFY(items > 8);
  }

  // Dotted lines join the items: in the column of the drive's children,
  // between its first and its last child, there is line ink.
  void linesBetweenItems() {
    DirSelector* dirs = makeDirs(root, {root});
    host->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    QTreeWidget* tree = dirs->dirTree;
    QTreeWidgetItem* drive = tree->topLevelItem(0);
    QVERIFY(drive->childCount() >= 3);
    const QRect first = tree->visualItemRect(drive->child(0));
    const QRect last = tree->visualItemRect(drive->child(drive->childCount() - 1));
    const QImage shot = tree->viewport()->grab().toImage();
    const QColor base = tree->palette().color(QPalette::Base);
    // The children's level column starts one indentation in.
    const int column = tree->indentation() - tree->horizontalScrollBar()->value();
    int ink = 0;
    for (int y = first.center().y(); y <= last.center().y(); ++y)
      for (int x = column; x < column + tree->indentation(); ++x)
        if (shot.pixelColor(x, y) != base) ++ink;
    QVERIFY2(ink >= (last.center().y() - first.center().y()) / 3, qPrintable(QString::number(ink)));
  }

  void fileList_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("pattern order, not name order")
        << "*.BMP *.EMF *.GIF *.JPG *.PNG" << QStringList{"b.bmp", "c.gif", "d.JPG", "a.png"};
    QTest::newRow("runs of blanks") << "  *.GIF    *.BMP " << QStringList{"c.gif", "b.bmp"};
    QTest::newRow("duplicates under overlapping patterns")
        << "*.* *.BMP" << QStringList{"a.png", "b.bmp", "c.gif", "d.JPG", "notes", "b.bmp"};
    QTest::newRow("empty filter") << "" << QStringList{};
  }
  void fileList() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    testtree::TempDir dir;
    const QByteArray d = dir.path();
    for (const char* name : {"a.png", "b.bmp", "c.gif", "d.JPG", "notes", ".hidden.png"})
      QVERIFY(testtree::writeFile(d + "/" + name));
    QVERIFY(testtree::makeDirs(d, {"folder.png", "sub"}));

    QWidget host;
    host.resize(400, 400);
    FileSelector files(&host);
    files.create({192, 12}, {168, 312});
    QCOMPARE(files.geometry(), QRect(192, 400 - 12 - 312, 168, 312));
    QCOMPARE(files.fileList->geometry(), QRect(4, 4, 160, 278));
    QCOMPARE(files.extList->currentText(), QString("*.*"));
    QCOMPARE(files.fileList->count(), 0);

    files.setFilesTo(d, QStringList{filter, "*.PNG"});
    QCOMPARE(files.extList->currentText(), filter);
    QCOMPARE(listed(files), expected);
    QCOMPARE(files.names().size(), expected.size());
  }

  void setFilesToArgumentsByType() {
    QTemporaryDir one, two;
    const QByteArray d1 = testtree::rootOf(one), d2 = testtree::rootOf(two);
    QVERIFY(testtree::writeFile(d1 + "/x.jpg") && testtree::writeFile(d1 + "/y.png"));
    QVERIFY(testtree::writeFile(d2 + "/z.jpg") && testtree::writeFile(d2 + "/w.png"));
    QWidget host;
    host.resize(400, 400);
    FileSelector files(&host);
    files.create({192, 12}, {168, 312});
    files.setFilesTo(d1, QStringList{"*.JPG", "*.PNG"});
    QCOMPARE(listed(files), QStringList{"x.jpg"});

    files.setFilesTo(d2);  // directory alone: filters stay
    QCOMPARE(files.extList->count(), 2);
    QCOMPARE(listed(files), QStringList{"z.jpg"});

    files.setFilesTo(QVariant(), QStringList{"*.PNG"});  // list alone: directory stays
    QCOMPARE(listed(files), QStringList{"w.png"});

    files.setFilesTo(42, 3.5);  // wrong types: ignored, refilled anyway
    QCOMPARE(files.extList->currentText(), QString("*.PNG"));
    QCOMPARE(listed(files), QStringList{"w.png"});

    // Choosing another filter refills.
    files.setFilesTo(QVariant(), QStringList{"*.PNG", "*.JPG"});
    files.extList->setCurrentIndex(1);
    emit files.extList->activated(1);
    QCOMPARE(listed(files), QStringList{"z.jpg"});

    files.setFilesTo(d2 + "/vanished");
    QCOMPARE(files.fileList->count(), 0);
  }

  void markAndSelectPostFullPath_data() {
    QTest::addColumn<QByteArray>("suffix");
    QTest::newRow("plain directory") << QByteArray("");
    QTest::newRow("directory ending in the separator") << QByteArray("/");
  }
  void markAndSelectPostFullPath() {
    QFETCH(QByteArray, suffix);
    testtree::TempDir dir;
    const QByteArray d = dir.path();
    QVERIFY(testtree::writeFile(d + "/a.jpg") && testtree::writeFile(d + "/\xe9t\xe9.jpg"));
    QWidget host;
    host.resize(400, 400);
    FileSelector files(&host);
    files.create({192, 12}, {168, 312});
    files.setFilesTo(d + suffix, QStringList{"*.JPG"});
    QCOMPARE(files.fileList->count(), 2);
    QVERIFY(recorder->take().isEmpty());  // nothing while nothing is marked

    files.fileList->setCurrentRow(1);
    QCOMPARE(recorder->take(), (Events{{101, d + "/\xe9t\xe9.jpg"}}));
    emit files.fileList->itemActivated(files.fileList->item(1));
    QCOMPARE(recorder->take(), (Events{{102, d + "/\xe9t\xe9.jpg"}}));

    // An empty list posts nothing.
    files.setFilesTo(QVariant(), QStringList{"*.NONE"});
    files.fileSelected();
    QVERIFY(recorder->take().isEmpty());
  }
};

QTEST_MAIN(SelectorsTest)
#include "selectors_test.moc"
