// SPDX-License-Identifier: GPL-2.0-or-later
#include "imagefile.h"

#include <QFile>

#include "imagefile_p.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace imaging {

FileKind kindOfName(const QByteArray& name) {
  const QByteArray upper = name.toUpper();
  for (const char* ext : {".BMP", ".GIF", ".JPG", ".PNG"})
    if (upper.contains(ext)) return FileKind::Bitmap;
  for (const char* ext : {".EMF", ".MET"})
    if (upper.contains(ext)) return FileKind::Metafile;
  return FileKind::None;
}

#ifdef Q_OS_UNIX

bool fileExists(const QByteArray& name) {
  struct stat st;
  return !name.isEmpty() && !name.contains('\0') && ::stat(name.constData(), &st) == 0;
}

bool openRegularFile(const QByteArray& name, QFile& file) {
  if (name.isEmpty() || name.contains('\0')) return false;
  // Opened by its bytes, so names that are not valid in the locale's encoding
  // work; non-blocking so that a FIFO named like an image cannot hang us.
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return false;
  }
  return true;
}

#else

bool fileExists(const QByteArray& name) {
  return !name.isEmpty() && QFile::exists(QFile::decodeName(name));
}

bool openRegularFile(const QByteArray& name, QFile& file) {
  if (name.isEmpty()) return false;
  file.setFileName(QFile::decodeName(name));
  return file.open(QIODevice::ReadOnly);
}

#endif

}  // namespace imaging
