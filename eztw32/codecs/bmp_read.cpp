// SPDX-License-Identifier: MIT
// Reads BMP files as Windows and OS/2 programs write them: every header
// generation, colour tables shorter than the depth allows, top-down rows,
// 8- and 4-bit run-length encoding and colour masks. Each kind becomes one of
// the library's own DIBs, bottom-up: 1, 4 and 8 bits keep their palette,
// 16 bits become 24, 32 bits stay 32 with the fourth byte unused.
#include <algorithm>
#include <bit>
#include <cstring>

#include "image_file.h"

namespace eztw {

namespace {

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: 16-bit sides, 3-byte palette entries
constexpr uint32_t kInfoSize = 40;        // Windows 3
constexpr uint32_t kV2Size = 52;          // colour masks inside the header
constexpr uint32_t kV3Size = 56;          // and the alpha mask
constexpr uint32_t kV4Size = 108;         // and colour space
constexpr uint32_t kV5Size = 124;         // and profile
constexpr uint32_t kOs2MinSize = 16;      // OS/2 2.x headers end anywhere from 16 to 64
constexpr uint32_t kOs2MaxSize = 64;
constexpr std::size_t kMaskOffset = 40;  // colour masks within a V2 header or after a V1 one

// Compression numbers. OS/2 2.x headers give 3 and 4 other meanings, both
// refused.
enum Compression : uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitfields = 3,
  kBiJpeg = 4,
  kBiPng = 5,
  kBiAlphaBitfields = 6,
};

// Run-length escapes (a zero count followed by one of these).
enum RleEscape : uint8_t { kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2 };

// A run-length stream may expand far beyond its size (end of bitmap leaves
// the rest at index 0). Up to this much output is allowed for any stream,
// beyond it the stream must be large enough to justify the picture.
constexpr std::size_t kRleFreeBytes = std::size_t{64} << 20;
constexpr std::size_t kRleBytesPerStreamByte = 1024;

enum class Coding { Rgb, Rle8, Rle4, Masks };

ImageResult unreadable() { return ImageResult::failed(ImageError::Unreadable); }
ImageResult unsupported() { return ImageResult::failed(ImageError::Unsupported); }

// One colour component under a mask, scaled to 8 bits with rounding.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  // A usable mask is one unbroken run of bits.
  bool contiguous() const { return mask && ((max + 1) & max) == 0; }
  uint8_t operator()(uint32_t v) const {
    const uint64_t part = (v & mask) >> shift;
    return static_cast<uint8_t>(max == 255 ? part : (part * 255 + max / 2) / max);
  }
};

// Masks for red, green and blue: contiguous, disjoint and inside the pixel.
bool validMasks(const uint32_t (&rgb)[3], uint32_t alpha, int bits) {
  const uint32_t inside = bits == 32 ? 0xffffffffu : (1u << bits) - 1;
  uint32_t seen = alpha;
  if ((alpha & ~inside) || (alpha && !Channel(alpha).contiguous())) return false;
  for (const uint32_t m : rgb) {
    if (!Channel(m).contiguous() || (m & ~inside) || (m & seen)) return false;
    seen |= m;
  }
  return true;
}

