// Modal message boxes of the imaging layer go through one replaceable sink so
// that tests can record them.
#ifndef SORRELBY_IMAGING_MESSAGESINK_H
#define SORRELBY_IMAGING_MESSAGESINK_H

#include <QString>
#include <functional>

namespace imaging {

using MessageSink = std::function<void(const QString& text, const QString& title)>;

// Installs `sink`; an empty one brings back the default, a QMessageBox.
void setMessageSink(MessageSink sink);
// Shows `text` with `title` through the current sink.
void showMessage(const QString& text, const QString& title);

}  // namespace imaging

#endif
