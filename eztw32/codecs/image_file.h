// SPDX-License-Identifier: MIT
// Reading and writing image files: BMP and JPEG, chosen by content when
// loading. Writes go through a PendingFile, so a failed write never leaves a
// file that looks complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "dib.h"
#include "safe_file.h"

namespace eztw {

enum class FileFormat { Bmp, Jpeg };

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
// Reads a regular file only: a FIFO, device or folder fails at once.
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
