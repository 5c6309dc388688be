#include <cstring>
#include <vector>

#include "image_file.h"

namespace eztw {

namespace {
uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;
}  // namespace

int32_t encodeBmp(const Dib& dib, std::FILE* out) {
  const auto& packed = dib.packed();
  uint8_t fh[14] = {'B', 'M'};
  put32(fh + 2, static_cast<uint32_t>(14 + packed.size()));
  put32(fh + 10, static_cast<uint32_t>(14 + kInfoHeaderSize + 4 * dib.colorCount()));
  if (std::fwrite(fh, 1, sizeof fh, out) != sizeof fh) return kFileWriteError;
  if (std::fwrite(packed.data(), 1, packed.size(), out) != packed.size()) return kFileWriteError;
  return kFileOk;
}

std::unique_ptr<Dib> decodeBmp(const uint8_t* data, std::size_t size) {
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return nullptr;
  const uint32_t offBits = le32(data + 10);
  const uint8_t* ih = data + 14;
  const uint32_t ihSize = le32(ih);
  if (ihSize < 12 || ihSize > size - 14) return nullptr;
  int32_t width, height;
  int bits;
  uint32_t compression = kBiRgb, clrUsed = 0;
  int32_t xppm = 0, yppm = 0;
  int quadSize = 4;
  if (ihSize == 12) {  // OS/2 core header: 16-bit sides, 3-byte palette entries
    width = le16(ih + 4);
    height = static_cast<int16_t>(le16(ih + 6));
    bits = le16(ih + 10);
    quadSize = 3;
  } else {
    if (ihSize < 40) return nullptr;
    width = static_cast<int32_t>(le32(ih + 4));
    height = static_cast<int32_t>(le32(ih + 8));
    bits = le16(ih + 14);
    compression = le32(ih + 16);
    xppm = static_cast<int32_t>(le32(ih + 24));
    yppm = static_cast<int32_t>(le32(ih + 28));
    clrUsed = le32(ih + 32);
  }
  const bool topDown = height < 0;
  if (height == INT32_MIN) return nullptr;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  if (!(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32))
    return nullptr;
  uint32_t masks[3] = {0x7c00, 0x03e0, 0x001f};
  if (compression == kBiBitfields && (bits == 16 || bits == 32)) {
    const uint8_t* m = ih + 40;
    if (ihSize == 40) {
      if (size < 14 + 40 + 12) return nullptr;
    } else if (ihSize < 52) {
      return nullptr;
    }
    for (int i = 0; i < 3; ++i) masks[i] = le32(m + 4 * i);
    if (bits == 32) {
      // Only the usual 8-8-8 layout is accepted for 32 bits.
      if (masks[0] != 0xff0000 || masks[1] != 0xff00 || masks[2] != 0xff) return nullptr;
    }
  } else if (compression != kBiRgb) {
    return nullptr;  // run-length and embedded formats are not read
  }
  if (bits == 16 && compression == kBiRgb) {
    masks[0] = 0x7c00, masks[1] = 0x03e0, masks[2] = 0x001f;
  }
  const int maxColors = bits <= 8 ? 1 << bits : 0;
  if (bits <= 8 && (clrUsed == 0 || clrUsed > static_cast<uint32_t>(maxColors)))
    clrUsed = maxColors;
  if (bits > 8) clrUsed = 0;
  const std::size_t paletteAt =
      14 + ihSize + ((compression == kBiBitfields && ihSize == 40) ? 12 : 0);
  if (paletteAt + std::size_t{clrUsed} * quadSize > size) return nullptr;
  const std::size_t srcRow = Dib::rowBytesFor(bits, width);
  if (srcRow > kMaxPixelBytes / static_cast<std::size_t>(height)) return nullptr;
  if (offBits > size || size - offBits < srcRow * height) return nullptr;  // truncated

  const int outBits = bits == 16 ? 24 : bits;
  auto dib = Dib::create(outBits, width, height);
  if (!dib) return nullptr;
  if (bits <= 8) {
    for (uint32_t i = 0; i < clrUsed; ++i) {
      const uint8_t* q = data + paletteAt + i * quadSize;
      dib->setPaletteEntry(static_cast<int>(i), {q[2], q[1], q[0]});
    }
    for (int i = static_cast<int>(clrUsed); i < maxColors; ++i) dib->setPaletteEntry(i, {0, 0, 0});
  }
  dib->setPelsPerMeter(xppm > 0 ? xppm : 0, yppm > 0 ? yppm : 0);
  auto shiftOf = [](uint32_t m) {
    int s = 0;
    while (m && !(m & 1)) m >>= 1, ++s;
    return s;
  };
  auto scale = [](uint32_t v, uint32_t mask, int shift) -> uint8_t {
    const uint32_t max = mask >> shift;
    return max ? static_cast<uint8_t>((v * 255 + max / 2) / max) : 0;
  };
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = data + offBits + srcRow * (topDown ? y : height - 1 - y);
    uint8_t* dst = dib->rowFromTop(y);
    if (bits != 16) {
      std::memcpy(dst, src, srcRow);
      continue;
    }
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = le16(src + 2 * x);
      for (int c = 0; c < 3; ++c) {
        const int s = shiftOf(masks[2 - c]);
        dst[3 * x + c] = scale((v & masks[2 - c]) >> s, masks[2 - c], s);
      }
    }
  }
  return dib;
}

}  // namespace eztw

namespace eztw {
std::vector<uint8_t> bmpFileBytes(const Dib& dib) {
  const auto& packed = dib.packed();
  std::vector<uint8_t> out(14 + packed.size());
  out[0] = 'B', out[1] = 'M';
  put32(out.data() + 2, static_cast<uint32_t>(out.size()));
  put32(out.data() + 10, static_cast<uint32_t>(14 + kInfoHeaderSize + 4 * dib.colorCount()));
  std::memcpy(out.data() + 14, packed.data(), packed.size());
  return out;
}
}  // namespace eztw
