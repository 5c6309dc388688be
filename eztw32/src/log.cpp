#include "log.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace eztw {

namespace {
std::mutex mutex;
std::FILE* file = nullptr;
}  // namespace

void setLogging(bool on) {
  std::lock_guard lock(mutex);
  if (on && !file) {
    file = std::fopen("eztw32.log", "a");
    if (file) std::fprintf(file, "---- log opened\n");
  } else if (!on && file) {
    std::fprintf(file, "---- log closed\n");
    std::fclose(file);
    file = nullptr;
  }
}

bool loggingOn() {
  std::lock_guard lock(mutex);
  return file != nullptr;
}

void logf(const char* format, ...) {
  std::lock_guard lock(mutex);
  if (!file) return;
  const std::time_t now = std::time(nullptr);
  std::tm tm;
  localtime_r(&now, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%H:%M:%S", &tm);
  std::fprintf(file, "%s ", stamp);
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fputc('\n', file);
  std::fflush(file);
}

}  // namespace eztw
