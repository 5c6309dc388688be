// SPDX-License-Identifier: GPL-2.0-or-later
// The metafile object of the imaging layer: an enhanced metafile (EMF)
// converted to SVG by a helper process and drawn by QtSvg.
#ifndef SORRELBY_IMAGING_METAFILE_H
#define SORRELBY_IMAGING_METAFILE_H

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>

class QSvgRenderer;
class QThread;

namespace imaging {

// Bounds for the SVG the converter hands back: larger or busier pictures are
// refused before they are parsed.
inline constexpr qsizetype kMaxSvgBytes = 32LL * 1024 * 1024;
inline constexpr qsizetype kMaxSvgElements = 50'000;

class Metafile {
 public:
  Metafile();
  ~Metafile();
  Metafile(Metafile&&) noexcept;
  Metafile& operator=(Metafile&&) noexcept;

  // Reads the EMF file `name` (raw bytes); false, and empty, when it is none
  // or cannot be converted within the converter's limits, or when
  // `cancelled` (asked every 100 ms while the converter runs) said so. MET
  // (OS/2) metafiles are not read.
  bool load(const QByteArray& name, const std::function<bool()>& cancelled = {});
  void clear();
  bool isNull() const { return !svg_; }

  // The size recorded in the metafile, in pixels.
  QSizeF size() const;

  // A white picture of `canvas` pixels with the whole metafile stretched onto
  // `target` (Qt coordinates). Drawn once and kept until canvas or target
  // change, so repainting costs no more than for a bitmap.
  const QImage& rendered(QSize canvas, const QRectF& target);

  // Draws the whole metafile onto `target` as vectors, for the printer.
  void draw(QPainter& painter, const QRectF& target) const;

  // Hands the parsed picture to the current thread's owner: call from the
  // thread that loaded it before another thread draws it.
  void moveToThread(QThread* thread);

 private:
  std::unique_ptr<QSvgRenderer> svg_;
  QImage image_;
  QSize imageCanvas_;
  QRectF imageTarget_;
};

// Whether `data` starts with a plausible EMF header whose records lie inside
// it; the converter checks this again before converting.
bool looksLikeEmf(const QByteArray& data);

// The converter helper's path: beside the running program (as in the build
// tree), else in the program's libexec folder.
QString emfConverterPath();

}  // namespace imaging

#endif
