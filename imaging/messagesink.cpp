#include "messagesink.h"

#include <QMessageBox>

namespace imaging {

namespace {

MessageSink& sink() {
  static MessageSink current;
  return current;
}

}  // namespace

void setMessageSink(MessageSink newSink) { sink() = std::move(newSink); }

void showMessage(const QString& text, const QString& title) {
  if (sink()) {
    sink()(text, title);
    return;
  }
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
  box.exec();
}

}  // namespace imaging
