// Quillmere: the eztw32_ functions over the scanning library libeztw32.
//
// eztw32_LoadDll() binds the library by its bare file name (libeztw32.so, on
// Windows eztw32.dll) and stores a handle in nEztwDll; every other wrapper
// reads nEztwDll at each call, calls exactly one export and converts its
// result. Until a library is bound, after eztw32_UnLoadDll(), or when the
// bound library lacks the export, a wrapper calls nothing and returns its
// failure value: 0, false or the empty text.
//
// Conventions:
// - Numbers, window handles and DIB handles are 32-bit signed integers passed
//   unchanged. A DIB handle a wrapper returns belongs to the caller, who frees
//   it with eztw32_FreeNative() or eztw32_DIB_Free().
// - Logical parameters (lYesNo) pass 1 for true and 0 for false.
// - Texts are 8-bit strings. A text left out (a default std::string_view)
//   passes a null address; an empty text passes the address of a zero byte.
// - Fractional settings (resolution, contrast, brightness, threshold, gamma,
//   shadow, highlight) and the four numbers of the image layout cross as
//   doubles, in the source's current units (inches unless changed with
//   eztw32_SetCurrentUnits); all results are whole numbers.
// - Results marked "(above 0)" are true when the library's result is above 0,
//   "(exactly 1)" only for 1, "(exactly 0)" only for 0.
// - Six wrappers report a failure in a message box through the message sink
//   (see quillmere::setMessageSink); the others show nothing.
// - All calls belong to one thread, the one that called eztw32_LoadDll().
#ifndef QUILLMERE_EZTW32FU_H
#define QUILLMERE_EZTW32FU_H

#include <quillmere/quillmere_export.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Handle of the bound library, 0 when binding failed. Written only by
// eztw32_LoadDll(); eztw32_UnLoadDll() leaves the value in place.
QUILLMERE_EXPORT extern std::uint32_t nEztwDll;

namespace quillmere {
// Shows one modal message: its text and a title (empty when none is given).
using MessageSink = std::function<void(const std::string& text, const std::string& title)>;
// Installs the sink that shows the wrappers' messages and returns the one it
// replaces. The initial sink writes "title: text" to standard error; an empty
// sink restores it.
QUILLMERE_EXPORT MessageSink setMessageSink(MessageSink sink);
} // namespace quillmere

// clang-format off

// ---- Binding and test ------------------------------------------------------
/// Binds libeztw32 afresh and returns nEztwDll; shows "DLL missing" and returns 0 when it cannot be loaded.
QUILLMERE_EXPORT std::uint32_t eztw32_LoadDll();
/// Releases the library bound under nEztwDll; does nothing when nEztwDll is 0.
QUILLMERE_EXPORT void eztw32_UnLoadDll();
/// TWAIN_Testing123 with a text left out and the numbers 2, 50, 1234, 12345; returns its result.
QUILLMERE_EXPORT std::int32_t eztw32_TestParam();

// ---- Status, identity and diagnostics --------------------------------------
/// TWAIN state of the library, 1 to 7.
QUILLMERE_EXPORT std::int32_t eztw32_GetTwainState();
/// Library version times 100 (273 is version 2.73).
QUILLMERE_EXPORT std::int32_t eztw32_GetVersion();
/// Whether a TWAIN source manager is available (above 0).
QUILLMERE_EXPORT bool eztw32_IsTwainAvailable();
/// Whether the library can write JPEG files (above 0).
QUILLMERE_EXPORT bool eztw32_IsJpegAvailable();
/// Runs the library's self test; true when it passed (exactly 0).
QUILLMERE_EXPORT bool eztw32_SelfTest(std::int32_t nf = 0);
/// Appends a zero byte to cName and lets the library write its build name at its start; cName grows by one byte.
QUILLMERE_EXPORT void eztw32_GetBuildName(std::string& cName);
/// Registers the application's TWAIN identity: version, language, country and the four identity texts.
QUILLMERE_EXPORT std::int32_t eztw32_RegisterApp(std::int32_t nMajor = 0, std::int32_t nMinor = 0, std::int32_t nLanguage = 0, std::int32_t nCountry = 0, std::string_view sVersion = {}, std::string_view sMfg = {}, std::string_view sFamily = {}, std::string_view sProduct = {});
/// Sets the title of the library's own windows.
QUILLMERE_EXPORT std::int32_t eztw32_SetAppTitle(std::string_view cTitle = {});
/// Switches the library's log file on (1) or off (0).
QUILLMERE_EXPORT void eztw32_LogFile(std::int32_t nStatus = 0);

