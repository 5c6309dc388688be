// SPDX-License-Identifier: GPL-2.0-or-later
// The user events with which the selectors tell the file viewer what the user
// pointed at. They go to the application object, not to a widget, so that
// whichever event loop runs sees them; the viewer's loop picks them up with an
// application event filter.
#ifndef SORRELBY_USEREVENTS_H
#define SORRELBY_USEREVENTS_H

#include <QByteArray>
#include <QEvent>

class QObject;

namespace userevents {

enum Number : int {
  DirectoryCurrent = 100,  // a directory became current; path of the directory
  FileMarked = 101,        // a file was marked; path of the file
  FileSelected = 102,      // a file was selected (double click, Enter); path of the file
};

inline QEvent::Type type(Number number) { return QEvent::Type(int(QEvent::User) + int(number)); }

// A user event with its first parameter, a full path as the file system's own
// bytes (file names need not be valid UTF-8). `source` names the control that
// posted it; it is only compared, never dereferenced, because the control may
// be gone by the time the event is handled.
class PathEvent : public QEvent {
 public:
  PathEvent(Number number, QByteArray path, const QObject* source)
      : QEvent(userevents::type(number)), path_(std::move(path)), source_(source) {}
  const QByteArray& path() const { return path_; }
  const QObject* source() const { return source_; }
  int number() const { return int(type()) - int(QEvent::User); }

 private:
  QByteArray path_;
  const QObject* source_;
};

// Posts user event `number` with `path` to the application's event queue.
void post(Number number, const QByteArray& path, const QObject* source);

}  // namespace userevents

#endif
