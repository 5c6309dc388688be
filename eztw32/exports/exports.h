// SPDX-License-Identifier: MIT
// Shared by the export files: the visibility of the 129 names, a guard
// that keeps every exception inside the library, and the gate that lets one
// call at a time change the session.
#pragma once

#include <quillmere/eztw32_abi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "log.h"
#include "session.h"

#define EZ_API extern "C" __attribute__((visibility("default")))

namespace eztw {

// Runs one export: logs its name and result, turns an exception into the
// export's failure value.
template <typename Fn>
int32_t guarded(const char* name, int32_t fallback, Fn&& fn) noexcept {
  int32_t result = fallback;
  try {
    result = fn();
  } catch (...) {
    logf("%s: internal error", name);
  }
  logf("%s -> %d", name, result);
  return result;
}

// Runs one export that changes the session (opens, closes, acquires,
// changes settings). While another call is inside the library (a
// transfer, a search, a dialog: re-entered from the event loop it serves,
// or from another thread), it does nothing and fails with a sequence error.
template <typename Fn>
int32_t exclusive(const char* name, int32_t fallback, Fn&& fn) noexcept {
  return guarded(name, fallback, [&]() -> int32_t {
    Session& s = Session::instance();
    if (!s.enterCall()) {
      logf("%s: refused, another call is in progress", name);
      s.recordError(kErrSequence, kCcSeqError);
      return fallback;
    }
    struct Leave {
      ~Leave() { Session::instance().leaveCall(); }
    } leave;
    return fn();
  });
}

// Copies a text into a caller's buffer of the given size, zero-terminated.
inline void copyOut(char* buffer, std::size_t size, const std::string& text) {
  if (!buffer || size == 0) return;
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

// Loads a BMP or JPEG file into the DIB table: its handle, or 0 with the
// reason recorded as the last error.
int32_t loadDibFile(const char* path);

// Source names travel in buffers of 256 bytes.
inline constexpr std::size_t kNameBuffer = 256;

}  // namespace eztw
