/* SPDX-License-Identifier: MIT */
/**
 * @file eztw32.h
 * @brief The C exports of the scanning library libeztw32 (eztw32 for Linux).
 *
 * Link with -leztw32 (pkg-config eztw32, or the CMake target Quillmere::eztw32);
 * at run time the library is libeztw32.so.1. The exports and their order are
 * those of the Windows library eztw32.dll. Every number crosses as a 32-bit
 * signed integer and every result is one; texts are addresses of
 * zero-terminated 8-bit strings. Fractional settings and the four numbers of
 * the image layout cross as doubles, in the source's current units (inches
 * unless changed with TWAIN_SetCurrentUnits()).
 *
 * A DIB handle that an export returns belongs to the caller, who frees it with
 * TWAIN_FreeNative() or DIB_Free(); an unknown or freed handle is refused with
 * an error result. A failed call records its reason for
 * TWAIN_GetResultCode(), TWAIN_GetConditionCode() and TWAIN_LastErrorCode().
 * Call the library from one thread. Its windows (source selection, the
 * source's settings, progress, the save dialog) appear only in a process that
 * runs a Qt application; elsewhere they are skipped.
 *
 * Each export is described with the Quillmere wrapper that calls it; the
 * wrapper's description says how its result is read.
 */
#ifndef EZTW32_H
#define EZTW32_H

#include <stdint.h>

/** Calling convention of the exports: stdcall on 32-bit Windows, else the default. */
#ifndef EZTW32_CALL
#if defined(_WIN32) && !defined(_WIN64)
#define EZTW32_CALL __stdcall
#else
#define EZTW32_CALL
#endif
#endif

/** Linkage of the exports (imported from the shared library on Windows). */
#ifndef EZTW32_API
#if defined(_WIN32)
#define EZTW32_API __declspec(dllimport)
#else
#define EZTW32_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Status, identity and diagnostics -------------------------------------- */

/**
 * @brief Checks that arguments arrive: the wrapper passes a null text and 2, 50, 1234, 12345.
 * @param cFileName a zero-terminated text, or null
 * @param nInt a number
 * @param nHandle a number
 * @param nDouble a number
 * @param nLong a number
 * @return the value asked for.
 * @see eztw32_TestParam() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_Testing123(const char* cFileName, int32_t nInt,
                                                int32_t nHandle, int32_t nDouble, int32_t nLong);

/**
 * @brief TWAIN state of the library, 1 to 7.
 * @return the value asked for.
 * @see eztw32_GetTwainState() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_State(void);

/**
 * @brief Library version times 100 (273 is version 2.73).
 * @return the value asked for.
 * @see eztw32_GetVersion() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_EasyVersion(void);

/**
 * @brief Whether a TWAIN source manager is available.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_IsTwainAvailable() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_IsAvailable(void);

/**
 * @brief Whether the library can write JPEG files.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_IsJpegAvailable() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_IsJpegAvailable(void);

/**
 * @brief Runs the library's self test; 0 when it passed.
 * @param nf passed on unchanged; 0 when left out
 * @return 0 when the test passed.
 * @see eztw32_SelfTest() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SelfTest(int32_t nf);

/**
 * @brief Writes the library's build name into cName.
 * @param cName buffer, long enough for the build name, that receives it zero-terminated
 * @return a status the wrapper ignores.
 * @see eztw32_GetBuildName() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetBuildName(char* cName);

/**
 * @brief Registers the application's TWAIN identity: version, language, country and the four
 * identity texts.
 * @param nMajor major version number of the application
 * @param nMinor minor version number of the application
 * @param nLanguage TWAIN language code
 * @param nCountry TWAIN country code
 * @param sVersion the application's version text; a zero-terminated 8-bit string
 * @param sMfg the manufacturer; a zero-terminated 8-bit string
 * @param sFamily the product family; a zero-terminated 8-bit string
 * @param sProduct the product name; a zero-terminated 8-bit string
 * @return the library's status of the operation.
 * @see eztw32_RegisterApp() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_RegisterApp(int32_t nMajor, int32_t nMinor, int32_t nLanguage,
                                                 int32_t nCountry, const char* sVersion,
                                                 const char* sMfg, const char* sFamily,
                                                 const char* sProduct);

/**
 * @brief Sets the title of the library's own windows.
 * @param cTitle title of the library's windows; a zero-terminated 8-bit string
 * @return the library's status of the operation.
 * @see eztw32_SetAppTitle() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetAppTitle(const char* cTitle);

/**
 * @brief Switches the library's log file on (1) or off (0).
 * @param nStatus 1 switches the log file on, 0 off
 * @return a status the wrapper ignores.
 * @see eztw32_LogFile() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_LogFile(int32_t nStatus);

/* ---- Source manager, source and transfer control --------------------------- */

