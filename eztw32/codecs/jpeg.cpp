// SPDX-License-Identifier: MIT
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "image_file.h"

namespace eztw {

namespace {
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void onError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}
// A warning means corrupt or truncated data, which libjpeg would paper over
// with grey; such a file is refused rather than shown as if complete.
void onMessage(j_common_ptr cinfo, int level) {
  if (level < 0) onError(cinfo);
}
void onOutput(j_common_ptr) {}

// A compressed image expands this much at most before we call it absurd;
// a blank page compresses to well under a hundredth of its pixels.
constexpr std::size_t kMaxExpansion = 1024;
constexpr std::size_t kAlwaysAllowed = std::size_t{64} << 20;
// All memory one decode may take: the image plus libjpeg's own buffers.
constexpr std::size_t kMaxDecodeBytes = kMaxPixelBytes;
// A progressive file has about ten scans; thousands of tiny ones only cost time.
constexpr int kMaxScans = 500;

void onProgress(j_common_ptr common) {
  auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  if (cinfo->input_scan_number > kMaxScans) onError(common);
}

// Roughly what libjpeg allocates besides the output image, from the frame
// header: a file of several scans keeps every DCT coefficient of the whole
// image (128 bytes per 8 x 8 block and component) until its last scan; all
// files need a few block rows per component.
std::size_t decoderWorkBytes(j_decompress_ptr cinfo) {
  const auto roundUp = [](std::size_t v, std::size_t m) { return (v + m - 1) / m * m; };
  const bool wholeImage = jpeg_has_multiple_scans(cinfo);
  std::size_t bytes = 0;
  for (int i = 0; i < cinfo->num_components; ++i) {
    const jpeg_component_info& c = cinfo->comp_info[i];
    const std::size_t rowBlocks = roundUp(c.width_in_blocks, c.h_samp_factor);
    const std::size_t blockRows = wholeImage ? roundUp(c.height_in_blocks, c.v_samp_factor)
                                             : 4 * static_cast<std::size_t>(c.v_samp_factor);
    bytes += rowBlocks * blockRows * sizeof(JBLOCK);
  }
  return bytes;
}
}  // namespace

int32_t encodeJpeg(const Dib& dib, int quality, std::FILE* out) {
  const int depth = dib.depth();
  const bool grey = depth == 8 ? dib.isGreyPalette() : (depth == 1 && dib.colorCount() == 2 && [&] {
    Rgb a, b;
    dib.paletteEntry(0, a);
    dib.paletteEntry(1, b);
    return a.r == a.g && a.g == a.b && b.r == b.g && b.g == b.b;
  }());
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.output_message = onOutput;
  std::vector<uint8_t> line;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return kFileWriteError;
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = static_cast<JDIMENSION>(dib.width());
  cinfo.image_height = static_cast<JDIMENSION>(dib.height());
  const bool direct = depth == 24 || depth == 32 || (depth == 8 && grey);
  if (depth == 24) {
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
  } else if (depth == 32) {
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
  } else if (grey) {
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
  } else {
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
  }
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality < 1 ? 1 : (quality > 100 ? 100 : quality), TRUE);
  if (dib.xDpi() > 0 && dib.yDpi() > 0 && dib.xDpi() < 65536 && dib.yDpi() < 65536) {
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(dib.xDpi());
    cinfo.Y_density = static_cast<UINT16>(dib.yDpi());
  }
  jpeg_start_compress(&cinfo, TRUE);
  line.resize(static_cast<std::size_t>(dib.width()) * cinfo.input_components);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int32_t y = static_cast<int32_t>(cinfo.next_scanline);
    JSAMPROW row;
    if (direct) {
      row = const_cast<JSAMPROW>(dib.rowFromTop(y));
    } else {
      for (int32_t x = 0; x < dib.width(); ++x) {
        const Rgb c = dib.pixel(x, y);
        if (grey) {
          line[x] = c.r;
        } else {
          line[3 * x] = c.r;
          line[3 * x + 1] = c.g;
          line[3 * x + 2] = c.b;
        }
      }
      row = line.data();
    }
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::ferror(out) ? kFileWriteError : kFileOk;
}

std::unique_ptr<Dib> decodeJpeg(const uint8_t* data, std::size_t size) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return nullptr;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.emit_message = onMessage;
  err.pub.output_message = onOutput;
  // Declared before setjmp so that the jump back does not skip its cleanup.
  std::unique_ptr<Dib> dib;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_progress_mgr progress{};
  progress.progress_monitor = onProgress;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  if (!grey && cinfo.jpeg_color_space != JCS_YCbCr && cinfo.jpeg_color_space != JCS_RGB) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;  // CMYK and YCCK are not read
  }
  cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  const int depth = grey ? 8 : 24;
  if (cinfo.image_width > static_cast<JDIMENSION>(kMaxSide) ||
      cinfo.image_height > static_cast<JDIMENSION>(kMaxSide)) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  // Everything is budgeted before the first large allocation, so a small
  // file claiming a huge frame is refused at once.
  const std::size_t imageBytes =
      Dib::rowBytesFor(depth, static_cast<int32_t>(cinfo.image_width)) * cinfo.image_height;
  const std::size_t workBytes = decoderWorkBytes(&cinfo);
  const std::size_t bytes = imageBytes + workBytes;
  if (bytes > kMaxDecodeBytes || (bytes > kAlwaysAllowed && bytes / kMaxExpansion > size)) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  // libjpeg's own bound, should our estimate fall short: it fails rather
  // than allocate past it (there is no backing store).
  cinfo.mem->max_memory_to_use = static_cast<long>(kMaxDecodeBytes - imageBytes);
  dib = Dib::create(depth, static_cast<int32_t>(cinfo.image_width),
                    static_cast<int32_t>(cinfo.image_height));
  if (!dib) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  if (cinfo.saw_JFIF_marker && cinfo.X_density && cinfo.Y_density) {
    if (cinfo.density_unit == 1)
      dib->setDpi(cinfo.X_density, cinfo.Y_density);
    else if (cinfo.density_unit == 2)
      dib->setPelsPerMeter(cinfo.X_density * 100, cinfo.Y_density * 100);
  }
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width != static_cast<JDIMENSION>(dib->width()) ||
      cinfo.output_height != static_cast<JDIMENSION>(dib->height()) ||
      cinfo.output_components != (grey ? 1 : 3)) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = dib->rowFromTop(static_cast<int32_t>(cinfo.output_scanline));
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
  }
  const bool complete = cinfo.output_scanline == cinfo.output_height;
  if (complete) jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (!complete) return nullptr;
  return dib;
}

}  // namespace eztw
