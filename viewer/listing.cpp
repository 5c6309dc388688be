// SPDX-License-Identifier: GPL-2.0-or-later
#include "listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace listing {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

enum class Kind { Other, Directory, File };

// The kind of one entry; d_type when the file system gives it, else a stat()
// that follows symbolic links (a dangling link or a link loop is neither).
Kind kindOf(int dirFd, const dirent* entry) {
  switch (entry->d_type) {
    case DT_DIR:
      return Kind::Directory;
    case DT_REG:
      return Kind::File;
    case DT_LNK:
    case DT_UNKNOWN: {
      struct stat st;
      if (fstatat(dirFd, entry->d_name, &st, 0) != 0) return Kind::Other;
      if (S_ISDIR(st.st_mode)) return Kind::Directory;
      if (S_ISREG(st.st_mode)) return Kind::File;
      return Kind::Other;
    }
    default:
      return Kind::Other;
  }
}

// Calls `take(name, kind)` for every visible entry of `dir`; false when the
// directory cannot be opened.
template <typename Take>
bool forEachEntry(const QByteArray& dir, Take take) {
  DIR* d = opendir(dir.isEmpty() ? "." : dir.constData());
  if (!d) return false;
  const int fd = dirfd(d);
  while (const dirent* entry = readdir(d)) {
    if (entry->d_name[0] == '.') continue;  // ".", ".." and hidden entries
    const Kind kind = kindOf(fd, entry);
    if (kind != Kind::Other) take(entry->d_name, kind);
  }
  closedir(d);
  return true;
}

bool matchFrom(const char* p, const char* pe, const char* n, const char* ne) {
  // Iterative glob with one backtracking point: the last "*" seen.
  const char* starP = nullptr;
  const char* starN = nullptr;
  while (n != ne) {
    if (p != pe && *p == '*') {
      starP = ++p;
      starN = n;
    } else if (p != pe && (*p == '?' || lower(*p) == lower(*n))) {
      ++p;
      ++n;
    } else if (starP) {
      p = starP;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p != pe && *p == '*') ++p;
  return p == pe;
}

}  // namespace

QByteArray join(const QByteArray& dir, const QByteArray& name) {
  if (dir.isEmpty() || dir.endsWith('/')) return dir + name;
  return dir + '/' + name;
}

QByteArray normalise(const QByteArray& path) {
  QByteArray out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '/' && out.endsWith('/')) continue;
    out.append(c);
  }
  while (out.size() > 1 && out.endsWith('/')) out.chop(1);
  return out;
}

bool startsWithNoCase(const QByteArray& path, const QByteArray& prefix) {
  if (prefix.size() > path.size()) return false;
  for (qsizetype i = 0; i < prefix.size(); ++i)
    if (lower(path[i]) != lower(prefix[i])) return false;
  return true;
}

bool equalNoCase(const QByteArray& a, const QByteArray& b) {
  return a.size() == b.size() && startsWithNoCase(a, b);
}

QList<QByteArray> subdirectories(const QByteArray& dir, bool* readable) {
  QList<QByteArray> names;
  const bool ok = forEachEntry(dir, [&](const char* name, Kind kind) {
    if (kind == Kind::Directory) names.append(QByteArray(name));
  });
  if (readable) *readable = ok;
  std::sort(names.begin(), names.end());
  return names;
}

bool matches(const QByteArray& pattern, const QByteArray& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  return matchFrom(pattern.constBegin(), pattern.constEnd(), name.constBegin(), name.constEnd());
}

QList<QByteArray> splitPatterns(const QByteArray& filterText) {
  QList<QByteArray> patterns;
  for (const QByteArray& part : filterText.split(' ')) {
    const QByteArray p = part.trimmed();
    if (!p.isEmpty()) patterns.append(p);
  }
  return patterns;
}

QList<QList<QByteArray>> filesMatching(const QByteArray& dir, const QList<QByteArray>& patterns) {
  QList<QList<QByteArray>> lists(patterns.size());
  if (patterns.isEmpty()) return lists;
  forEachEntry(dir, [&](const char* cname, Kind kind) {
    if (kind != Kind::File) return;
    const qsizetype len = qsizetype(strlen(cname));
    const QByteArray name = QByteArray::fromRawData(cname, len);
    for (qsizetype i = 0; i < patterns.size(); ++i)
      if (matches(patterns[i], name)) lists[i].append(QByteArray(cname, len));
  });
  for (QList<QByteArray>& list : lists) std::sort(list.begin(), list.end());
  return lists;
}

}  // namespace listing
