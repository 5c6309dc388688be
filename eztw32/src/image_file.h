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

// Decoders over a memory block; null for anything that is not a complete,
// sane image of a supported kind. Never allocate more than the header can
// justify from the data size (see kMaxPixelBytes).
std::unique_ptr<Dib> decodeBmp(const uint8_t* data, std::size_t size);
std::unique_ptr<Dib> decodeJpeg(const uint8_t* data, std::size_t size);
std::unique_ptr<Dib> decodeImage(const uint8_t* data, std::size_t size);
// Reads a regular file only: a FIFO, device or folder fails at once.
std::unique_ptr<Dib> loadImageFile(const char* path);

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
