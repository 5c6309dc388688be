// SPDX-License-Identifier: MIT
// The one way the library writes a file. Readers see the old content or the
// whole new content, never a part: the data goes to a file that has no name
// (or, where the file system cannot do that, a hidden name beside the target),
// is synced, and replaces the target by a rename. The target is checked when
// the file is opened, so a name that cannot be written costs no scan:
// - a missing name is created with the mode the umask gives;
// - an existing regular file keeps its permission bits, and its owner where
//   the process may keep it; other hard links to it keep the old content;
// - a symlink is written through: its final target is replaced, the link
//   stays; a dangling link is refused rather than creating its target;
// - a folder, FIFO, device or socket is refused, and so is a file the process
//   may not write, or one with no write permission at all (even for root).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace eztw {

// Result codes of file writes and file acquisitions, as callers show them.
enum FileResult : int32_t {
  kFileOk = 0,
  kAcquireFailed = -1,
  kFileOpenError = -2,
  kBadDib = -3,
  kFileWriteError = -4,
  kSaveCancelled = -10,
};

// A new file for a target name; the target is untouched unless commit()
// succeeds, and nothing is left behind otherwise.
class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // kFileOk, or kFileOpenError when the target may not be replaced by a file
  // or its folder cannot take a new file.
  int32_t open(const std::string& target);
  std::FILE* stream() { return fp_; }
  // Flushes and syncs the data, puts it under the target name and syncs the
  // folder: kFileOk or kFileWriteError.
  int32_t commit();
  void discard();

 private:
  bool createTemp();
  bool nameTemp();

  int dirFd_ = -1;
  std::string base_;      // the target's name inside dirFd_
  std::string tempName_;  // the temporary file's name, empty while it has none
  std::FILE* fp_ = nullptr;
};

}  // namespace eztw