// ---- Source manager, source and transfer control ---------------------------
/// Lets the user choose the source; shows "Error: could not select a Source" when the library returns 0 (above 0).
QUILLMERE_EXPORT bool eztw32_SelectImageSource(std::int32_t hwnd = 0);
/// Name of the open (or last used) source; empty when there is none.
QUILLMERE_EXPORT std::string eztw32_GetSourceName();
/// Name of the open (or last used) source, from TWAIN_SourceName.
QUILLMERE_EXPORT std::string eztw32_SourceName();
/// Name of the default source; empty when there is none.
QUILLMERE_EXPORT std::string eztw32_GetDefaultSourceName();
/// Opens the source of that name (above 0).
QUILLMERE_EXPORT bool eztw32_OpenSource(std::string_view cSourceName = {});
/// Starts an enumeration of the sources (above 0).
QUILLMERE_EXPORT bool eztw32_GetSourceList();
/// Steps to the next source of the enumeration; false when there is none left (above 0). The name is not returned.
QUILLMERE_EXPORT bool eztw32_GetNextSourceName();
/// Loads the source manager (above 0).
QUILLMERE_EXPORT bool eztw32_LoadSourceManager();
/// Opens the source manager; shows "Error: ... could not open Source Manager" when the library returns 0 (above 0).
QUILLMERE_EXPORT bool eztw32_OpenSourceManager(std::int32_t hwnd = 0);
/// Opens the default source (above 0).
QUILLMERE_EXPORT bool eztw32_OpenDefaultSource();
/// Enables the open source for a transfer (above 0).
QUILLMERE_EXPORT bool eztw32_EnableSource(std::int32_t hwnd = 0);
/// Disables the source (above 0).
QUILLMERE_EXPORT bool eztw32_DisableSource();
/// Closes the source (above 0).
QUILLMERE_EXPORT bool eztw32_CloseSource();
/// Closes the source manager; shows "Error: Could not close Source Manager" when the library returns 0 (above 0).
QUILLMERE_EXPORT bool eztw32_CloseSourceManager(std::int32_t hwnd = 0);
/// Waits for one native transfer and returns its DIB handle; shows "Result handle: ..." when it is 0.
QUILLMERE_EXPORT std::int32_t eztw32_WaitForNativeXfer(std::int32_t hwnd = 0);
/// Whether a transfer is ready (above 0).
QUILLMERE_EXPORT bool eztw32_IsTransferReady();
/// Runs the library's modal loop until the source is done; returns its result.
QUILLMERE_EXPORT std::int32_t eztw32_ModalEventLoop();
/// Ends the current transfer; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_EndXfer();
/// Aborts every pending transfer; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_AbortAllPendingXfers();
/// Negotiates the number of transfers, -1 for any (above 0).
QUILLMERE_EXPORT bool eztw32_NegotiateXferCount(std::int32_t nXfers = 0);
/// Negotiates the acceptable pixel types, a mask (above 0).
QUILLMERE_EXPORT bool eztw32_NegotiatePixelTypes(std::int32_t nPixTypes = 0);
/// Unloads the source manager; shows "Error: Could not unload the Source Manager ..." when the library returns 0 (above 0).
QUILLMERE_EXPORT bool eztw32_UnloadSourceManager();

