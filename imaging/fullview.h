// SPDX-License-Identifier: GPL-2.0-or-later
// The full-size image window.
#ifndef SORRELBY_IMAGING_FULLVIEW_H
#define SORRELBY_IMAGING_FULLVIEW_H

#include "imagefile.h"

// Opens a new window of its own showing `cFile` (a bitmap at its own size as
// far as the desktop allows, a metafile at 600 x 400), centred on the desktop,
// and returns at once. The window deletes itself when the user closes it. A
// name of no image kind, "" or no value opens nothing.
void FullView(const imaging::FileName& cFile);

#endif
