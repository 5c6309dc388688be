// SPDX-License-Identifier: MIT
// Where the library finds what it ships with: the engine and the windows
// plugin are installed in the folder it was loaded from.
#pragma once

#include <string>

namespace eztw {

// The path of that file in the folder of the binary holding this code.
std::string besideLibrary(const char* file);

}  // namespace eztw
