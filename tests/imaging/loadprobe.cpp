// SPDX-License-Identifier: GPL-2.0-or-later
// Loads one file into an image view as the file viewer does and reports the
// result and the process's peak memory, for tests that run it under limits:
//   imaging_load_probe [FILE]   prints "loaded 0|1 peak_kb N"
// Without a file it only starts up, which gives the baseline.
#include <sys/resource.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "imageview.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget host;
  host.resize(224, 248);
  auto* view = new ImageView(&host, nullptr, QPoint(10, 10), QSize(204, 228), QVariant(), true);
  view->create();
  host.show();
  QCoreApplication::processEvents();
  bool loaded = false;
  if (argc > 1) {
    loaded = view->load(QByteArray(argv[1]));
    view->display();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("loaded %d peak_kb %ld\n", loaded ? 1 : 0, usage.ru_maxrss);
  return 0;
}
