// SPDX-License-Identifier: GPL-2.0-or-later
// A busy cursor over the program's windows while a library call runs longer
// than a moment.
#ifndef SORRELBY_BUSYCURSOR_H
#define SORRELBY_BUSYCURSOR_H

#include <QCursor>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace sorrelby {

// While alive: once `moment` has passed (in whatever event loop runs meanwhile,
// the library's progress or source window), the windows that were open when
// it was made show the busy cursor. Windows opened later, such as the
// library's own, keep theirs. The cursors come back when it ends.
class BusyCursor {
 public:
  static constexpr int kMomentMs = 300;

  explicit BusyCursor(int moment = kMomentMs);
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  struct Window {
    QPointer<QWidget> widget;
    bool hadCursor;
    QCursor cursor;
  };
  void show();

  QTimer timer_;
  QList<Window> windows_;
  bool shown_ = false;
};

}  // namespace sorrelby

#endif
