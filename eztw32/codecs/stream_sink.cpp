// SPDX-License-Identifier: MIT
// Row-by-row writers for scans going straight into a file.
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "image_file.h"

namespace eztw {

namespace {

// BMP rows go bottom-up: each row is written at its own offset of a file
// that has its full size from the start.
class BmpSink : public RowSink {
 public:
  explicit BmpSink(std::FILE* out) : out_(out) {}
  bool begin(int depth, int32_t width, int32_t height) override {
    auto head = Dib::create(depth, width, 1);
    if (!head) return false;
    head->setDpi(xdpi, ydpi);
    row_ = head->rowBytes();
    height_ = height;
    if (row_ > kMaxPixelBytes / static_cast<std::size_t>(height)) return false;
    // The header of a one-row DIB with the real height patched in.
    std::vector<uint8_t> bytes = bmpFileBytes(*head);
    bytes.resize(bytes.size() - row_);
    offset_ = bytes.size();
    const uint32_t fileSize = static_cast<uint32_t>(offset_ + row_ * height);
    const uint32_t imageSize = static_cast<uint32_t>(row_ * height);
    std::memcpy(&bytes[2], &fileSize, 4);
    std::memcpy(&bytes[14 + 8], &height, 4);
    std::memcpy(&bytes[14 + 20], &imageSize, 4);
    fd_ = ::fileno(out_);
    return std::fwrite(bytes.data(), 1, bytes.size(), out_) == bytes.size() &&
           std::fflush(out_) == 0 && ::ftruncate(fd_, static_cast<off_t>(fileSize)) == 0;
  }
  // Rows are gathered in batches: a batch of consecutive rows is one
  // contiguous stretch of the file, written with one call.
  bool put(int32_t y, const uint8_t* row) override {
    if (batch_.empty()) {
      rowsPerBatch_ = std::max<std::size_t>(1, (std::size_t{1} << 20) / row_);
      batch_.resize(rowsPerBatch_ * row_);
    }
    if (pending_ == 0) first_ = y;
    // Row y sits in the batch counted from its bottom-most row.
    std::memcpy(&batch_[(rowsPerBatch_ - 1 - pending_) * row_], row, row_);
    ++pending_;
    return pending_ < rowsPerBatch_ || flush();
  }
  bool flush() {
    if (pending_ == 0) return true;
    const int32_t last = first_ + static_cast<int32_t>(pending_) - 1;
    const off_t at =
        static_cast<off_t>(offset_ + row_ * static_cast<std::size_t>(height_ - 1 - last));
    const std::size_t bytes = pending_ * row_;
    const uint8_t* from = &batch_[(rowsPerBatch_ - pending_) * row_];
    pending_ = 0;
    return ::pwrite(fd_, from, bytes, at) == static_cast<ssize_t>(bytes);
  }
  bool finish() override { return flush(); }  // unwritten rows are the file's zeros

 private:
  std::FILE* out_;
  int fd_ = -1;
  std::size_t row_ = 0, offset_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> batch_;
  std::size_t rowsPerBatch_ = 0, pending_ = 0;
  int32_t first_ = 0;
};

struct JpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};
void jpegFail(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}
void jpegQuiet(j_common_ptr) {}

// JPEG rows go top-down straight into the encoder. Every call into libjpeg
// sits behind its own setjmp, so an error returns false from that call.
class JpegSink : public RowSink {
 public:
  JpegSink(std::FILE* out, int quality) : out_(out), quality_(quality) {
    cinfo_.err = jpeg_std_error(&err_.pub);
    err_.pub.error_exit = jpegFail;
    err_.pub.output_message = jpegQuiet;
    jpeg_create_compress(&cinfo_);
  }
  ~JpegSink() override { jpeg_destroy_compress(&cinfo_); }
  bool begin(int depth, int32_t width, int32_t height) override {
    if (depth == 1) {
      bits_ = true;
      line_.resize(static_cast<std::size_t>(width));
    } else if (depth != 8 && depth != 24) {
      return false;
    }
    width_ = width;
    height_ = height;
    if (setjmp(err_.jump)) return false;
    jpeg_stdio_dest(&cinfo_, out_);
    cinfo_.image_width = static_cast<JDIMENSION>(width);
    cinfo_.image_height = static_cast<JDIMENSION>(height);
    cinfo_.input_components = depth == 24 ? 3 : 1;
    cinfo_.in_color_space = depth == 24 ? JCS_EXT_BGR : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_quality(&cinfo_, quality_ < 1 ? 1 : (quality_ > 100 ? 100 : quality_), TRUE);
    if (xdpi > 0 && ydpi > 0 && xdpi < 65536 && ydpi < 65536) {
      cinfo_.density_unit = 1;
      cinfo_.X_density = static_cast<UINT16>(xdpi);
      cinfo_.Y_density = static_cast<UINT16>(ydpi);
    }
    jpeg_start_compress(&cinfo_, TRUE);
    started_ = true;
    return true;
  }
  bool put(int32_t, const uint8_t* row) override {
    if (!bits_) return writeRow(const_cast<JSAMPROW>(row));
    // Line art: palette index 0 is black, 1 white.
    for (int32_t x = 0; x < width_; ++x)
      line_[static_cast<std::size_t>(x)] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
    return writeRow(line_.data());
  }
  bool finish() override {
    if (!started_) return false;
    std::vector<uint8_t> black(static_cast<std::size_t>(width_) * 3, 0);
    if (setjmp(err_.jump)) return false;
    while (cinfo_.next_scanline < cinfo_.image_height) {
      JSAMPROW r = black.data();
      jpeg_write_scanlines(&cinfo_, &r, 1);
    }
    jpeg_finish_compress(&cinfo_);
    return !std::ferror(out_);
  }

 private:
  bool writeRow(JSAMPROW r) {
    if (setjmp(err_.jump)) return false;
    jpeg_write_scanlines(&cinfo_, &r, 1);
    return true;
  }
  std::FILE* out_;
  int quality_;
  jpeg_compress_struct cinfo_{};
  JpegError err_{};
  bool bits_ = false, started_ = false;
  int32_t width_ = 0, height_ = 0;
  std::vector<uint8_t> line_;
};

}  // namespace

std::unique_ptr<RowSink> makeFileSink(FileFormat format, std::FILE* out, int quality) {
  if (format == FileFormat::Bmp) return std::make_unique<BmpSink>(out);
  return std::make_unique<JpegSink>(out, quality);
}

}  // namespace eztw
