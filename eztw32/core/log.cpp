// SPDX-License-Identifier: MIT
#include "log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace eztw {

namespace {
std::mutex mutex;
std::FILE* file = nullptr;

// Appends to a regular file of that name only, never through a symlink (which
// could point at anybody's file), and keeps a new log private to the user:
// it records device names and file paths.
std::FILE* openLog(const char* name) {
  const int fd =
      ::open(name, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat st;
  std::FILE* fp = nullptr;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) fp = ::fdopen(fd, "a");
  if (!fp) ::close(fd);
  return fp;
}
}  // namespace

void setLogging(bool on) {
  std::lock_guard lock(mutex);
  if (on && !file) {
    file = openLog("eztw32.log");
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
