// SPDX-License-Identifier: GPL-2.0-or-later
// The program's one way of showing a modal message box. Every layer reports
// through the sink installed here, so that a test can record all of them and
// the program shows them alike.
#ifndef SORRELBY_IMAGING_MESSAGESINK_H
#define SORRELBY_IMAGING_MESSAGESINK_H

#include <QString>
#include <functional>

namespace imaging {

using MessageSink = std::function<void(const QString& text, const QString& title)>;

// Installs `sink`; an empty one brings back the default, showMessageBox.
void setMessageSink(MessageSink sink);
// Shows `text` with `title` through the current sink. A sink that throws does
// not end the caller.
void showMessage(const QString& text, const QString& title = QString());
// The default sink: a modal box showing `text` as plain text, titled `title`
// ("Sorrelby" when empty), that returns when the user has closed it.
void showMessageBox(const QString& text, const QString& title);

}  // namespace imaging

#endif
