// SPDX-License-Identifier: MIT
// Benchmark driver: how long after eztw32_SelectImageSource is called the
// selection dialog shows, and when its first device appears in it. Prints
// both in milliseconds: "<shown> <first device>".
#include <quillmere/eztw32fu.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget main;
  main.resize(300, 200);
  main.show();
  if (!eztw32_LoadDll()) return 1;
  QElapsedTimer clock;
  qint64 shown = -1, firstDevice = -1;
  // Polls as often as the event loop lets it: the figures are bounded by
  // how long the GUI thread is kept from it.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() != "eztw32SelectSource" || !w->isVisible()) continue;
      if (shown < 0) shown = clock.elapsed();
      auto* list = w->findChild<QListWidget*>("sources");
      if (list && list->count() > 0 && firstDevice < 0) {
        firstDevice = clock.elapsed();
        qobject_cast<QDialog*>(w)->accept();
      }
    }
  });
  poll.start(0);
  clock.start();
  eztw32_SelectImageSource(static_cast<int32_t>(main.winId()));
  eztw32_UnLoadDll();
  std::printf("%lld %lld\n", static_cast<long long>(shown), static_cast<long long>(firstDevice));
  return shown >= 0 && firstDevice >= 0 ? 0 : 1;
}
