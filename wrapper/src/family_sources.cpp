// SPDX-License-Identifier: MIT
// Wrapper family: see families/sources.inc. Five of these wrappers report a
// result of 0 in a message box.
#include "call.h"

namespace {
using quillmere::detail::defaultNumberText;
using quillmere::detail::showMessage;

void msgSelectImageSource(std::int32_t) {
  showMessage("Error: could not select a Source", "TWAIN_SelectImageSource");
}
void msgOpenSourceManager(std::int32_t r) {
  showMessage("Error: " + defaultNumberText(r) + " could not open Source Manager",
              "TWAIN_OpenSourceManager");
}
void msgCloseSourceManager(std::int32_t) {
  showMessage("Error: Could not close Source Manager", "TWAIN_CloseSourceManager");
}
void msgWaitForNativeXfer(std::int32_t r) {
  showMessage("Result handle: " + defaultNumberText(r), "TWAIN_WaitForNativeXfer");
}
void msgUnloadSourceManager(std::int32_t) {
  showMessage("Error: Could not unload the Source Manager i.e. TWAIN.DLL",
              "TWAIN_UnloadSourceManager");
}
}  // namespace

#define QM_ROW QM_DEFINE_ROW
#include "families/sources.inc"
