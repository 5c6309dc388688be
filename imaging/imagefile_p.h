// SPDX-License-Identifier: GPL-2.0-or-later
// Internal helpers of the imaging layer for reading image files.
#ifndef SORRELBY_IMAGING_IMAGEFILE_P_H
#define SORRELBY_IMAGING_IMAGEFILE_P_H

#include <QByteArray>

class QFile;

namespace imaging {

// Opens the regular file `name` (raw bytes) for reading into `file`; false for
// anything else, directories and devices included.
bool openRegularFile(const QByteArray& name, QFile& file);

}  // namespace imaging

#endif
