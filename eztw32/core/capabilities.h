// SPDX-License-Identifier: MIT
// TWAIN capabilities answered from a SANE device's options. A capability
// the device lacks is a failed set or a "not supported" answer, never a crash.
#pragma once

#include <cstdint>
#include <optional>

#include "device.h"

namespace eztw {

enum PixelType { kPtBw = 0, kPtGray = 1, kPtRgb = 2 };

std::optional<int> pixelType(const Device& d);
bool setPixelType(Device& d, int type);
std::optional<int> bitDepth(const Device& d);  // bits per pixel of the DIB
bool setBitDepth(Device& d, int bits);

// Scan area in millimetres (left, top, right, bottom).
struct Area {
  double l, t, r, b;
};
std::optional<Area> scanArea(const Device& d);
std::optional<Area> maxScanArea(const Device& d);
bool setScanArea(Device& d, const Area& a);

// TWAIN units of length (TWUN_*).
enum Units : int32_t {
  kUnitsInches = 0,
  kUnitsCentimetres = 1,
  kUnitsPicas = 2,
  kUnitsPoints = 3,
  kUnitsTwips = 4,
  kUnitsPixels = 5,
  kUnitsMillimetres = 6,
};

// Millimetres per TWAIN unit (pixels at dpi); nullopt for an unknown unit.
std::optional<double> mmPerUnit(int units, double dpi);

double resolution(const Device& d, bool vertical);
bool setResolution(Device& d, double dpi, int which);  // 0 both, 1 x, 2 y

// A TWAIN tone value mapped linearly from [from, to] onto an option's range.
bool setScaled(Device& d, const char* option, double value, double from, double to);
std::optional<double> getScaled(const Device& d, const char* option, double from, double to);

// The source option entry whose name contains one of the words, if any.
std::optional<std::string> sourceEntry(const Device& d, std::initializer_list<const char*> words);
bool selectSourceEntry(Device& d, std::initializer_list<const char*> words, bool want);

}  // namespace eztw
