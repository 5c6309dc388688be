// SPDX-License-Identifier: GPL-2.0-or-later
// Shared helpers of the application tests: a recorder of message boxes and
// a readable form of the calls that reached the test double.
#ifndef SORRELBY_TESTKIT_H
#define SORRELBY_TESTKIT_H

#include <QAction>
#include <QString>
#include <QStringList>

#include <functional>

namespace testkit {

// Messages shown since the last clear(), "text" or "text [title]".
QStringList& messages();
// Installs the recorder; `also` runs after each message is recorded.
void recordMessages(std::function<void()> also = {});

// Calls that reached the double, as "Export(arg,...)": numbers in decimal,
// texts quoted without their zero byte (a text of blanks only as "N blanks"),
// a left-out text as null. The main window's handle, as the first argument
// of an acquisition, is written as $hwnd; the main window's file for the
// image held in memory as $held.
QStringList calls();

// The main window's menu item with this caption ("~" marks the mnemonic).
QAction* menuItem(const QString& caption);

}  // namespace testkit

#endif
