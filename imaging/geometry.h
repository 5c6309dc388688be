// SPDX-License-Identifier: GPL-2.0-or-later
// Positions and sizes in this program are given in the system's own
// convention: a position is the lower-left corner of an object, measured from
// its parent's lower-left corner with y growing upwards. Qt measures from the
// top-left corner with y growing downwards. These helpers are the one place
// where the two meet.
#ifndef SORRELBY_GEOMETRY_H
#define SORRELBY_GEOMETRY_H

#include <QRect>
#include <QRectF>

namespace geometry {

// The Qt rectangle of an object at lower-left position (x, y) with size
// (width, height) inside a parent whose height is `parentHeight`.
inline QRect placeInParent(int x, int y, int width, int height, int parentHeight) {
  return QRect(x, parentHeight - y - height, width, height);
}

// A rectangle {x1, y1, x2, y2} of a drawing surface: lower-left and upper-right
// corner, y upwards. Both corners are inside: {1, 1, 192, 216} covers the
// units 1 to 192 across and 1 to 216 upwards, 192 by 216 of them.
struct Rect {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The same with real coordinates, as the scaling arithmetic produces them.
struct RectF {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  friend bool operator==(const RectF&, const RectF&) = default;
};

// The Qt pixel rectangle of `r` on a surface `surfaceHeight` units high.
inline QRect toQRect(const Rect& r, int surfaceHeight) {
  return QRect(QPoint(r.x1, surfaceHeight - 1 - r.y2), QPoint(r.x2, surfaceHeight - 1 - r.y1));
}

// The Qt area covered by `r`: unit x2 is inside, so the right edge is x2 + 1.
inline QRectF toQRectF(const RectF& r, double surfaceHeight) {
  return QRectF(r.x1, surfaceHeight - (r.y2 + 1), r.x2 - r.x1 + 1, r.y2 - r.y1 + 1);
}

// The rectangle in this system's convention of the Qt pixel rectangle `r`.
inline Rect fromQRect(const QRect& r, int surfaceHeight) {
  return Rect{r.left(), surfaceHeight - 1 - r.bottom(), r.right(), surfaceHeight - 1 - r.top()};
}

}  // namespace geometry

#endif
