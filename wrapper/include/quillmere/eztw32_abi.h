// SPDX-License-Identifier: MIT
// The binary interface of the scanning library libeztw32 (eztw32.dll on
// Windows): its 129 exports with their C signatures, as the Quillmere wrappers
// call them. Every number crosses as a 32-bit signed integer, every text as
// the address of a zero-terminated 8-bit string, and every result is one
// 32-bit signed integer. Fractional settings (resolution, contrast, brightness,
// threshold, gamma, shadow, highlight) and the four numbers of the image
// layout cross as C doubles, the way TWAIN's FIX32 values are meant.
//
// EZTW32_EXPORTS(X) lists the exports as X(family, name, parameters, names):
// the family tag, the export's name, its parameter list and its argument
// names. The scanning library and test doubles include this header so that
// the compiler checks their definitions against it.
#ifndef QUILLMERE_EZTW32_ABI_H
#define QUILLMERE_EZTW32_ABI_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define EZTW32_CALL __stdcall
#else
#define EZTW32_CALL
#endif

// clang-format off
#define EZTW32_EXPORTS(X) \
  /* status, identity and diagnostics */ \
  X(status, TWAIN_Testing123, (const char* cFileName, int32_t nInt, int32_t nHandle, int32_t nDouble, int32_t nLong), (cFileName, nInt, nHandle, nDouble, nLong)) \
  X(status, TWAIN_State, (void), ()) \
  X(status, TWAIN_EasyVersion, (void), ()) \
  X(status, TWAIN_IsAvailable, (void), ()) \
  X(status, TWAIN_IsJpegAvailable, (void), ()) \
  X(status, TWAIN_SelfTest, (int32_t nf), (nf)) \
  X(status, TWAIN_GetBuildName, (char* cName), (cName)) \
  X(status, TWAIN_RegisterApp, (int32_t nMajor, int32_t nMinor, int32_t nLanguage, int32_t nCountry, const char* sVersion, const char* sMfg, const char* sFamily, const char* sProduct), (nMajor, nMinor, nLanguage, nCountry, sVersion, sMfg, sFamily, sProduct)) \
  X(status, TWAIN_SetAppTitle, (const char* cTitle), (cTitle)) \
  X(status, TWAIN_LogFile, (int32_t nStatus), (nStatus)) \
  /* source manager, source and transfer control */ \
  X(sources, TWAIN_SelectImageSource, (int32_t hwnd), (hwnd)) \
  X(sources, TWAIN_GetSourceName, (char* cName), (cName)) \
  X(sources, TWAIN_SourceName, (char* cName), (cName)) \
  X(sources, TWAIN_GetDefaultSourceName, (char* cName), (cName)) \
  X(sources, TWAIN_OpenSource, (const char* cSourceName), (cSourceName)) \
  X(sources, TWAIN_GetSourceList, (void), ()) \
  X(sources, TWAIN_GetNextSourceName, (char* cName), (cName)) \
  X(sources, TWAIN_LoadSourceManager, (void), ()) \
  X(sources, TWAIN_OpenSourceManager, (int32_t hwnd), (hwnd)) \
  X(sources, TWAIN_OpenDefaultSource, (void), ()) \
  X(sources, TWAIN_EnableSource, (int32_t hwnd), (hwnd)) \
  X(sources, TWAIN_DisableSource, (void), ()) \
  X(sources, TWAIN_CloseSource, (void), ()) \
  X(sources, TWAIN_CloseSourceManager, (int32_t hwnd), (hwnd)) \
  X(sources, TWAIN_WaitForNativeXfer, (int32_t hwnd), (hwnd)) \
  X(sources, TWAIN_IsTransferReady, (void), ()) \
  X(sources, TWAIN_ModalEventLoop, (void), ()) \
  X(sources, TWAIN_EndXfer, (void), ()) \
  X(sources, TWAIN_AbortAllPendingXfers, (void), ()) \
  X(sources, TWAIN_NegotiateXferCount, (int32_t nXfers), (nXfers)) \
  X(sources, TWAIN_NegotiatePixelTypes, (int32_t nPixTypes), (nPixTypes)) \
  X(sources, TWAIN_UnloadSourceManager, (void), ()) \
  /* acquisition, save format and file transfer */ \
  X(acquire, TWAIN_SetSaveFormat, (int32_t nFF), (nFF)) \
  X(acquire, TWAIN_GetSaveFormat, (void), ()) \
  X(acquire, TWAIN_Acquire, (int32_t nHwnd), (nHwnd)) \
  X(acquire, TWAIN_AcquireMemory, (int32_t nHwnd), (nHwnd)) \
  X(acquire, TWAIN_AcquireNative, (int32_t nHwnd, int32_t nPixTypes), (nHwnd, nPixTypes)) \
  X(acquire, TWAIN_AcquireToClipboard, (int32_t nHwnd, int32_t nPixTypes), (nHwnd, nPixTypes)) \
  X(acquire, TWAIN_WriteNativeToFilename, (int32_t hDib, const char* cFilename), (hDib, cFilename)) \
  X(acquire, TWAIN_LoadNativeFromFilename, (const char* cFilename), (cFilename)) \
  X(acquire, TWAIN_FreeNative, (int32_t hDib), (hDib)) \
  X(acquire, TWAIN_AcquireToFilename, (int32_t nHwnd, const char* cFilename), (nHwnd, cFilename)) \
  X(acquire, TWAIN_AcquireFile, (int32_t nHwnd, int32_t nFF, const char* cFilename), (nHwnd, nFF, cFilename)) \
  X(acquire, TWAIN_SetJpegQuality, (int32_t nQ), (nQ)) \
  X(acquire, TWAIN_GetJpegQuality, (void), ()) \
  X(acquire, TWAIN_GetMultiTransfer, (void), ()) \
  X(acquire, TWAIN_SetMultiTransfer, (int32_t nYes), (nYes)) \
  X(acquire, TWAIN_SupportsFileXfer, (void), ()) \
  X(acquire, TWAIN_DisableParent, (int32_t nYes), (nYes)) \
  X(acquire, TWAIN_GetDisableParent, (void), ()) \
  X(acquire, TWAIN_SetHideUI, (int32_t nYesNo), (nYesNo)) \
  X(acquire, TWAIN_GetHideUI, (void), ()) \
  /* DIBs */ \
  X(dib, DIB_SetResolution, (int32_t hDib, int32_t xdpi, int32_t ydpi), (hDib, xdpi, ydpi)) \
  X(dib, DIB_XResolution, (int32_t hDib), (hDib)) \
  X(dib, DIB_YResolution, (int32_t hDib), (hDib)) \
  X(dib, DIB_Depth, (int32_t hDib), (hDib)) \
  X(dib, DIB_Width, (int32_t hDib), (hDib)) \
  X(dib, DIB_Height, (int32_t hDib), (hDib)) \
  X(dib, DIB_RowBytes, (int32_t hDib), (hDib)) \
  X(dib, DIB_SetColorCount, (int32_t hDib, int32_t nNoc), (hDib, nNoc)) \
  X(dib, DIB_ColorCount, (int32_t hDib), (hDib)) \
  X(dib, DIB_Allocate, (int32_t nDepth, int32_t nWidth, int32_t nHeight), (nDepth, nWidth, nHeight)) \
  X(dib, DIB_Free, (int32_t hDib), (hDib)) \
  X(dib, DIB_Unlock, (int32_t hDib), (hDib)) \
  X(dib, DIB_Copy, (int32_t hDib), (hDib)) \
  X(dib, DIB_SetGrayColor, (int32_t hDib), (hDib)) \
  X(dib, DIB_SetColorTableRGB, (int32_t hDib, int32_t nindex, int32_t nRed, int32_t nGreen, int32_t nBlue), (hDib, nindex, nRed, nGreen, nBlue)) \
  X(dib, DIB_ColorTableR, (int32_t hDib, int32_t nindex), (hDib, nindex)) \
  X(dib, DIB_ColorTableG, (int32_t hDib, int32_t nindex), (hDib, nindex)) \
  X(dib, DIB_ColorTableB, (int32_t hDib, int32_t nindex), (hDib, nindex)) \
  X(dib, DIB_SwapRedBlue, (int32_t hDib), (hDib)) \
  X(dib, DIB_PutOnClipboard, (int32_t hDib), (hDib)) \
  X(dib, DIB_GetFromClipboard, (void), ()) \
  X(dib, DIB_WriteToBmp, (int32_t hDib, const char* cFilename), (hDib, cFilename)) \
  X(dib, DIB_WriteToJpeg, (int32_t hDib, const char* cFilename), (hDib, cFilename)) \
  X(dib, DIB_LoadFromFilename, (const char* cFilename), (cFilename)) \
  /* device capabilities */ \
  X(caps, TWAIN_HasFeeder, (void), ()) \
  X(caps, TWAIN_IsFeederSelected, (void), ()) \
  X(caps, TWAIN_SelectFeeder, (int32_t nYes), (nYes)) \
  X(caps, TWAIN_IsAutoFeedOn, (void), ()) \
  X(caps, TWAIN_SetAutoFeed, (int32_t nYes), (nYes)) \
  X(caps, TWAIN_IsFeederLoaded, (void), ()) \
  X(caps, TWAIN_GetDuplexSupport, (void), ()) \
  X(caps, TWAIN_EnableDuplex, (int32_t nYesNo), (nYesNo)) \
  X(caps, TWAIN_IsDuplexEnabled, (void), ()) \
  X(caps, TWAIN_GetCurrentUnits, (void), ()) \
  X(caps, TWAIN_SetCurrentUnits, (int32_t nUnits), (nUnits)) \
  X(caps, TWAIN_GetBitDepth, (void), ()) \
  X(caps, TWAIN_SetBitDepth, (int32_t nBits), (nBits)) \
  X(caps, TWAIN_GetPixelType, (void), ()) \
  X(caps, TWAIN_SetCurrentPixelType, (int32_t nPixType), (nPixType)) \
  X(caps, TWAIN_GetCurrentResolution, (void), ()) \
  X(caps, TWAIN_GetYResolution, (void), ()) \
  X(caps, TWAIN_SetCurrentResolution, (double nRes), (nRes)) \
  X(caps, TWAIN_SetXResolution, (double nXres), (nXres)) \
  X(caps, TWAIN_SetYResolution, (double nYres), (nYres)) \
  X(caps, TWAIN_SetContrast, (double nCon), (nCon)) \
  X(caps, TWAIN_SetBrightness, (double nBri), (nBri)) \
  X(caps, TWAIN_SetThreshold, (double nTresh), (nTresh)) \
  X(caps, TWAIN_GetCurrentThreshold, (void), ()) \
  X(caps, TWAIN_SetXferMech, (int32_t nMech), (nMech)) \
  X(caps, TWAIN_XferMech, (void), ()) \
  X(caps, TWAIN_SetPaperSize, (int32_t nSize), (nSize)) \
  X(caps, TWAIN_HasControllableUI, (void), ()) \
  X(caps, TWAIN_SetIndicators, (int32_t nYesNo), (nYesNo)) \
  X(caps, TWAIN_SetCompression, (int32_t nComp), (nComp)) \
  X(caps, TWAIN_Compression, (void), ()) \
  X(caps, TWAIN_SetTiled, (int32_t nYesNo), (nYesNo)) \
  X(caps, TWAIN_Tiled, (void), ()) \
  X(caps, TWAIN_SetPlanarChunky, (int32_t nShape), (nShape)) \
  X(caps, TWAIN_PlanarChunky, (void), ()) \
  X(caps, TWAIN_SetPixelFlavor, (int32_t nFlavor), (nFlavor)) \
  X(caps, TWAIN_PixelFlavor, (void), ()) \
  X(caps, TWAIN_SetLightPath, (int32_t nYesNo), (nYesNo)) \
  X(caps, TWAIN_SetAutoBright, (int32_t nYesNo), (nYesNo)) \
  X(caps, TWAIN_SetGamma, (double nGamma), (nGamma)) \
  X(caps, TWAIN_SetShadow, (double nShadow), (nShadow)) \
  X(caps, TWAIN_SetHighlight, (double nHighl), (nHighl)) \
  X(caps, TWAIN_GetImageLayout, (double* nL, double* nT, double* nR, double* nB), (nL, nT, nR, nB)) \
  X(caps, TWAIN_SetImageLayout, (double nL, double nT, double nR, double nB), (nL, nT, nR, nB)) \
  X(caps, TWAIN_GetDefaultImageLayout, (double* nL, double* nT, double* nR, double* nB), (nL, nT, nR, nB)) \
  X(caps, TWAIN_ResetImageLayout, (void), ()) \
  /* errors and result codes */ \
  X(errors, TWAIN_GetResultCode, (void), ()) \
  X(errors, TWAIN_GetConditionCode, (void), ()) \
  X(errors, TWAIN_UserClosedSource, (void), ()) \
  X(errors, TWAIN_ErrorBox, (const char* cMessage), (cMessage)) \
  X(errors, TWAIN_SuppressErrorMessages, (int32_t nYesNo), (nYesNo)) \
  X(errors, TWAIN_LastErrorCode, (void), ()) \
  X(errors, TWAIN_ClearError, (void), ())
// clang-format on

#define EZTW32_COUNT_ONE(family, name, params, args) +1
enum { EZTW32_EXPORT_COUNT = 0 EZTW32_EXPORTS(EZTW32_COUNT_ONE) };

// Prototypes of the exports, for the library that defines them and for code
// that checks a function pointer type against them.
#ifdef __cplusplus
extern "C" {
#endif
#define EZTW32_DECLARE(family, name, params, args) int32_t EZTW32_CALL name params;
EZTW32_EXPORTS(EZTW32_DECLARE)
#undef EZTW32_DECLARE
#ifdef __cplusplus
}
#endif

#endif
