// SPDX-License-Identifier: GPL-2.0-or-later
// Real directory trees in a temporary folder, and a recorder of the user
// events the selectors post.
#ifndef SORRELBY_TESTS_VIEWER_TESTTREE_H
#define SORRELBY_TESTS_VIEWER_TESTTREE_H

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTemporaryDir>
#include <cstdio>

#include "userevents.h"

namespace testtree {

// The temporary folder's path as bytes, without symbolic links, so that it
// compares equal to what getcwd() reports.
inline QByteArray rootOf(const QTemporaryDir& dir) {
  char* real = realpath(QFile::encodeName(dir.path()).constData(), nullptr);
  QByteArray path(real ? real : "");
  free(real);
  return path;
}

// A temporary folder removed by its bytes: QTemporaryDir alone cannot remove
// names that are not valid UTF-8.
class TempDir {
 public:
  TempDir() : path_(rootOf(dir_)) {}
  ~TempDir() {
    if (!path_.isEmpty())
      nftw(
          path_.constData(),
          [](const char* p, const struct stat*, int, FTW*) {
            chmod(p, 0755);
            return remove(p);
          },
          16, FTW_DEPTH | FTW_PHYS);
  }
  const QByteArray& path() const { return path_; }

 private:
  QTemporaryDir dir_;
  QByteArray path_;
};

// Creates each directory named (relative to `root`), with its parents.
inline bool makeDirs(const QByteArray& root, const QList<QByteArray>& dirs) {
  for (const QByteArray& dir : dirs) {
    QByteArray path = root;
    for (const QByteArray& part : dir.split('/')) {
      path += '/' + part;
      if (mkdir(path.constData(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

inline bool writeFile(const QByteArray& path, const QByteArray& data = "x") {
  FILE* f = fopen(path.constData(), "wb");
  if (!f) return false;
  const bool ok = fwrite(data.constData(), 1, size_t(data.size()), f) == size_t(data.size());
  return fclose(f) == 0 && ok;
}

// Records the user events 100 to 102 that reach the application object,
// without consuming them.
class EventRecorder : public QObject {
 public:
  EventRecorder() { qApp->installEventFilter(this); }
  ~EventRecorder() override { qApp->removeEventFilter(this); }

  // Delivers what is queued, then hands over what arrived and forgets it.
  QList<QPair<int, QByteArray>> take() {
    QCoreApplication::sendPostedEvents();
    QList<QPair<int, QByteArray>> seen;
    seen.swap(events_);
    return seen;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == qApp)
      if (const auto* e = dynamic_cast<const userevents::PathEvent*>(event))
        events_.append({e->number(), e->path()});
    return false;
  }

 private:
  QList<QPair<int, QByteArray>> events_;
};

}  // namespace testtree

#endif
