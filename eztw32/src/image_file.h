// Reading and writing image files: BMP and JPEG, chosen by content when
// loading. Writes go to a temporary name beside the target that is renamed
// over it only when everything was written, so a failed write never leaves a
// file that looks complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "dib.h"

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

enum class FileFormat { Bmp, Jpeg };

// A temporary file beside the target; removed unless commit() succeeds.
class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // kFileOk, or kFileOpenError when the folder cannot take a new file or the
  // target names a folder.
  int32_t open(const std::string& target);
  std::FILE* stream() { return fp_; }
  // Flushes, closes and renames over the target: kFileOk or kFileWriteError.
  int32_t commit();
  void discard();

 private:
  std::string target_, temp_;
  std::FILE* fp_ = nullptr;
};

// Encoders writing to an open stream: kFileOk, kBadDib or kFileWriteError.
int32_t encodeBmp(const Dib& dib, std::FILE* out);
int32_t encodeJpeg(const Dib& dib, int quality, std::FILE* out);

// Writes a whole file through a PendingFile.
int32_t writeImageFile(const Dib& dib, const char* path, FileFormat format, int quality);

// Why a file or memory block gave no image.
enum class ImageError {
  None,
  Unreadable,   // missing, not an image file, broken or implausible
  Unsupported,  // a valid file whose format, compression or depth we do not decode
};

// A decoded image, or why there is none: dib is null exactly when error is set.
struct ImageResult {
  std::unique_ptr<Dib> dib;
  ImageError error = ImageError::None;

  static ImageResult of(std::unique_ptr<Dib> d) {
    const ImageError e = d ? ImageError::None : ImageError::Unreadable;
    return {std::move(d), e};
  }
  static ImageResult failed(ImageError e) { return {nullptr, e}; }
};

// Decoders over a memory block; no image for anything that is not a complete,
// sane image of a supported kind. Never allocate more than the header can
// justify from the data size (see kMaxPixelBytes).
ImageResult decodeBmp(const uint8_t* data, std::size_t size);
std::unique_ptr<Dib> decodeJpeg(const uint8_t* data, std::size_t size);
ImageResult decodeImage(const uint8_t* data, std::size_t size);
ImageResult loadImageFile(const char* path);

}  // namespace eztw

namespace eztw {
// A whole BMP file in memory (for the clipboard).
std::vector<uint8_t> bmpFileBytes(const Dib& dib);
}  // namespace eztw

namespace eztw {
// Takes a page row by row as it is scanned, so a file is written without
// holding the whole image. Rows come top-down in DIB row layout.
class RowSink {
 public:
  virtual ~RowSink() = default;
  // Called once the page size is known; false declines the page.
  virtual bool begin(int depth, int32_t width, int32_t height) = 0;
  virtual bool put(int32_t y, const uint8_t* row) = 0;
  // Completes the file; rows never delivered are black.
  virtual bool finish() = 0;
  int32_t xdpi = 0, ydpi = 0;  // written into the file's header
};

// A sink writing BMP or JPEG into an open stream (positioned at its start).
std::unique_ptr<RowSink> makeFileSink(FileFormat format, std::FILE* out, int quality);
}  // namespace eztw
