// SPDX-License-Identifier: GPL-2.0-or-later
// Modal message boxes of the program. The wrapper, the commands, the viewer
// and the imaging layer all report through the imaging layer's one sink; the
// program keeps its default (a QMessageBox), tests install a recorder.
#ifndef SORRELBY_MESSAGES_H
#define SORRELBY_MESSAGES_H

#include <quillmere/eztw32fu.h>

#include <string>

namespace sorrelby {

// Makes `sink` show every message of the program, the wrapper's included; an
// empty sink brings back the modal box.
void installMessageSink(quillmere::MessageSink sink);

// Shows one message (8-bit text, optional title) through the sink.
void message(const std::string& text, const std::string& title = {});

}  // namespace sorrelby

#endif
