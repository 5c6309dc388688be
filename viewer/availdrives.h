// SPDX-License-Identifier: GPL-2.0-or-later
// The drives the file viewer offers: the mounted volumes that answer, and
// those that report that they hold no medium. A drive's text is the volume's
// root path ("/", "/media/usb").
#ifndef SORRELBY_AVAILDRIVES_H
#define SORRELBY_AVAILDRIVES_H

#include <QByteArray>
#include <QList>

// How the volumes are found and probed; the real one asks the system, tests
// give a fake.
class DriveProbe {
 public:
  enum class Answer { Ready, NoMedium, Absent };
  virtual ~DriveProbe() = default;
  // The drive that holds the current directory.
  virtual QByteArray currentDrive() = 0;
  // The drives that may be there, in no particular order.
  virtual QList<QByteArray> candidates() = 0;
  // Whether the drive answers, reports no medium, or is not there (any other
  // failure). Must leave nothing changed.
  virtual Answer probe(const QByteArray& drive) = 0;
};

// Mounted volumes of real file systems (no pseudo file systems), probed with
// statvfs(); ENOMEDIUM counts as "no medium".
class SystemDriveProbe : public DriveProbe {
 public:
  QByteArray currentDrive() override;
  QList<QByteArray> candidates() override;
  Answer probe(const QByteArray& drive) override;
};

// The available drives, sorted, each once, always including the current one.
// Nothing in the process (current directory included) is changed by the call.
QList<QByteArray> AvailDrives(DriveProbe& probe);
QList<QByteArray> AvailDrives();

#endif
