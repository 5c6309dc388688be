// SPDX-License-Identifier: GPL-2.0-or-later
// Times the file selector's refill and the directory selector's rebuild on
// folders that run.sh makes, against an in-process listing that does what
// `find DIR -maxdepth 1 -type f ( -iname ... -o ... )` does.
//   viewer_refill_bench list DIR RUNS   best ms: refill, peer listing; count
//   viewer_refill_bench once DIR        one refill in a fresh process
//   viewer_refill_bench tree ROOT TARGET RUNS
//                                       best ms: rebuild, peer listing
#include <dirent.h>
#include <fnmatch.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "dirselector.h"
#include "fileselector.h"

namespace {

const char* const kPatterns[] = {"*.BMP", "*.EMF", "*.GIF", "*.JPG", "*.PNG"};
const QString kFilter = QStringLiteral("*.BMP *.EMF *.GIF *.JPG *.PNG");

double bestMs(int runs, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    work();
    best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
  }
  return best;
}

// What find does for one folder: read it, test each name against the
// patterns ignoring case, keep the plain files.
size_t peerListing(const char* dir, std::vector<std::string>& out) {
  out.clear();
  DIR* d = opendir(dir);
  if (!d) return 0;
  while (const dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;  // hidden, as the file list leaves them out
    for (const char* pattern : kPatterns)
      if (fnmatch(pattern, e->d_name, FNM_CASEFOLD) == 0) {
        if (e->d_type == DT_REG) out.emplace_back(e->d_name);
        break;
      }
  }
  closedir(d);
  return out.size();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 3) return 2;
  const QString mode = args[1];
  QWidget host;
  host.resize(600, 400);

  if (mode == "list" || mode == "once") {
    const QByteArray dir = QFile::encodeName(args[2]);
    FileSelector files(&host);
    files.create({192, 12}, {168, 312});
    if (mode == "once") {
      files.setFilesTo(dir, QStringList{kFilter});
      std::printf("%d\n", files.fileList->count());
      return 0;
    }
    const int runs = args.value(3, "10").toInt();
    files.setFilesTo(dir, QStringList{kFilter});
    const double ours = bestMs(runs, [&] { files.fillFileList(); });
    std::vector<std::string> names;
    const double peer = bestMs(runs, [&] { peerListing(dir.constData(), names); });
    std::printf("%.3f %.3f %d %zu\n", ours, peer, files.fileList->count(), names.size());
    return files.fileList->count() == int(names.size()) ? 0 : 1;
  }

  if (mode == "tree" && args.size() >= 5) {
    const QByteArray root = QFile::encodeName(args[2]);
    const QByteArray target = QFile::encodeName(args[3]);
    const int runs = args.value(4, "10").toInt();
    DirSelector dirs(&host);
    dirs.startDir = target;
    dirs.driveSource = [root] { return QList<QByteArray>{root}; };
    dirs.create({12, 12}, {168, 312});
    const double ours = bestMs(runs, [&] { dirs.fillTree(dirs.dirTree->invisibleRootItem()); });
    // The peer reads the same folders: each level of the chain and the target.
    QList<QByteArray> levels{root};
    for (QByteArray p = target; p.size() > root.size(); p = p.left(p.lastIndexOf('/')))
      levels.insert(1, p);
    const double peer = bestMs(runs, [&] {
      for (const QByteArray& level : levels) {
        DIR* d = opendir(level.constData());
        if (!d) continue;
        while (readdir(d)) {
        }
        closedir(d);
      }
    });
    int items = 0;
    QList<QTreeWidgetItem*> pending{dirs.dirTree->invisibleRootItem()};
    while (!pending.isEmpty()) {
      QTreeWidgetItem* item = pending.takeFirst();
      items += item->childCount();
      for (int i = 0; i < item->childCount(); ++i) pending << item->child(i);
    }
    std::printf("%.3f %.3f %d\n", ours, peer, items);
    return 0;
  }
  return 2;
}
