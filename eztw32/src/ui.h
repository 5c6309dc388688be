// The library's own windows, in Qt: source selection, the source's user
// interface, the progress window, the save dialog, message boxes and the
// clipboard. In a process without a QApplication none of them appears:
// selection keeps the default, the source's interface counts as hidden,
// messages go to standard error and the clipboard is kept in the process.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device.h"
#include "dib.h"
#include "image_file.h"
#include "transfer.h"

namespace eztw::ui {

// Object names by which tests find the windows.
inline constexpr const char* kSelectDialog = "eztw32SelectSource";
inline constexpr const char* kSourceDialog = "eztw32SourceDialog";
inline constexpr const char* kProgress = "eztw32Progress";
inline constexpr const char* kSaveDialog = "eztw32SaveDialog";
inline constexpr const char* kMessageBox = "eztw32Message";

// True when a QApplication exists and this is its thread.
bool available();

// Index of the chosen source, -1 when cancelled.
int selectSource(int32_t hwnd, const std::vector<std::string>& names, int current,
                 const std::string& title);
// The device's main options with Scan and Cancel; true for Scan.
bool sourceDialog(int32_t hwnd, Device& device, const std::string& title);
// Runs work; with a GUI on a worker thread while a progress window with
// Cancel shows once the transfer takes longer than a moment.
TransferResult runTransfer(int32_t hwnd, bool showProgress, const std::string& title,
                           TransferProgress& progress, const std::function<TransferResult()>& work);
// The file name chosen, nullopt when the user cancelled.
std::optional<std::string> askSaveFile(int32_t hwnd, FileFormat format, const std::string& title);
void message(int32_t hwnd, const std::string& text, const std::string& title);

bool putOnClipboard(const Dib& dib);
std::unique_ptr<Dib> takeFromClipboard();

}  // namespace eztw::ui
