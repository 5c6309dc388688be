// SPDX-License-Identifier: MIT
// Acquisition, save format and file transfer.
#include "acquire.h"
#include "dib_table.h"
#include "exports.h"
#include "gui.h"
#include "image_file.h"
#include "session.h"

using namespace eztw;

namespace {
Session& S() { return Session::instance(); }
SaveFormat formatFromName(const char* name) {
  std::string s = name ? name : "";
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto dot = s.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : s.substr(dot + 1);
  return ext == "jpg" || ext == "jpeg" || ext == "jpe" || ext == "jfif" ? kSaveJfif : kSaveBmp;
}
}  // namespace

EZ_API int32_t TWAIN_SetSaveFormat(int32_t nFF) {
  return exclusive("TWAIN_SetSaveFormat", 0, [&] {
    if (nFF != kSaveBmp && nFF != kSaveJfif) return 0;  // BMP and JFIF are written
    S().settings.saveFormat = static_cast<SaveFormat>(nFF);
    return 1;
  });
}

EZ_API int32_t TWAIN_GetSaveFormat(void) { return S().settings.saveFormat; }

EZ_API int32_t TWAIN_Acquire(int32_t nHwnd) {
  return exclusive("TWAIN_Acquire", 0, [&] { return storeDib(acquireDib(nHwnd, 0)); });
}

EZ_API int32_t TWAIN_AcquireMemory(int32_t nHwnd) {
  return exclusive("TWAIN_AcquireMemory", 0, [&] { return storeDib(acquireDib(nHwnd, 0)); });
}

EZ_API int32_t TWAIN_AcquireNative(int32_t nHwnd, int32_t nPixTypes) {
  return exclusive("TWAIN_AcquireNative", 0,
                   [&] { return storeDib(acquireDib(nHwnd, nPixTypes)); });
}

EZ_API int32_t TWAIN_AcquireToClipboard(int32_t nHwnd, int32_t nPixTypes) {
  return exclusive("TWAIN_AcquireToClipboard", 0,
                   [&] { return acquireToClipboard(nHwnd, nPixTypes) ? 1 : 0; });
}

EZ_API int32_t TWAIN_WriteNativeToFilename(int32_t hDib, const char* cFilename) {
  return guarded("TWAIN_WriteNativeToFilename", kBadDib, [&] {
    int32_t rc = kBadDib;
    const SaveFormat format =
        cFilename && *cFilename ? formatFromName(cFilename) : S().settings.saveFormat;
    withDib(hDib, [&](Dib& d) { rc = writeDibFile(0, d, cFilename, format); });
    return rc;
  });
}

EZ_API int32_t TWAIN_LoadNativeFromFilename(const char* cFilename) {
  return guarded("TWAIN_LoadNativeFromFilename", 0, [&] { return loadDibFile(cFilename); });
}

EZ_API int32_t TWAIN_FreeNative(int32_t hDib) {
  return guarded("TWAIN_FreeNative", 0, [&] { return freeDib(hDib) ? 1 : 0; });
}

EZ_API int32_t TWAIN_AcquireToFilename(int32_t nHwnd, const char* cFilename) {
  return exclusive("TWAIN_AcquireToFilename", kAcquireFailed,
                   [&] { return acquireToFile(nHwnd, cFilename, S().settings.saveFormat); });
}

EZ_API int32_t TWAIN_AcquireFile(int32_t nHwnd, int32_t nFF, const char* cFilename) {
  return exclusive("TWAIN_AcquireFile", 0, [&] {
    if (nFF != kSaveBmp && nFF != kSaveJfif) return 0;
    return acquireToFile(nHwnd, cFilename, static_cast<SaveFormat>(nFF)) == kFileOk ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_SetJpegQuality(int32_t nQ) {
  return exclusive("TWAIN_SetJpegQuality", 0, [&] {
    if (nQ < 1 || nQ > 100) return 0;
    S().settings.jpegQuality = nQ;
    return nQ;
  });
}

EZ_API int32_t TWAIN_GetJpegQuality(void) { return S().settings.jpegQuality; }
EZ_API int32_t TWAIN_GetMultiTransfer(void) { return S().settings.multiTransfer ? 1 : 0; }

EZ_API int32_t TWAIN_SetMultiTransfer(int32_t nYes) {
  return exclusive("TWAIN_SetMultiTransfer", 0, [&] {
    S().settings.multiTransfer = nYes != 0;
    return 1;
  });
}

// SANE devices hand over pixels only; files are written by this library.
EZ_API int32_t TWAIN_SupportsFileXfer(void) { return 0; }

EZ_API int32_t TWAIN_DisableParent(int32_t nYes) {
  S().settings.disableParent = nYes != 0;
  return 1;
}

EZ_API int32_t TWAIN_GetDisableParent(void) { return S().settings.disableParent ? 1 : 0; }

EZ_API int32_t TWAIN_SetHideUI(int32_t nYesNo) {
  return exclusive("TWAIN_SetHideUI", 0, [&] {
    S().settings.hideUI = nYesNo != 0;
    return 1;
  });
}

EZ_API int32_t TWAIN_GetHideUI(void) { return S().settings.hideUI ? 1 : 0; }
