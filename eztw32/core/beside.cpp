// SPDX-License-Identifier: MIT
#include "beside.h"

#include <dlfcn.h>

namespace eztw {

std::string besideLibrary(const char* file) {
  Dl_info info{};
  std::string folder = ".";
  if (::dladdr(reinterpret_cast<void*>(&besideLibrary), &info) && info.dli_fname) {
    const std::string self = info.dli_fname;
    if (const auto slash = self.rfind('/'); slash != std::string::npos)
      folder = self.substr(0, slash);
  }
  return folder + "/" + file;
}

}  // namespace eztw
