// SPDX-License-Identifier: GPL-2.0-or-later
#include "icons.h"

#include <QString>

namespace icons {

QIcon byNumber(int number) {
  switch (number) {
    case Drive:
      return QIcon(QStringLiteral(":/icons/icon100-drive.png"));
    case OpenFolder:
      return QIcon(QStringLiteral(":/icons/icon101-open-folder.png"));
    case ClosedFolder:
      return QIcon(QStringLiteral(":/icons/icon102-closed-folder.png"));
    default:
      return QIcon();
  }
}

}  // namespace icons
