#include <quillmere/eztw32fu.h>

#include "commands.h"
#include "messages.h"
#include "sorrelby.h"

using sorrelby::mainWindowHandle;
using sorrelby::message;

namespace {

constexpr const char* kBmpFile = "MYTEST.BMP";

// Makes `image` the current image; the one it replaces is released first so
// that no image is left in the library without an owner.
void replaceCurrentImage(std::int32_t image) {
  if (nDibHnd != 0 && nDibHnd != image) eztw32_FreeNative(nDibHnd);
  nDibHnd = image;
}

void twainError() {
  message("Error - code is: " + sorrelby::numberText(eztw32_LastErrorCode()), "TWAIN Error");
}

}  // namespace

void dis_err_msg(std::int32_t nStatus) {
  switch (nStatus) {
    case -1:
      message("the Acquire failed.");
      break;
    case -2:
      message("file open error (invalid path or name, or access denied)");
      break;
    case -3:
      message("invalid DIB, or image incompatible with file format, or...");
      break;
    case -4:
      message("writing failed, possibly output device is full.");
      break;
    case -10:
      message("user cancelled File Save dialog");
      break;
    default:
      message("Error code: " + sorrelby::numberText(nStatus));
  }
}

void acqfromds() {
  eztw32_GetDefaultSourceName();
  const std::int32_t image = eztw32_Acquire(mainWindowHandle());
  // A cancelled or failed acquisition leaves the image the user already has.
  if (image != 0) replaceCurrentImage(image);
}

void austofile() {
  const std::string cdefsourec = eztw32_GetDefaultSourceName();
  std::string cFileExt;
  if (eztw32_IsJpegAvailable()) {
    eztw32_GetJpegQuality();
    eztw32_SetJpegQuality(60);
    eztw32_SetSaveFormat(4);
    cFileExt = "JPG";
  } else {
    eztw32_SetSaveFormat(2);
    cFileExt = "BMP";
  }
  const std::int32_t nStatus = eztw32_AcquireToFilename(mainWindowHandle(), "MYTEST." + cFileExt);
  if (nStatus != 0) dis_err_msg(nStatus);
}

void austoclip() {
  eztw32_GetDefaultSourceName();
  if (!eztw32_AcquireToClipboard(mainWindowHandle(), 0)) {
    twainError();
    return;
  }
  const std::int32_t image = eztw32_DIB_GetFromClipboard();
  if (image == 0) {
    // Nothing came back from the clipboard: say so rather than write nothing
    // in silence.
    twainError();
    return;
  }
  replaceCurrentImage(image);
  const std::int32_t written = eztw32_DIB_WriteToBmp(nDibHnd, kBmpFile);
  eztw32_FreeNative(nDibHnd);
  nDibHnd = 0;
  if (written < 0) dis_err_msg(written);
}

void savetofile() {
  if (nDibHnd == 0) {
    // Released or never acquired: no handle is passed to the library.
    message("There is no image to save. Acquire one with \"Acquire from Source\" first.");
    return;
  }
  const std::int32_t written = eztw32_DIB_WriteToBmp(nDibHnd, kBmpFile);
  if (written < 0) {
    // Keep the image so that saving can be tried again.
    dis_err_msg(written);
    return;
  }
  eztw32_FreeNative(nDibHnd);
  nDibHnd = 0;
}
