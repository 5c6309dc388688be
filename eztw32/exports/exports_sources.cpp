// SPDX-License-Identifier: MIT
// Source manager, sources and transfer control.
#include "acquire.h"
#include "dib_table.h"
#include "exports.h"
#include "gui.h"
#include "session.h"

using namespace eztw;

namespace {
Session& S() { return Session::instance(); }

// Disabling or closing a device may wait on its driver: the host's windows
// stay painted meanwhile.
int32_t closing(bool (Session::*step)()) {
  bool ok = false;
  ui::whileWorking([&] { ok = (S().*step)(); });
  return ok ? 1 : 0;
}
}  // namespace

EZ_API int32_t TWAIN_SelectImageSource(int32_t hwnd) {
  return exclusive("TWAIN_SelectImageSource", 0,
                   [&] { return selectSourceInteractive(hwnd) ? 1 : 0; });
}

EZ_API int32_t TWAIN_GetSourceName(char* cName) {
  return guarded("TWAIN_GetSourceName", 0, [&] {
    copyOut(cName, kNameBuffer, S().lastSourceName());
    return S().lastSourceName().empty() ? 0 : 1;
  });
}

EZ_API int32_t TWAIN_SourceName(char* cName) { return TWAIN_GetSourceName(cName); }

EZ_API int32_t TWAIN_GetDefaultSourceName(char* cName) {
  return exclusive("TWAIN_GetDefaultSourceName", 0, [&] {
    std::string name;
    const bool found = defaultSourceName(name);
    copyOut(cName, kNameBuffer, name);
    return found ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_OpenSource(const char* cSourceName) {
  return exclusive("TWAIN_OpenSource", 0, [&] { return openSource(cSourceName) ? 1 : 0; });
}

EZ_API int32_t TWAIN_OpenDefaultSource(void) {
  return exclusive("TWAIN_OpenDefaultSource", 0, [] { return openSource(nullptr) ? 1 : 0; });
}

EZ_API int32_t TWAIN_GetSourceList(void) {
  return exclusive("TWAIN_GetSourceList", 0, [] { return startSourceList() ? 1 : 0; });
}

EZ_API int32_t TWAIN_GetNextSourceName(char* cName) {
  return guarded("TWAIN_GetNextSourceName", 0, [&] {
    std::string name;
    const bool more = S().nextSource(name);
    copyOut(cName, kNameBuffer, name);
    return more ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_LoadSourceManager(void) {
  return exclusive("TWAIN_LoadSourceManager", 0, [] { return S().loadManager() ? 1 : 0; });
}

EZ_API int32_t TWAIN_OpenSourceManager(int32_t hwnd) {
  return exclusive("TWAIN_OpenSourceManager", 0, [&] {
    (void)hwnd;
    return S().openManager() ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_EnableSource(int32_t hwnd) {
  return exclusive("TWAIN_EnableSource", 0, [&] { return enableSource(hwnd) ? 1 : 0; });
}

// Mid-transfer, disabling and aborting are requests to cancel: the transfer
// ends as cancelled and delivers nothing.
namespace {
template <typename Fn>
int32_t stopOrCancel(const char* name, Fn&& fn) {
  return guarded(name, 0, [&]() -> int32_t {
    if (S().requestCancel()) {
      logf("%s: cancelling the running transfer", name);
      return 1;
    }
    return exclusive(name, 0, fn);
  });
}
}  // namespace

EZ_API int32_t TWAIN_DisableSource(void) {
  return stopOrCancel("TWAIN_DisableSource", [] { return closing(&Session::disable); });
}

EZ_API int32_t TWAIN_CloseSource(void) {
  return exclusive("TWAIN_CloseSource", 0, [] { return closing(&Session::closeSource); });
}

EZ_API int32_t TWAIN_CloseSourceManager(int32_t hwnd) {
  return exclusive("TWAIN_CloseSourceManager", 0, [&] {
    (void)hwnd;
    return closing(&Session::closeManager);
  });
}

EZ_API int32_t TWAIN_WaitForNativeXfer(int32_t hwnd) {
  return exclusive("TWAIN_WaitForNativeXfer", 0, [&] { return waitForNativeXfer(hwnd); });
}

EZ_API int32_t TWAIN_IsTransferReady(void) { return S().transferReady() ? 1 : 0; }

// Transfers run synchronously inside the acquisition calls, so the loop has
// nothing left to wait for: it reports whether the source is still enabled.
EZ_API int32_t TWAIN_ModalEventLoop(void) {
  return guarded("TWAIN_ModalEventLoop", 0,
                 [] { return S().state() >= kStateSourceEnabled ? 1 : 0; });
}

EZ_API int32_t TWAIN_EndXfer(void) {
  return exclusive("TWAIN_EndXfer", 0, [] { return S().endTransfer(); });
}

EZ_API int32_t TWAIN_AbortAllPendingXfers(void) {
  return stopOrCancel("TWAIN_AbortAllPendingXfers", [] { return S().abortAll() ? 1 : 0; });
}

EZ_API int32_t TWAIN_NegotiateXferCount(int32_t nXfers) {
  return exclusive("TWAIN_NegotiateXferCount", 0, [&] {
    if (nXfers == 0 || nXfers < -1) return 0;
    S().setTransferCount(nXfers);
    return 1;
  });
}

EZ_API int32_t TWAIN_NegotiatePixelTypes(int32_t nPixTypes) {
  return exclusive("TWAIN_NegotiatePixelTypes", 0, [&] {
    if (nPixTypes < 0 || (nPixTypes & ~7)) return 0;  // only BW, grey and RGB exist here
    S().settings.pixelTypes = nPixTypes;
    return 1;
  });
}

EZ_API int32_t TWAIN_UnloadSourceManager(void) {
  return exclusive("TWAIN_UnloadSourceManager", 0, [] { return closing(&Session::unloadManager); });
}