/**
 * @brief Lets the user choose the source.
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SelectImageSource() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SelectImageSource(int32_t hwnd);

/**
 * @brief Name of the open (or last used) source; empty when there is none.
 * @param cName buffer of at least 256 bytes that receives the zero-terminated source name
 * @return above 0 when a name was written.
 * @see eztw32_GetSourceName() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetSourceName(char* cName);

/**
 * @brief Name of the open (or last used) source, from TWAIN_SourceName.
 * @param cName buffer of at least 256 bytes that receives the zero-terminated source name
 * @return above 0 when a name was written.
 * @see eztw32_SourceName() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SourceName(char* cName);

/**
 * @brief Name of the default source; empty when there is none.
 * @param cName buffer of at least 256 bytes that receives the zero-terminated source name
 * @return above 0 when a name was written.
 * @see eztw32_GetDefaultSourceName() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetDefaultSourceName(char* cName);

/**
 * @brief Opens the source of that name.
 * @param cSourceName name of the source, as the library names it; a zero-terminated 8-bit string
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_OpenSource() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_OpenSource(const char* cSourceName);

/**
 * @brief Starts an enumeration of the sources.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_GetSourceList() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetSourceList(void);

/**
 * @brief Steps to the next source of the enumeration and writes its name into cName; 0 when there
 * is none left.
 * @param cName buffer of at least 256 bytes that receives the zero-terminated source name
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_GetNextSourceName() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetNextSourceName(char* cName);

/**
 * @brief Loads the source manager.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_LoadSourceManager() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_LoadSourceManager(void);

/**
 * @brief Opens the source manager.
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_OpenSourceManager() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_OpenSourceManager(int32_t hwnd);

/**
 * @brief Opens the default source.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_OpenDefaultSource() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_OpenDefaultSource(void);

/**
 * @brief Enables the open source for a transfer.
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_EnableSource() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_EnableSource(int32_t hwnd);

/**
 * @brief Disables the source.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_DisableSource() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_DisableSource(void);

/**
 * @brief Closes the source.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_CloseSource() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_CloseSource(void);

/**
 * @brief Closes the source manager.
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_CloseSourceManager() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_CloseSourceManager(int32_t hwnd);

/**
 * @brief Waits for one native transfer and returns its DIB handle.
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_WaitForNativeXfer() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_WaitForNativeXfer(int32_t hwnd);

/**
 * @brief Whether a transfer is ready.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_IsTransferReady() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_IsTransferReady(void);

/**
 * @brief Runs the library's modal loop until the source is done.
 * @return the library's status of the operation.
 * @see eztw32_ModalEventLoop() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_ModalEventLoop(void);

/**
 * @brief Ends the current transfer.
 * @return the library's status of the operation.
 * @see eztw32_EndXfer() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_EndXfer(void);

/**
 * @brief Aborts every pending transfer.
 * @return the library's status of the operation.
 * @see eztw32_AbortAllPendingXfers() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_AbortAllPendingXfers(void);

/**
 * @brief Negotiates the number of transfers, -1 for any.
 * @param nXfers number of transfers, -1 for any number
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_NegotiateXferCount() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_NegotiateXferCount(int32_t nXfers);

/**
 * @brief Negotiates the acceptable pixel types, a mask.
 * @param nPixTypes mask of the acceptable pixel types, bit n for pixel type n (1 black and white, 2
 * grey, 4 RGB); 0 for any
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_NegotiatePixelTypes() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_NegotiatePixelTypes(int32_t nPixTypes);

/**
 * @brief Unloads the source manager.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_UnloadSourceManager() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_UnloadSourceManager(void);

/* ---- Acquisition, save format and file transfer ---------------------------- */

