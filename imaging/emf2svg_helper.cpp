// SPDX-License-Identifier: GPL-2.0-or-later
// sorrelby-emf2svg: converts the enhanced metafile on standard input to SVG on
// standard output. The viewer runs it as a child process, because the
// converter was not written for hostile input: whatever goes wrong in here
// costs one preview, never the program.
//   sorrelby-emf2svg MAX_MEMORY_MB MAX_CPU_SECONDS < in.emf > out.svg
// Exit status 0 with the SVG written, else non-zero with nothing usable.
#include <emf2svg.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "emfcheck.h"

namespace {

enum Status { kConverted = 0, kUsage = 2, kNotEmf = 3, kConversionFailed = 4, kWriteFailed = 5 };

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimitWorks = false;  // the sanitizer's shadow memory exceeds any
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSpaceLimitWorks = false;
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif

bool limit(int resource, rlim_t value) {
  const rlimit r{value, value};
  return ::setrlimit(resource, &r) == 0;
}

bool readAll(int fd, std::vector<unsigned char>& out, std::size_t max) {
  unsigned char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (out.size() + std::size_t(n) > max) return false;
    out.insert(out.end(), buffer, buffer + n);
  }
}

bool writeAll(int fd, const char* p, std::size_t left) {
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= std::size_t(n);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return kUsage;
  const long memoryMB = std::strtol(argv[1], nullptr, 10);
  const long cpuSeconds = std::strtol(argv[2], nullptr, 10);
  if (memoryMB <= 0 || cpuSeconds <= 0) return kUsage;
  // Limits first, before a byte of input is looked at.
  if (kAddressSpaceLimitWorks && !limit(RLIMIT_AS, rlim_t(memoryMB) * 1024 * 1024)) return kUsage;
  if (!limit(RLIMIT_CPU, rlim_t(cpuSeconds))) return kUsage;

  std::vector<unsigned char> emf;
  if (!readAll(STDIN_FILENO, emf, std::size_t(imaging::emf::kMaxFileBytes))) return kNotEmf;
  if (!imaging::emf::looksLikeEmf(emf.data(), emf.size())) return kNotEmf;
  imaging::emf::dropEmptyDescription(emf.data());

  generatorOptions options{};
  char nameSpace[] = "";
  options.nameSpace = nameSpace;
  options.emfplus = true;
  options.svgDelimiter = true;
  char* svg = nullptr;
  size_t svgLength = 0;
  const int ok =
      emf2svg(reinterpret_cast<char*>(emf.data()), emf.size(), &svg, &svgLength, &options);
  // Out of memory, the converter may stop early and still report success:
  // only a document that is closed is whole.
  const std::string_view text(svg ? svg : "", svg ? svgLength : 0);
  const size_t end = text.find_last_not_of(" \t\r\n");
  if (!ok || end == std::string_view::npos || !text.substr(0, end + 1).ends_with("</svg>")) {
    std::free(svg);
    return kConversionFailed;
  }
  const bool written = writeAll(STDOUT_FILENO, svg, svgLength);
  std::free(svg);
  return written ? kConverted : kWriteFailed;
}
