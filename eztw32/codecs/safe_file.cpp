// SPDX-License-Identifier: MIT
#include "safe_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace eztw {

namespace {

constexpr int kNameAttempts = 64;
constexpr std::size_t kMaxBaseInTempName = 200;  // keeps the hidden name within NAME_MAX

// A hidden name beside the target, unlikely to be taken.
std::string tempNameFor(const std::string& base) {
  static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[8];
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    static unsigned counter = 0;
    auto x = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
             (static_cast<uint64_t>(::getpid()) << 32) ^ ++counter;
    for (auto& b : bytes) b = static_cast<unsigned char>(x), x = (x >> 8) | (x << 56);
  }
  std::string name = "." + base.substr(0, kMaxBaseInTempName) + ".part";
  for (unsigned char b : bytes) name += kAlphabet[b % (sizeof kAlphabet - 1)];
  return name;
}

// The regular file behind a symlink, or the name itself when it is none. A
// dangling link gives an empty text.
std::string throughLinks(const std::string& target) {
  struct stat st;
  if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
  char* real = ::realpath(target.c_str(), nullptr);
  if (!real) return {};
  std::string resolved = real;
  std::free(real);
  return resolved;
}

// Whether the existing node under name may be replaced by our file.
bool replaceable(int dirFd, const std::string& name, const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return false;
  if (::faccessat(dirFd, name.c_str(), W_OK, AT_EACCESS) != 0) return false;
  // Root passes every permission check; a file nobody may write was
  // protected on purpose, so it is not replaced behind its owner's back.
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

}  // namespace

PendingFile::~PendingFile() { discard(); }

int32_t PendingFile::open(const std::string& target) {
  discard();
  if (target.empty() || target.back() == '/') return kFileOpenError;
  const std::string path = throughLinks(target);
  if (path.empty()) return kFileOpenError;
  const auto slash = path.rfind('/');
  const std::string dir =
      slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
  base_ = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base_.empty() || base_ == "." || base_ == "..") return kFileOpenError;
  dirFd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd_ < 0) return kFileOpenError;

  struct stat existing;
  const bool exists = ::fstatat(dirFd_, base_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  if ((!exists && errno != ENOENT) || (exists && !replaceable(dirFd_, base_, existing)) ||
      !createTemp()) {
    discard();
    return kFileOpenError;
  }
  if (exists) {
    // The new file takes the old one's place: same owner where allowed, same
    // permission bits (without set-id bits, which an image has no use for).
    const int fd = ::fileno(fp_);
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0)
      (void)!::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    if (::fchmod(fd, existing.st_mode & 0777) != 0) {
      discard();
      return kFileOpenError;
    }
  }
  return kFileOk;
}

bool PendingFile::createTemp() {
  int fd = -1;
#ifdef O_TMPFILE
  // A file without a name: if the process dies while writing, nothing is left.
  // It gets a name at commit through /proc, so it is used only where that works.
  if (::access("/proc/self/fd", X_OK) == 0)
    fd = ::openat(dirFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#endif
  for (int i = 0; fd < 0 && i < kNameAttempts; ++i) {
    std::string name = tempNameFor(base_);
    fd = ::openat(dirFd_, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0)
      tempName_ = std::move(name);
    else if (errno != EEXIST)
      return false;
  }
  if (fd < 0) return false;
  fp_ = ::fdopen(fd, "wb");
  if (!fp_) {
    ::close(fd);
    return false;
  }
  return true;
}

// Gives the unnamed file a hidden name beside the target, so that a rename
// can put it in place (linkat cannot replace an existing name).
bool PendingFile::nameTemp() {
  if (!tempName_.empty()) return true;
  const int fd = ::fileno(fp_);
  const std::string viaProc = "/proc/self/fd/" + std::to_string(fd);
  for (int i = 0; i < kNameAttempts; ++i) {
    std::string name = tempNameFor(base_);
    if (::linkat(fd, "", dirFd_, name.c_str(), AT_EMPTY_PATH) == 0 ||
        (errno != EEXIST &&
         ::linkat(AT_FDCWD, viaProc.c_str(), dirFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0)) {
      tempName_ = std::move(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

int32_t PendingFile::commit() {
  if (!fp_) return kFileWriteError;
  bool ok = std::fflush(fp_) == 0 && !std::ferror(fp_) && ::fsync(::fileno(fp_)) == 0 && nameTemp();
  ok = std::fclose(fp_) == 0 && ok;
  fp_ = nullptr;
  // Something other than a file may have taken the name while we wrote.
  struct stat now;
  if (ok && ::fstatat(dirFd_, base_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0)
    ok = S_ISREG(now.st_mode);
  if (!ok || ::renameat(dirFd_, tempName_.c_str(), dirFd_, base_.c_str()) != 0) {
    discard();
    return kFileWriteError;
  }
  tempName_.clear();
  // The rename itself reaches the disk only with the folder.
  ::fsync(dirFd_);
  discard();
  return kFileOk;
}

void PendingFile::discard() {
  if (fp_) std::fclose(fp_);
  fp_ = nullptr;
  if (!tempName_.empty() && dirFd_ >= 0) ::unlinkat(dirFd_, tempName_.c_str(), 0);
  tempName_.clear();
  if (dirFd_ >= 0) ::close(dirFd_);
  dirFd_ = -1;
}

}  // namespace eztw
