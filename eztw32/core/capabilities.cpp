// SPDX-License-Identifier: MIT
#include "capabilities.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace eztw {

namespace {
std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}
bool containsAny(const std::string& s, std::initializer_list<const char*> words) {
  const std::string l = lower(s);
  for (const char* w : words)
    if (l.find(w) != std::string::npos) return true;
  return false;
}
std::optional<std::string> modeEntry(const Device& d, std::initializer_list<const char*> words) {
  for (const auto& m : d.choices(SANE_NAME_SCAN_MODE))
    if (containsAny(m, words)) return m;
  return std::nullopt;
}
bool depthOffered(const Device& d, int depth) {
  const auto list = d.numberChoices(SANE_NAME_BIT_DEPTH);
  return std::find(list.begin(), list.end(), depth) != list.end();
}
}  // namespace

std::optional<int> pixelType(const Device& d) {
  const auto mode = d.text(SANE_NAME_SCAN_MODE);
  if (!mode) return std::nullopt;
  if (containsAny(*mode, {"color", "colour", "rgb"})) return kPtRgb;
  if (containsAny(*mode, {"lineart", "binary", "halftone", "black"})) return kPtBw;
  const auto depth = d.number(SANE_NAME_BIT_DEPTH);
  return depth && *depth == 1 ? kPtBw : kPtGray;
}

bool setPixelType(Device& d, int type) {
  std::optional<std::string> mode;
  switch (type) {
    case kPtBw:
      if ((mode = modeEntry(d, {"lineart", "binary"})))
        return d.setText(SANE_NAME_SCAN_MODE, *mode) == SANE_STATUS_GOOD;
      if ((mode = modeEntry(d, {"gray", "grey"})) &&
          d.setText(SANE_NAME_SCAN_MODE, *mode) == SANE_STATUS_GOOD && depthOffered(d, 1))
        return d.setNumber(SANE_NAME_BIT_DEPTH, 1) == SANE_STATUS_GOOD;
      return false;
    case kPtGray:
    case kPtRgb: {
      mode = type == kPtGray ? modeEntry(d, {"gray", "grey"})
                             : modeEntry(d, {"color", "colour", "rgb"});
      if (!mode || d.setText(SANE_NAME_SCAN_MODE, *mode) != SANE_STATUS_GOOD) return false;
      const auto depth = d.number(SANE_NAME_BIT_DEPTH);
      if (depth && *depth == 1 && depthOffered(d, 8)) d.setNumber(SANE_NAME_BIT_DEPTH, 8);
      return true;
    }
  }
  return false;
}

std::optional<int> bitDepth(const Device& d) {
  const auto type = pixelType(d);
  if (!type) return std::nullopt;
  if (*type == kPtBw) return 1;
  const int depth = static_cast<int>(d.number(SANE_NAME_BIT_DEPTH).value_or(8));
  return *type == kPtRgb ? 3 * depth : depth;
}

bool setBitDepth(Device& d, int bits) {
  const auto type = pixelType(d);
  if (!type) return false;
  int perSample = *type == kPtRgb ? bits / 3 : bits;
  if (*type == kPtRgb && bits % 3) return false;
  if (bits == 1) return setPixelType(d, kPtBw);
  if (!depthOffered(d, perSample)) return false;
  return d.setNumber(SANE_NAME_BIT_DEPTH, perSample) == SANE_STATUS_GOOD;
}

std::optional<Area> scanArea(const Device& d) {
  const auto l = d.number(SANE_NAME_SCAN_TL_X), t = d.number(SANE_NAME_SCAN_TL_Y),
             r = d.number(SANE_NAME_SCAN_BR_X), b = d.number(SANE_NAME_SCAN_BR_Y);
  if (!l || !t || !r || !b || !d.isLengthInMm(SANE_NAME_SCAN_TL_X)) return std::nullopt;
  return Area{*l, *t, *r, *b};
}

std::optional<Area> maxScanArea(const Device& d) {
  const auto rx = d.range(SANE_NAME_SCAN_BR_X), ry = d.range(SANE_NAME_SCAN_BR_Y);
  const auto lx = d.range(SANE_NAME_SCAN_TL_X), ly = d.range(SANE_NAME_SCAN_TL_Y);
  if (!rx || !ry || !lx || !ly) return std::nullopt;
  return Area{lx->min, ly->min, rx->max, ry->max};
}

