// SPDX-License-Identifier: MIT
#include "gui.h"

#include <dlfcn.h>
#include <sane/saneopts.h>

#include <cstdio>
#include <exception>
#include <mutex>

#include "beside.h"
#include "capabilities.h"
#include "log.h"
#include "plugin_api.h"

namespace eztw::ui {

namespace {

// Qt Widgets as a running QApplication has it loaded; the plugin is looked
// for only then, so a program without Qt never maps any of it.
constexpr const char* kQtWidgets = "libQt6Widgets.so.6";

// The plugin's windows once Qt is in the process, else null. Loaded once
// and never unloaded: Qt keeps references into a plugin's code (event
// filters, timers) that it does not give back on request.
Windows* plugin() {
  static std::mutex mutex;
  static Windows* windows = nullptr;
  static bool tried = false;
  std::lock_guard lock(mutex);
  if (tried) return windows;
  void* qt = ::dlopen(kQtWidgets, RTLD_NOLOAD | RTLD_LAZY);
  if (!qt) return nullptr;  // not yet: Qt may be loaded later
  ::dlclose(qt);
  tried = true;
  const std::string path = besideLibrary(kPluginFile);
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto entry = handle ? reinterpret_cast<EntryPoint>(::dlsym(handle, kEntryPoint)) : nullptr;
  windows = entry ? entry(kInterfaceVersion) : nullptr;
  if (!windows) {
    // dlerror names the file; an entry point that refuses has said why.
    const char* error = handle ? nullptr : ::dlerror();
    const std::string why = error ? error : path + ": no usable entry point";
    std::fprintf(stderr, "eztw32: no windows: %s\n", why.c_str());
    logf("windows plugin not loaded: %s", why.c_str());
  }
  return windows;
}

// The windows when this thread may show them, else null.
Windows* gui() {
  Windows* w = plugin();
  return w && w->onGuiThread() ? w : nullptr;
}

// Work handed to the windows, with its exception carried back to this side
// of the plugin boundary.
template <typename F>
class Guarded final : public Task {
 public:
  explicit Guarded(F& work) : work_(work) {}
  void run() override {
    try {
      work_();
    } catch (...) {
      failure_ = std::current_exception();
    }
  }
  void rethrow() const {
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  F& work_;
  std::exception_ptr failure_;
};

// The session's device search as the selection dialog sees it.
class SessionSearch final : public DeviceSearch {
 public:
  explicit SessionSearch(Session& session) : session_(session) {}
  void start(bool refresh) override { session_.startDiscovery(refresh); }
  bool running() const override { return session_.discovering(); }
  std::vector<SourceEntry> found() const override {
    const auto known = session_.knownDevices();
    shown_ = known ? *known : std::vector<DeviceInfo>{};
    std::vector<SourceEntry> entries;
    for (const auto& d : shown_) entries.push_back({d.name, d.sourceName()});
    return entries;
  }
  // The device of that name among those last handed out.
  std::optional<DeviceInfo> shown(const std::string& name) const {
    for (const auto& d : shown_)
      if (d.name == name) return d;
    return std::nullopt;
  }

 private:
  Session& session_;
  mutable std::vector<DeviceInfo> shown_;
};

class ProgressWatch final : public TransferWatch {
 public:
  explicit ProgressWatch(TransferProgress& progress) : progress_(progress) {}
  long long linesRead() const override { return progress_.linesRead; }
  long long linesExpected() const override { return progress_.linesExpected; }
  bool cancelRequested() const override { return progress_.cancel; }
  void cancel() override {
    if (!progress_.cancel.exchange(true) && progress_.interrupt) progress_.interrupt();
  }

