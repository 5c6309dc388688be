// SPDX-License-Identifier: MIT
/**
 * @file eztw32fu.h
 * @brief Quillmere: the eztw32_ functions over the scanning library libeztw32.
 *
 * eztw32_LoadDll() binds the library and stores a handle in ::nEztwDll; every
 * other wrapper reads ::nEztwDll at each call, calls exactly one export of the
 * library (named under "Export" in its description) and converts its result.
 * Until a library is bound, after eztw32_UnLoadDll(), or when the bound
 * library lacks the export, a wrapper calls nothing and returns its failure
 * value: 0, false or the empty text.
 *
 * The library is found by its runtime name libeztw32.so.1 (eztw32.dll on
 * Windows): a copy already loaded into the process wins, then the copy
 * beside libquillmere, then the loader's search.
 *
 * Conventions:
 * - Numbers, window handles and DIB handles are 32-bit signed integers passed
 *   unchanged. A DIB handle a wrapper returns belongs to the caller, who frees
 *   it with eztw32_FreeNative() or eztw32_DIB_Free().
 * - Logical parameters (lYesNo) pass 1 for true and 0 for false.
 * - Texts are 8-bit strings. A text left out (a default std::string_view)
 *   passes a null address; an empty text passes the address of a zero byte.
 * - Fractional settings (resolution, contrast, brightness, threshold, gamma,
 *   shadow, highlight) and the four numbers of the image layout cross as
 *   doubles, in the source's current units (inches unless changed with
 *   eztw32_SetCurrentUnits()); all results are whole numbers.
 * - Results marked "(above 0)" are true when the library's result is above 0,
 *   "(exactly 1)" only for 1, "(exactly 0)" only for 0.
 * - Six wrappers report a failure in a message box through the message sink
 *   (see quillmere::setMessageSink()); the others show nothing.
 * - All calls belong to one thread, the one that called eztw32_LoadDll().
 */
#ifndef QUILLMERE_EZTW32FU_H
#define QUILLMERE_EZTW32FU_H

#include <quillmere/quillmere_export.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

/// Handle of the bound library, 0 when binding failed. Written only by
/// eztw32_LoadDll(); eztw32_UnLoadDll() leaves the value in place.
QUILLMERE_EXPORT extern std::uint32_t nEztwDll;

/// Quillmere's own names beside the eztw32_ functions.
namespace quillmere {
/// Shows one modal message: its text and a title (empty when none is given).
using MessageSink = std::function<void(const std::string& text, const std::string& title)>;
/**
 * @brief Installs the sink that shows the wrappers' messages.
 * @param sink the new sink; an empty one restores the initial sink, which
 *        writes "title: text" to standard error
 * @return the sink it replaces.
 */
QUILLMERE_EXPORT MessageSink setMessageSink(MessageSink sink);
}  // namespace quillmere

// clang-format off

// ---- Binding and test ------------------------------------------------------
/**
 * @brief Binds libeztw32 afresh, also when a library is already bound.
 *
 * Loads libeztw32.so.1 (a copy already in the process, else the one beside
 * libquillmere, else the loader's search), looks up its exports once and
 * stores a new handle in ::nEztwDll.
 * @return the new value of ::nEztwDll; 0 when the library cannot be loaded.
 * @par Message
 * When it cannot be loaded, the message sink shows "Could not find the
 * EZTWAIN eztw32.dll file!" (title "DLL missing"); the loader's reason goes
 * to standard error.
 */
QUILLMERE_EXPORT std::uint32_t eztw32_LoadDll();
/**
 * @brief Releases the library bound under ::nEztwDll.
 *
 * Does nothing when ::nEztwDll is 0 or names no live binding. ::nEztwDll keeps
 * its value; wrappers called afterwards return their failure values.
 */