// Run-length pixels into a zeroed DIB of depth 8 or 4. Pixels the stream
// never sets stay index 0; runs past the right edge are cut there, and a
// stream that ends early or moves outside the picture ends the decoding.
void decodeRle(const uint8_t* p, const uint8_t* end, bool fourBit, Dib& dib) {
  const int32_t width = dib.width(), height = dib.height();
  int32_t x = 0, y = 0;  // y counts rows from the bottom, as the stream does
  auto put = [&](int32_t at, uint8_t index) {
    if (at >= width) return;
    uint8_t* row = dib.rowFromTop(height - 1 - y);
    if (!fourBit) {
      row[at] = index;
    } else {
      uint8_t& b = row[at >> 1];
      b = (at & 1) ? static_cast<uint8_t>((b & 0xf0) | index)
                   : static_cast<uint8_t>((b & 0x0f) | index << 4);
    }
  };
  // Nibbles alternate high, low within a byte.
  auto nibble = [](uint8_t byte, int i) -> uint8_t { return i & 1 ? byte & 15 : byte >> 4; };
  while (end - p >= 2 && y < height) {
    const uint8_t count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count && x + i < width; ++i)
        put(x + i, fourBit ? nibble(value, i) : value);
      x = std::min(x + count, width);
      continue;
    }
    if (value == kEndOfLine) {
      x = 0, ++y;
    } else if (value == kEndOfBitmap) {
      return;
    } else if (value == kDelta) {
      if (end - p < 2) return;
      x += p[0], y += p[1];
      p += 2;
      if (x > width) return;
    } else {  // an absolute run of `value` pixels, padded to a whole word
      const std::size_t bytes = fourBit ? (value + 1u) / 2 : value;
      const std::size_t have = std::min<std::size_t>(bytes, static_cast<std::size_t>(end - p));
      for (int i = 0; i < value && x + i < width; ++i) {
        const std::size_t at =
            fourBit ? static_cast<std::size_t>(i) / 2 : static_cast<std::size_t>(i);
        if (at >= have) break;
        put(x + i, fourBit ? nibble(p[at], i) : p[at]);
      }
      x = std::min(x + value, width);
      p += std::min<std::size_t>(bytes + (bytes & 1), static_cast<std::size_t>(end - p));
    }
  }
}

}  // namespace

