// SPDX-License-Identifier: MIT
// The boundary between the library and its windows plugin (libeztw32-qt.so).
// The library loads the plugin only inside a running QApplication and asks
// it for one Windows object through a single C entry point. Everything that
// crosses is plain data or an interface the library implements, so the
// plugin needs Qt and nothing of the library's sessions, devices or codecs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace eztw::ui {

// The plugin's file name, found beside the library, and its entry point.
inline constexpr const char* kPluginFile = "libeztw32-qt.so";
inline constexpr const char* kEntryPoint = "eztw32_qt_windows";
// Raised whenever an interface below changes, so that a stale plugin
// installed beside a newer library is refused instead of misread.
inline constexpr int kInterfaceVersion = 1;

// Object names by which tests find the windows and their parts.
inline constexpr const char* kSelectDialog = "eztw32SelectSource";
inline constexpr const char* kSourceDialog = "eztw32SourceDialog";
inline constexpr const char* kProgress = "eztw32Progress";
inline constexpr const char* kSaveDialog = "eztw32SaveDialog";
inline constexpr const char* kMessageBox = "eztw32Message";
inline constexpr const char* kSourceList = "sources";
inline constexpr const char* kSearchStatus = "searchStatus";
inline constexpr const char* kRefreshButton = "refreshButton";

// Work the windows run on a thread of their own while the GUI keeps
// painting. run() throws nothing.
class Task {
 public:
  virtual void run() = 0;

 protected:
  ~Task() = default;
};

// A device as the selection dialog lists it.
struct SourceEntry {
  std::string device;  // SANE device name, what a choice returns
  std::string label;   // the readable source name shown
};

// The device search behind the selection dialog; called on the GUI thread.
class DeviceSearch {
 public:
  // Starts a search on a thread of its own unless one runs; refresh asks
  // the devices again instead of taking a cached list.
  virtual void start(bool refresh) = 0;
  virtual bool running() const = 0;
  // The devices found by the last search that has landed.
  virtual std::vector<SourceEntry> found() const = 0;

 protected:
  ~DeviceSearch() = default;
};

// Scan area in millimetres.
struct AreaMm {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// The source's main options as its dialog shows and returns them. An empty
// list of choices means the device lacks that option.
struct SourceSettings {
  std::vector<std::string> modes;
  std::string mode;
  std::vector<double> depths;
  double depth = 8;
  double minResolution = 1, maxResolution = 9600, resolution = 100;
  std::vector<std::string> sources;
  std::string source;
  std::optional<AreaMm> area, maxArea;  // both or neither
};

// A running transfer as its progress window sees it; read from the GUI
// thread while the transfer runs on another.
class TransferWatch {
 public:
  virtual long long linesRead() const = 0;
  virtual long long linesExpected() const = 0;  // -1 while the height is unknown
  virtual bool cancelRequested() const = 0;
  // Ends the transfer as cancelled, interrupting a read that waits for the
  // device.
  virtual void cancel() = 0;

 protected:
  ~TransferWatch() = default;
};

enum class SaveKind { Bmp, Jpeg };

// The windows. Every call but onGuiThread() is made on the QApplication's
// thread, and only when onGuiThread() said so. hwnd names the window a
// dialog belongs to (0: the application's active one).
class Windows {
 public:
  // True when a QApplication runs and the calling thread is its thread.
  virtual bool onGuiThread() const = 0;
  // Runs task on a thread while the GUI repaints, with a busy cursor once
  // it takes longer than a moment; returns when task has ended.
  virtual void whileWorking(Task& task) = 0;
  // Opens at once, lists what the search finds, offers Refresh; current
  // names the device to preselect. The chosen device, nullopt when
  // cancelled or none was found.
  virtual std::optional<std::string> selectSource(int32_t hwnd, DeviceSearch& search,
                                                  const std::string& current,
                                                  const std::string& title) = 0;
  // The source's dialog with Scan and Cancel: the settings chosen, nullopt
  // for Cancel.
  virtual std::optional<SourceSettings> sourceDialog(int32_t hwnd, const SourceSettings& now,
                                                     const std::string& title) = 0;
  // Runs task like whileWorking; with showProgress a progress window with
  // Cancel appears once the transfer takes longer than a moment.
  virtual void runTransfer(int32_t hwnd, bool showProgress, const std::string& title,
                           TransferWatch& watch, Task& task) = 0;
  // The file name chosen, nullopt when the user cancelled.
  virtual std::optional<std::string> askSaveFile(int32_t hwnd, SaveKind kind,
                                                 const std::string& title) = 0;
  virtual void message(int32_t hwnd, const std::string& text, const std::string& title) = 0;
  // The system clipboard, holding an image as the bytes of a BMP file.
  virtual bool putOnClipboard(const std::vector<uint8_t>& bmpFile) = 0;
  // The clipboard's image as a BMP file; empty when it holds none.
  virtual std::vector<uint8_t> takeFromClipboard() = 0;

 protected:
  ~Windows() = default;
};

// The entry point's type: the plugin's Windows for that interface version,
// null for any other version.
using EntryPoint = Windows* (*)(int interfaceVersion);

}  // namespace eztw::ui
