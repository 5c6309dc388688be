#include "acquire.h"

#include <unistd.h>

#include <cmath>

#include "capabilities.h"
#include "dib_table.h"
#include "image_file.h"
#include "log.h"
#include "ui.h"

namespace eztw {

namespace {

Session& S() { return Session::instance(); }

// Steps down to the given state, releasing what was taken on the way up.
void returnTo(int target) {
  Session& s = S();
  if (s.state() >= 5 && target < 5) s.disable();
  if (s.state() >= 4 && target < 4) s.closeSource();
  if (s.state() >= 3 && target < 3) s.closeManager();
  if (s.state() >= 2 && target < 2) s.unloadManager();
}

bool openDefault() {
  Session& s = S();
  DeviceInfo info;
  if (!s.openManager()) return false;
  if (!s.defaultSource(info)) {
    s.recordError(kErrNoSource, kCcNoDs);
    return false;
  }
  return s.openSource(info);
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

FileFormat formatOf(int code) { return code == 4 ? FileFormat::Jpeg : FileFormat::Bmp; }

}  // namespace

bool uiShown() { return !S().settings.hideUI && ui::available(); }

void reportFailure(int32_t hwnd) {
  Session& s = S();
  if (s.settings.suppressErrors || s.errors.lastError == kErrCancelled) return;
  ui::message(hwnd, std::string("Scanning failed: ") + lastErrorText(s.errors.lastError),
              s.settings.appTitle);
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

int32_t waitForNativeXfer(int32_t hwnd) { return storeDib(transferDib(hwnd)); }

std::unique_ptr<Dib> transferDib(int32_t hwnd, RowSink* sink, bool* streamed) {
  Session& s = S();
  if (s.state() != 5 && s.state() != 6) {
    s.recordError(kErrSequence, kCcSeqError);
    return nullptr;
  }
  Device& d = *s.device();
  const double xdpi = resolution(d, false), ydpi = resolution(d, true);
  TransferProgress progress;
  progress.interrupt = [&api = d.api(), h = d.handle()] { api.cancel(h); };
  if (sink) {
    sink->xdpi = static_cast<int32_t>(std::lround(xdpi));
    sink->ydpi = static_cast<int32_t>(std::lround(ydpi));
    progress.sink = sink;
  }
  const bool show = s.settings.indicators && ui::available();
  TransferResult r = ui::runTransfer(hwnd, show, s.settings.appTitle, progress,
                                     [&] { return s.transfer(progress); });
  if (r.streamed && streamed) *streamed = true;
  if (progress.sinkFailed) s.recordError(kErrFile, kCcFileWriteError);
  if (!r.dib) return nullptr;
  r.dib->setDpi(static_cast<int32_t>(std::lround(xdpi)), static_cast<int32_t>(std::lround(ydpi)));
  logf("  image %dx%d, %d bits, %d dpi", r.dib->width(), r.dib->height(), r.dib->depth(),
       r.dib->xDpi());
  return std::move(r.dib);
}

std::unique_ptr<Dib> acquireDib(int32_t hwnd, int32_t pixelTypes, RowSink* sink, bool* streamed) {
  Session& s = S();
  const int start = s.state();
  if (start == 7) {
    s.recordError(kErrSequence, kCcSeqError);
    return nullptr;
  }
  std::unique_ptr<Dib> dib;
  bool ok = start >= 4 || openDefault();
  if (ok) negotiatePixelTypes(pixelTypes ? pixelTypes : s.settings.pixelTypes);
  if (ok && s.state() == 4) ok = enableSource(hwnd);
  if (ok) {
    dib = transferDib(hwnd, sink, streamed);
  }
  // A one-call acquisition leaves no pages pending behind it.
  if (s.state() == 6 && start < 6 && !s.settings.multiTransfer) s.abortAll();
  returnTo(start);
  // A page streamed into its file comes back without a DIB: that is success.
  if (dib || (streamed && *streamed))
    s.recordSuccess();
  else
    reportFailure(hwnd);
  return dib;
}

int32_t writeDibFile(int32_t hwnd, const Dib& dib, const char* fileName, int format) {
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

int32_t acquireToFile(int32_t hwnd, const char* fileName, int format) {
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
  // Pages of known height stream into the file; others come back as a DIB.
  auto sink = makeFileSink(formatOf(format), file.stream(), s.settings.jpegQuality);
  bool streamed = false;
  auto dib = acquireDib(hwnd, 0, sink.get(), &streamed);
  if (streamed) {
    sink.reset();
    const int32_t rc = file.commit();
    if (rc != kFileOk) s.recordError(kErrFile, kCcFileWriteError);
    logf("  file %s: %d", path.c_str(), rc);
    return rc;
  }
  if (!dib) return s.errors.lastError == kErrFile ? kFileWriteError : kAcquireFailed;
  // A sink that declined may have written a header: start the file afresh.
  std::fflush(file.stream());
  if (::ftruncate(::fileno(file.stream()), 0) != 0) return kFileWriteError;
  std::rewind(file.stream());
  int32_t rc = formatOf(format) == FileFormat::Jpeg
                   ? encodeJpeg(*dib, s.settings.jpegQuality, file.stream())
                   : encodeBmp(*dib, file.stream());
  if (rc == kFileOk) rc = file.commit();
  if (rc != kFileOk) s.recordError(kErrFile, kCcFileWriteError);
  logf("  file %s: %d", path.c_str(), rc);
  return rc;
}

bool acquireToClipboard(int32_t hwnd, int32_t pixelTypes) {
  auto dib = acquireDib(hwnd, pixelTypes);
  return dib && ui::putOnClipboard(*dib);
}

bool selectSourceInteractive(int32_t hwnd) {
  Session& s = S();
  const auto list = s.devices();
  if (list.empty()) {
    s.recordError(kErrNoSource, kCcNoDs);
    return false;
  }
  DeviceInfo current;
  s.defaultSource(current);
  if (!ui::available()) return true;  // nobody to ask: the default stays
  std::vector<std::string> names;
  int at = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    names.push_back(list[i].sourceName());
    if (list[i].name == current.name) at = static_cast<int>(i);
  }
  const int chosen = ui::selectSource(hwnd, names, at, s.settings.appTitle);
  if (chosen < 0) {
    s.recordError(kErrCancelled, kCcSuccess, kRcCancel);
    return false;
  }
  s.setDefaultSource(list[static_cast<std::size_t>(chosen)]);
  return true;
}

}  // namespace eztw