 private:
  TransferProgress& progress_;
};

SourceSettings settingsOf(const Device& device) {
  SourceSettings s;
  s.modes = device.choices(SANE_NAME_SCAN_MODE);
  s.mode = device.text(SANE_NAME_SCAN_MODE).value_or("");
  s.depths = device.numberChoices(SANE_NAME_BIT_DEPTH);
  s.depth = device.number(SANE_NAME_BIT_DEPTH).value_or(8);
  if (const auto r = device.range(SANE_NAME_SCAN_RESOLUTION)) {
    s.minResolution = r->min;
    s.maxResolution = r->max;
  }
  s.resolution = resolution(device, false);
  s.sources = device.choices(SANE_NAME_SCAN_SOURCE);
  s.source = device.text(SANE_NAME_SCAN_SOURCE).value_or("");
  const auto area = scanArea(device);
  const auto maxArea = maxScanArea(device);
  if (area && maxArea) {
    s.area = AreaMm{area->l, area->t, area->r, area->b};
    s.maxArea = AreaMm{maxArea->l, maxArea->t, maxArea->r, maxArea->b};
  }
  return s;
}

void apply(Device& device, const SourceSettings& s) {
  // Mode first: it may change which other options are active.
  if (!s.modes.empty()) device.setText(SANE_NAME_SCAN_MODE, s.mode);
  if (!s.depths.empty() && device.settable(SANE_NAME_BIT_DEPTH))
    device.setNumber(SANE_NAME_BIT_DEPTH, s.depth);
  setResolution(device, s.resolution, 0);
  if (!s.sources.empty()) device.setText(SANE_NAME_SCAN_SOURCE, s.source);
  if (s.area) setScanArea(device, {s.area->left, s.area->top, s.area->right, s.area->bottom});
}

// Clipboard of a process without a GUI: kept here so that the library's own
// calls still meet.
std::mutex localClipMutex;
std::unique_ptr<Dib> localClip;

}  // namespace

bool available() { return gui() != nullptr; }

void whileWorking(const std::function<void()>& work) {
  Windows* w = gui();
  if (!w) return work();
  Guarded task(work);
  w->whileWorking(task);
  task.rethrow();
}

std::optional<DeviceInfo> selectSource(int32_t hwnd, Session& session, const std::string& current,
                                       const std::string& title) {
  Windows* w = gui();
  if (!w) return std::nullopt;
  SessionSearch search(session);
  const auto chosen = w->selectSource(hwnd, search, current, title);
  return chosen ? search.shown(*chosen) : std::nullopt;
}

bool sourceDialog(int32_t hwnd, Device& device, const std::string& title) {
  Windows* w = gui();
  if (!w) return true;
  const auto chosen = w->sourceDialog(hwnd, settingsOf(device), title);
  if (!chosen) return false;
  apply(device, *chosen);
  return true;
}

Status runTransfer(int32_t hwnd, bool showProgress, const std::string& title,
                   TransferProgress& progress, const std::function<Status()>& work) {
  Status result{};
  auto run = [&] { result = work(); };
  Windows* w = gui();
  if (!w) {
    run();
  } else {
    Guarded task(run);
    ProgressWatch watch(progress);
    w->runTransfer(hwnd, showProgress, title, watch, task);
    task.rethrow();
  }
  progress.done = true;
  return result;
}

std::optional<std::string> askSaveFile(int32_t hwnd, FileFormat format, const std::string& title) {
  Windows* w = gui();
  if (!w) return std::nullopt;
  return w->askSaveFile(hwnd, format == FileFormat::Jpeg ? SaveKind::Jpeg : SaveKind::Bmp, title);
}

void message(int32_t hwnd, const std::string& text, const std::string& title) {
  if (Windows* w = gui()) return w->message(hwnd, text, title);
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

bool putOnClipboard(const Dib& dib) {
  if (Windows* w = gui()) return w->putOnClipboard(bmpFileBytes(dib));
  std::lock_guard lock(localClipMutex);
  localClip = dib.clone();
  return true;
}

std::unique_ptr<Dib> takeFromClipboard() {
  if (Windows* w = gui()) {
    const auto bmp = w->takeFromClipboard();
    return bmp.empty() ? nullptr : decodeBmp(bmp.data(), bmp.size()).dib;
  }
  std::lock_guard lock(localClipMutex);
  return localClip ? localClip->clone() : nullptr;
}

}  // namespace eztw::ui
