#include "settings.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

namespace eztw {

namespace {
std::string configDir() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') return std::string(x);
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config";
  return {};
}
}  // namespace

RememberedSource loadDefaultSource() {
  const std::string dir = configDir();
  if (dir.empty()) return {};
  std::ifstream in(dir + "/eztw32/default-source");
  RememberedSource r;
  std::getline(in, r.deviceName);
  std::getline(in, r.sourceName);
  return r;
}

void saveDefaultSource(const std::string& deviceName, const std::string& sourceName) {
  const std::string dir = configDir();
  if (dir.empty()) return;
  ::mkdir(dir.c_str(), 0700);
  ::mkdir((dir + "/eztw32").c_str(), 0700);
  std::ofstream out(dir + "/eztw32/default-source", std::ios::trunc);
  out << deviceName << '\n' << sourceName << '\n';
}

}  // namespace eztw