QUILLMERE_EXPORT void eztw32_UnLoadDll();
/**
 * @brief TWAIN_Testing123 with a text left out and the numbers 2, 50, 1234, 12345; returns its result.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_Testing123`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_TestParam();

// ---- Status, identity and diagnostics --------------------------------------
/**
 * @brief TWAIN state of the library, 1 to 7.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_State`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetTwainState();
/**
 * @brief Library version times 100 (273 is version 2.73).
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_EasyVersion`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetVersion();
/**
 * @brief Whether a TWAIN source manager is available (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_IsAvailable`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_IsTwainAvailable();
/**
 * @brief Whether the library can write JPEG files (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_IsJpegAvailable`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_IsJpegAvailable();
/**
 * @brief Runs the library's self test; true when it passed (exactly 0).
 * @param nf passed on unchanged; 0 when left out
 * @return true only when the library's result is exactly 0.
 * @par Export
 * Calls `TWAIN_SelfTest`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SelfTest(std::int32_t nf = 0);
/**
 * @brief Appends a zero byte to cName and lets the library write its build name at its start; cName grows by one byte.
 * @param cName the caller's text, long enough for the build name; it grows by one zero byte (also when no library is bound)
 * @par Export
 * Calls `TWAIN_GetBuildName`. When no library is bound or it lacks the export, nothing is called.
 */
QUILLMERE_EXPORT void eztw32_GetBuildName(std::string& cName);
/**
 * @brief Registers the application's TWAIN identity: version, language, country and the four identity texts.
 * @param nMajor major version number of the application
 * @param nMinor minor version number of the application
 * @param nLanguage TWAIN language code
 * @param nCountry TWAIN country code
 * @param sVersion the application's version text
 * @param sMfg the manufacturer
 * @param sFamily the product family
 * @param sProduct the product name
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_RegisterApp`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_RegisterApp(std::int32_t nMajor = 0, std::int32_t nMinor = 0, std::int32_t nLanguage = 0, std::int32_t nCountry = 0, std::string_view sVersion = {}, std::string_view sMfg = {}, std::string_view sFamily = {}, std::string_view sProduct = {});
/**
 * @brief Sets the title of the library's own windows.
 * @param cTitle title of the library's windows
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetAppTitle`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetAppTitle(std::string_view cTitle = {});
/**
 * @brief Switches the library's log file on (1) or off (0).
 * @param nStatus 1 switches the log file on, 0 off
 * @par Export
 * Calls `TWAIN_LogFile`. When no library is bound or it lacks the export, nothing is called.
 */
QUILLMERE_EXPORT void eztw32_LogFile(std::int32_t nStatus = 0);

// ---- Source manager, source and transfer control ---------------------------
/**
 * @brief Lets the user choose the source; shows "Error: could not select a Source" when the library returns 0 (above 0).
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SelectImageSource`. When no library is bound or it lacks the export, nothing is called and the result is false.
 * @par Message
 * On a result of 0 the message sink shows "Error: could not select a Source" (title "TWAIN_SelectImageSource").
 */
QUILLMERE_EXPORT bool eztw32_SelectImageSource(std::int32_t hwnd = 0);
/**
 * @brief Name of the open (or last used) source; empty when there is none.
 * @return the name: the 256-byte buffer's text up to its first zero byte; empty when it holds none.
 * @par Export
 * Calls `TWAIN_GetSourceName`. When no library is bound or it lacks the export, nothing is called and the result is the empty text.
 */
QUILLMERE_EXPORT std::string eztw32_GetSourceName();
/**
 * @brief Name of the open (or last used) source, from TWAIN_SourceName.
 * @return the name: the 256-byte buffer's text up to its first zero byte; empty when it holds none.
 * @par Export
 * Calls `TWAIN_SourceName`. When no library is bound or it lacks the export, nothing is called and the result is the empty text.
 */
