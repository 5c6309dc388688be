// SPDX-License-Identifier: GPL-2.0-or-later
// Decoders that read an image row by row straight into a smaller size, so
// that a preview never holds the whole picture.
#ifndef SORRELBY_IMAGING_STREAMING_P_H
#define SORRELBY_IMAGING_STREAMING_P_H

#include <QImage>
#include <QRgb>
#include <QSize>
#include <functional>
#include <vector>

class QIODevice;

namespace imaging {

// Asked between rows; true stops the decode, which then fails.
using Cancelled = std::function<bool()>;

// Reduces a picture of `source` pixels to `target` pixels (no larger in
// either direction) by area averaging: every target pixel is the mean of the
// source area it covers, fractions of pixels weighed by their share. Pixels
// may come in any order, each exactly once.
class AreaReducer {
 public:
  AreaReducer(QSize source, QSize target);

  // How the bytes of one pixel are laid out.
  enum class Layout { Rgb, Rgba, Bgra };
  // `count` pixels of source row `y` at columns x0, x0 + dx, ...
  void add(int y, const uchar* pixels, Layout layout, int x0, int dx, int count);
  void add(int y, const QRgb* pixels, int x0, int dx, int count) {
    // A QRgb is B, G, R, A in memory on little-endian machines.
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
      add(y, reinterpret_cast<const uchar*>(pixels), Layout::Bgra, x0, dx, count);
    else
      addRgbValues(y, pixels, x0, dx, count);
  }
  // RGB32 when every pixel was opaque, else premultiplied ARGB32.
  QImage result() const;

 private:
  struct Share {
    int first;      // target index the source pixel starts in
    float weight0;  // its share there
    float weight1;  // its share in first + 1
  };
  static std::vector<Share> shares(int source, int target);
  template <int R, int G, int B, int A, int Step>
  void reduceAcross(const uchar* pixels, int x0, int dx, int count);
  void addRgbValues(int y, const QRgb* pixels, int x0, int dx, int count);
  void addRowDown(int y);

  QSize target_;
  std::vector<Share> columns_;
  std::vector<Share> rows_;
  std::vector<float> sums_;  // premultiplied B, G, R, A per target pixel
  std::vector<float> row_;   // one source row reduced across
  bool opaque_ = true;
};

// PNG through libpng, any colour type, bit depth and interlacing.
QImage readPngReduced(QIODevice& png, QSize target, const Cancelled& cancelled);

// The size of `bmp` (read from its start, its position kept) when it is a BMP this module
// streams: uncompressed or bit-field pixels of 1, 4, 8, 16, 24 or 32 bits,
// top-down or bottom-up; an invalid size for others, which go through Qt.
QSize streamableBmpSize(QIODevice& bmp);
QImage readBmpReduced(QIODevice& bmp, QSize target, const Cancelled& cancelled);

}  // namespace imaging

#endif
