// SPDX-License-Identifier: GPL-2.0-or-later
// Image file names and what their names say about them.
#ifndef SORRELBY_IMAGING_IMAGEFILE_H
#define SORRELBY_IMAGING_IMAGEFILE_H

#include <QByteArray>
#include <optional>

namespace imaging {

// A file name as the file system holds it: 8-bit bytes, not necessarily valid
// UTF-8, or no value at all. Turn a QString into one with QFile::encodeName.
using FileName = std::optional<QByteArray>;

enum class FileKind { None, Bitmap, Metafile };

// What the name says: a bitmap when its upper-cased form contains ".BMP",
// ".GIF", ".JPG" or ".PNG" anywhere (folder names included), else a metafile
// when it contains ".EMF" or ".MET". Bitmap names win.
FileKind kindOfName(const QByteArray& name);

// Whether a file or folder of that name exists.
bool fileExists(const QByteArray& name);

}  // namespace imaging

#endif
