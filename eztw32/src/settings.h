// Where the user's chosen default source is kept between runs: a one-line
// file under the XDG config folder ($XDG_CONFIG_HOME/eztw32/default-source).
#pragma once

#include <string>

namespace eztw {

std::string loadDefaultSource();
void saveDefaultSource(const std::string& deviceName);

}  // namespace eztw
