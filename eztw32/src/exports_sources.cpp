// Source manager, sources and transfer control.
#include "acquire.h"
#include "dib_table.h"
#include "exports.h"
#include "session.h"

using namespace eztw;

namespace {
Session& S() { return Session::instance(); }
}  // namespace

EZ_API int32_t TWAIN_SelectImageSource(int32_t hwnd) {
  return guarded("TWAIN_SelectImageSource", 0,
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
  return guarded("TWAIN_GetDefaultSourceName", 0, [&] {
    DeviceInfo info;
    const bool found = S().defaultSource(info);
    copyOut(cName, kNameBuffer, found ? info.sourceName() : std::string());
    return found ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_OpenSource(const char* cSourceName) {
  return guarded("TWAIN_OpenSource", 0, [&] {
    Session& s = S();
    DeviceInfo info;
    const bool byName = cSourceName && *cSourceName;
    if (byName ? !s.findSource(cSourceName, info) : !s.defaultSource(info)) {
      s.recordError(kErrNoSource, kCcNoDs);
      return 0;
    }
    return s.openSource(info) ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_GetSourceList(void) {
  return guarded("TWAIN_GetSourceList", 0, [] { return S().startEnumeration() ? 1 : 0; });
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
  return guarded("TWAIN_LoadSourceManager", 0, [] { return S().loadManager() ? 1 : 0; });
}

EZ_API int32_t TWAIN_OpenSourceManager(int32_t hwnd) {
  return guarded("TWAIN_OpenSourceManager", 0, [&] {
    (void)hwnd;
    return S().openManager() ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_OpenDefaultSource(void) { return TWAIN_OpenSource(nullptr); }

EZ_API int32_t TWAIN_EnableSource(int32_t hwnd) {
  return guarded("TWAIN_EnableSource", 0, [&] { return enableSource(hwnd) ? 1 : 0; });
}

EZ_API int32_t TWAIN_DisableSource(void) {
  return guarded("TWAIN_DisableSource", 0, [] { return S().disable() ? 1 : 0; });
}

EZ_API int32_t TWAIN_CloseSource(void) {
  return guarded("TWAIN_CloseSource", 0, [] { return S().closeSource() ? 1 : 0; });
}

EZ_API int32_t TWAIN_CloseSourceManager(int32_t hwnd) {
  return guarded("TWAIN_CloseSourceManager", 0, [&] {
    (void)hwnd;
    return S().closeManager() ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_WaitForNativeXfer(int32_t hwnd) {
  return guarded("TWAIN_WaitForNativeXfer", 0, [&] { return waitForNativeXfer(hwnd); });
}

EZ_API int32_t TWAIN_IsTransferReady(void) { return S().transferReady() ? 1 : 0; }

// Transfers run synchronously inside the acquisition calls, so the loop has
// nothing left to wait for: it reports whether the source is still enabled.
EZ_API int32_t TWAIN_ModalEventLoop(void) {
  return guarded("TWAIN_ModalEventLoop", 0, [] { return S().state() >= 5 ? 1 : 0; });
}

EZ_API int32_t TWAIN_EndXfer(void) {
  return guarded("TWAIN_EndXfer", 0, [] { return S().endTransfer(); });
}

EZ_API int32_t TWAIN_AbortAllPendingXfers(void) {
  return guarded("TWAIN_AbortAllPendingXfers", 0, [] { return S().abortAll() ? 1 : 0; });
}

EZ_API int32_t TWAIN_NegotiateXferCount(int32_t nXfers) {
  return guarded("TWAIN_NegotiateXferCount", 0, [&] {
    if (nXfers == 0 || nXfers < -1) return 0;
    S().setTransferCount(nXfers);
    return 1;
  });
}

EZ_API int32_t TWAIN_NegotiatePixelTypes(int32_t nPixTypes) {
  return guarded("TWAIN_NegotiatePixelTypes", 0, [&] {
    if (nPixTypes < 0 || (nPixTypes & ~7)) return 0;  // only BW, grey and RGB exist here
    S().settings.pixelTypes = nPixTypes;
    return 1;
  });
}

EZ_API int32_t TWAIN_UnloadSourceManager(void) {
  return guarded("TWAIN_UnloadSourceManager", 0, [] { return S().unloadManager() ? 1 : 0; });
}
