// SPDX-License-Identifier: GPL-2.0-or-later
#include "placement.h"

#include <cmath>

namespace imaging {

geometry::RectF targetRect(QSizeF image, QSize canvas, bool autoScale) {
  const double areaW = canvas.width() - 2;
  const double areaH = canvas.height() - 2;
  // x2 and y2 hold width and height until the centring offsets turn them
  // into the upper-right corner.
  geometry::RectF t{1, 1, areaW, areaH};
  const double bw = image.width();
  const double bh = image.height();
  if (autoScale) {
    if (bw > 0 && bh > 0 && areaW > 0 && areaH > 0) {
      const double aspect = bw / bh;
      // Compare with the area's own aspect ratio (cross-multiplied, exact for
      // whole numbers), so that the whole image always fits.
      if (bw * areaH > bh * areaW)
        t.y2 = t.x2 / aspect;
      else
        t.x2 = t.y2 * aspect;
    }
  } else {
    t.x2 = bw;
    t.y2 = bh;
  }
  if (t.x2 < areaW) {
    const double offset = (areaW - t.x2) / 2;
    t.x1 += offset;
    t.x2 += offset;
  }
  if (t.y2 < areaH) {
    const double offset = (areaH - t.y2) / 2;
    t.y1 += offset;
    t.y2 += offset;
  }
  return t;
}

QSize coverSize(QSizeF size) {
  return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

}  // namespace imaging
