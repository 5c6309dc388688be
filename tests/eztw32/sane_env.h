// SPDX-License-Identifier: MIT
// Test helpers: a private SANE configuration with the virtual test scanner,
// a scratch folder, and the external tools that check our output.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace eztwtest {

namespace fs = std::filesystem;

// A scratch folder per test, and the SANE configuration of this process: a
// copy of the distribution's /etc/sane.d (what users have, some 78 backends)
// with the test backend added. The library starts SANE once per process and
// the test backend reads test.conf when SANE starts, so a test writes its
// overrides before its first scan (or reloads the library after writing).
class SaneEnv {
 public:
  SaneEnv() {
    char tmpl[] = "/tmp/eztw32-test-XXXXXX";
    dir_ = ::mkdtemp(tmpl);
    writeConf({});
  }
  ~SaneEnv() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
    writeConf({});
  }
  // Overrides of the test backend's defaults, e.g. {"hand-scanner", "true"}.
  void writeConf(const std::map<std::string, std::string>& overrides) {
    std::map<std::string, std::string> conf = {{"number_of_devices", "2"},
                                               {"test-picture", "\"Color pattern\""}};
    for (const auto& [k, v] : overrides) conf[k] = v;
    std::ofstream out(configDir() / "sane" / "test.conf");
    for (const auto& [k, v] : conf) out << k << ' ' << v << '\n';
  }
  fs::path path(const std::string& name) const { return dir_ / name; }
  const fs::path& dir() const { return dir_; }

  static const fs::path& configDir() {
    static const fs::path dir = [] {
      char tmpl[] = "/tmp/eztw32-sane-XXXXXX";
      fs::path d = ::mkdtemp(tmpl);
      fs::create_directories(d / "sane");
      fs::create_directories(d / "xdg");
      std::error_code ec;
      fs::copy("/etc/sane.d", d / "sane", fs::copy_options::recursive, ec);
      std::ofstream(d / "sane" / "dll.conf", std::ios::app) << "\ntest\n";
      ::setenv("SANE_CONFIG_DIR", (d / "sane").c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", (d / "xdg").c_str(), 1);
      return d;
    }();
    return dir;
  }

 private:
  fs::path dir_;
};

// Runs a shell command; returns its exit status and its merged output.
inline std::pair<int, std::string> run(const std::string& command) {
  std::string out;
  std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return {-1, out};
  std::array<char, 4096> buf;
  std::size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
  const int status = ::pclose(p);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// ImageMagick's count of differing pixels, -1 when compare failed outright.
// fuzz allows small differences, e.g. "0.5%" for one level in 255.
inline long differingPixels(const fs::path& a, const fs::path& b, const std::string& fuzz = "0") {
  const auto [rc, out] =
      run("compare -metric AE -fuzz " + fuzz + " '" + a.string() + "' '" + b.string() + "' null:");
  if (rc > 1) return -1;
  return std::atol(out.c_str());
}

inline double psnr(const fs::path& a, const fs::path& b) {
  const auto [rc, out] =
      run("compare -metric PSNR '" + a.string() + "' '" + b.string() + "' null:");
  if (rc > 1) return -1;
  if (out.rfind("inf", 0) == 0) return 1e9;
  return std::atof(out.c_str());
}

inline std::string identify(const fs::path& f, const std::string& format) {
  return run("identify -format '" + format + "' '" + f.string() + "'").second;
}

inline bool underSanitizer() {
  const char* v = std::getenv("SORRELBY_UNDER_SANITIZER");
  return v && *v == '1';
}

}  // namespace eztwtest
