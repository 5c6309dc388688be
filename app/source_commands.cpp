#include <quillmere/eztw32fu.h>

#include "commands.h"
#include "messages.h"

using sorrelby::message;

void selectds() {
  // The library chooses its own parent for the selection window.
  if (!eztw32_SelectImageSource()) message("can't select image source");
}

void currentds() { message(eztw32_GetSourceName()); }

void defaultds() { message(eztw32_GetDefaultSourceName()); }
