#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "image_file.h"

namespace eztw {

PendingFile::~PendingFile() { discard(); }

int32_t PendingFile::open(const std::string& target) {
  discard();
  if (target.empty()) return kFileOpenError;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return kFileOpenError;
  const auto slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (base.empty()) return kFileOpenError;
  std::string temp = dir + "." + base + ".partXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return kFileOpenError;
  ::fchmod(
      fd, 0666 & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
      }());
  fp_ = ::fdopen(fd, "wb");
  if (!fp_) {
    ::close(fd);
    ::unlink(temp.c_str());
    return kFileOpenError;
  }
  target_ = target;
  temp_ = temp;
  return kFileOk;
}

int32_t PendingFile::commit() {
  if (!fp_) return kFileWriteError;
  const bool flushed = std::fflush(fp_) == 0 && !std::ferror(fp_);
  const bool closed = std::fclose(fp_) == 0;
  fp_ = nullptr;
  if (!flushed || !closed || std::rename(temp_.c_str(), target_.c_str()) != 0) {
    ::unlink(temp_.c_str());
    temp_.clear();
    return kFileWriteError;
  }
  temp_.clear();
  return kFileOk;
}

void PendingFile::discard() {
  if (fp_) std::fclose(fp_);
  fp_ = nullptr;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

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
  std::FILE* fp = std::fopen(path, "rb");
  if (!fp) return unreadable();
  struct stat st;
  if (::fstat(::fileno(fp), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      static_cast<std::size_t>(st.st_size) > kMaxPixelBytes + (std::size_t{1} << 20)) {
    std::fclose(fp);
    return unreadable();
  }
  std::vector<uint8_t> data(static_cast<std::size_t>(st.st_size));
  const std::size_t got = std::fread(data.data(), 1, data.size(), fp);
  std::fclose(fp);
  if (got != data.size()) return unreadable();
  return decodeImage(data.data(), data.size());
}

}  // namespace eztw
