// SPDX-License-Identifier: GPL-2.0-or-later
#include "userevents.h"

#include <QCoreApplication>

namespace userevents {

void post(Number number, const QByteArray& path, const QObject* source) {
  if (QCoreApplication* app = QCoreApplication::instance())
    QCoreApplication::postEvent(app, new PathEvent(number, path, source));
}

}  // namespace userevents
