// SPDX-License-Identifier: GPL-2.0-or-later
// The image view control: one bitmap or metafile in a bevelled frame, either
// fitted into the control or at its natural size.
#ifndef SORRELBY_IMAGING_IMAGEVIEW_H
#define SORRELBY_IMAGING_IMAGEVIEW_H

#include <QFrame>
#include <QPoint>
#include <QSize>
#include <QVariant>
#include <atomic>
#include <memory>
#include <optional>

#include "geometry.h"
#include "imagefile.h"

class QPainter;

class QThreadPool;

namespace imaging {
class Bitmap;
class Metafile;
class Canvas;
struct Decoded;
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

  // Like load() followed by display(), but the file is read on a worker
  // thread: the canvas is cleared to white at once and shows the image when
  // it is ready. A later load of either kind drops the result of this one.
  // False, changing nothing, when the name does not exist; otherwise true
  // once the decode has started. From then on, switching to the natural
  // size reads the larger picture on the worker too.
  bool loadInBackground(const imaging::FileName& cFile);

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
  // Whether a decode started by loadInBackground() or for the natural size
  // is still running.
  bool decoding() const { return running_ > 0; }

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

  // Decoding off the GUI thread: every load takes a new generation, and a
  // result is used only if its generation is still the current one.
  void startDecode(const QByteArray& name, imaging::FileKind kind, bool upgrade);
  void apply(const imaging::FileName& cFile, imaging::Decoded& decoded);
  std::unique_ptr<QThreadPool> workers_;
  std::shared_ptr<std::atomic<quint64>> generation_;
  bool background_ = false;
  bool upgrading_ = false;
  bool decodedScaled_ = true;  // the mode the bitmap at hand was read for
  int running_ = 0;
};

#endif
