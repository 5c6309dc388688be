// SPDX-License-Identifier: GPL-2.0-or-later
// The canvas of the image view: the plain child area the image is drawn on.
#ifndef SORRELBY_IMAGING_CANVAS_P_H
#define SORRELBY_IMAGING_CANVAS_P_H

#include <QWidget>

class ImageView;

namespace imaging {

class Canvas : public QWidget {
 public:
  Canvas(ImageView* view, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ImageView* view_;
};

}  // namespace imaging

#endif