/**
 * @brief Sets the file format of file acquisitions, 2 for BMP and 4 for JPEG.
 * @param nFF file format: 2 BMP, 4 JPEG
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SetSaveFormat() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetSaveFormat(int32_t nFF);

/**
 * @brief The file format of file acquisitions.
 * @return the value asked for.
 * @see eztw32_GetSaveFormat() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetSaveFormat(void);

/**
 * @brief Acquires one image; returns its DIB handle, 0 for none.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_Acquire() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_Acquire(int32_t nHwnd);

/**
 * @brief Acquires one image through a memory transfer; returns its DIB handle, 0 for none.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_AcquireMemory() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_AcquireMemory(int32_t nHwnd);

/**
 * @brief Acquires one image of the allowed pixel types; returns its DIB handle, 0 for none.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param nPixTypes mask of the acceptable pixel types, bit n for pixel type n (1 black and white, 2
 * grey, 4 RGB); 0 for any
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_AcquireNative() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_AcquireNative(int32_t nHwnd, int32_t nPixTypes);

/**
 * @brief Acquires one image onto the clipboard.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param nPixTypes mask of the acceptable pixel types, bit n for pixel type n (1 black and white, 2
 * grey, 4 RGB); 0 for any
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_AcquireToClipboard() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_AcquireToClipboard(int32_t nHwnd, int32_t nPixTypes);

/**
 * @brief Writes an image to a file in the format its name's extension gives.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param cFilename file name, relative names against the current folder; a zero-terminated 8-bit
 * string
 * @return 0 on success, else a negative result code.
 * @see eztw32_WriteNativeToFilename() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_WriteNativeToFilename(int32_t hDib, const char* cFilename);

/**
 * @brief Reads an image file; returns its DIB handle, 0 for none.
 * @param cFilename file name, relative names against the current folder; a zero-terminated 8-bit
 * string
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_LoadNativeFromFilename() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_LoadNativeFromFilename(const char* cFilename);

/**
 * @brief Frees an image.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's status of the operation.
 * @see eztw32_FreeNative() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_FreeNative(int32_t hDib);

/**
 * @brief Acquires one image into a file in the save format; an empty name asks the user. Returns 0
 * or a negative result code.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param cFilename file name, relative names against the current folder; empty to let the user
 * choose; a zero-terminated 8-bit string
 * @return 0 on success, else a negative result code.
 * @see eztw32_AcquireToFilename() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_AcquireToFilename(int32_t nHwnd, const char* cFilename);

/**
 * @brief Acquires one image into a file of format nFF.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param nFF file format: 2 BMP, 4 JPEG
 * @param cFilename file name, relative names against the current folder; a zero-terminated 8-bit
 * string
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_AcquireFile() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_AcquireFile(int32_t nHwnd, int32_t nFF, const char* cFilename);

/**
 * @brief Sets the JPEG quality, 1 to 100.
 * @param nQ JPEG quality, 1 to 100
 * @return the library's status of the operation.
 * @see eztw32_SetJpegQuality() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetJpegQuality(int32_t nQ);

/**
 * @brief The JPEG quality.
 * @return the value asked for.
 * @see eztw32_GetJpegQuality() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetJpegQuality(void);

/**
 * @brief Whether several images are acquired per session (1) or one (0).
 * @return the value asked for.
 * @see eztw32_GetMultiTransfer() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetMultiTransfer(void);

/**
 * @brief Switches multiple transfers on (1) or off (0).
 * @param nYes 1 for on, 0 for off
 * @return the library's status of the operation.
 * @see eztw32_SetMultiTransfer() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetMultiTransfer(int32_t nYes);

/**
 * @brief Whether the source supports file transfers.
 * @return 1 for yes.
 * @see eztw32_SupportsFileXfer() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SupportsFileXfer(void);

/**
 * @brief Sets whether the parent window is disabled during an acquisition.
 * @param nYes 1 for on, 0 for off
 * @return the library's status of the operation.
 * @see eztw32_DisableParent() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_DisableParent(int32_t nYes);

/**
 * @brief Whether the parent window is disabled during an acquisition.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_GetDisableParent() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetDisableParent(void);

/**
 * @brief Hides (1) or shows (0) the source's user interface.
 * @param nYesNo 1 for on, 0 for off
 * @return the library's status of the operation.
 * @see eztw32_SetHideUI() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetHideUI(int32_t nYesNo);

/**
 * @brief Whether the source's user interface is hidden.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_GetHideUI() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetHideUI(void);

/* ---- DIBs ------------------------------------------------------------------ */

