// SPDX-License-Identifier: MIT
// The library's own windows: source selection, the source's user
// interface, the progress window, the save dialog, message boxes and the
// clipboard. They come from the Qt plugin (ui/plugin_api.h), loaded only when the
// calling thread is the GUI thread of a running QApplication; this library
// itself links no Qt. Without one no window appears: selection keeps the
// default, the source's interface counts as hidden, messages go to
// standard error and the clipboard is kept in the process.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device.h"
#include "dib.h"
#include "image_file.h"
#include "session.h"
#include "transfer.h"

namespace eztw::ui {

// True when a QApplication exists, this is its thread and the windows
// plugin is there.
bool available();

// Runs work on a thread of its own while the GUI keeps repainting; a busy
// cursor shows once it takes longer than a moment. Without a GUI it runs
// here.
void whileWorking(const std::function<void()>& work);
// Opens at once and lists the session's devices as the search finds them,
// with Refresh; current names the device to preselect. The chosen device,
// nullopt when cancelled or none was found.
std::optional<DeviceInfo> selectSource(int32_t hwnd, Session& session, const std::string& current,
                                       const std::string& title);
// The device's main options with Scan and Cancel; true for Scan.
bool sourceDialog(int32_t hwnd, Device& device, const std::string& title);
// Runs a transfer; with a GUI on a worker thread, with a busy cursor and,
// when asked, a progress window with Cancel once it takes longer than a
// moment.
Status runTransfer(int32_t hwnd, bool showProgress, const std::string& title,
                   TransferProgress& progress, const std::function<Status()>& work);
// The file name chosen, nullopt when the user cancelled.
std::optional<std::string> askSaveFile(int32_t hwnd, FileFormat format, const std::string& title);
void message(int32_t hwnd, const std::string& text, const std::string& title);

bool putOnClipboard(const Dib& dib);
std::unique_ptr<Dib> takeFromClipboard();

}  // namespace eztw::ui
