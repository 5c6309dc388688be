// SPDX-License-Identifier: MIT
#include "transfer.h"

#include <sane/saneopts.h>

#include <cstring>
#include <vector>

#include "log.h"

namespace eztw {

namespace {

constexpr SANE_Int kReadChunk = 256 * 1024;

int dibDepthFor(const SANE_Parameters& p) {
  if (p.format == SANE_FRAME_GRAY) return p.depth == 1 ? 1 : 8;
  return 24;
}

// Converts one SANE line into its place in a DIB row.
void convertLine(const SANE_Parameters& p, const uint8_t* src, uint8_t* dst, int32_t width) {
  switch (p.format) {
    case SANE_FRAME_GRAY:
      if (p.depth == 1) {
        // SANE marks black with 1; our palette has black at index 0.
        const std::size_t n = (static_cast<std::size_t>(width) + 7) / 8;
        for (std::size_t i = 0; i < n; ++i) dst[i] = static_cast<uint8_t>(~src[i]);
        if (width % 8) dst[n - 1] &= static_cast<uint8_t>(0xFF << (8 - width % 8));
      } else if (p.depth == 8) {
        std::memcpy(dst, src, static_cast<std::size_t>(width));
      } else {
        const auto* s = reinterpret_cast<const uint16_t*>(src);
        for (int32_t x = 0; x < width; ++x) dst[x] = static_cast<uint8_t>((s[x] + 128u) / 257u);
      }
      break;
    case SANE_FRAME_RGB:
      if (p.depth == 8) {
        for (int32_t x = 0; x < width; ++x, src += 3, dst += 3) {
          dst[0] = src[2];
          dst[1] = src[1];
          dst[2] = src[0];
        }
      } else {
        const auto* s = reinterpret_cast<const uint16_t*>(src);
        for (int32_t x = 0; x < width; ++x, s += 3, dst += 3) {
          dst[0] = static_cast<uint8_t>((s[2] + 128u) / 257u);
          dst[1] = static_cast<uint8_t>((s[1] + 128u) / 257u);
          dst[2] = static_cast<uint8_t>((s[0] + 128u) / 257u);
        }
      }
      break;
    default: {  // one channel of a three-pass scan, into its byte of BGR
      const int channel = p.format == SANE_FRAME_RED ? 2 : (p.format == SANE_FRAME_GREEN ? 1 : 0);
      if (p.depth == 8) {
        for (int32_t x = 0; x < width; ++x) dst[3 * x + channel] = src[x];
      } else {
        const auto* s = reinterpret_cast<const uint16_t*>(src);
        for (int32_t x = 0; x < width; ++x)
          dst[3 * x + channel] = static_cast<uint8_t>((s[x] + 128u) / 257u);
      }
    }
  }
}

bool supported(const SANE_Parameters& p) {
  if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0) return false;
  if (p.depth != 1 && p.depth != 8 && p.depth != 16) return false;
  if (p.format == SANE_FRAME_RGB && p.depth == 1) return false;
  const long long minBytes =
      p.format == SANE_FRAME_RGB
          ? 3LL * p.pixels_per_line * p.depth / 8
          : (p.depth == 1 ? (p.pixels_per_line + 7) / 8 : 1LL * p.pixels_per_line * p.depth / 8);
  return p.bytes_per_line >= minBytes && p.pixels_per_line <= kMaxSide;
}

bool isPass(const SANE_Parameters& p) {
  return p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN || p.format == SANE_FRAME_BLUE;
}

int channelBit(const SANE_Parameters& p) {
  return p.format == SANE_FRAME_RED ? 1 : (p.format == SANE_FRAME_GREEN ? 2 : 4);
}
constexpr int kAllChannels = 7;

Status fail(Device& device, const Status& why) {
  device.api().cancel(device.handle());
  return why;
}

Status fail(Device& device, SANE_Status status) {
  logf("  SANE transfer: %s", device.api().strstatus(status));
  return fail(device, translateSaneStatus(status));
}

}  // namespace

bool DibSink::begin(int depth, int32_t width, int32_t height) {
  dib_ = Dib::create(depth, width, height, false);
  if (dib_) dib_->setDpi(xdpi, ydpi);
  return dib_ != nullptr;
}

bool DibSink::put(int32_t y, const uint8_t* row) {
  std::memcpy(dib_->rowFromTop(y), row, dib_->rowBytes());
  return true;
}

bool DibSink::finish() { return dib_ != nullptr; }

