// SPDX-License-Identifier: MIT
#include "acquire.h"

#include <cmath>

#include "capabilities.h"
#include "dib_table.h"
#include "gui.h"
#include "image_file.h"
#include "log.h"
#include "settings.h"

namespace eztw {

namespace {

Session& S() { return Session::instance(); }

// Steps down to the given state, releasing what was taken on the way up.
void returnTo(int target) {
  Session& s = S();
  if (s.state() >= kStateSourceEnabled && target < kStateSourceEnabled) s.disable();
  if (s.state() >= kStateSourceOpen && target < kStateSourceOpen) s.closeSource();
  if (s.state() >= kStateManagerOpen && target < kStateManagerOpen) s.closeManager();
  if (s.state() >= kStateManagerLoaded && target < kStateManagerLoaded) s.unloadManager();
}

// The remembered source straight by name; when that fails, or none is
// remembered, the first device found.
bool openDefault() {
  Session& s = S();
  if (!s.openManager()) return false;
  const RememberedSource chosen = loadDefaultSource();
  if (!chosen.deviceName.empty() && s.openSourceNamed(chosen.deviceName)) return true;
  const auto list = s.devices();
  if (list.empty()) {
    s.recordError(kErrNoSource, kCcNoDs);
    return false;
  }
  return s.openSource(list.front());
}

// Applies the allowed pixel types: keeps the current one when it is allowed.
void negotiatePixelTypes(int32_t mask) {
  Device* d = S().device();
  if (!d || mask <= 0) return;
  const auto current = pixelType(*d);
  if (current && (mask & (1 << *current))) return;
  for (int t = kPtBw; t <= kPtRgb; ++t)
    if ((mask & (1 << t)) && setPixelType(*d, t)) return;
}

FileFormat formatOf(SaveFormat code) {
  return code == kSaveJfif ? FileFormat::Jpeg : FileFormat::Bmp;
}

constexpr Status kFileRefused{kRcFailure, kCcFileWriteError, kErrFile};
constexpr Status kNoMemory{kRcFailure, kCcLowMemory, kErrNoMemory};

}  // namespace

bool uiShown() { return !S().settings.hideUI && ui::available(); }

void reportFailure(int32_t hwnd) {
  Session& s = S();
  if (s.settings.suppressErrors || s.errors.lastError == kErrCancelled) return;
  ui::message(hwnd, std::string("Scanning failed: ") + lastErrorText(s.errors.lastError),
              s.settings.appTitle);
}

bool openSource(const char* name) {
  Session& s = S();
  bool ok = false;
  ui::whileWorking([&] { ok = name && *name ? s.openSourceNamed(name) : openDefault(); });
  return ok;
}

bool enableSource(int32_t hwnd) {
  Session& s = S();
  if (!s.enable()) return false;
  if (uiShown() && !ui::sourceDialog(hwnd, *s.device(),
                                     s.settings.appTitle + " - " + s.sourceInfo().sourceName())) {
    s.disable();
    s.errors.userClosedSource = true;
    s.recordError(kErrCancelled, kCcSuccess, kRcCancel);
    return false;
  }
  return true;
}

bool transferPage(int32_t hwnd, const Destination& to, bool mayContinue) {
  Session& s = S();
  if (s.state() != kStateSourceEnabled && s.state() != kStateTransferReady) {
    s.recordError(kErrSequence, kCcSeqError);
    return false;
  }
  Device& d = *s.device();
  to.sink.xdpi = static_cast<int32_t>(std::lround(resolution(d, false)));
  to.sink.ydpi = static_cast<int32_t>(std::lround(resolution(d, true)));
  TransferProgress progress;
  progress.interrupt = [&api = d.api(), h = d.handle()] { api.cancel(h); };
  const bool show = s.settings.indicators && ui::available();
  const Status r = ui::runTransfer(hwnd, show, s.settings.appTitle, progress,
                                   [&] { return s.transfer(progress, to, mayContinue); });
  return r.error == kErrNone;
}

int32_t waitForNativeXfer(int32_t hwnd) {
  DibSink sink;
  if (!transferPage(hwnd, {sink, kNoMemory}, true)) return 0;
  auto dib = sink.take();
  logf("  image %dx%d, %d bits, %d dpi", dib->width(), dib->height(), dib->depth(), dib->xDpi());
  return storeDib(std::move(dib));
}

bool acquireInto(int32_t hwnd, int32_t pixelTypes, const Destination& to) {
  Session& s = S();
  const int start = s.state();
  if (start == kStateTransferring) {
    s.recordError(kErrSequence, kCcSeqError);
    return false;
  }
  bool ok = start >= kStateSourceOpen || openSource(nullptr);
  if (ok) negotiatePixelTypes(pixelTypes ? pixelTypes : s.settings.pixelTypes);
  if (ok && s.state() == kStateSourceOpen) ok = enableSource(hwnd);
  // A one-call acquisition leaves no sheet pending behind it unless asked.
  const bool mayContinue = start >= kStateTransferReady || s.settings.multiTransfer;
  if (ok) ok = transferPage(hwnd, to, mayContinue);
  returnTo(start);
  if (ok)
    s.recordSuccess();
  else
    reportFailure(hwnd);
  return ok;
}

std::unique_ptr<Dib> acquireDib(int32_t hwnd, int32_t pixelTypes) {
  DibSink sink;
  if (!acquireInto(hwnd, pixelTypes, {sink, kNoMemory})) return nullptr;
  return sink.take();
}

int32_t writeDibFile(int32_t hwnd, const Dib& dib, const char* fileName, SaveFormat format) {
  if (!fileName) return kFileOpenError;
  std::string path = fileName;
  if (path.empty()) {
    if (!ui::available()) return kFileOpenError;
    auto chosen = ui::askSaveFile(hwnd, formatOf(format), S().settings.appTitle);
    if (!chosen) return kSaveCancelled;
    path = *chosen;
  }
  return writeImageFile(dib, path.c_str(), formatOf(format), S().settings.jpegQuality);
}

int32_t acquireToFile(int32_t hwnd, const char* fileName, SaveFormat format) {
  Session& s = S();
  if (!fileName) {
    s.recordError(kErrFile, kCcBadValue);
    return kFileOpenError;
  }
  std::string path = fileName;
  if (path.empty()) {
    if (!ui::available()) {
      s.recordError(kErrFile, kCcBadValue);
      return kFileOpenError;
    }
    auto chosen = ui::askSaveFile(hwnd, formatOf(format), s.settings.appTitle);
    if (!chosen) {
      s.recordError(kErrCancelled, kCcSuccess, kRcCancel);
      return kSaveCancelled;
    }
    path = *chosen;
  }
  // The file is opened before scanning: a bad name costs no scan.
  std::vector<char> buffer(std::size_t{1} << 20);
  PendingFile file;
  if (file.open(path) != kFileOk) {
    s.recordError(kErrFile, kCcFileWriteError);
    return kFileOpenError;
  }
  std::setvbuf(file.stream(), buffer.data(), _IOFBF, buffer.size());
  auto sink = makeFileSink(formatOf(format), file.stream(), s.settings.jpegQuality);
  const bool scanned = acquireInto(hwnd, 0, {*sink, kFileRefused});
  sink.reset();
  int32_t rc = kAcquireFailed;
  if (scanned) {
    rc = file.commit();
    if (rc != kFileOk) s.recordError(kErrFile, kCcFileWriteError);
  } else if (s.errors.lastError == kErrFile) {
    rc = kFileWriteError;
  }
  logf("  file %s: %d", path.c_str(), rc);
  return rc;
}

bool acquireToClipboard(int32_t hwnd, int32_t pixelTypes) {
  auto dib = acquireDib(hwnd, pixelTypes);
  return dib && ui::putOnClipboard(*dib);
}

bool selectSourceInteractive(int32_t hwnd) {
  Session& s = S();
  if (!ui::available()) {
    // Nobody to ask: the default stays, if there is one.
    DeviceInfo current;
    if (s.defaultSource(current)) return true;
    s.recordError(kErrNoSource, kCcNoDs);
    return false;
  }
  const RememberedSource remembered = loadDefaultSource();
  const auto chosen = ui::selectSource(hwnd, s, remembered.deviceName, s.settings.appTitle);
  if (!chosen) {
    const auto known = s.knownDevices();
    if (known && known->empty())
      s.recordError(kErrNoSource, kCcNoDs);
    else
      s.recordError(kErrCancelled, kCcSuccess, kRcCancel);
    return false;
  }
  s.setDefaultSource(*chosen);
  return true;
}

bool startSourceList() {
  bool ok = false;
  ui::whileWorking([&] { ok = S().startEnumeration(); });
  return ok;
}

bool defaultSourceName(std::string& out) {
  DeviceInfo info;
  bool found = false;
  ui::whileWorking([&] { found = S().defaultSource(info); });
  out = found ? info.sourceName() : std::string();
  return found;
}

}  // namespace eztw
