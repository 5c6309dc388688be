// Acquisition over the session and the windows: enabling with the source's
// user interface, native transfers with progress, and the one-call
// acquisitions that open what they need and leave the state as they found it.
#pragma once

#include <cstdint>
#include <memory>

#include "dib.h"
#include "image_file.h"
#include "session.h"

namespace eztw {

bool uiShown();  // the source's interface shows: not hidden, and a GUI exists
bool enableSource(int32_t hwnd);
int32_t waitForNativeXfer(int32_t hwnd);
// With a sink, a page that can be streamed goes into it and *streamed is
// set; the result is then null although the transfer succeeded.
std::unique_ptr<Dib> transferDib(int32_t hwnd, RowSink* sink = nullptr, bool* streamed = nullptr);
std::unique_ptr<Dib> acquireDib(int32_t hwnd, int32_t pixelTypes, RowSink* sink = nullptr,
                                bool* streamed = nullptr);
// Result code: 0, -1, -2, -3, -4 or -10.
int32_t acquireToFile(int32_t hwnd, const char* fileName, int format);
bool acquireToClipboard(int32_t hwnd, int32_t pixelTypes);
bool selectSourceInteractive(int32_t hwnd);
// Shows the library's error box for the last failure unless suppressed.
void reportFailure(int32_t hwnd);
// Writes a DIB in a save format (2 BMP, 4 JPEG); empty name asks the user.
int32_t writeDibFile(int32_t hwnd, const Dib& dib, const char* fileName, int format);

}  // namespace eztw
