// SPDX-License-Identifier: GPL-2.0-or-later
// The bitmap object of the imaging layer: a BMP, GIF, JPEG or PNG file
// decoded with Qt's readers, at reduced size where that is enough.
#ifndef SORRELBY_IMAGING_BITMAP_H
#define SORRELBY_IMAGING_BITMAP_H

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <functional>

namespace imaging {

// Limits for every image this layer decodes: a header that claims more
// pixels is refused before any decoding, and no reader may allocate more.
inline constexpr qint64 kMaxImagePixels = 128LL * 1024 * 1024;
inline constexpr int kAllocationLimitMB = 256;
// What the JPEG decoder may hold as coefficients of the whole frame, which it
// keeps for progressive and multi-scan files whatever the output size: the
// same budget (a 24-megapixel progressive photo needs 72 to 144 MB).
inline constexpr qint64 kMaxJpegCoefficientBytes = qint64(kAllocationLimitMB) * 1024 * 1024;

class Bitmap {
 public:
  // Tells, for the image's own size, how many pixels across and down the
  // drawing will need; an invalid size means all of them.
  using Need = std::function<QSize(QSize full)>;

  // How far below its own size an image is read when `need` asks for fewer
  // pixels: Cover decodes JPEGs at 1/2, 1/4 or 1/8 of their size (the
  // smallest that still covers the need) and the rest in full; Exact also
  // reads PNGs and BMPs row by row straight into the size needed, averaging
  // the area each pixel covers, without ever holding the whole picture.
  enum class Reduction { Cover, Exact };
  // Asked between rows of a long decode; true abandons it (load fails).
  using Cancelled = std::function<bool()>;

  // Reads `name` (raw bytes). False, and empty, when the file is no
  // readable bitmap, or when the decode was cancelled.
  bool load(const QByteArray& name, const Need& need = Need(),
            Reduction reduction = Reduction::Cover, const Cancelled& cancelled = Cancelled());
  void clear();
  bool isNull() const { return image_.isNull(); }

  // The image's own size in pixels; empty when nothing is loaded.
  QSize size() const { return size_; }
  int width() const { return size_.width(); }
  int height() const { return size_.height(); }

  // The decoded pixels, with at least enough of them to fill `fit` (the whole
  // image when `fit` is empty). Reads the file again when the pixels at hand
  // are too few; if that fails, what is at hand is returned.
  const QImage& pixels(QSize fit = QSize());
  // Whether the pixels at hand are enough to fill `fit` (empty: all of them).
  bool hasPixelsFor(QSize fit) const;
  // The decoded pixels as they are, without reading again.
  const QImage& pixelsAtHand() const { return image_; }

 private:
  QByteArray name_;
  QSize size_;
  QImage image_;
};

// The pixel size worth asking the JPEG decoder for so that an image of
// `full` size covers `fit`: the smallest of full ÷ 8, ÷ 4, ÷ 2 (rounded down)
// that still covers it, else `full`.
QSize jpegDecodeSize(QSize full, QSize fit);

// The bytes of coefficient buffers a JPEG decoder keeps for the frame that
// the headers of `jpeg` (read from its start) describe: 0 for a single-scan
// baseline file, which is decoded row by row; -1 when the headers are
// unreadable.
qint64 jpegCoefficientBytes(QIODevice& jpeg);

}  // namespace imaging

#endif
