// SPDX-License-Identifier: GPL-2.0-or-later
#include "fullview.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <memory>

#include "bitmap.h"
#include "geometry.h"
#include "metafile.h"

namespace {

// One full-size image window: paints its whole image stretched onto its
// whole drawing area at every paint; Escape closes it like its close box.
class FullViewWindow : public QWidget {
 public:
  FullViewWindow() : QWidget(nullptr, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  imaging::Bitmap bitmap;
  imaging::Metafile metafile;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
      close();
    else
      QWidget::keyPressEvent(event);
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (!bitmap.isNull()) {
      const QImage& pixels = bitmap.pixels(size());
      painter.drawImage(QRectF(rect()), pixels, QRectF(pixels.rect()));
    } else {
      painter.drawImage(QPointF(0, 0), metafile.rendered(size(), QRectF(rect())));
    }
  }
};

QMargins frameMargins(QWidget* window) {
  window->winId();  // the platform window knows its frame
  const QWindow* handle = window->windowHandle();
  return handle ? handle->frameMargins() : QMargins();
}

}  // namespace

void FullView(const imaging::FileName& cFile) {
  if (!cFile) return;
  const imaging::FileKind kind = imaging::kindOfName(*cFile);
  if (kind == imaging::FileKind::None) return;

  auto window = std::make_unique<FullViewWindow>();
  window->setWindowTitle(QFile::decodeName(*cFile));
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 640, 480);
  const QMargins margins = frameMargins(window.get());
  const QSize frameExtra(margins.left() + margins.right(), margins.top() + margins.bottom());

  QSize outer;
  if (kind == imaging::FileKind::Bitmap) {
    const auto clamp = [desktop](QSize s) {
      return QSize(std::max(16, std::min(s.width(), desktop.width())),
                   std::max(16, std::min(s.height(), desktop.height())));
    };
    // A file that does not load leaves a 0 x 0 bitmap: a blank 16 x 16 area.
    window->bitmap.load(*cFile, clamp);
    const QSize area = clamp(window->bitmap.size().isValid() ? window->bitmap.size() : QSize());
    window->resize(area);
    outer = area + frameExtra;
  } else {
    window->metafile.load(*cFile);
    outer = QSize(600, 400);
    window->resize((outer - frameExtra).expandedTo(QSize(1, 1)));
  }

  // Centred with the integer part (toward zero) in the lower-left
  // convention, then turned into Qt's top-left frame position.
  const int x = (desktop.width() - outer.width()) / 2;
  const int y = (desktop.height() - outer.height()) / 2;
  const QRect placed =
      geometry::placeInParent(x, y, outer.width(), outer.height(), desktop.height());
  const QPoint topLeft = desktop.topLeft() + placed.topLeft();
  FullViewWindow* shown = window.release();
  shown->move(topLeft);
  shown->show();
  // Showing may pull a window that overhangs the desktop back onto it; the
  // position stands as computed, as it does for a window larger than the
  // desktop.
  if (shown->frameGeometry().topLeft() != topLeft) shown->move(topLeft);
  shown->activateWindow();
  shown->setFocus();
}
