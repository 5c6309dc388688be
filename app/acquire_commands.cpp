// SPDX-License-Identifier: GPL-2.0-or-later
#include <quillmere/eztw32fu.h>

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <cstdio>

#include "commands.h"
#include "mainview.h"
#include "messages.h"
#include "sorrelby.h"

using sorrelby::mainWindowHandle;
using sorrelby::message;
using sorrelby::reportStatus;

namespace {

constexpr const char* kBmpFile = "MYTEST.BMP";

// Makes `image` the current image; the one it replaces is released first so
// that no image is left in the library without an owner.
void replaceCurrentImage(std::int32_t image) {
  if (nDibHnd != 0 && nDibHnd != image) eztw32_FreeNative(nDibHnd);
  nDibHnd = image;
}

std::string sizeText(qint64 bytes) {
  char buf[32];
  if (bytes < 1024 * 1024)
    std::snprintf(buf, sizeof buf, "%lld KB", static_cast<long long>((bytes + 1023) / 1024));
  else
    std::snprintf(buf, sizeof buf, "%.1f MB", double(bytes) / (1024.0 * 1024.0));
  return buf;
}

// "MYTEST.JPG written, 2480 x 3508, 1.2 MB, in /home/user/Sorrelby", read
// back from the file itself; `how` is added after "written".
std::string writtenStatus(const std::string& name, const std::string& how = {}) {
  const QString folder = QDir::currentPath();
  const QFileInfo info(QString::fromLocal8Bit(name));
  if (!info.isFile()) return name + " was reported written but is not in " + folder.toStdString();
  std::string text = name + " written" + how;
  const QSize pixels = QImageReader(info.absoluteFilePath()).size();
  if (pixels.isValid())
    text += ", " + std::to_string(pixels.width()) + " x " + std::to_string(pixels.height());
  return text + ", " + sizeText(info.size()) + ", in " + folder.toLocal8Bit().toStdString();
}

// The status of an acquisition that brought no image: a cancel by the user,
// or `failed` with the library's error code.
void reportNoImage(const std::string& failed, std::int32_t errorCode) {
  if (eztw32_UserClosedSource())
    reportStatus("Acquisition cancelled");
  else
    reportStatus(failed + ", library error code " + std::to_string(errorCode));
}

void twainError(std::int32_t errorCode) {
  message("Error - code is: " + sorrelby::numberText(errorCode), "TWAIN Error");
}

// Shows the image held in memory: written into the main view's own file,
// described from the library's answers.
void showHeldImage() {
  if (sorrelby::MainView* view = sorrelby::mainView()) {
    const QByteArray file = view->heldImageFile();
    if (!file.isEmpty() && eztw32_DIB_WriteToBmp(nDibHnd, file.toStdString()) >= 0)
      view->showImage(file);
  }
  const std::int32_t width = eztw32_DIB_Width(nDibHnd);
  const std::int32_t height = eztw32_DIB_Height(nDibHnd);
  const std::int32_t depth = eztw32_DIB_Depth(nDibHnd);
  reportStatus("Image acquired, " + std::to_string(width) + " x " + std::to_string(height) + ", " +
               std::to_string(depth) +
               " bits per pixel, held in memory; Save to File writes it to " + kBmpFile);
}

// The status after writing `name` failed with result `code`.
void reportNotWritten(const std::string& name, std::int32_t code) {
  reportStatus(name + " not written: " + sorrelby::resultText(code));
}

}  // namespace

namespace sorrelby {

std::string resultText(std::int32_t nStatus) {
  switch (nStatus) {
    case -1:
      return "the Acquire failed.";
    case -2:
      return "file open error (invalid path or name, or access denied)";
    case -3:
      return "invalid DIB, or image incompatible with file format, or...";
    case -4:
      return "writing failed, possibly output device is full.";
    case -10:
      return "user cancelled File Save dialog";
    default:
      return "Error code: " + numberText(nStatus);
  }
}

}  // namespace sorrelby

void dis_err_msg(std::int32_t nStatus) { message(sorrelby::resultText(nStatus)); }

void acqfromds() {
  eztw32_GetDefaultSourceName();
  const std::int32_t image = eztw32_Acquire(mainWindowHandle());
  // A cancelled or failed acquisition leaves the image the user already has.
  if (image == 0) {
    reportNoImage("Acquisition failed", eztw32_LastErrorCode());
    return;
  }
  replaceCurrentImage(image);
  showHeldImage();
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
  const std::string name = "MYTEST." + cFileExt;
  const std::int32_t nStatus = eztw32_AcquireToFilename(mainWindowHandle(), name);
  if (nStatus == 0) {
    reportStatus(writtenStatus(name));
    sorrelby::showImageFile(name);
    return;
  }
  if (nStatus == -1)
    reportNoImage("Acquisition failed, " + name + " not written", eztw32_LastErrorCode());
  else
    reportNotWritten(name, nStatus);
  dis_err_msg(nStatus);
}

void austoclip() {
  eztw32_GetDefaultSourceName();
  if (!eztw32_AcquireToClipboard(mainWindowHandle(), 0)) {
    const std::int32_t code = eztw32_LastErrorCode();
    reportNoImage("Acquisition to the clipboard failed", code);
    twainError(code);
    return;
  }
  const std::int32_t image = eztw32_DIB_GetFromClipboard();
  if (image == 0) {
    // Nothing came back from the clipboard: say so rather than write nothing
    // in silence.
    const std::int32_t code = eztw32_LastErrorCode();
    reportStatus("The clipboard held no image; nothing written");
    twainError(code);
    return;
  }
  replaceCurrentImage(image);
  const std::int32_t written = eztw32_DIB_WriteToBmp(nDibHnd, kBmpFile);
  eztw32_FreeNative(nDibHnd);
  nDibHnd = 0;
  if (written < 0) {
    reportNotWritten(kBmpFile, written);
    dis_err_msg(written);
    return;
  }
  reportStatus(writtenStatus(kBmpFile, " from the clipboard"));
  sorrelby::showImageFile(kBmpFile);
}

void savetofile() {
  if (nDibHnd == 0) {
    // Released or never acquired: no handle is passed to the library.
    reportStatus("No image to save");
    message("There is no image to save. Acquire one with \"Acquire from Source\" first.");
    return;
  }
  const std::int32_t written = eztw32_DIB_WriteToBmp(nDibHnd, kBmpFile);
  if (written < 0) {
    // Keep the image so that saving can be tried again.
    reportNotWritten(kBmpFile, written);
    dis_err_msg(written);
    return;
  }
  eztw32_FreeNative(nDibHnd);
  nDibHnd = 0;
  reportStatus(writtenStatus(kBmpFile));
  sorrelby::showImageFile(kBmpFile);
}
