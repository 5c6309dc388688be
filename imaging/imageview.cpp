#include "imageview.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
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
      visible_(lVisible) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  oFrame = new QFrame(this);
  oFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  oFrame->setLineWidth(1);
  oCanvas = new imaging::Canvas(this, oFrame);
  hide();
}

ImageView::~ImageView() = default;

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

bool ImageView::load(const imaging::FileName& cFile) {
  if (!cFile || !imaging::fileExists(*cFile)) return false;
  nMode = imaging::FileKind::None;
  file = QByteArray("");
  switch (imaging::kindOfName(*cFile)) {
    case imaging::FileKind::Bitmap: {
      if (!oBitmap) oBitmap = std::make_unique<imaging::Bitmap>();
      // Only what the scaled view needs is decoded now; display() reads the
      // rest when the natural size asks for it.
      const QSize canvas = oCanvas->size();
      const bool scaled = autoScale;
      const auto need = [canvas, scaled](QSize full) {
        if (!scaled) return QSize();
        const geometry::RectF t = imaging::targetRect(full, canvas, true);
        return imaging::coverSize(QSizeF(t.x2 - t.x1 + 1, t.y2 - t.y1 + 1));
      };
      if (!oBitmap->load(*cFile, need)) return false;
      nMode = imaging::FileKind::Bitmap;
      break;
    }
    case imaging::FileKind::Metafile:
      if (!oMetafile) oMetafile = std::make_unique<imaging::Metafile>();
      if (!oMetafile->load(*cFile)) return false;
      nMode = imaging::FileKind::Metafile;
      break;
    case imaging::FileKind::None:
      return false;
  }
  file = cFile;
  return true;
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
    const QImage& pixels = oBitmap->pixels(autoScale ? imaging::coverSize(target.size()) : QSize());
    // No smooth transformation: a reduction drops rows and columns.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, pixels, QRectF(pixels.rect()));
  } else if (nMode == imaging::FileKind::Metafile && oMetafile && !oMetafile->isNull()) {
    // Scaled: fitted like a bitmap; natural: at the size recorded in it.
    const QRectF target =
        geometry::toQRectF(imaging::targetRect(oMetafile->size(), QSize(w, h), autoScale), h);
    oMetafile->draw(painter, target);
  }
  painter.setClipping(false);
}
