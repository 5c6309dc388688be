// SPDX-License-Identifier: GPL-2.0-or-later
#include "availdrives.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>

QByteArray SystemDriveProbe::currentDrive() {
  const QStorageInfo info(QDir::currentPath());
  return info.isValid() ? QFile::encodeName(info.rootPath()) : QByteArray("/");
}

QList<QByteArray> SystemDriveProbe::candidates() {
  QList<QByteArray> drives;
  // mountedVolumes() already leaves out /proc, /sys, /dev and the like.
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
    drives.append(QFile::encodeName(volume.rootPath()));
  return drives;
}

DriveProbe::Answer SystemDriveProbe::probe(const QByteArray& drive) {
  struct statvfs fs;
  if (statvfs(drive.constData(), &fs) != 0)
    return errno == ENOMEDIUM ? Answer::NoMedium : Answer::Absent;
  // A file bind-mounted over another (containers do that) is no drive.
  struct stat st;
  return stat(drive.constData(), &st) == 0 && S_ISDIR(st.st_mode) ? Answer::Ready : Answer::Absent;
}

QList<QByteArray> AvailDrives(DriveProbe& probe) {
  QList<QByteArray> drives{probe.currentDrive()};
  for (const QByteArray& drive : probe.candidates()) {
    if (drives.contains(drive)) continue;  // each volume once, the current one too
    if (probe.probe(drive) != DriveProbe::Answer::Absent) drives.append(drive);
  }
  std::sort(drives.begin(), drives.end());
  return drives;
}

QList<QByteArray> AvailDrives() {
  SystemDriveProbe probe;
  return AvailDrives(probe);
}