// ---- Acquisition, save format and file transfer ----------------------------
/// Sets the file format of file acquisitions, 2 for BMP and 4 for JPEG (above 0).
QUILLMERE_EXPORT bool eztw32_SetSaveFormat(std::int32_t nFF = 0);
/// The file format of file acquisitions.
QUILLMERE_EXPORT std::int32_t eztw32_GetSaveFormat();
/// Acquires one image; returns its DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_Acquire(std::int32_t nHwnd = 0);
/// Acquires one image through a memory transfer; returns its DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_AcquireMemory(std::int32_t nHwnd = 0);
/// Acquires one image of the allowed pixel types; returns its DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_AcquireNative(std::int32_t nHwnd = 0, std::int32_t nPixTypes = 0);
/// Acquires one image onto the clipboard (above 0).
QUILLMERE_EXPORT bool eztw32_AcquireToClipboard(std::int32_t nHwnd = 0, std::int32_t nPixTypes = 0);
/// Writes an image to a file in the format its name's extension gives; returns the library's result code.
QUILLMERE_EXPORT std::int32_t eztw32_WriteNativeToFilename(std::int32_t hDib = 0, std::string_view cFilename = {});
/// Reads an image file; returns its DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_LoadNativeFromFilename(std::string_view cFilename = {});
/// Frees an image; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_FreeNative(std::int32_t hDib = 0);
/// Acquires one image into a file in the save format; an empty name asks the user. Returns 0 or a negative result code.
QUILLMERE_EXPORT std::int32_t eztw32_AcquireToFilename(std::int32_t nHwnd = 0, std::string_view cFilename = {});
/// Acquires one image into a file of format nFF (above 0).
QUILLMERE_EXPORT bool eztw32_AcquireFile(std::int32_t nHwnd = 0, std::int32_t nFF = 0, std::string_view cFilename = {});
/// Sets the JPEG quality, 1 to 100; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetJpegQuality(std::int32_t nQ = 0);
/// The JPEG quality.
QUILLMERE_EXPORT std::int32_t eztw32_GetJpegQuality();
/// Whether several images are acquired per session (1) or one (0).
QUILLMERE_EXPORT std::int32_t eztw32_GetMultiTransfer();
/// Switches multiple transfers on (1) or off (0); returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetMultiTransfer(std::int32_t nYes = 0);
/// Whether the source supports file transfers (exactly 1).
QUILLMERE_EXPORT bool eztw32_SupportsFileXfer();
/// Sets whether the parent window is disabled during an acquisition; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_DisableParent(std::int32_t nYes = 0);
/// Whether the parent window is disabled during an acquisition (above 0).
QUILLMERE_EXPORT bool eztw32_GetDisableParent();
/// Hides (true) or shows the source's user interface; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetHideUI(bool lYesNo = false);
/// Whether the source's user interface is hidden (above 0).
QUILLMERE_EXPORT bool eztw32_GetHideUI();

// ---- DIBs --------------------------------------------------------------------
/// Sets the resolution of an image in dots per inch; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetResolution(std::int32_t hDib = 0, std::int32_t xdpi = 0, std::int32_t ydpi = 0);
/// Horizontal resolution of an image in dots per inch.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_XResolution(std::int32_t hDib = 0);
/// Vertical resolution of an image in dots per inch.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_YResolution(std::int32_t hDib = 0);
/// Bits per pixel of an image.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Depth(std::int32_t hDib = 0);
/// Width of an image in pixels.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Width(std::int32_t hDib = 0);
/// Height of an image in rows.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Height(std::int32_t hDib = 0);
/// Bytes per row of an image, padding included.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_RowBytes(std::int32_t hDib = 0);
/// Sets the number of colours in an image's colour table; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetColorCount(std::int32_t hDib = 0, std::int32_t nNoc = 0);
/// Number of colours in an image's colour table.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorCount(std::int32_t hDib = 0);
/// Allocates a blank image of that depth, width and height; returns its DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Allocate(std::int32_t nDepth = 0, std::int32_t nWidth = 0, std::int32_t nHeight = 0);
/// Frees an image; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Free(std::int32_t hDib = 0);
/// Unlocks an image's memory; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Unlock(std::int32_t hDib = 0);
/// Copies an image; returns the copy's DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_Copy(std::int32_t hDib = 0);
/// Fills an image's colour table with a grey ramp; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetGrayColor(std::int32_t hDib = 0);
/// Sets one colour table entry; returns -1 without calling the library when a component lies outside 0 to 255.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SetColorTableRGB(std::int32_t hDib = 0, std::int32_t nindex = 0, std::int32_t nRed = 0, std::int32_t nGreen = 0, std::int32_t nBlue = 0);
/// Red component of a colour table entry.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorTableR(std::int32_t hDib = 0, std::int32_t nindex = 0);
/// Green component of a colour table entry.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorTableG(std::int32_t hDib = 0, std::int32_t nindex = 0);
/// Blue component of a colour table entry.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_ColorTableB(std::int32_t hDib = 0, std::int32_t nindex = 0);
/// Exchanges the red and blue components of an image; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_SwapRedBlue(std::int32_t hDib = 0);
/// Puts a copy of an image on the clipboard (exactly 1).
QUILLMERE_EXPORT bool eztw32_DIB_PutOnClipboard(std::int32_t hDib = 0);
/// Takes the clipboard's image; returns its DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_GetFromClipboard();
/// Writes an image as a BMP file; returns 0 or a negative result code.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_WriteToBmp(std::int32_t hDib = 0, std::string_view cFilename = {});
/// Writes an image as a JPEG file at the JPEG quality; returns 0 or a negative result code.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_WriteToJpeg(std::int32_t hDib = 0, std::string_view cFilename = {});
/// Reads a BMP or JPEG file; returns its DIB handle, 0 for none.
QUILLMERE_EXPORT std::int32_t eztw32_DIB_LoadFromFilename(std::string_view cFilename = {});

