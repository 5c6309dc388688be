// SPDX-License-Identifier: GPL-2.0-or-later
#include "busycursor.h"

#include <QApplication>

namespace sorrelby {

BusyCursor::BusyCursor(int moment) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = w->windowType();
    if (!w->isVisible() || type == Qt::Popup || type == Qt::ToolTip) continue;
    windows_.append({w, w->testAttribute(Qt::WA_SetCursor), w->cursor()});
  }
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] { show(); });
  timer_.start(moment);
}

BusyCursor::~BusyCursor() {
  timer_.stop();
  if (!shown_) return;
  for (const Window& w : windows_) {
    if (!w.widget) continue;
    if (w.hadCursor)
      w.widget->setCursor(w.cursor);
    else
      w.widget->unsetCursor();
  }
}

void BusyCursor::show() {
  shown_ = true;
  for (const Window& w : windows_)
    if (w.widget) w.widget->setCursor(Qt::BusyCursor);
}

}  // namespace sorrelby