QUILLMERE_EXPORT std::string eztw32_SourceName();
/**
 * @brief Name of the default source; empty when there is none.
 * @return the name: the 256-byte buffer's text up to its first zero byte; empty when it holds none.
 * @par Export
 * Calls `TWAIN_GetDefaultSourceName`. When no library is bound or it lacks the export, nothing is called and the result is the empty text.
 */
QUILLMERE_EXPORT std::string eztw32_GetDefaultSourceName();
/**
 * @brief Opens the source of that name (above 0).
 * @param cSourceName name of the source, as the library names it
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_OpenSource`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_OpenSource(std::string_view cSourceName = {});
/**
 * @brief Starts an enumeration of the sources (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_GetSourceList`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_GetSourceList();
/**
 * @brief Steps to the next source of the enumeration; false when there is none left (above 0). The name is not returned.
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_GetNextSourceName`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_GetNextSourceName();
/**
 * @brief Loads the source manager (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_LoadSourceManager`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_LoadSourceManager();
/**
 * @brief Opens the source manager; shows "Error: ... could not open Source Manager" when the library returns 0 (above 0).
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_OpenSourceManager`. When no library is bound or it lacks the export, nothing is called and the result is false.
 * @par Message
 * On a result of 0 the message sink shows "Error: ", the result right-aligned in ten characters, " could not open Source Manager" (title "TWAIN_OpenSourceManager").
 */
QUILLMERE_EXPORT bool eztw32_OpenSourceManager(std::int32_t hwnd = 0);
/**
 * @brief Opens the default source (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_OpenDefaultSource`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_OpenDefaultSource();
/**
 * @brief Enables the open source for a transfer (above 0).
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_EnableSource`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_EnableSource(std::int32_t hwnd = 0);
/**
 * @brief Disables the source (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_DisableSource`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_DisableSource();
/**
 * @brief Closes the source (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_CloseSource`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_CloseSource();
/**
 * @brief Closes the source manager; shows "Error: Could not close Source Manager" when the library returns 0 (above 0).
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_CloseSourceManager`. When no library is bound or it lacks the export, nothing is called and the result is false.
 * @par Message
 * On a result of 0 the message sink shows "Error: Could not close Source Manager" (title "TWAIN_CloseSourceManager").
 */
QUILLMERE_EXPORT bool eztw32_CloseSourceManager(std::int32_t hwnd = 0);
/**
 * @brief Waits for one native transfer and returns its DIB handle; shows "Result handle: ..." when it is 0.
 * @param hwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_WaitForNativeXfer`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 * @par Message
 * On a result of 0 the message sink shows "Result handle: " and the result right-aligned in ten characters (title "TWAIN_WaitForNativeXfer").
 */
QUILLMERE_EXPORT std::int32_t eztw32_WaitForNativeXfer(std::int32_t hwnd = 0);
/**
 * @brief Whether a transfer is ready (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_IsTransferReady`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_IsTransferReady();
/**
 * @brief Runs the library's modal loop until the source is done; returns its result.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_ModalEventLoop`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_ModalEventLoop();
/**
 * @brief Ends the current transfer; returns the library's result.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_EndXfer`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_EndXfer();
/**
 * @brief Aborts every pending transfer; returns the library's result.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_AbortAllPendingXfers`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_AbortAllPendingXfers();
/**
 * @brief Negotiates the number of transfers, -1 for any (above 0).
 * @param nXfers number of transfers, -1 for any number
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_NegotiateXferCount`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_NegotiateXferCount(std::int32_t nXfers = 0);
/**
 * @brief Negotiates the acceptable pixel types, a mask (above 0).
 * @param nPixTypes mask of the acceptable pixel types, bit n for pixel type n (1 black and white, 2 grey, 4 RGB); 0 for any
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_NegotiatePixelTypes`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_NegotiatePixelTypes(std::int32_t nPixTypes = 0);
/**
 * @brief Unloads the source manager; shows "Error: Could not unload the Source Manager ..." when the library returns 0 (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_UnloadSourceManager`. When no library is bound or it lacks the export, nothing is called and the result is false.
 * @par Message
 * On a result of 0 the message sink shows "Error: Could not unload the Source Manager i.e. TWAIN.DLL" (title "TWAIN_UnloadSourceManager").
 */
