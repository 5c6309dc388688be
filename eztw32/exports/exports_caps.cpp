// SPDX-License-Identifier: MIT
// Device capabilities on the open source's SANE options. Without an open
// source, or when the device lacks the option, a set fails (0) and a query
// answers -1; nothing is faked.
#include <sane/saneopts.h>

#include <cmath>

#include "capabilities.h"
#include "exports.h"
#include "gui.h"
#include "session.h"

using namespace eztw;

namespace {
constexpr int32_t kNone = -1;
constexpr std::initializer_list<const char*> kFeederWords = {"feeder", "adf", "automatic document"};
constexpr std::initializer_list<const char*> kDuplexWords = {"duplex"};
constexpr std::initializer_list<const char*> kTransparencyWords = {"transparen", "film", "slide",
                                                                   "negative", "tma"};

// Runs fn on the open device; records a sequence error without one.
template <typename Fn>
int32_t onDevice(const char* name, int32_t fallback, Fn&& fn) {
  // Even a query talks to the device, which a running transfer owns.
  return exclusive(name, fallback, [&]() -> int32_t {
    Device* d = Session::instance().device();
    if (!d) {
      Session::instance().recordError(kErrSequence, kCcSeqError);
      return fallback;
    }
    const int32_t r = fn(*d);
    if (r == fallback) Session::instance().recordError(kErrUnsupported, kCcCapUnsupported);
    return r;
  });
}

Settings& settings() { return Session::instance().settings; }

// Converts between millimetres and the current units.
std::optional<double> unitMm(const Device& d) {
  return mmPerUnit(settings().units, resolution(d, false));
}
// Resolution per current unit for a dpi value, and back.
double perUnit(double dpi) {
  const auto mm = mmPerUnit(settings().units, dpi);
  return settings().units == kUnitsPixels || !mm ? dpi : dpi * *mm / 25.4;
}
double toDpi(double value) {
  const auto mm = mmPerUnit(settings().units, value);
  return settings().units == kUnitsPixels || !mm ? value : value * 25.4 / *mm;
}

int32_t getLayout(const char* name, double* l, double* t, double* r, double* b, bool maximum) {
  return onDevice(name, 0, [&](Device& d) -> int32_t {
    const auto area = maximum ? maxScanArea(d) : scanArea(d);
    const auto mm = unitMm(d);
    if (!area || !mm || !l || !t || !r || !b) return 0;
    *l = area->l / *mm, *t = area->t / *mm, *r = area->r / *mm, *b = area->b / *mm;
    return 1;
  });
}
}  // namespace

