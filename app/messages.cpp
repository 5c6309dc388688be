// SPDX-License-Identifier: GPL-2.0-or-later
#include "messages.h"

#include <QString>

#include "messagesink.h"

namespace sorrelby {

void installMessageSink(quillmere::MessageSink sink) {
  if (sink)
    imaging::setMessageSink([sink](const QString& text, const QString& title) {
      sink(text.toLocal8Bit().toStdString(), title.toLocal8Bit().toStdString());
    });
  else
    imaging::setMessageSink({});
  // The wrapper's boxes take the same road.
  quillmere::setMessageSink(message);
}

void message(const std::string& text, const std::string& title) {
  imaging::showMessage(QString::fromLocal8Bit(text), QString::fromLocal8Bit(title));
}

}  // namespace sorrelby