QUILLMERE_EXPORT bool eztw32_UnloadSourceManager();

// ---- Acquisition, save format and file transfer ----------------------------
/**
 * @brief Sets the file format of file acquisitions, 2 for BMP and 4 for JPEG (above 0).
 * @param nFF file format: 2 BMP, 4 JPEG
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SetSaveFormat`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SetSaveFormat(std::int32_t nFF = 0);
/**
 * @brief The file format of file acquisitions.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetSaveFormat`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetSaveFormat();
/**
 * @brief Acquires one image; returns its DIB handle, 0 for none.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_Acquire`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_Acquire(std::int32_t nHwnd = 0);
/**
 * @brief Acquires one image through a memory transfer; returns its DIB handle, 0 for none.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_AcquireMemory`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_AcquireMemory(std::int32_t nHwnd = 0);
/**
 * @brief Acquires one image of the allowed pixel types; returns its DIB handle, 0 for none.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param nPixTypes mask of the acceptable pixel types, bit n for pixel type n (1 black and white, 2 grey, 4 RGB); 0 for any
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_AcquireNative`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_AcquireNative(std::int32_t nHwnd = 0, std::int32_t nPixTypes = 0);
/**
 * @brief Acquires one image onto the clipboard (above 0).
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param nPixTypes mask of the acceptable pixel types, bit n for pixel type n (1 black and white, 2 grey, 4 RGB); 0 for any
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_AcquireToClipboard`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_AcquireToClipboard(std::int32_t nHwnd = 0, std::int32_t nPixTypes = 0);
/**
 * @brief Writes an image to a file in the format its name's extension gives; returns the library's result code.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param cFilename file name, relative names against the current folder
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_WriteNativeToFilename`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_WriteNativeToFilename(std::int32_t hDib = 0, std::string_view cFilename = {});
/**
 * @brief Reads an image file; returns its DIB handle, 0 for none.
 * @param cFilename file name, relative names against the current folder
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_LoadNativeFromFilename`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_LoadNativeFromFilename(std::string_view cFilename = {});
/**
 * @brief Frees an image; returns the library's result.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_FreeNative`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_FreeNative(std::int32_t hDib = 0);
/**
 * @brief Acquires one image into a file in the save format; an empty name asks the user. Returns 0 or a negative result code.
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param cFilename file name, relative names against the current folder; empty to let the user choose
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_AcquireToFilename`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_AcquireToFilename(std::int32_t nHwnd = 0, std::string_view cFilename = {});
/**
 * @brief Acquires one image into a file of format nFF (above 0).
 * @param nHwnd native handle of the parent window (an X11 window id), passed unchanged; 0 for none
 * @param nFF file format: 2 BMP, 4 JPEG
 * @param cFilename file name, relative names against the current folder
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_AcquireFile`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_AcquireFile(std::int32_t nHwnd = 0, std::int32_t nFF = 0, std::string_view cFilename = {});
/**
 * @brief Sets the JPEG quality, 1 to 100; returns the library's result.
 * @param nQ JPEG quality, 1 to 100
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetJpegQuality`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetJpegQuality(std::int32_t nQ = 0);
/**
 * @brief The JPEG quality.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetJpegQuality`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetJpegQuality();
/**
 * @brief Whether several images are acquired per session (1) or one (0).
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetMultiTransfer`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetMultiTransfer();
/**
 * @brief Switches multiple transfers on (1) or off (0); returns the library's result.
 * @param nYes 1 for on, 0 for off
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetMultiTransfer`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetMultiTransfer(std::int32_t nYes = 0);
/**
 * @brief Whether the source supports file transfers (exactly 1).
 * @return true only when the library's result is exactly 1.
 * @par Export
 * Calls `TWAIN_SupportsFileXfer`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SupportsFileXfer();
/**
 * @brief Sets whether the parent window is disabled during an acquisition; returns the library's result.
 * @param nYes 1 for on, 0 for off
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_DisableParent`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DisableParent(std::int32_t nYes = 0);
/**
 * @brief Whether the parent window is disabled during an acquisition (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_GetDisableParent`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_GetDisableParent();
/**
 * @brief Hides (true) or shows the source's user interface; returns the library's result.
 * @param lYesNo true passes 1 (on), false 0 (off)
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetHideUI`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetHideUI(bool lYesNo = false);
/**
 * @brief Whether the source's user interface is hidden (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_GetHideUI`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_GetHideUI();

// ---- DIBs --------------------------------------------------------------------
/**
 * @brief Sets the resolution of an image in dots per inch; returns the library's result.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param xdpi horizontal resolution in dots per inch
 * @param ydpi vertical resolution in dots per inch
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_SetResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetResolution(std::int32_t hDib = 0, std::int32_t xdpi = 0, std::int32_t ydpi = 0);
/**
 * @brief Horizontal resolution of an image in dots per inch.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_XResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_XResolution(std::int32_t hDib = 0);
/**
 * @brief Vertical resolution of an image in dots per inch.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_YResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_YResolution(std::int32_t hDib = 0);
/**
 * @brief Bits per pixel of an image.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_Depth`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Depth(std::int32_t hDib = 0);
/**
 * @brief Width of an image in pixels.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_Width`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Width(std::int32_t hDib = 0);
/**
 * @brief Height of an image in rows.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_Height`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Height(std::int32_t hDib = 0);
/**
 * @brief Bytes per row of an image, padding included.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_RowBytes`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_RowBytes(std::int32_t hDib = 0);
/**
 * @brief Sets the number of colours in an image's colour table; returns the library's result.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nNoc number of colours in the colour table
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_SetColorCount`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetColorCount(std::int32_t hDib = 0, std::int32_t nNoc = 0);
/**
 * @brief Number of colours in an image's colour table.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_ColorCount`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorCount(std::int32_t hDib = 0);
/**
 * @brief Allocates a blank image of that depth, width and height; returns its DIB handle, 0 for none.
 * @param nDepth bits per pixel
 * @param nWidth width in pixels
 * @param nHeight height in rows
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_Allocate`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Allocate(std::int32_t nDepth = 0, std::int32_t nWidth = 0, std::int32_t nHeight = 0);
/**
 * @brief Frees an image; returns the library's result.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_Free`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Free(std::int32_t hDib = 0);
/**
 * @brief Unlocks an image's memory; returns the library's result.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_Unlock`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Unlock(std::int32_t hDib = 0);
/**
 * @brief Copies an image; returns the copy's DIB handle, 0 for none.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_Copy`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Copy(std::int32_t hDib = 0);
/**
 * @brief Fills an image's colour table with a grey ramp; returns the library's result.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_SetGrayColor`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetGrayColor(std::int32_t hDib = 0);
/**
 * @brief Sets one colour table entry; returns -1 without calling the library when a component lies outside 0 to 255.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @param nRed red component, 0 to 255
 * @param nGreen green component, 0 to 255
 * @param nBlue blue component, 0 to 255
 * @return the library's result unchanged; -1, without a call, when a component lies outside 0 to 255.
 * @par Export
 * Calls `DIB_SetColorTableRGB`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetColorTableRGB(std::int32_t hDib = 0, std::int32_t nindex = 0, std::int32_t nRed = 0, std::int32_t nGreen = 0, std::int32_t nBlue = 0);
/**
 * @brief Red component of a colour table entry.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_ColorTableR`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorTableR(std::int32_t hDib = 0, std::int32_t nindex = 0);
/**
 * @brief Green component of a colour table entry.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_ColorTableG`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorTableG(std::int32_t hDib = 0, std::int32_t nindex = 0);
/**
 * @brief Blue component of a colour table entry.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param nindex index of the entry in the colour table, from 0
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_ColorTableB`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorTableB(std::int32_t hDib = 0, std::int32_t nindex = 0);
/**
 * @brief Exchanges the red and blue components of an image; returns the library's result.
 * @param hDib DIB handle of the image, as the library handed it out
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_SwapRedBlue`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SwapRedBlue(std::int32_t hDib = 0);
/**
 * @brief Puts a copy of an image on the clipboard (exactly 1).
 * @param hDib DIB handle of the image, as the library handed it out
 * @return true only when the library's result is exactly 1.
 * @par Export
 * Calls `DIB_PutOnClipboard`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_DIB_PutOnClipboard(std::int32_t hDib = 0);
/**
 * @brief Takes the clipboard's image; returns its DIB handle, 0 for none.
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_GetFromClipboard`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_GetFromClipboard();
/**
 * @brief Writes an image as a BMP file; returns 0 or a negative result code.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param cFilename file name, relative names against the current folder
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_WriteToBmp`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_WriteToBmp(std::int32_t hDib = 0, std::string_view cFilename = {});
/**
 * @brief Writes an image as a JPEG file at the JPEG quality; returns 0 or a negative result code.
 * @param hDib DIB handle of the image, as the library handed it out
 * @param cFilename file name, relative names against the current folder
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_WriteToJpeg`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_WriteToJpeg(std::int32_t hDib = 0, std::string_view cFilename = {});
/**
 * @brief Reads a BMP or JPEG file; returns its DIB handle, 0 for none.
 * @param cFilename file name, relative names against the current folder
 * @return the library's result unchanged.
 * @par Export
 * Calls `DIB_LoadFromFilename`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_DIB_LoadFromFilename(std::string_view cFilename = {});

// ---- Device capabilities of the open source --------------------------------
/**
 * @brief Whether the source has a document feeder (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_HasFeeder`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_HasFeeder();
/**
 * @brief Whether the feeder is selected (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_IsFeederSelected`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_IsFeederSelected();
/**
 * @brief Selects the feeder (1) or the flatbed (0) (above 0).
 * @param nYes 1 for on, 0 for off
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SelectFeeder`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SelectFeeder(std::int32_t nYes = 0);
/**
 * @brief Whether automatic feeding is on (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_IsAutoFeedOn`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_IsAutoFeedOn();
/**
 * @brief Switches automatic feeding on (1) or off (0) (above 0).
 * @param nYes 1 for on, 0 for off
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SetAutoFeed`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SetAutoFeed(std::int32_t nYes = 0);
/**
 * @brief Whether the feeder holds paper (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_IsFeederLoaded`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_IsFeederLoaded();
/**
 * @brief Duplex support: 0 none, 1 one-pass, 2 two-pass.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetDuplexSupport`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetDuplexSupport();
/**
 * @brief Switches duplex scanning on or off (above 0).
 * @param lYesNo true passes 1 (on), false 0 (off)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_EnableDuplex`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_EnableDuplex(bool lYesNo = false);
/**
 * @brief Whether duplex scanning is on (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_IsDuplexEnabled`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_IsDuplexEnabled();
/**
 * @brief The current unit of measure (0 inches, 1 centimetres, 5 pixels, ...).
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetCurrentUnits`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetCurrentUnits();
/**
 * @brief Sets the unit of measure; returns the library's result.
 * @param nUnits unit of measure: 0 inches, 1 centimetres, 2 picas, 3 points, 4 twips, 5 pixels
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetCurrentUnits`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetCurrentUnits(std::int32_t nUnits = 0);
/**
 * @brief Bits per sample of the next image.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetBitDepth`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetBitDepth();
/**
 * @brief Sets the bits per sample; returns the library's result.
 * @param nBits bits per sample
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetBitDepth`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetBitDepth(std::int32_t nBits = 0);
/**
 * @brief Pixel type of the next image (0 black and white, 1 grey, 2 RGB).
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetPixelType`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetPixelType();
/**
 * @brief Sets the pixel type; returns the library's result.
 * @param nPixType pixel type: 0 black and white, 1 grey, 2 RGB
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetCurrentPixelType`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetCurrentPixelType(std::int32_t nPixType = 0);
/**
 * @brief Current horizontal resolution, rounded.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetCurrentResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetCurrentResolution();
/**
 * @brief Current vertical resolution, rounded.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetYResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetYResolution();
/**
 * @brief Sets both resolutions; returns the library's result.
 * @param nRes resolution, in dots per current unit
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetCurrentResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetCurrentResolution(double nRes = 0);
/**
 * @brief Sets the horizontal resolution; returns the library's result.
 * @param nXres horizontal resolution, in dots per current unit
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetXResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetXResolution(double nXres = 0);
/**
 * @brief Sets the vertical resolution; returns the library's result.
 * @param nYres vertical resolution, in dots per current unit
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetYResolution`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetYResolution(double nYres = 0);
/**
 * @brief Sets the contrast, -1000 to 1000; returns the library's result.
 * @param nCon contrast, -1000 to 1000
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetContrast`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetContrast(double nCon = 0);
/**
 * @brief Sets the brightness, -1000 to 1000; returns the library's result.
 * @param nBri brightness, -1000 to 1000
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetBrightness`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetBrightness(double nBri = 0);
/**
 * @brief Sets the black-and-white threshold, 0 to 255; returns the library's result.
 * @param nTresh threshold, 0 to 255
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetThreshold`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetThreshold(double nTresh = 0);
/**
 * @brief Current black-and-white threshold, rounded.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetCurrentThreshold`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetCurrentThreshold();
/**
 * @brief Sets the transfer mechanism (0 native, 1 file, 2 memory); returns the library's result.
 * @param nMech transfer mechanism: 0 native, 1 file, 2 memory
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetXferMech`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetXferMech(std::int32_t nMech = 0);
/**
 * @brief The transfer mechanism.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_XferMech`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetXferMech();
/**
 * @brief Sets the paper size by TWAIN code; returns the library's result.
 * @param nSize TWAIN paper size code
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetPaperSize`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetPaperSize(std::int32_t nSize = 0);
/**
 * @brief Whether the source's user interface can be hidden (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_HasControllableUI`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_HasControllableUI();
/**
 * @brief Switches the progress indicators on or off (above 0).
 * @param lYesNo true passes 1 (on), false 0 (off)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SetIndicators`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SetIndicators(bool lYesNo = false);
/**
 * @brief Sets the compression; returns the library's result.
 * @param nComp TWAIN compression code
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetCompression`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetCompression(std::int32_t nComp = 0);
/**
 * @brief The compression.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_Compression`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_Compression();
/**
 * @brief Switches tiled transfers on or off (above 0).
 * @param lYesNo true passes 1 (on), false 0 (off)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SetTiled`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SetTiled(bool lYesNo = false);
/**
 * @brief Whether transfers are tiled (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_Tiled`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_Tiled();
/**
 * @brief Sets planar (1) or chunky (0) data; returns the library's result.
 * @param nShape 1 for planar, 0 for chunky data
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetPlanarChunky`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetPlanarChunky(std::int32_t nShape = 0);
/**
 * @brief Planar (1) or chunky (0) data.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_PlanarChunky`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_PlanarChunky();
/**
 * @brief Sets the pixel flavour (0 black is 0, 1 white is 0); returns the library's result.
 * @param nFlavor pixel flavour: 0 black is 0, 1 white is 0
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetPixelFlavor`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetPixelFlavor(std::int32_t nFlavor = 0);
/**
 * @brief The pixel flavour.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_PixelFlavor`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_PixelFlavor();
/**
 * @brief Selects transmitted (true) or reflected light (above 0).
 * @param lYesNo true passes 1 (on), false 0 (off)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SetLightPath`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SetLightPath(bool lYesNo = false);
/**
 * @brief Switches automatic brightness on or off (above 0).
 * @param lYesNo true passes 1 (on), false 0 (off)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SetAutoBright`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SetAutoBright(bool lYesNo = false);
/**
 * @brief Sets the gamma; returns the library's result.
 * @param nGamma gamma value
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetGamma`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetGamma(double nGamma = 0);
/**
 * @brief Sets the shadow level; returns the library's result.
 * @param nShadow shadow level
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetShadow`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetShadow(double nShadow = 0);
/**
 * @brief Sets the highlight level; returns the library's result.
 * @param nHighl highlight level
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_SetHighlight`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_SetHighlight(double nHighl = 0);
/**
 * @brief Lets the library write the area to acquire (left, top, right, bottom) into the four variables (above 0).
 * @param nL receives the left edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nT receives the top edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nR receives the right edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nB receives the bottom edge, in the current units; eztw32 refuses a null address (result 0)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_GetImageLayout`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_GetImageLayout(double* nL = nullptr, double* nT = nullptr, double* nR = nullptr, double* nB = nullptr);
/**
 * @brief Sets the area to acquire: left, top, right, bottom (above 0).
 * @param nL left edge, in the current units
 * @param nT top edge, in the current units
 * @param nR right edge, in the current units
 * @param nB bottom edge, in the current units
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SetImageLayout`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SetImageLayout(double nL = 0, double nT = 0, double nR = 0, double nB = 0);
/**
 * @brief Lets the library write the source's default area (left, top, right, bottom) into the four variables (above 0).
 * @param nL receives the left edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nT receives the top edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nR receives the right edge, in the current units; eztw32 refuses a null address (result 0)
 * @param nB receives the bottom edge, in the current units; eztw32 refuses a null address (result 0)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_GetDefaultImageLayout`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_GetDefaultImageLayout(double* nL = nullptr, double* nT = nullptr, double* nR = nullptr, double* nB = nullptr);
/**
 * @brief Sets the area to acquire back to the source's default (above 0).
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_ResetImageLayout`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_ResetImageLayout();

// ---- Errors and result codes -----------------------------------------------
/**
 * @brief The library's last TWAIN result code.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetResultCode`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetResultCode();
/**
 * @brief The library's last TWAIN condition code.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_GetConditionCode`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_GetConditionCode();
/**
 * @brief Whether the user closed the source (exactly 1).
 * @return true only when the library's result is exactly 1.
 * @par Export
 * Calls `TWAIN_UserClosedSource`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_UserClosedSource();
/**
 * @brief Lets the library show cMessage in its error box; returns its result.
 * @param cMessage text of the message
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_ErrorBox`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_ErrorBox(std::string_view cMessage = {});
/**
 * @brief Suppresses (true) or allows the library's error messages (above 0).
 * @param lYesNo true passes 1 (on), false 0 (off)
 * @return true when the library's result is above 0, false for 0 and below.
 * @par Export
 * Calls `TWAIN_SuppressErrorMessages`. When no library is bound or it lacks the export, nothing is called and the result is false.
 */
QUILLMERE_EXPORT bool eztw32_SuppressErrorMessages(bool lYesNo = false);
/**
 * @brief The library's last error code.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_LastErrorCode`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_LastErrorCode();
/**
 * @brief Clears the library's last error; returns its result.
 * @return the library's result unchanged.
 * @par Export
 * Calls `TWAIN_ClearError`. When no library is bound or it lacks the export, nothing is called and the result is 0.
 */
QUILLMERE_EXPORT std::int32_t eztw32_ClearError();

// clang-format on

#endif
