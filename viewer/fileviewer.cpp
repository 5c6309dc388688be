// SPDX-License-Identifier: GPL-2.0-or-later
#include "fileviewer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTreeWidget>
#include <functional>

#include "dirselector.h"
#include "fileselector.h"
#include "fullview.h"
#include "geometry.h"
#include "imageview.h"
#include "printing.h"
#include "userevents.h"

namespace viewer {
namespace {

constexpr int kWidth = 590;
constexpr int kHeight = 360;

// A fixed-size top-level window whose close box (and Escape) only asks: the
// loop decides when the window goes.
class ViewerWindow : public QWidget {
 public:
  explicit ViewerWindow(std::function<void()> onCloseRequest)
      : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                             Qt::WindowCloseButtonHint),
        onCloseRequest_(std::move(onCloseRequest)) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    onCloseRequest_();
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
      onCloseRequest_();
    else
      QWidget::keyPressEvent(event);
  }

 private:
  std::function<void()> onCloseRequest_;
};

template <typename Control>
void place(Control* control, int x, int y, int w, int h, int parentHeight) {
  control->setGeometry(geometry::placeInParent(x, y, w, h, parentHeight));
}

}  // namespace

FileViewer::FileViewer(QWidget* mainWindow) : mainWindow_(mainWindow) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect desktop = screen ? screen->geometry() : QRect(0, 0, kWidth, kHeight);
  // Integer division truncates toward zero, also on a desktop smaller than
  // the window.
  const int x = (desktop.width() - kWidth) / 2;
  const int y = (desktop.height() - kHeight) / 2;

  oDlg1 = new ViewerWindow([this] { end(); });
  oDlg1->setAttribute(Qt::WA_DeleteOnClose, false);
  oDlg1->setWindowTitle(QStringLiteral("Sorrelby Samples"));
  oDlg1->setGeometry(geometry::placeInParent(x, y, kWidth, kHeight, desktop.height())
                         .translated(desktop.topLeft()));
  oDlg1->setFixedSize(kWidth, kHeight);
  drawingArea = oDlg1;
  olast = QApplication::activeWindow();
  const int h = drawingArea->height();

  oDirs = new DirSelector(drawingArea);
  oDirs->create({12, 12}, {168, 312});

  oFiles = new FileSelector(drawingArea);
  oFiles->create({192, 12}, {168, 312});
  oFiles->setFilesTo(oDirs->curDir(), QStringList{QStringLiteral("*.JPG"), QStringLiteral("*.EMF"),
                                                  QStringLiteral("*.GIF"), QStringLiteral("*.BMP"),
                                                  QStringLiteral("*.PNG"),
                                                  QStringLiteral("*.BMP *.EMF *.GIF *.JPG *.PNG")});

  oView = new ImageView(drawingArea, nullptr, {372, 96}, {204, 228}, {}, true);
  oView->create();

  oRadio1 = new QRadioButton(QStringLiteral("Scaled"), drawingArea);
  oRadio2 = new QRadioButton(QStringLiteral("Normal"), drawingArea);
  place(oRadio1, 387, 60, 72, 24, h);
  place(oRadio2, 487, 60, 72, 24, h);
  // The two stay exclusive through their own actions, not through a group.
  for (QRadioButton* radio : {oRadio1, oRadio2}) {
    radio->setAutoExclusive(false);
    radio->setFocusPolicy(Qt::StrongFocus);
  }
  oRadio1->setChecked(oView->autoScale);
  oRadio2->setChecked(!oView->autoScale);
  connect(oRadio1, &QRadioButton::clicked, this, [this] { chooseScaled(true); });
  connect(oRadio2, &QRadioButton::clicked, this, [this] { chooseScaled(false); });

  separator = new QFrame(drawingArea);
  separator->setFrameStyle(QFrame::HLine | QFrame::Raised);
  place(separator, 372, 48, 204, 2, h);

  fullViewButton = new QPushButton(QStringLiteral("FullView"), drawingArea);
  printButton = new QPushButton(QStringLiteral("Print"), drawingArea);
  endButton = new QPushButton(QStringLiteral("End"), drawingArea);
  place(fullViewButton, 375, 12, 68, 24, h);
  place(printButton, 445, 12, 68, 24, h);
  place(endButton, 515, 12, 68, 24, h);
  for (QPushButton* button : {fullViewButton, printButton, endButton}) {
    button->setFocusPolicy(Qt::StrongFocus);
    // Return presses the focused button, as in any dialog.
    button->setAutoDefault(true);
  }
  connect(fullViewButton, &QPushButton::clicked, this, [this] { FullView(oView->file); });
  connect(printButton, &QPushButton::clicked, this, [this] { DokDruck(oView->file); });
  connect(endButton, &QPushButton::clicked, this, [this] { end(); });

  // The selectors' user events reach the application object whichever loop
  // runs; take those of this viewer's own selectors from here on.
  qApp->installEventFilter(this);

  oDlg1->show();
  oDlg1->activateWindow();
  oDirs->dirTree->setFocus();
}

FileViewer::~FileViewer() {
  qApp->removeEventFilter(this);
  delete oDlg1;
  if (olast) olast->activateWindow();
  if (mainWindow_) mainWindow_->show();
}

void FileViewer::exec() {
  if (!endestat) loop.exec();
}

void FileViewer::end() {
  endestat = true;
  oDlg1->hide();
  loop.quit();
}

void FileViewer::chooseScaled(bool scaled) {
  oRadio1->setChecked(scaled);
  oRadio2->setChecked(!scaled);
  oView->autoScale = scaled;
  oView->display();
}

bool FileViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != qApp) return false;
  const QEvent::Type type = event->type();
  if (type != userevents::type(userevents::DirectoryCurrent) &&
      type != userevents::type(userevents::FileMarked))
    return false;
  const auto* pathEvent = dynamic_cast<const userevents::PathEvent*>(event);
  if (!pathEvent) return false;
  if (type == userevents::type(userevents::DirectoryCurrent)) {
    if (pathEvent->source() != oDirs) return false;
    oFiles->setFilesTo(pathEvent->path());
  } else {
    if (pathEvent->source() != oFiles) return false;
    // Decoded off the GUI thread, so that marking file after file never
    // stalls the window; a name that does not exist changes nothing.
    if (!oView->loadInBackground(pathEvent->path())) oView->display();
  }
  return true;
}

}  // namespace viewer

void fileview(QWidget* mainWindow) {
  viewer::FileViewer viewer(mainWindow);
  viewer.exec();
}