/**
 * @brief Sets the resolution of an image in dots per inch.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param xdpi horizontal resolution in dots per inch
 * @param ydpi vertical resolution in dots per inch
 * @return the library's status of the operation.
 * @see eztw32_DIB_SetResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_SetResolution(int32_t hDib, int32_t xdpi, int32_t ydpi);

/**
 * @brief Horizontal resolution of an image in dots per inch.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the value asked for.
 * @see eztw32_DIB_XResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_XResolution(int32_t hDib);

/**
 * @brief Vertical resolution of an image in dots per inch.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the value asked for.
 * @see eztw32_DIB_YResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_YResolution(int32_t hDib);

/**
 * @brief Bits per pixel of an image.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the value asked for.
 * @see eztw32_DIB_Depth() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_Depth(int32_t hDib);

/**
 * @brief Width of an image in pixels.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the value asked for.
 * @see eztw32_DIB_Width() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_Width(int32_t hDib);

/**
 * @brief Height of an image in rows.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the value asked for.
 * @see eztw32_DIB_Height() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_Height(int32_t hDib);

/**
 * @brief Bytes per row of an image, padding included.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the value asked for.
 * @see eztw32_DIB_RowBytes() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_RowBytes(int32_t hDib);

/**
 * @brief Sets the number of colours in an image's colour table.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nNoc number of colours in the colour table
 * @return the library's status of the operation.
 * @see eztw32_DIB_SetColorCount() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_SetColorCount(int32_t hDib, int32_t nNoc);

/**
 * @brief Number of colours in an image's colour table.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the value asked for.
 * @see eztw32_DIB_ColorCount() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_ColorCount(int32_t hDib);

/**
 * @brief Allocates a blank image of that depth, width and height; returns its DIB handle, 0 for
 * none.
 * @param nDepth bits per pixel
 * @param nWidth width in pixels
 * @param nHeight height in rows
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_DIB_Allocate() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_Allocate(int32_t nDepth, int32_t nWidth, int32_t nHeight);

/**
 * @brief Frees an image.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's status of the operation.
 * @see eztw32_DIB_Free() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_Free(int32_t hDib);

/**
 * @brief Unlocks an image's memory.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's status of the operation.
 * @see eztw32_DIB_Unlock() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_Unlock(int32_t hDib);

/**
 * @brief Copies an image; returns the copy's DIB handle, 0 for none.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_DIB_Copy() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_Copy(int32_t hDib);

/**
 * @brief Fills an image's colour table with a grey ramp.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's status of the operation.
 * @see eztw32_DIB_SetGrayColor() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_SetGrayColor(int32_t hDib);

/**
 * @brief Sets one colour table entry; returns -1 without calling the library when a component lies
 * outside 0 to 255.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @param nRed red component, 0 to 255
 * @param nGreen green component, 0 to 255
 * @param nBlue blue component, 0 to 255
 * @return the library's status of the operation.
 * @see eztw32_DIB_SetColorTableRGB() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_SetColorTableRGB(int32_t hDib, int32_t nindex, int32_t nRed,
                                                    int32_t nGreen, int32_t nBlue);

/**
 * @brief Red component of a colour table entry.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @return the value asked for.
 * @see eztw32_DIB_ColorTableR() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_ColorTableR(int32_t hDib, int32_t nindex);

/**
 * @brief Green component of a colour table entry.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @return the value asked for.
 * @see eztw32_DIB_ColorTableG() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_ColorTableG(int32_t hDib, int32_t nindex);

/**
 * @brief Blue component of a colour table entry.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @return the value asked for.
 * @see eztw32_DIB_ColorTableB() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_ColorTableB(int32_t hDib, int32_t nindex);

/**
 * @brief Exchanges the red and blue components of an image.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's status of the operation.
 * @see eztw32_DIB_SwapRedBlue() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_SwapRedBlue(int32_t hDib);

/**
 * @brief Puts a copy of an image on the clipboard.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return 1 for yes.
 * @see eztw32_DIB_PutOnClipboard() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_PutOnClipboard(int32_t hDib);

/**
 * @brief Takes the clipboard's image; returns its DIB handle, 0 for none.
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_DIB_GetFromClipboard() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_GetFromClipboard(void);

/**
 * @brief Writes an image as a BMP file; returns 0 or a negative result code.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param cFilename file name, relative names against the current folder; a zero-terminated 8-bit
 * string
 * @return 0 on success, else a negative result code.
 * @see eztw32_DIB_WriteToBmp() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_WriteToBmp(int32_t hDib, const char* cFilename);

/**
 * @brief Writes an image as a JPEG file at the JPEG quality; returns 0 or a negative result code.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param cFilename file name, relative names against the current folder; a zero-terminated 8-bit
 * string
 * @return 0 on success, else a negative result code.
 * @see eztw32_DIB_WriteToJpeg() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_WriteToJpeg(int32_t hDib, const char* cFilename);

/**
 * @brief Reads a BMP or JPEG file; returns its DIB handle, 0 for none.
 * @param cFilename file name, relative names against the current folder; a zero-terminated 8-bit
 * string
 * @return the DIB handle of the new image, 0 for none.
 * @see eztw32_DIB_LoadFromFilename() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL DIB_LoadFromFilename(const char* cFilename);

/* ---- Device capabilities of the open source -------------------------------- */

