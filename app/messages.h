// Modal message boxes. The wrapper and the commands share one replaceable
// sink; the program installs a QMessageBox sink, tests install a recorder.
#ifndef SORRELBY_MESSAGES_H
#define SORRELBY_MESSAGES_H

#include <quillmere/eztw32fu.h>

#include <string>

namespace sorrelby {

// Shows `text` in a modal box with `title` (a default title when empty) and
// returns when the user has closed it.
void showMessageBox(const std::string& text, const std::string& title);

// Makes `sink` show every message, the wrapper's and the program's.
void installMessageSink(quillmere::MessageSink sink);

// Shows one message through the installed sink.
void message(const std::string& text, const std::string& title = {});

}  // namespace sorrelby

#endif
