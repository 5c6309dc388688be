// The image view control: one bitmap or metafile in a bevelled frame, either
// fitted into the control or at its natural size.
#ifndef SORRELBY_IMAGING_IMAGEVIEW_H
#define SORRELBY_IMAGING_IMAGEVIEW_H

#include <QFrame>
#include <QPoint>
#include <QSize>
#include <QVariant>
#include <memory>
#include <optional>

#include "geometry.h"
#include "imagefile.h"

class QPainter;

namespace imaging {
class Bitmap;
class Metafile;
class Canvas;
}  // namespace imaging

// Two-phase life like every composite control of the program: construct with
// the six arguments, then create(), which puts it on screen and lays out the
// frame (inset 4) and the canvas (inset 5) from the control's size at that
// moment. Positions are lower-left corners in the parent, y upwards.
class ImageView : public QFrame {
 public:
  ImageView(QWidget* oParent = nullptr, QWidget* oOwner = nullptr, QPoint aPos = {},
            QSize aSize = {}, QVariant aPresParam = {}, bool lVisible = true);
  ~ImageView() override;

  // Creates with the arguments given at construction.
  ImageView& create();
  // Creates with these arguments; they replace those given at construction.
  ImageView& create(QWidget* oParent, QWidget* oOwner, QPoint aPos, QSize aSize,
                    QVariant aPresParam, bool lVisible);

  // Loads `cFile` and makes it the control's image; true when it loaded. A
  // name that does not exist changes nothing. Does not repaint.
  bool load(const imaging::FileName& cFile);

  // Paints the canvas now: the clip rectangle {x1, y1, x2, y2} in canvas
  // coordinates grown by one pixel on every side, or the whole canvas.
  void display(std::optional<geometry::Rect> aClip = std::nullopt);

  // true: fit the image into the canvas, aspect kept, centred; false: natural
  // size. Read at every display().
  bool autoScale = true;
  // The name as passed to the last load() that loaded an image; "" after a
  // load() that found the file but could not read it; no value at first.
  imaging::FileName file;

 protected:
  friend class imaging::Canvas;
  void paintCanvas(QPainter& painter, const geometry::Rect& aClip);

  QFrame* oFrame = nullptr;
  imaging::Canvas* oCanvas = nullptr;
  std::unique_ptr<imaging::Bitmap> oBitmap;
  std::unique_ptr<imaging::Metafile> oMetafile;
  // What the control shows: nothing, the bitmap or the metafile.
  imaging::FileKind nMode = imaging::FileKind::None;

 private:
  QWidget* owner_ = nullptr;
  QPoint pos_;
  QSize size_;
  QVariant presParam_;
  bool visible_ = true;
  std::optional<geometry::Rect> pendingClip_;
};

#endif
