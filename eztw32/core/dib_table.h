// SPDX-License-Identifier: MIT
// The table of DIB handles: 32-bit numbers handed to callers. Handles are
// never reused, so a freed handle stays invalid for good.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "dib.h"

namespace eztw {

int32_t storeDib(std::unique_ptr<Dib> dib);  // 0 when dib is null
bool freeDib(int32_t handle);
// Runs fn on the DIB under handle; false (fn not run) for an unknown handle.
bool withDib(int32_t handle, const std::function<void(Dib&)>& fn);
std::unique_ptr<Dib> copyDib(int32_t handle);
bool replaceDib(int32_t handle, std::unique_ptr<Dib> dib);

}  // namespace eztw
