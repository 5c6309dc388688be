#include "transfer.h"

#include <sane/saneopts.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

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

TransferResult fail(Device& device, SANE_Status status) {
  device.api().cancel(device.handle());
  return {status, nullptr};
}

// A failure reported by the very first read comes while a backend may still
// be starting its reader thread. Backends built on sanei_thread cancel that
// thread asynchronously, which deadlocks when it is caught inside malloc;
// a short pause lets it reach its first blocking write before we cancel.
TransferResult failEarly(Device& device, SANE_Status status) {
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  return fail(device, status);
}

}  // namespace

TransferResult readImage(Device& device, TransferProgress& progress) {
  const SaneApi& api = device.api();
  SANE_Handle h = device.handle();
  std::unique_ptr<Dib> dib;
  // Rows, top-down in DIB layout, of a frame whose height is unknown.
  Bytes grown;
  bool unknownHeight = false;
  int32_t width = 0, height = 0;
  std::vector<uint8_t> chunk(kReadChunk);
  int frame = 0;
  int firstDepth = 8;
  bool streaming = false;
  std::vector<uint8_t> streamRow;
  progress.linesRead = 0;
  for (;; ++frame) {
    if (progress.cancel) return fail(device, SANE_STATUS_CANCELLED);
    SANE_Status st = api.start(h);
    if (st != SANE_STATUS_GOOD) return fail(device, st);
    SANE_Parameters p;
    st = api.getParameters(h, &p);
    if (st != SANE_STATUS_GOOD) return fail(device, st);
    if (!supported(p)) return fail(device, SANE_STATUS_UNSUPPORTED);
    const bool pass =
        p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN || p.format == SANE_FRAME_BLUE;
    const int depth = dibDepthFor(p);
    if (frame == 0) {
      firstDepth = depth;
      width = p.pixels_per_line;
      unknownHeight = p.lines < 0;
      height = p.lines;
      streaming = progress.sink && !pass && !unknownHeight && height > 0 &&
                  progress.sink->begin(depth, width, height);
      if (streaming) {
        streamRow.resize(Dib::rowBytesFor(depth, width));
      } else if (!unknownHeight) {
        dib = Dib::create(depth, width, height, false);
        if (!dib) return fail(device, SANE_STATUS_NO_MEM);
      }
    } else if (!pass || p.pixels_per_line != width || (!unknownHeight && p.lines != height)) {
      return fail(device, SANE_STATUS_IO_ERROR);  // frames that do not fit together
    }
    const std::size_t dibRow = Dib::rowBytesFor(depth, width);
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
      if (st != SANE_STATUS_GOOD)
        return y == 0 && filled == 0 ? failEarly(device, st) : fail(device, st);
      const uint8_t* src = chunk.data();
      while (got > 0) {
        const std::size_t take =
            std::min<std::size_t>(line.size() - filled, static_cast<std::size_t>(got));
        std::memcpy(line.data() + filled, src, take);
        filled += take, src += take, got -= static_cast<SANE_Int>(take);
        if (filled < line.size()) break;
        filled = 0;
        uint8_t* dst;
        if (unknownHeight) {
          if (frame == 0) {
            if (grown.size() + dibRow > kMaxPixelBytes) return fail(device, SANE_STATUS_NO_MEM);
            grown.resize(grown.size() + dibRow);
          } else if (static_cast<std::size_t>(y + 1) * dibRow > grown.size()) {
            continue;  // a later pass longer than the first: extra lines dropped
          }
          dst = grown.data() + static_cast<std::size_t>(y) * dibRow;
        } else {
          if (y >= height) continue;  // more lines than announced: ignored
          dst = streaming ? streamRow.data() : dib->rowFromTop(y);
        }
        convertLine(p, line.data(), dst, width);
        if (frame == 0) std::memset(dst + used, 0, dibRow - used);  // row padding
        if (streaming && !progress.sink->put(y, dst)) {
          progress.sinkFailed = true;
          return fail(device, SANE_STATUS_IO_ERROR);
        }
        ++y;
        ++progress.linesRead;
      }
    }
    // Rows a device announced but never sent are black, not leftover memory.
    if (!unknownHeight && frame == 0 && !streaming)
      for (int32_t rest = y; rest < height; ++rest) std::memset(dib->rowFromTop(rest), 0, dibRow);
    if (p.last_frame || !pass || frame >= 2) break;
  }
  if (streaming) {
    if (!progress.sink->finish()) {
      progress.sinkFailed = true;
      return fail(device, SANE_STATUS_IO_ERROR);
    }
    TransferResult r;
    r.streamed = true;
    return r;
  }
  if (unknownHeight) {
    if (grown.empty()) return fail(device, SANE_STATUS_IO_ERROR);  // no lines at all
    dib = Dib::fromTopDownRows(firstDepth, width, std::move(grown));
    if (!dib) return fail(device, SANE_STATUS_NO_MEM);
  }
  return {SANE_STATUS_GOOD, std::move(dib)};
}

}  // namespace eztw
