// SPDX-License-Identifier: GPL-2.0-or-later
// Where the image view puts an image on its canvas.
#ifndef SORRELBY_IMAGING_PLACEMENT_H
#define SORRELBY_IMAGING_PLACEMENT_H

#include <QSize>
#include <QSizeF>

#include "geometry.h"

namespace imaging {

// The target rectangle, in canvas coordinates with real numbers, of an image
// of `image` pixels on a canvas of `canvas` pixels: inside a one-pixel
// border; with `autoScale` fitted with its aspect ratio kept (limited by
// width when the image is relatively wider than the area, else by height),
// else at natural size; centred in each direction in which it is smaller than
// the area, else anchored at the lower-left corner.
geometry::RectF targetRect(QSizeF image, QSize canvas, bool autoScale);

// The whole pixels needed across and down to fill an area of `size`.
QSize coverSize(QSizeF size);

}  // namespace imaging

#endif