ImageResult decodeBmp(const uint8_t* data, std::size_t size) {
  if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return unreadable();
  const uint8_t* ih = data + kFileHeaderSize;
  const uint32_t ihSize = le32(ih);
  if (ihSize > size - kFileHeaderSize) return unreadable();
  const bool core = ihSize == kCoreHeaderSize;
  const bool windows = ihSize == kInfoSize || ihSize == kV2Size || ihSize == kV3Size ||
                       ihSize == kV4Size || ihSize == kV5Size;
  const bool os2 = !windows && ihSize >= kOs2MinSize && ihSize <= kOs2MaxSize;
  if (!core && !windows && !os2) return unreadable();
  // OS/2 2.x headers may stop after any field; the missing ones are zero.
  auto field32 = [&](uint32_t at) { return at + 4 <= ihSize ? le32(ih + at) : 0; };
  auto field16 = [&](uint32_t at) { return at + 2 <= ihSize ? le16(ih + at) : uint16_t{0}; };

  int64_t width, height;
  int bits;
  uint32_t compression = kBiRgb, clrUsed = 0;
  int32_t xppm = 0, yppm = 0;
  if (core) {
    width = le16(ih + 4);
    height = le16(ih + 6);
    bits = le16(ih + 10);
  } else {
    width = static_cast<int32_t>(field32(4));
    height = static_cast<int32_t>(field32(8));
    bits = field16(14);
    compression = field32(16);
    xppm = static_cast<int32_t>(field32(24));
    yppm = static_cast<int32_t>(field32(28));
    clrUsed = field32(32);
  }

  Coding coding;
  switch (compression) {
    case kBiRgb:
      coding = Coding::Rgb;
      break;
    case kBiRle8:
      coding = Coding::Rle8;
      break;
    case kBiRle4:
      coding = Coding::Rle4;
      break;
    case kBiBitfields:
    case kBiAlphaBitfields:
      if (os2) return unsupported();  // Huffman 1D and RLE24 there
      coding = Coding::Masks;
      break;
    default:
      return unsupported();  // embedded JPEG or PNG, CMYK kinds
  }
  switch (coding) {
    case Coding::Rgb:
      if (bits == 2 || bits == 64) return unsupported();
      if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return unreadable();
      break;
    case Coding::Rle8:
      if (bits != 8) return unreadable();
      break;
    case Coding::Rle4:
      if (bits != 4) return unreadable();
      break;
    case Coding::Masks:
      if (bits == 64) return unsupported();
      if (bits != 16 && bits != 32) return unreadable();
      break;
  }
  const bool rle = coding == Coding::Rle8 || coding == Coding::Rle4;
  const bool topDown = height < 0;
  if (topDown && rle) return unreadable();  // run-length images are always bottom-up
  height = topDown ? -height : height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return unreadable();
  const auto w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);

  // Colour masks: in the header from V2 on, else right after a V1 header.
  std::size_t paletteAt = kFileHeaderSize + ihSize;
  uint32_t masks[3] = {0x7c00, 0x03e0, 0x001f};  // 16-bit default, 5-5-5
  if (coding == Coding::Masks) {
    const uint8_t* m = ih + kMaskOffset;
    uint32_t alpha = 0;
    if (ihSize == kInfoSize) {
      const std::size_t maskBytes = compression == kBiAlphaBitfields ? 16 : 12;
      if (paletteAt + maskBytes > size) return unreadable();
      paletteAt += maskBytes;
      if (compression == kBiAlphaBitfields) alpha = le32(m + 12);
    } else if (ihSize >= kV3Size) {
      alpha = le32(m + 12);
    }
    for (int i = 0; i < 3; ++i) masks[i] = le32(m + 4 * i);
    if (!validMasks(masks, alpha, bits)) return unreadable();
  }

  // The pixels start after header, masks and colour table, and before the end.
  const uint32_t offBits = le32(data + 10);
  if (offBits < paletteAt || offBits >= size) return unreadable();
  const int quadSize = core ? 3 : 4;
  const uint32_t maxColors = bits <= 8 ? 1u << bits : 0;
  uint32_t colors = 0;
  if (bits <= 8) {
    // A table may be shorter than the depth allows: given by the header's
    // count, or without one by the room before the pixels.
    const std::size_t room = (offBits - paletteAt) / quadSize;
    if (clrUsed != 0 && clrUsed <= maxColors) {
      if (room < clrUsed) return unreadable();  // the pixels would overlap the table
      colors = clrUsed;
    } else {
      colors = static_cast<uint32_t>(std::min<std::size_t>(maxColors, room));
    }
  }

  const std::size_t stream = size - offBits;
  const std::size_t srcRow = Dib::rowBytesFor(bits, w);
  const int outBits = bits == 16 ? 24 : bits;
  if (srcRow > kMaxPixelBytes / static_cast<std::size_t>(h)) return unreadable();
  const std::size_t pixelBytes = srcRow * static_cast<std::size_t>(h);
  if (rle) {
    if (pixelBytes > kRleFreeBytes &&
        (pixelBytes - kRleFreeBytes) / kRleBytesPerStreamByte >= stream)
      return unreadable();
  } else if (stream < pixelBytes) {
    return unreadable();  // truncated
  }
  const bool scaled = bits == 16 || coding == Coding::Masks;
  auto dib = Dib::create(outBits, w, h, rle || scaled);  // these leave bytes unwritten
  if (!dib) return unreadable();
  for (uint32_t i = 0; i < maxColors; ++i) {
    const uint8_t* q = data + paletteAt + std::size_t{i} * quadSize;
    dib->setPaletteEntry(static_cast<int>(i), i < colors ? Rgb{q[2], q[1], q[0]} : Rgb{0, 0, 0});
  }
  dib->setPelsPerMeter(xppm > 0 ? xppm : 0, yppm > 0 ? yppm : 0);

  const uint8_t* pixels = data + offBits;
  if (rle) {
    decodeRle(pixels, data + size, coding == Coding::Rle4, *dib);
    return ImageResult::of(std::move(dib));
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* src = pixels + srcRow * static_cast<std::size_t>(topDown ? y : h - 1 - y);
    uint8_t* dst = dib->rowFromTop(y);
    if (!scaled) {
      std::memcpy(dst, src, srcRow);
      continue;
    }
    const int step = outBits / 8;
    for (int32_t x = 0; x < w; ++x, dst += step) {
      const uint32_t v = bits == 16 ? le16(src + 2 * x) : le32(src + 4 * x);
      dst[0] = blue(v), dst[1] = green(v), dst[2] = red(v);
      if (step == 4) dst[3] = 0;
    }
  }
  return ImageResult::of(std::move(dib));
}

}  // namespace eztw
