// SPDX-License-Identifier: GPL-2.0-or-later
// Arrowing through a folder of large pictures in the preview, one file
// marked every 33 ms as key repeat does, each handed to the image view the
// way the file viewer does. Prints the longest time the GUI thread did not
// get back to its event loop, from a 1 ms heartbeat timer.
//   imaging_arrowing_bench [--sync] FILE...
// --sync loads on the GUI thread (load() then display()) for comparison.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "imageview.h"

class ProbeView : public ImageView {
 public:
  using ImageView::ImageView;
  bool busy() const { return decoding(); }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool sync = argc > 1 && std::strcmp(argv[1], "--sync") == 0;
  QList<QByteArray> files;
  for (int i = sync ? 2 : 1; i < argc; ++i) files.append(argv[i]);
  if (files.isEmpty()) {
    std::fprintf(stderr, "usage: %s [--sync] FILE...\n", argv[0]);
    return 2;
  }
  QWidget host;
  host.resize(224, 248);
  auto* view = new ProbeView(&host, nullptr, QPoint(10, 10), QSize(204, 228), QVariant(), true);
  view->create();
  host.show();
  QCoreApplication::processEvents();

  QElapsedTimer clock;
  clock.start();
  qint64 last = 0;
  qint64 longest = 0;
  QTimer heartbeat;
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  heartbeat.start(1);

  int next = 0;
  QTimer keys;
  QObject::connect(&keys, &QTimer::timeout, [&] {
    if (next == files.size()) {
      keys.stop();
      return;
    }
    const QByteArray& name = files[next++];
    if (sync) {
      view->load(name);
      view->display();
    } else {
      view->loadInBackground(name);
    }
  });
  keys.start(33);
  QTimer done;
  QObject::connect(&done, &QTimer::timeout, [&] {
    if (next == files.size() && !view->busy()) app.quit();
  });
  done.start(5);
  last = clock.nsecsElapsed();
  app.exec();
  std::printf("files %lld longest_block_ms %.1f total_s %.2f shown %s\n", qlonglong(files.size()),
              std::max<qint64>(0, longest - 1'000'000) / 1e6, clock.nsecsElapsed() / 1e9,
              view->file ? view->file->constData() : "-");
  return 0;
}
