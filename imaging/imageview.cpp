// SPDX-License-Identifier: GPL-2.0-or-later
#include "imageview.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QThreadPool>
#include <algorithm>

#include "bitmap.h"
#include "canvas_p.h"
#include "metafile.h"
#include "placement.h"

namespace imaging {

Canvas::Canvas(ImageView* view, QWidget* parent) : QWidget(parent), view_(view) {
  // Every paint covers its whole region with white first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // A paint asked for by display() uses its clip rectangle; one asked for by
  // the window system repaints the region it names.
  const geometry::Rect clip =
      view_->pendingClip_.value_or(geometry::fromQRect(event->rect(), height()));
  view_->paintCanvas(painter, clip);
}

}  // namespace imaging

namespace {

const QColor kAreaColour = Qt::white;

int parentHeight(const QWidget* parent) {
  if (parent) return parent->height();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 0;
}

}  // namespace

ImageView::ImageView(QWidget* oParent, QWidget* oOwner, QPoint aPos, QSize aSize,
                     QVariant aPresParam, bool lVisible)
    : QFrame(oParent),
      owner_(oOwner),
      pos_(aPos),
      size_(aSize),
      presParam_(std::move(aPresParam)),
      visible_(lVisible),
      workers_(std::make_unique<QThreadPool>()),
      generation_(std::make_shared<std::atomic<quint64>>(0)) {
  // One decode at a time: a newer one supersedes, never races, the older.
  workers_->setMaxThreadCount(1);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  oFrame = new QFrame(this);
  oFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  oFrame->setLineWidth(1);
  oCanvas = new imaging::Canvas(this, oFrame);
  hide();
}

ImageView::~ImageView() {
  // Running decodes see that they are stale and stop at their next row.
  ++*generation_;
  workers_->waitForDone();
}

ImageView& ImageView::create(QWidget* oParent, QWidget* oOwner, QPoint aPos, QSize aSize,
                             QVariant aPresParam, bool lVisible) {
  if (oParent != parentWidget()) setParent(oParent);
  owner_ = oOwner;
  pos_ = aPos;
  size_ = aSize;
  presParam_ = std::move(aPresParam);
  visible_ = lVisible;
  return create();
}

ImageView& ImageView::create() {
  setGeometry(geometry::placeInParent(pos_.x(), pos_.y(), size_.width(), size_.height(),
                                      parentHeight(parentWidget())));
  const int w = width();
  const int h = height();
  oFrame->setGeometry(geometry::placeInParent(4, 4, std::max(0, w - 8), std::max(0, h - 8), h));
  oCanvas->setGeometry(
      geometry::placeInParent(1, 1, std::max(0, w - 10), std::max(0, h - 10), oFrame->height()));
  oFrame->show();
  oCanvas->show();
  setVisible(visible_);
  return *this;
}

namespace imaging {

// What one decode produced, handed from the worker to the GUI thread.
struct Decoded {
  FileKind mode = FileKind::None;
  std::unique_ptr<Bitmap> bitmap;
  std::unique_ptr<Metafile> metafile;
};

namespace {

// Reads `name` for a canvas of `canvas` pixels in the given mode. Runs on
// any thread; `gui` receives the parsed metafile.
Decoded decode(const QByteArray& name, FileKind kind, QSize canvas, bool scaled,
               const Bitmap::Cancelled& cancelled, QThread* gui) {
  Decoded out;
  if (kind == FileKind::Bitmap) {
    // Only what the scaled view needs is decoded: straight into the target
    // size where the format allows.
    const auto need = [canvas, scaled](QSize full) {
      if (!scaled) return QSize();
      const geometry::RectF t = targetRect(full, canvas, true);
      return coverSize(QSizeF(t.x2 - t.x1 + 1, t.y2 - t.y1 + 1));
    };
    auto bitmap = std::make_unique<Bitmap>();
    if (bitmap->load(name, need, Bitmap::Reduction::Exact, cancelled)) {
      out.mode = FileKind::Bitmap;
      out.bitmap = std::move(bitmap);
    }
  } else if (kind == FileKind::Metafile) {
    auto metafile = std::make_unique<Metafile>();
    if (metafile->load(name, cancelled)) {
      // Drawn here once, so that the first paint finds the picture ready.
      const QRectF target =
          geometry::toQRectF(targetRect(metafile->size(), canvas, scaled), canvas.height());
      metafile->rendered(canvas, target);
      metafile->moveToThread(gui);
      out.mode = FileKind::Metafile;
      out.metafile = std::move(metafile);
    }
  }
  return out;
}

}  // namespace
}  // namespace imaging

