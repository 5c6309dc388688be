#include "messages.h"

#include <QMessageBox>
#include <QString>

namespace sorrelby {
namespace {

quillmere::MessageSink& currentSink() {
  static quillmere::MessageSink sink = showMessageBox;
  return sink;
}

}  // namespace

void showMessageBox(const std::string& text, const std::string& title) {
  // Texts are 8-bit; names from the library may carry anything, so they are
  // shown as plain text, never interpreted as markup.
  QMessageBox box(QMessageBox::NoIcon,
                  title.empty() ? QStringLiteral("Sorrelby") : QString::fromLocal8Bit(title),
                  QString::fromLocal8Bit(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void installMessageSink(quillmere::MessageSink sink) {
  if (!sink) sink = showMessageBox;
  currentSink() = sink;
  quillmere::setMessageSink(std::move(sink));
}

void message(const std::string& text, const std::string& title) {
  try {
    currentSink()(text, title);
  } catch (...) {
    // A failing sink must not end the command that reports.
  }
}

}  // namespace sorrelby