Status readImage(Device& device, TransferProgress& progress, const Destination& to, bool started) {
  const SaneApi& api = device.api();
  SANE_Handle h = device.handle();
  RowSink& sink = to.sink;
  // Rows, top-down in DIB layout, of a page that cannot go to the sink as it
  // comes: three-pass colour (each pass fills one byte of every pixel) and
  // pages of unknown height (the sink needs the height first).
  Bytes gathered;
  bool direct = false, unknownHeight = false;
  int32_t width = 0, height = 0;
  int depth = 8, channels = 0;
  std::vector<uint8_t> chunk(kReadChunk), row;
  progress.linesRead = 0;
  for (int frame = 0;; ++frame) {
    if (progress.cancel) return fail(device, SANE_STATUS_CANCELLED);
    SANE_Status st = frame == 0 && started ? SANE_STATUS_GOOD : api.start(h);
    if (st != SANE_STATUS_GOOD) return fail(device, st);
    SANE_Parameters p;
    st = api.getParameters(h, &p);
    if (st != SANE_STATUS_GOOD) return fail(device, st);
    if (!supported(p)) return fail(device, SANE_STATUS_UNSUPPORTED);
    const bool pass = isPass(p);
    if (frame == 0) {
      depth = dibDepthFor(p);
      width = p.pixels_per_line;
      unknownHeight = p.lines < 0;
      height = unknownHeight ? 0 : p.lines;
      if (!unknownHeight && height <= 0) return fail(device, SANE_STATUS_UNSUPPORTED);
      direct = !pass && !unknownHeight;
      if (direct && !sink.begin(depth, width, height)) return fail(device, to.whenRefused);
      const std::size_t rowBytes = Dib::rowBytesFor(depth, width);
      row.assign(rowBytes, 0);
      if (pass && !unknownHeight) {
        if (rowBytes > kMaxPixelBytes / static_cast<std::size_t>(height))
          return fail(device, SANE_STATUS_NO_MEM);
        gathered.assign(rowBytes * static_cast<std::size_t>(height), 0);
      }
    } else if (!pass || p.pixels_per_line != width || (!unknownHeight && p.lines != height) ||
               (channels & channelBit(p))) {
      return fail(device, SANE_STATUS_IO_ERROR);  // frames that do not fit together
    }
    const std::size_t dibRow = row.size();
    const std::size_t used = (static_cast<std::size_t>(width) * depth + 7) / 8;
    progress.linesExpected = unknownHeight ? -1 : static_cast<long long>(height) * (pass ? 3 : 1);

    std::vector<uint8_t> line(static_cast<std::size_t>(p.bytes_per_line));
    std::size_t filled = 0;
    int32_t y = 0;
    for (;;) {
      if (progress.cancel) return fail(device, SANE_STATUS_CANCELLED);
      SANE_Int got = 0;
      st = api.read(h, chunk.data(), kReadChunk, &got);
      if (st == SANE_STATUS_EOF) break;
      if (st != SANE_STATUS_GOOD) return fail(device, st);
      const uint8_t* src = chunk.data();
      while (got > 0) {
        const std::size_t take =
            std::min<std::size_t>(line.size() - filled, static_cast<std::size_t>(got));
        std::memcpy(line.data() + filled, src, take);
        filled += take, src += take, got -= static_cast<SANE_Int>(take);
        if (filled < line.size()) break;
        filled = 0;
        if (!unknownHeight && y >= height) continue;  // more lines than announced: ignored
        uint8_t* dst = row.data();
        if (!direct) {
          if (frame == 0 && unknownHeight) {
            if (gathered.size() + dibRow > kMaxPixelBytes) return fail(device, SANE_STATUS_NO_MEM);
            gathered.resize(gathered.size() + dibRow);
          } else if (static_cast<std::size_t>(y + 1) * dibRow > gathered.size()) {
            continue;  // a later pass longer than the first: extra lines dropped
          }
          dst = gathered.data() + static_cast<std::size_t>(y) * dibRow;
        }
        convertLine(p, line.data(), dst, width);
        if (frame == 0) std::memset(dst + used, 0, dibRow - used);  // row padding
        if (direct && !sink.put(y, dst)) return fail(device, to.whenRefused);
        ++y;
        ++progress.linesRead;
      }
    }
    // A page is whole or it is not delivered: a frame that ends before its
    // announced height, or a hand-scanner frame without a line, fails.
    if (unknownHeight && frame == 0) height = y;
    if (y == 0 || y < height) {
      logf("  page ended after %d of %d lines", y, unknownHeight ? y : height);
      return fail(device, kPageEndedEarly);
    }
    if (!pass) break;
    channels |= channelBit(p);
    if (channels == kAllChannels) break;
    // A three-pass page whose device ends it before all colours came.
    if (p.last_frame) return fail(device, kPageEndedEarly);
  }
  if (!direct) {
    if (!sink.begin(depth, width, height)) return fail(device, to.whenRefused);
    for (int32_t y = 0; y < height; ++y)
      if (!sink.put(y, gathered.data() + static_cast<std::size_t>(y) * row.size()))
        return fail(device, to.whenRefused);
  }
  if (!sink.finish()) return fail(device, to.whenRefused);
  return kTransferDone;
}

}  // namespace eztw
