// SPDX-License-Identifier: MIT
// DIB handles and operations. An unknown, zero or freed handle gives the
// failure value (0, or -1 where 0 is a valid answer) and records the error.
#include "dib_table.h"
#include "exports.h"
#include "gui.h"
#include "image_file.h"
#include "session.h"

using namespace eztw;

namespace {
constexpr int32_t kBad = -1;

// Runs fn on the DIB under h; records a bad handle and returns fallback.
template <typename Fn>
int32_t onDib(const char* name, int32_t h, int32_t fallback, Fn&& fn) {
  return guarded(name, fallback, [&] {
    int32_t r = fallback;
    if (!withDib(h, [&](Dib& d) { r = fn(d); }))
      Session::instance().recordError(kErrBadHandle, kCcBadValue);
    return r;
  });
}

int32_t colourComponent(const char* name, int32_t h, int32_t index, int which) {
  return onDib(name, h, kBad, [&](Dib& d) -> int32_t {
    Rgb c;
    if (!d.paletteEntry(index, c)) return kBad;
    return which == 0 ? c.r : (which == 1 ? c.g : c.b);
  });
}

int32_t writeFile(const char* name, int32_t h, const char* file, FileFormat f) {
  if (!file) return guarded(name, kFileOpenError, [] { return kFileOpenError; });
  return onDib(name, h, kBadDib, [&](Dib& d) {
    return writeImageFile(d, file, f, Session::instance().settings.jpegQuality);
  });
}
}  // namespace

EZ_API int32_t DIB_SetResolution(int32_t hDib, int32_t xdpi, int32_t ydpi) {
  return onDib("DIB_SetResolution", hDib, 0, [&](Dib& d) {
    if (xdpi < 0 || ydpi < 0 || xdpi > 1000000 || ydpi > 1000000) return 0;
    d.setDpi(xdpi, ydpi);
    return 1;
  });
}

EZ_API int32_t DIB_XResolution(int32_t hDib) {
  return onDib("DIB_XResolution", hDib, 0, [](Dib& d) { return d.xDpi(); });
}
EZ_API int32_t DIB_YResolution(int32_t hDib) {
  return onDib("DIB_YResolution", hDib, 0, [](Dib& d) { return d.yDpi(); });
}
EZ_API int32_t DIB_Depth(int32_t hDib) {
  return onDib("DIB_Depth", hDib, 0, [](Dib& d) { return d.depth(); });
}
EZ_API int32_t DIB_Width(int32_t hDib) {
  return onDib("DIB_Width", hDib, 0, [](Dib& d) { return d.width(); });
}
EZ_API int32_t DIB_Height(int32_t hDib) {
  return onDib("DIB_Height", hDib, 0, [](Dib& d) { return d.height(); });
}
EZ_API int32_t DIB_RowBytes(int32_t hDib) {
  return onDib("DIB_RowBytes", hDib, 0, [](Dib& d) { return static_cast<int32_t>(d.rowBytes()); });
}

EZ_API int32_t DIB_SetColorCount(int32_t hDib, int32_t nNoc) {
  return onDib("DIB_SetColorCount", hDib, 0, [&](Dib& d) { return d.setColorCount(nNoc) ? 1 : 0; });
}

EZ_API int32_t DIB_ColorCount(int32_t hDib) {
  return onDib("DIB_ColorCount", hDib, 0, [](Dib& d) { return d.colorCount(); });
}

EZ_API int32_t DIB_Allocate(int32_t nDepth, int32_t nWidth, int32_t nHeight) {
  return guarded("DIB_Allocate", 0, [&] {
    const int32_t h = storeDib(Dib::create(nDepth, nWidth, nHeight));
    if (!h) Session::instance().recordError(kErrBadValue, kCcBadValue);
    return h;
  });
}

