// SPDX-License-Identifier: MIT
// Acquisition over the session and the windows: enabling with the source's
// user interface, native transfers with progress, and the one-call
// acquisitions that open what they need and leave the state as they found it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dib.h"
#include "image_file.h"
#include "session.h"

namespace eztw {

bool uiShown();  // the source's interface shows: not hidden, and a GUI exists
bool enableSource(int32_t hwnd);
// Opens a source by name, or the default one for an empty name.
bool openSource(const char* name);
int32_t waitForNativeXfer(int32_t hwnd);
// One transfer into the destination; mayContinue lets a feeder start its
// next sheet. True when the whole page arrived.
bool transferPage(int32_t hwnd, const Destination& to, bool mayContinue);
// One-call acquisition: opens and enables what is needed, transfers one
// page into the destination and steps back to the state it found.
bool acquireInto(int32_t hwnd, int32_t pixelTypes, const Destination& to);
std::unique_ptr<Dib> acquireDib(int32_t hwnd, int32_t pixelTypes);
// Result code: one of FileResult.
int32_t acquireToFile(int32_t hwnd, const char* fileName, SaveFormat format);
bool acquireToClipboard(int32_t hwnd, int32_t pixelTypes);
bool selectSourceInteractive(int32_t hwnd);
bool startSourceList();
bool defaultSourceName(std::string& out);
// Shows the library's error box for the last failure unless suppressed.
void reportFailure(int32_t hwnd);
// Writes a DIB in a save format; an empty name asks the user.
int32_t writeDibFile(int32_t hwnd, const Dib& dib, const char* fileName, SaveFormat format);

}  // namespace eztw
