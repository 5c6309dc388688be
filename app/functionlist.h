// SPDX-License-Identifier: GPL-2.0-or-later
// The function list viewer: shows a text file that lists wrapper functions
// in a window of its own, running an event loop of its own until the window
// is closed or the quit event arrives.
#ifndef SORRELBY_FUNCTIONLIST_H
#define SORRELBY_FUNCTIONLIST_H

#include <QString>

#include <string>

// Shows the file cXFile in a window titled cTitle and returns when the
// window has closed; shows "Dateifehler" instead when the file is missing,
// unreadable or holds only blanks and line breaks. Edits are not saved.
void showfunctionlist(const std::string& cXFile, const std::string& cTitle);

namespace sorrelby {

// Where a function list file is read from: a bare name resolves against the
// current directory, and, when it is not there, against the folder of the
// executable, where the lists are shipped.
QString functionListPath(const std::string& cXFile);

}  // namespace sorrelby

#endif