EZ_API int32_t DIB_Free(int32_t hDib) {
  return guarded("DIB_Free", 0, [&] {
    if (freeDib(hDib)) return 1;
    Session::instance().recordError(kErrBadHandle, kCcBadValue);
    return 0;
  });
}

// DIBs are never locked into place here; unlocking a valid handle succeeds.
EZ_API int32_t DIB_Unlock(int32_t hDib) {
  return onDib("DIB_Unlock", hDib, 0, [](Dib&) { return 1; });
}

EZ_API int32_t DIB_Copy(int32_t hDib) {
  return guarded("DIB_Copy", 0, [&] {
    auto copy = copyDib(hDib);
    if (!copy) Session::instance().recordError(kErrBadHandle, kCcBadValue);
    return storeDib(std::move(copy));
  });
}

EZ_API int32_t DIB_SetGrayColor(int32_t hDib) {
  return onDib("DIB_SetGrayColor", hDib, 0, [](Dib& d) {
    if (d.depth() > 8) return 0;
    d.setGreyPalette();
    return 1;
  });
}

EZ_API int32_t DIB_SetColorTableRGB(int32_t hDib, int32_t nindex, int32_t nRed, int32_t nGreen,
                                    int32_t nBlue) {
  return onDib("DIB_SetColorTableRGB", hDib, kBad, [&](Dib& d) -> int32_t {
    auto ok = [](int32_t v) { return v >= 0 && v <= 255; };
    if (!ok(nRed) || !ok(nGreen) || !ok(nBlue)) return kBad;
    return d.setPaletteEntry(nindex, {static_cast<uint8_t>(nRed), static_cast<uint8_t>(nGreen),
                                      static_cast<uint8_t>(nBlue)})
               ? 1
               : kBad;
  });
}

EZ_API int32_t DIB_ColorTableR(int32_t hDib, int32_t nindex) {
  return colourComponent("DIB_ColorTableR", hDib, nindex, 0);
}
EZ_API int32_t DIB_ColorTableG(int32_t hDib, int32_t nindex) {
  return colourComponent("DIB_ColorTableG", hDib, nindex, 1);
}
EZ_API int32_t DIB_ColorTableB(int32_t hDib, int32_t nindex) {
  return colourComponent("DIB_ColorTableB", hDib, nindex, 2);
}

EZ_API int32_t DIB_SwapRedBlue(int32_t hDib) {
  return onDib("DIB_SwapRedBlue", hDib, 0, [](Dib& d) {
    d.swapRedBlue();
    return 1;
  });
}

EZ_API int32_t DIB_PutOnClipboard(int32_t hDib) {
  return onDib("DIB_PutOnClipboard", hDib, 0, [](Dib& d) { return ui::putOnClipboard(d) ? 1 : 0; });
}

EZ_API int32_t DIB_GetFromClipboard(void) {
  return guarded("DIB_GetFromClipboard", 0, [] { return storeDib(ui::takeFromClipboard()); });
}

EZ_API int32_t DIB_WriteToBmp(int32_t hDib, const char* cFilename) {
  return writeFile("DIB_WriteToBmp", hDib, cFilename, FileFormat::Bmp);
}

EZ_API int32_t DIB_WriteToJpeg(int32_t hDib, const char* cFilename) {
  return writeFile("DIB_WriteToJpeg", hDib, cFilename, FileFormat::Jpeg);
}

namespace eztw {
int32_t loadDibFile(const char* path) {
  auto loaded = loadImageFile(path);
  const int32_t h = storeDib(std::move(loaded.dib));
  if (!h) {
    const bool unsupported = loaded.error == ImageError::Unsupported;
    Session::instance().recordError(unsupported ? kErrFileFormat : kErrFile, kCcBadValue);
  }
  return h;
}
}  // namespace eztw

EZ_API int32_t DIB_LoadFromFilename(const char* cFilename) {
  return guarded("DIB_LoadFromFilename", 0, [&] { return loadDibFile(cFilename); });
}