bool setScanArea(Device& d, const Area& a) {
  // A NaN or infinite edge has no fixed-point value for the device.
  for (const double edge : {a.l, a.t, a.r, a.b})
    if (!std::isfinite(edge)) return false;
  const auto max = maxScanArea(d);
  if (!max || a.r <= a.l || a.b <= a.t) return false;
  constexpr double eps = 1e-6;
  if (a.l < max->l - eps || a.t < max->t - eps || a.r > max->r + eps || a.b > max->b + eps)
    return false;
  // Order matters for backends that check tl < br on each set.
  bool ok = true;
  ok &= d.setNumber(SANE_NAME_SCAN_TL_X, max->l) == SANE_STATUS_GOOD;
  ok &= d.setNumber(SANE_NAME_SCAN_TL_Y, max->t) == SANE_STATUS_GOOD;
  ok &= d.setNumber(SANE_NAME_SCAN_BR_X, a.r) == SANE_STATUS_GOOD;
  ok &= d.setNumber(SANE_NAME_SCAN_BR_Y, a.b) == SANE_STATUS_GOOD;
  ok &= d.setNumber(SANE_NAME_SCAN_TL_X, a.l) == SANE_STATUS_GOOD;
  ok &= d.setNumber(SANE_NAME_SCAN_TL_Y, a.t) == SANE_STATUS_GOOD;
  return ok;
}

std::optional<double> mmPerUnit(int units, double dpi) {
  switch (units) {
    case kUnitsInches:
      return 25.4;
    case kUnitsCentimetres:
      return 10.0;
    case kUnitsPicas:
      return 25.4 / 6;
    case kUnitsPoints:
      return 25.4 / 72;
    case kUnitsTwips:
      return 25.4 / 1440;
    case kUnitsPixels:
      return dpi > 0 ? 25.4 / dpi : std::optional<double>{};
    case kUnitsMillimetres:
      return 1.0;
  }
  return std::nullopt;
}

double resolution(const Device& d, bool vertical) {
  if (vertical) {
    if (auto y = d.number(SANE_NAME_SCAN_Y_RESOLUTION)) return *y;
  } else if (auto x = d.number(SANE_NAME_SCAN_X_RESOLUTION)) {
    return *x;
  }
  return d.number(SANE_NAME_SCAN_RESOLUTION).value_or(0);
}

bool setResolution(Device& d, double dpi, int which) {
  if (!(dpi > 0)) return false;
  auto setOne = [&](const char* name) {
    const auto r = d.range(name);
    if (r && (dpi < r->min || dpi > r->max)) return false;
    const auto list = d.numberChoices(name);
    if (!list.empty() && std::find(list.begin(), list.end(), dpi) == list.end()) return false;
    return d.setNumber(name, dpi) == SANE_STATUS_GOOD;
  };
  const bool separate =
      d.settable(SANE_NAME_SCAN_X_RESOLUTION) && d.settable(SANE_NAME_SCAN_Y_RESOLUTION);
  if (separate && which != 0)
    return setOne(which == 1 ? SANE_NAME_SCAN_X_RESOLUTION : SANE_NAME_SCAN_Y_RESOLUTION);
  bool ok = setOne(SANE_NAME_SCAN_RESOLUTION);
  if (separate && which == 0)
    ok = setOne(SANE_NAME_SCAN_X_RESOLUTION) && setOne(SANE_NAME_SCAN_Y_RESOLUTION);
  return ok;
}

bool setScaled(Device& d, const char* option, double value, double from, double to) {
  const auto r = d.range(option);
  if (!r || !d.settable(option) || value < from || value > to) return false;
  const double v = r->min + (value - from) * (r->max - r->min) / (to - from);
  return d.setNumber(option, v) == SANE_STATUS_GOOD;
}

std::optional<double> getScaled(const Device& d, const char* option, double from, double to) {
  const auto r = d.range(option);
  const auto v = d.number(option);
  if (!r || !v || r->max <= r->min) return std::nullopt;
  return from + (*v - r->min) * (to - from) / (r->max - r->min);
}

std::optional<std::string> sourceEntry(const Device& d, std::initializer_list<const char*> words) {
  for (const auto& s : d.choices(SANE_NAME_SCAN_SOURCE))
    if (containsAny(s, words)) return s;
  return std::nullopt;
}

bool selectSourceEntry(Device& d, std::initializer_list<const char*> words, bool want) {
  if (want) {
    const auto e = sourceEntry(d, words);
    return e && d.setText(SANE_NAME_SCAN_SOURCE, *e) == SANE_STATUS_GOOD;
  }
  // Switching off: the first entry that is none of these (the flatbed).
  for (const auto& s : d.choices(SANE_NAME_SCAN_SOURCE))
    if (!containsAny(s, words) && !containsAny(s, {"feeder", "adf", "duplex"}))
      return d.setText(SANE_NAME_SCAN_SOURCE, s) == SANE_STATUS_GOOD;
  return false;
}

}  // namespace eztw
