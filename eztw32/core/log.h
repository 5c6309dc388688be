// SPDX-License-Identifier: MIT
// The library's log: when switched on, one readable line per call and per
// SANE status, appended to "eztw32.log" in the current directory.
#pragma once

namespace eztw {

void setLogging(bool on);
bool loggingOn();
void logf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace eztw
