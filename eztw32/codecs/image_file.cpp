// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "image_file.h"

namespace eztw {

int32_t writeImageFile(const Dib& dib, const char* path, FileFormat format, int quality) {
  if (!path || !*path) return kFileOpenError;
  // A big output buffer: far fewer write calls for a page of many megabytes.
  // It outlives the file, whose destructor may still flush into it.
  std::vector<char> buffer(std::size_t{1} << 20);
  PendingFile file;
  if (const int32_t rc = file.open(path); rc != kFileOk) return rc;
  std::setvbuf(file.stream(), buffer.data(), _IOFBF, buffer.size());
  const int32_t rc = format == FileFormat::Bmp ? encodeBmp(dib, file.stream())
                                               : encodeJpeg(dib, quality, file.stream());
  if (rc != kFileOk) return rc;
  return file.commit();
}

ImageResult decodeImage(const uint8_t* data, std::size_t size) {
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return decodeBmp(data, size);
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
    return ImageResult::of(decodeJpeg(data, size));
  return ImageResult::failed(ImageError::Unreadable);
}

ImageResult loadImageFile(const char* path) {
  const auto unreadable = [] { return ImageResult::failed(ImageError::Unreadable); };
  if (!path || !*path) return unreadable();
  // Only a regular file is opened: opening a device may have effects of its
  // own, and reading a FIFO or a tty may wait forever.
  struct stat st;
  if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return unreadable();
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return unreadable();
  // Checked again on what was opened: the name may have changed meanwhile.
  std::vector<uint8_t> data;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
      static_cast<std::size_t>(st.st_size) <= kMaxPixelBytes + (std::size_t{1} << 20)) {
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < data.size()) {
      const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    data.resize(got == data.size() ? got : 0);
  }
  ::close(fd);
  if (data.empty()) return unreadable();
  return decodeImage(data.data(), data.size());
}

}  // namespace eztw