/**
 * @brief Whether the source has a document feeder.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_HasFeeder() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_HasFeeder(void);

/**
 * @brief Whether the feeder is selected.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_IsFeederSelected() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_IsFeederSelected(void);

/**
 * @brief Selects the feeder (1) or the flatbed (0).
 * @param nYes 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SelectFeeder() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SelectFeeder(int32_t nYes);

/**
 * @brief Whether automatic feeding is on.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_IsAutoFeedOn() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_IsAutoFeedOn(void);

/**
 * @brief Switches automatic feeding on (1) or off (0).
 * @param nYes 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SetAutoFeed() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetAutoFeed(int32_t nYes);

/**
 * @brief Whether the feeder holds paper.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_IsFeederLoaded() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_IsFeederLoaded(void);

/**
 * @brief Duplex support: 0 none, 1 one-pass, 2 two-pass.
 * @return the value asked for.
 * @see eztw32_GetDuplexSupport() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetDuplexSupport(void);

/**
 * @brief Switches duplex scanning on or off.
 * @param nYesNo 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_EnableDuplex() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_EnableDuplex(int32_t nYesNo);

/**
 * @brief Whether duplex scanning is on.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_IsDuplexEnabled() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_IsDuplexEnabled(void);

/**
 * @brief The current unit of measure (0 inches, 1 centimetres, 5 pixels, ...).
 * @return the value asked for.
 * @see eztw32_GetCurrentUnits() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetCurrentUnits(void);

/**
 * @brief Sets the unit of measure.
 * @param nUnits unit of measure: 0 inches, 1 centimetres, 2 picas, 3 points, 4 twips, 5 pixels
 * @return the library's status of the operation.
 * @see eztw32_SetCurrentUnits() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetCurrentUnits(int32_t nUnits);

/**
 * @brief Bits per sample of the next image.
 * @return the value asked for.
 * @see eztw32_GetBitDepth() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetBitDepth(void);

/**
 * @brief Sets the bits per sample.
 * @param nBits bits per sample
 * @return the library's status of the operation.
 * @see eztw32_SetBitDepth() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetBitDepth(int32_t nBits);

/**
 * @brief Pixel type of the next image (0 black and white, 1 grey, 2 RGB).
 * @return the value asked for.
 * @see eztw32_GetPixelType() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetPixelType(void);

/**
 * @brief Sets the pixel type.
 * @param nPixType pixel type: 0 black and white, 1 grey, 2 RGB
 * @return the library's status of the operation.
 * @see eztw32_SetCurrentPixelType() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetCurrentPixelType(int32_t nPixType);

/**
 * @brief Current horizontal resolution, rounded.
 * @return the value asked for.
 * @see eztw32_GetCurrentResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetCurrentResolution(void);

/**
 * @brief Current vertical resolution, rounded.
 * @return the value asked for.
 * @see eztw32_GetYResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetYResolution(void);

/**
 * @brief Sets both resolutions.
 * @param nRes resolution, in dots per current unit
 * @return the library's status of the operation.
 * @see eztw32_SetCurrentResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetCurrentResolution(double nRes);

/**
 * @brief Sets the horizontal resolution.
 * @param nXres horizontal resolution, in dots per current unit
 * @return the library's status of the operation.
 * @see eztw32_SetXResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetXResolution(double nXres);

/**
 * @brief Sets the vertical resolution.
 * @param nYres vertical resolution, in dots per current unit
 * @return the library's status of the operation.
 * @see eztw32_SetYResolution() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetYResolution(double nYres);

/**
 * @brief Sets the contrast, -1000 to 1000.
 * @param nCon contrast, -1000 to 1000
 * @return the library's status of the operation.
 * @see eztw32_SetContrast() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetContrast(double nCon);

/**
 * @brief Sets the brightness, -1000 to 1000.
 * @param nBri brightness, -1000 to 1000
 * @return the library's status of the operation.
 * @see eztw32_SetBrightness() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetBrightness(double nBri);

/**
 * @brief Sets the black-and-white threshold, 0 to 255.
 * @param nTresh threshold, 0 to 255
 * @return the library's status of the operation.
 * @see eztw32_SetThreshold() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetThreshold(double nTresh);

/**
 * @brief Current black-and-white threshold, rounded.
 * @return the value asked for.
 * @see eztw32_GetCurrentThreshold() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetCurrentThreshold(void);

/**
 * @brief Sets the transfer mechanism (0 native, 1 file, 2 memory).
 * @param nMech transfer mechanism: 0 native, 1 file, 2 memory
 * @return the library's status of the operation.
 * @see eztw32_SetXferMech() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetXferMech(int32_t nMech);

/**
 * @brief The transfer mechanism.
 * @return the value asked for.
 * @see eztw32_GetXferMech() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_XferMech(void);

/**
 * @brief Sets the paper size by TWAIN code.
 * @param nSize TWAIN paper size code
 * @return the library's status of the operation.
 * @see eztw32_SetPaperSize() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetPaperSize(int32_t nSize);

/**
 * @brief Whether the source's user interface can be hidden.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_HasControllableUI() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_HasControllableUI(void);

/**
 * @brief Switches the progress indicators on or off.
 * @param nYesNo 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SetIndicators() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetIndicators(int32_t nYesNo);

/**
 * @brief Sets the compression.
 * @param nComp TWAIN compression code
 * @return the library's status of the operation.
 * @see eztw32_SetCompression() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetCompression(int32_t nComp);

/**
 * @brief The compression.
 * @return the value asked for.
 * @see eztw32_Compression() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_Compression(void);

/**
 * @brief Switches tiled transfers on or off.
 * @param nYesNo 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SetTiled() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetTiled(int32_t nYesNo);

/**
 * @brief Whether transfers are tiled.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_Tiled() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_Tiled(void);

/**
 * @brief Sets planar (1) or chunky (0) data.
 * @param nShape 1 for planar, 0 for chunky data
 * @return the library's status of the operation.
 * @see eztw32_SetPlanarChunky() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetPlanarChunky(int32_t nShape);

/**
 * @brief Planar (1) or chunky (0) data.
 * @return the value asked for.
 * @see eztw32_PlanarChunky() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_PlanarChunky(void);

/**
 * @brief Sets the pixel flavour (0 black is 0, 1 white is 0).
 * @param nFlavor pixel flavour: 0 black is 0, 1 white is 0
 * @return the library's status of the operation.
 * @see eztw32_SetPixelFlavor() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetPixelFlavor(int32_t nFlavor);

/**
 * @brief The pixel flavour.
 * @return the value asked for.
 * @see eztw32_PixelFlavor() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_PixelFlavor(void);

/**
 * @brief Selects transmitted (1) or reflected light (0).
 * @param nYesNo 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SetLightPath() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetLightPath(int32_t nYesNo);

/**
 * @brief Switches automatic brightness on or off.
 * @param nYesNo 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SetAutoBright() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetAutoBright(int32_t nYesNo);

/**
 * @brief Sets the gamma.
 * @param nGamma gamma value
 * @return the library's status of the operation.
 * @see eztw32_SetGamma() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetGamma(double nGamma);

/**
 * @brief Sets the shadow level.
 * @param nShadow shadow level
 * @return the library's status of the operation.
 * @see eztw32_SetShadow() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetShadow(double nShadow);

/**
 * @brief Sets the highlight level.
 * @param nHighl highlight level
 * @return the library's status of the operation.
 * @see eztw32_SetHighlight() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetHighlight(double nHighl);

/**
 * @brief Writes the area to acquire (left, top, right, bottom) into the four variables.
 * @param nL receives the left edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nT receives the top edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nR receives the right edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nB receives the bottom edge, in the current units; eztw32 refuses a null address (result
 * 0)
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_GetImageLayout() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetImageLayout(double* nL, double* nT, double* nR, double* nB);

/**
 * @brief Sets the area to acquire: left, top, right, bottom.
 * @param nL left edge, in the current units
 * @param nT top edge, in the current units
 * @param nR right edge, in the current units
 * @param nB bottom edge, in the current units
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SetImageLayout() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SetImageLayout(double nL, double nT, double nR, double nB);

/**
 * @brief Writes the source's default area (left, top, right, bottom) into the four variables.
 * @param nL receives the left edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nT receives the top edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nR receives the right edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nB receives the bottom edge, in the current units; eztw32 refuses a null address (result
 * 0)
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_GetDefaultImageLayout() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetDefaultImageLayout(double* nL, double* nT, double* nR,
                                                           double* nB);

/**
 * @brief Sets the area to acquire back to the source's default.
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_ResetImageLayout() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_ResetImageLayout(void);

/* ---- Errors and result codes ----------------------------------------------- */

