// SPDX-License-Identifier: GPL-2.0-or-later
#include <quillmere/eztw32fu.h>

#include "commands.h"
#include "mainview.h"
#include "messages.h"

using sorrelby::message;

void selectds() {
  // The library chooses its own parent for the selection window.
  if (!eztw32_SelectImageSource()) {
    sorrelby::reportStatus("No image source selected");
    message("can't select image source");
    return;
  }
  sorrelby::reportStatus("Image source selected: " + eztw32_GetDefaultSourceName());
}

void currentds() { message(eztw32_GetSourceName()); }

void defaultds() { message(eztw32_GetDefaultSourceName()); }
