// SPDX-License-Identifier: MIT
// Tests that drive the library through the wrapper end each test by taking
// it back to rest, so the next test starts from a closed source manager.
#pragma once

#include <quillmere/eztw32fu.h>

namespace eztwtest {

// TWAIN states the way down passes through.
enum TwainState : int {
  kPreSession = 1,
  kManagerLoaded = 2,
  kManagerOpen = 3,
  kSourceOpen = 4,
  kSourceEnabled = 5,
};

// Whatever a test left open: disable, close the source, close and unload the
// source manager.
inline void backToRest() {
  for (int state = eztw32_GetTwainState(); state > kPreSession; state = eztw32_GetTwainState()) {
    if (state >= kSourceEnabled)
      eztw32_DisableSource();
    else if (state == kSourceOpen)
      eztw32_CloseSource();
    else if (state == kManagerOpen)
      eztw32_CloseSourceManager();
    else
      eztw32_UnloadSourceManager();
  }
}

}  // namespace eztwtest