bool ImageView::load(const imaging::FileName& cFile) {
  if (!cFile || !imaging::fileExists(*cFile)) return false;
  ++*generation_;
  background_ = false;
  upgrading_ = false;
  decodedScaled_ = autoScale;
  imaging::Decoded decoded = imaging::decode(*cFile, imaging::kindOfName(*cFile), oCanvas->size(),
                                             autoScale, {}, thread());
  apply(cFile, decoded);
  return nMode != imaging::FileKind::None;
}

bool ImageView::loadInBackground(const imaging::FileName& cFile) {
  if (!cFile || !imaging::fileExists(*cFile)) return false;
  background_ = true;
  nMode = imaging::FileKind::None;
  file = QByteArray("");
  display();
  startDecode(*cFile, imaging::kindOfName(*cFile), false);
  return true;
}

void ImageView::startDecode(const QByteArray& name, imaging::FileKind kind, bool upgrade) {
  const quint64 generation = ++*generation_;
  upgrading_ = upgrade;
  decodedScaled_ = autoScale;
  ++running_;
  const QSize canvas = oCanvas->size();
  const bool scaled = autoScale;
  QThread* gui = thread();
  std::shared_ptr<std::atomic<quint64>> current = generation_;
  workers_->start([this, name, kind, canvas, scaled, gui, generation, current] {
    const auto stale = [current, generation] { return current->load() != generation; };
    auto decoded = std::make_shared<imaging::Decoded>();
    if (!stale()) *decoded = imaging::decode(name, kind, canvas, scaled, stale, gui);
    // Queued to this control: the destructor waits for the workers, and
    // events still queued for a destroyed control are dropped with it.
    QMetaObject::invokeMethod(
        this,
        [this, generation, decoded, name] {
          --running_;
          if (generation != generation_->load()) return;
          if (upgrading_) {
            upgrading_ = false;
            if (nMode == imaging::FileKind::Bitmap && file == imaging::FileName(name) &&
                decoded->bitmap)
              oBitmap = std::move(decoded->bitmap);
          } else {
            apply(name, *decoded);
          }
          display();
        },
        Qt::QueuedConnection);
  });
}

void ImageView::apply(const imaging::FileName& cFile, imaging::Decoded& decoded) {
  nMode = decoded.mode;
  if (decoded.bitmap) oBitmap = std::move(decoded.bitmap);
  if (decoded.metafile) oMetafile = std::move(decoded.metafile);
  file = nMode != imaging::FileKind::None ? cFile : imaging::FileName(QByteArray(""));
}

void ImageView::display(std::optional<geometry::Rect> aClip) {
  const int w = oCanvas->width();
  const int h = oCanvas->height();
  const geometry::Rect clip = aClip.value_or(geometry::Rect{1, 1, w - 1, h - 1});
  const geometry::Rect grown{clip.x1 - 1, clip.y1 - 1, clip.x2 + 1, clip.y2 + 1};
  const QRect region = geometry::toQRect(grown, h) & oCanvas->rect();
  if (region.isEmpty()) return;
  pendingClip_ = clip;
  oCanvas->repaint(region);
  pendingClip_.reset();
}

void ImageView::paintCanvas(QPainter& painter, const geometry::Rect& aClip) {
  const int w = oCanvas->width();
  const int h = oCanvas->height();
  const geometry::Rect grown{aClip.x1 - 1, aClip.y1 - 1, aClip.x2 + 1, aClip.y2 + 1};
  painter.setClipRect(geometry::toQRect(grown, h));
  painter.fillRect(geometry::toQRect(geometry::Rect{0, 0, w, h}, h), kAreaColour);
  if (nMode == imaging::FileKind::Bitmap && oBitmap && !oBitmap->isNull()) {
    const QRectF target =
        geometry::toQRectF(imaging::targetRect(oBitmap->size(), QSize(w, h), autoScale), h);
    const QSize fit = autoScale ? imaging::coverSize(target.size()) : QSize();
    // In the background the larger picture is read on the worker; meanwhile
    // the pixels at hand stand in for it.
    if (background_ && decodedScaled_ != autoScale && file) {
      decodedScaled_ = autoScale;
      startDecode(*file, imaging::FileKind::Bitmap, true);
    }
    const QImage& pixels = background_ ? oBitmap->pixelsAtHand() : oBitmap->pixels(fit);
    // No smooth transformation: a reduction drops rows and columns.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, pixels, QRectF(pixels.rect()));
  } else if (nMode == imaging::FileKind::Metafile && oMetafile && !oMetafile->isNull()) {
    // Scaled: fitted like a bitmap; natural: at the size recorded in it.
    const QRectF target =
        geometry::toQRectF(imaging::targetRect(oMetafile->size(), QSize(w, h), autoScale), h);
    painter.drawImage(QPointF(0, 0), oMetafile->rendered(QSize(w, h), target));
  }
  painter.setClipping(false);
}
