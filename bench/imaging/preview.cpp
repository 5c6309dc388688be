// SPDX-License-Identifier: GPL-2.0-or-later
// One preview as the file viewer makes it: an image view of 204 x 228 with
// autoScale, loading and displaying one file. Run as a whole process by
// run.sh. Prints the colour at the canvas's centre so the work cannot be
// skipped.
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QWidget>
#include <cstdio>

#include "imageview.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s IMAGE\n", argv[0]);
    return 2;
  }
  QWidget host;
  host.resize(224, 248);
  auto* view = new ImageView(&host, nullptr, QPoint(10, 10), QSize(204, 228), QVariant(), true);
  view->create();
  host.show();
  QCoreApplication::processEvents();
  if (!view->load(QByteArray(argv[1]))) {
    std::fprintf(stderr, "could not load %s\n", argv[1]);
    return 1;
  }
  view->display();
  const QImage shown = host.screen()->grabWindow(host.winId()).toImage();
  std::printf("centre %s\n", qPrintable(shown.pixelColor(shown.rect().center()).name()));
  return 0;
}
