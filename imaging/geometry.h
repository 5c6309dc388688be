// Positions and sizes in this program are given in the system's own
// convention: a position is the lower-left corner of an object, measured from
// its parent's lower-left corner with y growing upwards. Qt measures from the
// top-left corner with y growing downwards. These helpers are the one place
// where the two meet.
#ifndef SORRELBY_GEOMETRY_H
#define SORRELBY_GEOMETRY_H

#include <QRect>

namespace geometry {

// The Qt rectangle of an object at lower-left position (x, y) with size
// (width, height) inside a parent whose height is `parentHeight`.
inline QRect placeInParent(int x, int y, int width, int height, int parentHeight) {
  return QRect(x, parentHeight - y - height, width, height);
}

}  // namespace geometry

#endif
