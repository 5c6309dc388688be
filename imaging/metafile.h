// The metafile object of the imaging layer: an enhanced metafile (EMF)
// converted to SVG by libemf2svg and drawn by QtSvg.
#ifndef SORRELBY_IMAGING_METAFILE_H
#define SORRELBY_IMAGING_METAFILE_H

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <memory>

class QPainter;
class QSvgRenderer;

namespace imaging {

// Files larger than this are not read as metafiles.
inline constexpr qint64 kMaxMetafileBytes = 64LL * 1024 * 1024;

class Metafile {
 public:
  Metafile();
  ~Metafile();

  // Reads the EMF file `name` (raw bytes); false, and empty, when it is none
  // or cannot be converted. MET (OS/2) metafiles are not read.
  bool load(const QByteArray& name);
  void clear();
  bool isNull() const { return !svg_; }

  // The size recorded in the metafile, in pixels.
  QSizeF size() const;

  // Draws the whole metafile stretched onto `target` (Qt coordinates).
  void draw(QPainter& painter, const QRectF& target) const;

 private:
  std::unique_ptr<QSvgRenderer> svg_;
};

// Whether `data` starts with a plausible EMF header whose records lie inside
// it; checked before the data is handed to the converter.
bool looksLikeEmf(const QByteArray& data);

}  // namespace imaging

#endif