/**
 * @brief The library's last TWAIN result code.
 * @return 0 on success, else a negative result code.
 * @see eztw32_GetResultCode() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetResultCode(void);

/**
 * @brief The library's last TWAIN condition code.
 * @return the value asked for.
 * @see eztw32_GetConditionCode() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_GetConditionCode(void);

/**
 * @brief Whether the user closed the source.
 * @return 1 for yes.
 * @see eztw32_UserClosedSource() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_UserClosedSource(void);

/**
 * @brief Shows cMessage in the library's error box.
 * @param cMessage text of the message; a zero-terminated 8-bit string
 * @return the library's status of the operation.
 * @see eztw32_ErrorBox() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_ErrorBox(const char* cMessage);

/**
 * @brief Suppresses (1) or allows the library's error messages (0).
 * @param nYesNo 1 for on, 0 for off
 * @return above 0 for success (or yes), 0 or below otherwise.
 * @see eztw32_SuppressErrorMessages() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_SuppressErrorMessages(int32_t nYesNo);

/**
 * @brief The library's last error code.
 * @return the value asked for.
 * @see eztw32_LastErrorCode() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_LastErrorCode(void);

/**
 * @brief Clears the library's last error.
 * @return the library's status of the operation.
 * @see eztw32_ClearError() in Quillmere, which calls this export.
 */
EZTW32_API int32_t EZTW32_CALL TWAIN_ClearError(void);
#ifdef __cplusplus
}
#endif

#endif
