// SPDX-License-Identifier: GPL-2.0-or-later
// The file viewer window: layout, the first filter, the loop that turns the
// selectors' events into a refill and a preview, the radio buttons, and the
// ways it ends.
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "dirselector.h"
#include "fileselector.h"
#include "fileviewer.h"
#include "imageview.h"
#include "testtree.h"

namespace {

QStringList listed(const FileSelector* files) {
  QStringList out;
  for (int i = 0; i < files->fileList->count(); ++i) out << files->fileList->item(i)->text();
  return out;
}

bool writeImage(const QByteArray& path, QSize size, QColor colour, const char* format) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  QFile file(QFile::decodeName(path));
  if (!QFile::decodeName(path).contains(QChar::ReplacementCharacter))
    return image.save(&file, format);
  // A name that is not valid UTF-8: write it by its bytes.
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  return image.save(&buffer, format) && testtree::writeFile(path, data);
}

// The colour at lower-left offset (x, y) of `widget` as it is on screen now.
QColor onScreen(QWidget* widget, int x, int y) {
  QWidget* window = widget->window();
  const QImage shot = window->screen()->grabWindow(window->winId()).toImage();
  const QPoint p = widget->mapTo(window, QPoint(x, widget->height() - 1 - y));
  return shot.pixelColor(p);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  testtree::TempDir tmp;
  QByteArray root;
  QByteArray savedCwd;
  std::unique_ptr<QWidget> mainWindow;

 private slots:
  void initTestCase() {
    root = tmp.path();
    QVERIFY(testtree::makeDirs(root, {"sub/inner", "other"}));
    QVERIFY(writeImage(root + "/red.jpg", {40, 30}, Qt::red, "JPG"));
    QVERIFY(writeImage(root + "/\xe9t\xe9.jpg", {40, 30}, Qt::blue, "JPG"));
    QVERIFY(writeImage(root + "/green.png", {20, 10}, Qt::green, "PNG"));
    QVERIFY(writeImage(root + "/sub/in.bmp", {8, 8}, Qt::black, "BMP"));
    char cwd[4096];
    QVERIFY(getcwd(cwd, sizeof cwd));
    savedCwd = cwd;
    QCOMPARE(chdir(root.constData()), 0);
  }
  void cleanupTestCase() { QCOMPARE(chdir(savedCwd.constData()), 0); }
  void init() {
    mainWindow = std::make_unique<QWidget>();
    mainWindow->setWindowTitle("main");
    mainWindow->resize(300, 200);
    mainWindow->show();
    mainWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mainWindow.get()));
  }
  void cleanup() { mainWindow.reset(); }

  void opensWithLayoutFilterAndFocus() {
    viewer::FileViewer v(mainWindow.get());
    // 1024 x 768 desktop: (217, 204) from the lower-left, the same from the top.
    QCOMPARE(v.oDlg1->geometry(), QRect(217, 204, 590, 360));
    QCOMPARE(v.oDlg1->windowTitle(), QString("Sorrelby Samples"));
    QVERIFY(!(v.oDlg1->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(v.oDlg1->minimumSize(), v.oDlg1->maximumSize());
    const QList<QPair<QWidget*, QRect>> places{
        {v.oDirs, {12, 36, 168, 312}},          {v.oFiles, {192, 36, 168, 312}},
        {v.oView, {372, 36, 204, 228}},         {v.oRadio1, {387, 276, 72, 24}},
        {v.oRadio2, {487, 276, 72, 24}},        {v.separator, {372, 310, 204, 2}},
        {v.fullViewButton, {375, 324, 68, 24}}, {v.printButton, {445, 324, 68, 24}},
        {v.endButton, {515, 324, 68, 24}}};
    for (const auto& [widget, rect] : places) QCOMPARE(widget->geometry(), rect);
    QCOMPARE(v.fullViewButton->text(), QString("FullView"));
    QCOMPARE(v.printButton->text(), QString("Print"));
    QCOMPARE(v.endButton->text(), QString("End"));

    QStringList filters;
    for (int i = 0; i < v.oFiles->extList->count(); ++i) filters << v.oFiles->extList->itemText(i);
    QCOMPARE(filters, (QStringList{"*.JPG", "*.EMF", "*.GIF", "*.BMP", "*.PNG",
                                   "*.BMP *.EMF *.GIF *.JPG *.PNG"}));
    QCOMPARE(v.oFiles->extList->currentText(), QString("*.JPG"));
    QTRY_COMPARE(listed(v.oFiles), (QStringList{"red.jpg", QFile::decodeName("\xe9t\xe9.jpg")}));
    QCOMPARE(v.oDirs->curDir(), root);
    QVERIFY(v.oRadio1->isChecked() && !v.oRadio2->isChecked());
    QVERIFY(!v.oView->file.has_value());
    QTRY_COMPARE(QApplication::focusWidget(), v.oDirs->dirTree);
  }

  void markingPreviewsAndRadioButtonsRedraw() {
    viewer::FileViewer v(mainWindow.get());
    QTRY_COMPARE(v.oFiles->fileList->count(), 2);
    QVERIFY(QTest::qWaitForWindowExposed(v.oDlg1));

    v.oFiles->fileList->setCurrentRow(0);  // red.jpg, 40 x 30
    QTRY_COMPARE(v.oView->file, imaging::FileName(root + "/red.jpg"));
    // Scaled: the image fills the canvas across its middle.
    QCOMPARE(onScreen(v.oView, 10, 114).red() > 200, true);
    // Selecting the marked file (double click) changes nothing further.
    emit v.oFiles->fileList->itemActivated(v.oFiles->fileList->item(0));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(v.oView->file, imaging::FileName(root + "/red.jpg"));
    QVERIFY(v.oRadio1->isChecked());

    v.oRadio2->click();  // natural size: the left part stays white, no event loop needed
    QVERIFY(!v.oView->autoScale);
    QVERIFY(v.oRadio2->isChecked() && !v.oRadio1->isChecked());
    QCOMPARE(onScreen(v.oView, 10, 114), QColor(Qt::white));
    v.oRadio2->click();  // clicking the chosen one keeps it chosen
    QVERIFY(v.oRadio2->isChecked() && !v.oRadio1->isChecked());

    v.oRadio1->click();
    QVERIFY(v.oView->autoScale);
    QVERIFY(v.oRadio1->isChecked() && !v.oRadio2->isChecked());
    QCOMPARE(onScreen(v.oView, 10, 114).red() > 200, true);

    // A name that is not valid UTF-8 is previewed all the same.
    v.oFiles->fileList->setCurrentRow(1);
    QTRY_COMPARE(v.oView->file, imaging::FileName(root + "/\xe9t\xe9.jpg"));
    QCOMPARE(onScreen(v.oView, 10, 114).blue() > 200, true);

    // A file removed between listing and marking: nothing breaks.
    QVERIFY(writeImage(root + "/late.jpg", {4, 4}, Qt::red, "JPG"));
    v.oFiles->setFilesTo(QVariant());
    QCOMPARE(unlink((root + "/late.jpg").constData()), 0);
    v.oFiles->fileList->setCurrentRow(v.oFiles->names().indexOf("late.jpg"));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(v.oView->file, imaging::FileName(root + "/\xe9t\xe9.jpg"));
  }

  // Tab walks the real controls only, each showing that it has the focus;
  // the selectors' frames are no stops of their own.
  void focusChainShowsEveryStop() {
    viewer::FileViewer v(mainWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(v.oDlg1));
    QTRY_COMPARE(QApplication::focusWidget(), v.oDirs->dirTree);
    const QList<QWidget*> chain{v.oDirs->driveList, v.oFiles->fileList, v.oFiles->extList,
                                v.oRadio1,          v.oRadio2,          v.fullViewButton,
                                v.printButton,      v.endButton,        v.oDirs->dirTree};
    QWidget* previous = v.oDirs->dirTree;
    for (QWidget* expected : chain) {
      const QImage focused = previous->grab().toImage();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), expected);
      // The control that lost the focus looks different without it.
      QVERIFY2(previous->grab().toImage() != focused, previous->metaObject()->className());
      previous = expected;
    }
  }

  // The viewer used with the keyboard alone: arrows and Return in the tree,
  // arrows in the file list, Space on a radio button, Return on a button,
  // Escape to end.
  void keyboardOnly() {
    viewer::FileViewer v(mainWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(v.oDlg1));
    QTRY_COMPARE(QApplication::focusWidget(), v.oDirs->dirTree);
    QTRY_COMPARE(v.oFiles->fileList->count(), 2);
    const auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };

    // In the tree: Down marks the next directory, whose files are listed.
    QTreeWidget* tree = v.oDirs->dirTree;
    while (tree->currentItem()->data(0, DirSelector::PathRole).toByteArray() != root + "/sub") {
      QTreeWidgetItem* before = tree->currentItem();
      key(Qt::Key_Down);
      QVERIFY(tree->currentItem() != before);
    }
    QTRY_COMPARE(v.oFiles->directory(), std::optional<QByteArray>(root + "/sub"));
    // Return rebuilds the tree around it.
    key(Qt::Key_Return);
    QTRY_COMPARE(v.oDirs->curDir(), root + "/sub");
    QCoreApplication::sendPostedEvents();  // the rebuild's own event
    v.oFiles->setFilesTo(root);            // back to the JPEGs

    // To the file list; Down marks the first file, which is previewed.
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), v.oFiles->fileList);
    key(Qt::Key_Down);
    const int row = v.oFiles->fileList->currentRow();
    QVERIFY2(row >= 0 && row < v.oFiles->names().size(), qPrintable(QString::number(row)));
    // The preview is read in the background: the name is set once it shows.
    QTRY_COMPARE(v.oView->file, imaging::FileName(root + "/" + v.oFiles->names().at(row)));

    // Space on "Normal" switches to natural size, on "Scaled" back.
    v.oRadio2->setFocus();
    key(Qt::Key_Space);
    QVERIFY(!v.oView->autoScale);
    QVERIFY(v.oRadio2->isChecked() && !v.oRadio1->isChecked());
    key(Qt::Key_Space);  // pressing the chosen one again keeps it chosen
    QVERIFY(v.oRadio2->isChecked() && !v.oRadio1->isChecked());
    v.oRadio1->setFocus();
    key(Qt::Key_Space);
    QVERIFY(v.oView->autoScale);

    // Return on "FullView" opens the full-size window, Escape closes it.
    v.fullViewButton->setFocus();
    key(Qt::Key_Return);
    QWidget* full = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->windowTitle() == QFile::decodeName(*v.oView->file)) full = w;
    QVERIFY(full);
    QPointer<QWidget> fullWindow = full;
    QTest::keyClick(full, Qt::Key_Escape);
    QTRY_VERIFY(!fullWindow || !fullWindow->isVisible());

    // Escape in the viewer ends it.
    v.oDlg1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(v.oDlg1));
    v.oFiles->fileList->setFocus();
    QVERIFY(!v.ended());
    key(Qt::Key_Escape);
    QVERIFY(v.ended());
  }

  void returnPressesTheFocusedButton() {
    viewer::FileViewer v(mainWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(v.oDlg1));
    v.endButton->setFocus();
    QTest::keyClick(v.endButton, Qt::Key_Return);
    QVERIFY(v.ended());
  }

  void directoryAndFilterChoicesRefill() {
    viewer::FileViewer v(mainWindow.get());
    QTRY_COMPARE(v.oFiles->fileList->count(), 2);
    const int all = v.oFiles->extList->count() - 1;
    v.oFiles->extList->setCurrentIndex(all);
    emit v.oFiles->extList->activated(all);
    QCOMPARE(listed(v.oFiles),
             (QStringList{"red.jpg", QFile::decodeName("\xe9t\xe9.jpg"), "green.png"}));

    QTreeWidgetItem* sub = v.oDirs->dirTree->topLevelItem(0);
    QList<QTreeWidgetItem*> pending{sub};
    while (!pending.isEmpty()) {
      sub = pending.takeFirst();
      if (sub->data(0, DirSelector::PathRole).toByteArray() == root + "/sub") break;
      for (int i = 0; i < sub->childCount(); ++i) pending << sub->child(i);
    }
    QCOMPARE(sub->data(0, DirSelector::PathRole).toByteArray(), root + "/sub");
    v.oDirs->dirTree->setCurrentItem(sub);  // marking refills without a rebuild
    QTRY_COMPARE(listed(v.oFiles), QStringList{"in.bmp"});
    QCOMPARE(v.oDirs->curDir(), root);
  }

  // "ViewFile" chosen again from the main menu while a viewer is open: each
  // viewer answers only the events of its own selectors.
  void twoViewersKeepTheirOwnEvents() {
    viewer::FileViewer first(mainWindow.get());
    viewer::FileViewer second(mainWindow.get());
    QTRY_COMPARE(first.oFiles->fileList->count(), 2);
    QTRY_COMPARE(second.oFiles->fileList->count(), 2);
    first.oFiles->fileList->setCurrentRow(0);
    QTRY_COMPARE(first.oView->file, imaging::FileName(root + "/red.jpg"));
    QCoreApplication::sendPostedEvents();
    QVERIFY(!second.oView->file.has_value());

    second.oFiles->setFilesTo(QVariant(), QStringList{"*.PNG"});
    second.oFiles->fileList->setCurrentRow(0);
    QTRY_COMPARE(second.oView->file, imaging::FileName(root + "/green.png"));
    QCOMPARE(first.oView->file, imaging::FileName(root + "/red.jpg"));
  }

  void endAndCloseBoxEnd_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("End") << false;
    QTest::newRow("close box") << true;
  }
  void endAndCloseBoxEnd() {
    QFETCH(bool, closeBox);
    QPointer<QWidget> window;
    {
      viewer::FileViewer v(mainWindow.get());
      window = v.oDlg1;
      QVERIFY(QTest::qWaitForWindowActive(v.oDlg1));
      mainWindow->hide();
      if (closeBox)
        v.oDlg1->close();
      else
        v.endButton->click();
      QVERIFY(v.ended());
      QVERIFY(window);  // gone only after the loop has seen the flag
      v.exec();         // returns at once
    }
    QVERIFY(!window);
    QVERIFY(mainWindow->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), mainWindow.get());
  }

  // The real entry point, run by its own loop; the second viewer is left by
  // the end of the application's loops, as the main window's Exit does.
  void fileviewRunsItsOwnLoop() {
    mainWindow->hide();
    bool sawList = false;
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == "Sorrelby Samples" && w->isVisible()) {
          auto* list = w->findChild<QListWidget*>();
          sawList = list && list->count() == 2;
          for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->text() == "End") b->click();
        }
    });
    fileview(mainWindow.get());
    QVERIFY(sawList);
    QVERIFY(mainWindow->isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
      QVERIFY(w->windowTitle() != "Sorrelby Samples");

    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    fileview(mainWindow.get());
    for (QWidget* w : QApplication::topLevelWidgets())
      QVERIFY(w->windowTitle() != "Sorrelby Samples");
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
