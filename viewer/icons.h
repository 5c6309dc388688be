// SPDX-License-Identifier: GPL-2.0-or-later
// The program's icons by number: 100 a disk drive, 101 an open folder, 102 a
// closed folder.
#ifndef SORRELBY_ICONS_H
#define SORRELBY_ICONS_H

#include <QIcon>

namespace icons {
enum Number : int { Drive = 100, OpenFolder = 101, ClosedFolder = 102 };
QIcon byNumber(int number);
}  // namespace icons

#endif