// ---- Device capabilities of the open source --------------------------------
/// Whether the source has a document feeder (above 0).
QUILLMERE_EXPORT bool eztw32_HasFeeder();
/// Whether the feeder is selected (above 0).
QUILLMERE_EXPORT bool eztw32_IsFeederSelected();
/// Selects the feeder (1) or the flatbed (0) (above 0).
QUILLMERE_EXPORT bool eztw32_SelectFeeder(std::int32_t nYes = 0);
/// Whether automatic feeding is on (above 0).
QUILLMERE_EXPORT bool eztw32_IsAutoFeedOn();
/// Switches automatic feeding on (1) or off (0) (above 0).
QUILLMERE_EXPORT bool eztw32_SetAutoFeed(std::int32_t nYes = 0);
/// Whether the feeder holds paper (above 0).
QUILLMERE_EXPORT bool eztw32_IsFeederLoaded();
/// Duplex support: 0 none, 1 one-pass, 2 two-pass.
QUILLMERE_EXPORT std::int32_t eztw32_GetDuplexSupport();
/// Switches duplex scanning on or off (above 0).
QUILLMERE_EXPORT bool eztw32_EnableDuplex(bool lYesNo = false);
/// Whether duplex scanning is on (above 0).
QUILLMERE_EXPORT bool eztw32_IsDuplexEnabled();
/// The current unit of measure (0 inches, 1 centimetres, 5 pixels, ...).
QUILLMERE_EXPORT std::int32_t eztw32_GetCurrentUnits();
/// Sets the unit of measure; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetCurrentUnits(std::int32_t nUnits = 0);
/// Bits per sample of the next image.
QUILLMERE_EXPORT std::int32_t eztw32_GetBitDepth();
/// Sets the bits per sample; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetBitDepth(std::int32_t nBits = 0);
/// Pixel type of the next image (0 black and white, 1 grey, 2 RGB).
QUILLMERE_EXPORT std::int32_t eztw32_GetPixelType();
/// Sets the pixel type; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetCurrentPixelType(std::int32_t nPixType = 0);
/// Current horizontal resolution, rounded.
QUILLMERE_EXPORT std::int32_t eztw32_GetCurrentResolution();
/// Current vertical resolution, rounded.
QUILLMERE_EXPORT std::int32_t eztw32_GetYResolution();
/// Sets both resolutions; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetCurrentResolution(double nRes = 0);
/// Sets the horizontal resolution; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetXResolution(double nXres = 0);
/// Sets the vertical resolution; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetYResolution(double nYres = 0);
/// Sets the contrast, -1000 to 1000; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetContrast(double nCon = 0);
/// Sets the brightness, -1000 to 1000; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetBrightness(double nBri = 0);
/// Sets the black-and-white threshold, 0 to 255; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetThreshold(double nTresh = 0);
/// Current black-and-white threshold, rounded.
QUILLMERE_EXPORT std::int32_t eztw32_GetCurrentThreshold();
/// Sets the transfer mechanism (0 native, 1 file, 2 memory); returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetXferMech(std::int32_t nMech = 0);
/// The transfer mechanism.
QUILLMERE_EXPORT std::int32_t eztw32_GetXferMech();
/// Sets the paper size by TWAIN code; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetPaperSize(std::int32_t nSize = 0);
/// Whether the source's user interface can be hidden (above 0).
QUILLMERE_EXPORT bool eztw32_HasControllableUI();
/// Switches the progress indicators on or off (above 0).
QUILLMERE_EXPORT bool eztw32_SetIndicators(bool lYesNo = false);
/// Sets the compression; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetCompression(std::int32_t nComp = 0);
/// The compression.
QUILLMERE_EXPORT std::int32_t eztw32_Compression();
/// Switches tiled transfers on or off (above 0).
QUILLMERE_EXPORT bool eztw32_SetTiled(bool lYesNo = false);
/// Whether transfers are tiled (above 0).
QUILLMERE_EXPORT bool eztw32_Tiled();
/// Sets planar (1) or chunky (0) data; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetPlanarChunky(std::int32_t nShape = 0);
/// Planar (1) or chunky (0) data.
QUILLMERE_EXPORT std::int32_t eztw32_PlanarChunky();
/// Sets the pixel flavour (0 black is 0, 1 white is 0); returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetPixelFlavor(std::int32_t nFlavor = 0);
/// The pixel flavour.
QUILLMERE_EXPORT std::int32_t eztw32_PixelFlavor();
/// Selects transmitted (true) or reflected light (above 0).
QUILLMERE_EXPORT bool eztw32_SetLightPath(bool lYesNo = false);
/// Switches automatic brightness on or off (above 0).
QUILLMERE_EXPORT bool eztw32_SetAutoBright(bool lYesNo = false);
/// Sets the gamma; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetGamma(double nGamma = 0);
/// Sets the shadow level; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetShadow(double nShadow = 0);
/// Sets the highlight level; returns the library's result.
QUILLMERE_EXPORT std::int32_t eztw32_SetHighlight(double nHighl = 0);
/// Lets the library write the area to acquire (left, top, right, bottom) into the four variables (above 0).
QUILLMERE_EXPORT bool eztw32_GetImageLayout(double* nL = nullptr, double* nT = nullptr, double* nR = nullptr, double* nB = nullptr);
/// Sets the area to acquire: left, top, right, bottom (above 0).
QUILLMERE_EXPORT bool eztw32_SetImageLayout(double nL = 0, double nT = 0, double nR = 0, double nB = 0);
/// Lets the library write the source's default area (left, top, right, bottom) into the four variables (above 0).
QUILLMERE_EXPORT bool eztw32_GetDefaultImageLayout(double* nL = nullptr, double* nT = nullptr, double* nR = nullptr, double* nB = nullptr);
/// Sets the area to acquire back to the source's default (above 0).
QUILLMERE_EXPORT bool eztw32_ResetImageLayout();

// ---- Errors and result codes -----------------------------------------------
/// The library's last TWAIN result code.
QUILLMERE_EXPORT std::int32_t eztw32_GetResultCode();
/// The library's last TWAIN condition code.
QUILLMERE_EXPORT std::int32_t eztw32_GetConditionCode();
/// Whether the user closed the source (exactly 1).
QUILLMERE_EXPORT bool eztw32_UserClosedSource();
/// Lets the library show cMessage in its error box; returns its result.
QUILLMERE_EXPORT std::int32_t eztw32_ErrorBox(std::string_view cMessage = {});
/// Suppresses (true) or allows the library's error messages (above 0).
QUILLMERE_EXPORT bool eztw32_SuppressErrorMessages(bool lYesNo = false);
/// The library's last error code.
QUILLMERE_EXPORT std::int32_t eztw32_LastErrorCode();
/// Clears the library's last error; returns its result.
QUILLMERE_EXPORT std::int32_t eztw32_ClearError();

// clang-format on

#endif
