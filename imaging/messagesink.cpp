// SPDX-License-Identifier: GPL-2.0-or-later
#include "messagesink.h"

#include <QMessageBox>

namespace imaging {

namespace {

MessageSink& sink() {
  static MessageSink current = showMessageBox;
  return current;
}

}  // namespace

void setMessageSink(MessageSink newSink) {
  sink() = newSink ? std::move(newSink) : MessageSink(showMessageBox);
}

void showMessage(const QString& text, const QString& title) {
  try {
    sink()(text, title);
  } catch (...) {
    // A failing sink must not end the command that reports.
  }
}

void showMessageBox(const QString& text, const QString& title) {
  // Names from files and the library may carry anything: shown as plain
  // text, never interpreted as markup.
  QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QStringLiteral("Sorrelby") : title, text,
                  QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace imaging