EZ_API int32_t TWAIN_HasFeeder(void) {
  return onDevice("TWAIN_HasFeeder", 0,
                  [](Device& d) { return sourceEntry(d, kFeederWords) ? 1 : 0; });
}
EZ_API int32_t TWAIN_IsFeederSelected(void) {
  return exclusive("TWAIN_IsFeederSelected", 0,
                   [] { return Session::instance().feederSelected() ? 1 : 0; });
}
EZ_API int32_t TWAIN_SelectFeeder(int32_t nYes) {
  return onDevice("TWAIN_SelectFeeder", 0,
                  [&](Device& d) { return selectSourceEntry(d, kFeederWords, nYes != 0) ? 1 : 0; });
}
EZ_API int32_t TWAIN_IsAutoFeedOn(void) {
  return exclusive("TWAIN_IsAutoFeedOn", 0, [] {
    return Session::instance().feederSelected() && settings().autoFeed ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_SetAutoFeed(int32_t nYes) {
  return onDevice("TWAIN_SetAutoFeed", 0, [&](Device& d) {
    if (!sourceEntry(d, kFeederWords)) return 0;
    settings().autoFeed = nYes != 0;
    return 1;
  });
}
// SANE reports an empty feeder only when a scan starts; a device with a
// paper sensor option answers from it.
EZ_API int32_t TWAIN_IsFeederLoaded(void) {
  return onDevice("TWAIN_IsFeederLoaded", 0, [](Device& d) -> int32_t {
    if (const auto v = d.number("page-loaded")) return *v != 0 ? 1 : 0;
    return Session::instance().feederSelected() &&
                   Session::instance().errors.lastError != kErrNoDocs
               ? 1
               : 0;
  });
}
EZ_API int32_t TWAIN_GetDuplexSupport(void) {
  return onDevice("TWAIN_GetDuplexSupport", kNone,
                  [](Device& d) { return sourceEntry(d, kDuplexWords) ? 1 : 0; });
}
EZ_API int32_t TWAIN_EnableDuplex(int32_t nYesNo) {
  return onDevice("TWAIN_EnableDuplex", 0, [&](Device& d) {
    return selectSourceEntry(d, kDuplexWords, nYesNo != 0) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_IsDuplexEnabled(void) {
  return onDevice("TWAIN_IsDuplexEnabled", kNone, [](Device& d) -> int32_t {
    const auto s = d.text(SANE_NAME_SCAN_SOURCE);
    return s && sourceEntry(d, kDuplexWords) == s ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_GetCurrentUnits(void) { return settings().units; }
EZ_API int32_t TWAIN_SetCurrentUnits(int32_t nUnits) {
  return exclusive("TWAIN_SetCurrentUnits", 0, [&] {
    if (nUnits < kUnitsInches || nUnits > kUnitsMillimetres) return 0;
    settings().units = nUnits;
    return 1;
  });
}
EZ_API int32_t TWAIN_GetBitDepth(void) {
  return onDevice("TWAIN_GetBitDepth", kNone,
                  [](Device& d) { return bitDepth(d).value_or(kNone); });
}
EZ_API int32_t TWAIN_SetBitDepth(int32_t nBits) {
  return onDevice("TWAIN_SetBitDepth", 0, [&](Device& d) { return setBitDepth(d, nBits) ? 1 : 0; });
}
EZ_API int32_t TWAIN_GetPixelType(void) {
  return onDevice("TWAIN_GetPixelType", kNone,
                  [](Device& d) { return pixelType(d).value_or(kNone); });
}
EZ_API int32_t TWAIN_SetCurrentPixelType(int32_t nPixType) {
  return onDevice("TWAIN_SetCurrentPixelType", 0,
                  [&](Device& d) { return setPixelType(d, nPixType) ? 1 : 0; });
}
EZ_API int32_t TWAIN_GetCurrentResolution(void) {
  return onDevice("TWAIN_GetCurrentResolution", kNone, [](Device& d) {
    return static_cast<int32_t>(std::lround(perUnit(resolution(d, false))));
  });
}
EZ_API int32_t TWAIN_GetYResolution(void) {
  return onDevice("TWAIN_GetYResolution", kNone, [](Device& d) {
    return static_cast<int32_t>(std::lround(perUnit(resolution(d, true))));
  });
}
EZ_API int32_t TWAIN_SetCurrentResolution(double nRes) {
  return onDevice("TWAIN_SetCurrentResolution", 0,
                  [&](Device& d) { return setResolution(d, toDpi(nRes), 0) ? 1 : 0; });
}
EZ_API int32_t TWAIN_SetXResolution(double nXres) {
  return onDevice("TWAIN_SetXResolution", 0,
                  [&](Device& d) { return setResolution(d, toDpi(nXres), 1) ? 1 : 0; });
}
EZ_API int32_t TWAIN_SetYResolution(double nYres) {
  return onDevice("TWAIN_SetYResolution", 0,
                  [&](Device& d) { return setResolution(d, toDpi(nYres), 2) ? 1 : 0; });
}
// Contrast and brightness range over -1000..1000, threshold, shadow and
// highlight over 0..255, as TWAIN has them; each maps onto the option's range.
EZ_API int32_t TWAIN_SetContrast(double nCon) {
  return onDevice("TWAIN_SetContrast", 0, [&](Device& d) {
    return setScaled(d, SANE_NAME_CONTRAST, nCon, -1000, 1000) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_SetBrightness(double nBri) {
  return onDevice("TWAIN_SetBrightness", 0, [&](Device& d) {
    return setScaled(d, SANE_NAME_BRIGHTNESS, nBri, -1000, 1000) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_SetThreshold(double nTresh) {
  return onDevice("TWAIN_SetThreshold", 0, [&](Device& d) {
    return setScaled(d, SANE_NAME_THRESHOLD, nTresh, 0, 255) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_GetCurrentThreshold(void) {
  return onDevice("TWAIN_GetCurrentThreshold", kNone, [](Device& d) -> int32_t {
    const auto v = getScaled(d, SANE_NAME_THRESHOLD, 0, 255);
    return v ? static_cast<int32_t>(std::lround(*v)) : kNone;
  });
}
EZ_API int32_t TWAIN_SetXferMech(int32_t nMech) {
  return guarded("TWAIN_SetXferMech", 0, [&] {
    // Native (0) and memory (2) transfers are the same here; file transfer
    // (1) is not offered by SANE devices.
    return nMech == 0 || nMech == 2 ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_XferMech(void) { return 0; }
EZ_API int32_t TWAIN_SetPaperSize(int32_t nSize) {
  return onDevice("TWAIN_SetPaperSize", 0, [&](Device& d) -> int32_t {
    struct Paper {
      int code;
      double w, h;  // mm
    };
    static constexpr Paper papers[] = {{1, 210, 297},     {2, 182, 257},    {3, 215.9, 279.4},
                                       {4, 215.9, 355.6}, {5, 148, 210},    {6, 250, 353},
                                       {7, 215.9, 355.6}, {8, 215.9, 279.4}};
    const auto max = maxScanArea(d);
    if (!max) return 0;
    if (nSize == 0) return setScanArea(d, *max) ? 1 : 0;  // no fixed size: the whole area
    for (const auto& p : papers)
      if (p.code == nSize)
        return setScanArea(d, {max->l, max->t, max->l + p.w, max->t + p.h}) ? 1 : 0;
    return 0;
  });
}
EZ_API int32_t TWAIN_HasControllableUI(void) { return ui::available() ? 1 : 0; }
EZ_API int32_t TWAIN_SetIndicators(int32_t nYesNo) {
  settings().indicators = nYesNo != 0;
  return 1;
}
EZ_API int32_t TWAIN_SetCompression(int32_t nComp) { return nComp == 0 ? 1 : 0; }
EZ_API int32_t TWAIN_Compression(void) { return 0; }
EZ_API int32_t TWAIN_SetTiled(int32_t nYesNo) { return nYesNo == 0 ? 1 : 0; }
EZ_API int32_t TWAIN_Tiled(void) { return 0; }
EZ_API int32_t TWAIN_SetPlanarChunky(int32_t nShape) { return nShape == 0 ? 1 : 0; }
EZ_API int32_t TWAIN_PlanarChunky(void) { return 0; }
EZ_API int32_t TWAIN_SetPixelFlavor(int32_t nFlavor) { return nFlavor == 0 ? 1 : 0; }
EZ_API int32_t TWAIN_PixelFlavor(void) { return 0; }
EZ_API int32_t TWAIN_SetLightPath(int32_t nYesNo) {
  return onDevice("TWAIN_SetLightPath", 0, [&](Device& d) -> int32_t {
    if (nYesNo == 0) {
      const auto cur = d.text(SANE_NAME_SCAN_SOURCE);
      if (!cur || sourceEntry(d, kTransparencyWords) != cur) return 1;  // already reflective
    }
    return selectSourceEntry(d, kTransparencyWords, nYesNo != 0) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_SetAutoBright(int32_t nYesNo) {
  return onDevice("TWAIN_SetAutoBright", 0, [&](Device& d) -> int32_t {
    if (!d.settable("auto-brightness")) return nYesNo == 0 ? 1 : 0;
    return d.setNumber("auto-brightness", nYesNo != 0) == SANE_STATUS_GOOD ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_SetGamma(double nGamma) {
  return onDevice("TWAIN_SetGamma", 0, [&](Device& d) -> int32_t {
    if (!(nGamma > 0)) return 0;
    const auto r = d.range(SANE_NAME_ANALOG_GAMMA);
    if (!r || nGamma < r->min || nGamma > r->max) return 0;
    return d.setNumber(SANE_NAME_ANALOG_GAMMA, nGamma) == SANE_STATUS_GOOD ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_SetShadow(double nShadow) {
  return onDevice("TWAIN_SetShadow", 0, [&](Device& d) {
    return setScaled(d, SANE_NAME_SHADOW, nShadow, 0, 255) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_SetHighlight(double nHighl) {
  return onDevice("TWAIN_SetHighlight", 0, [&](Device& d) {
    return setScaled(d, SANE_NAME_HIGHLIGHT, nHighl, 0, 255) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_GetImageLayout(double* nL, double* nT, double* nR, double* nB) {
  return getLayout("TWAIN_GetImageLayout", nL, nT, nR, nB, false);
}
EZ_API int32_t TWAIN_SetImageLayout(double nL, double nT, double nR, double nB) {
  return onDevice("TWAIN_SetImageLayout", 0, [&](Device& d) -> int32_t {
    const auto mm = unitMm(d);
    if (!mm) return 0;
    return setScanArea(d, {nL * *mm, nT * *mm, nR * *mm, nB * *mm}) ? 1 : 0;
  });
}
EZ_API int32_t TWAIN_GetDefaultImageLayout(double* nL, double* nT, double* nR, double* nB) {
  return getLayout("TWAIN_GetDefaultImageLayout", nL, nT, nR, nB, true);
}
EZ_API int32_t TWAIN_ResetImageLayout(void) {
  return onDevice("TWAIN_ResetImageLayout", 0, [](Device& d) -> int32_t {
    const auto max = maxScanArea(d);
    return max && setScanArea(d, *max) ? 1 : 0;
  });
}
