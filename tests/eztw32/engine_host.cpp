// SPDX-License-Identifier: MIT
// A host for the engine test: starts SANE through the library, from the main
// thread or from a thread that then ends, prints the engine's process id and
// waits to be killed. With "hung", a thread then opens a device whose
// sane_open never returns, so the engine is stuck inside the backend when its
// host dies.  Usage: engine_host main|thread|hung
#include <quillmere/eztw32fu.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

// The child of this process named eztw32-engine, 0 if none.
long enginePid() {
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    std::ifstream in(e.path() / "stat");
    std::string line;
    if (!std::getline(in, line) || line.find("(eztw32-engine)") == std::string::npos) continue;
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    char state;
    long parent = 0;
    rest >> state >> parent;
    if (parent == ::getpid()) return std::atol(e.path().filename().c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "main";
  const bool fromThread = mode != "main";
  if (!eztw32_LoadDll()) return 1;
  bool loaded = false;
  if (fromThread)
    std::thread([&] { loaded = eztw32_LoadSourceManager(); }).join();
  else
    loaded = eztw32_LoadSourceManager();
  if (!loaded) return 2;
  if (mode == "hung") {
    ::setenv("EZTW32_OPEN_TIMEOUT", "600", 1);
    std::thread([] { eztw32_OpenSource("faulty:hang-open"); }).detach();
    ::sleep(1);  // time for the request to reach the backend
  }
  std::printf("%ld\n", enginePid());
  std::fflush(stdout);
  for (;;) ::pause();
}
