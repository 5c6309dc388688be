// SPDX-License-Identifier: MIT
// Where the user's chosen default source is kept between runs: a file under
// the XDG config folder ($XDG_CONFIG_HOME/eztw32/default-source) holding the
// SANE device name and, on a second line, its readable source name, so the
// source opens again without a device search.
#pragma once

#include <string>

namespace eztw {

struct RememberedSource {
  std::string deviceName;
  std::string sourceName;  // may be empty in files written by older versions
};

RememberedSource loadDefaultSource();
void saveDefaultSource(const std::string& deviceName, const std::string& sourceName);

}  // namespace eztw
