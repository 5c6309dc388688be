// SPDX-License-Identifier: MIT
#include "settings.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "safe_file.h"

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
  const std::string path = dir + "/eztw32/default-source";
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};  // never wait on a FIFO
  std::ifstream in(path);
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
  PendingFile file;
  if (file.open(dir + "/eztw32/default-source") != kFileOk) return;
  std::fprintf(file.stream(), "%s\n%s\n", deviceName.c_str(), sourceName.c_str());
  file.commit();
}

}  // namespace eztw
