// SPDX-License-Identifier: MIT
// A device-independent bitmap held as one packed block: BITMAPINFOHEADER,
// colour table (1, 4 and 8 bits), then bottom-up rows padded to 4 bytes.
// Free of Qt and SANE so that codecs, fuzz target and tests use it alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace eztw {

inline constexpr std::size_t kInfoHeaderSize = 40;
// Largest pixel block the library allocates for one image (1 GiB): a bound
// on what a file header or a caller can make us allocate.
inline constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 30;
inline constexpr int32_t kMaxSide = 1 << 18;

// Leaves new elements uninitialised: a page of scanned pixels is written
// once by the transfer, not zeroed first.
template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  using std::allocator<T>::allocator;
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using Bytes = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;

struct Rgb {
  uint8_t r, g, b;
};

class Dib {
 public:
  // Null when depth is not 1, 4, 8, 24 or 32, a side is not positive or the
  // image would exceed kMaxPixelBytes. Pixels start zeroed unless the
  // caller writes every row itself (zeroed false); palettes start as a grey
  // ramp.
  static std::unique_ptr<Dib> create(int depth, int32_t width, int32_t height, bool zeroed = true);

  static std::size_t rowBytesFor(int depth, int32_t width) {
    return ((static_cast<std::size_t>(width) * depth + 31) / 32) * 4;
  }

  int32_t width() const { return header().width; }
  int32_t height() const { return header().height; }
  int depth() const { return header().bitCount; }
  std::size_t rowBytes() const { return rowBytesFor(depth(), width()); }
  int colorCount() const { return static_cast<int>(header().clrUsed); }
  int32_t xPelsPerMeter() const { return header().xPelsPerMeter; }
  int32_t yPelsPerMeter() const { return header().yPelsPerMeter; }
  void setPelsPerMeter(int32_t x, int32_t y);
  // Resolution in dots per inch, rounded.
  int32_t xDpi() const;
  int32_t yDpi() const;
  void setDpi(int32_t x, int32_t y);

  // Palette entries as BGRX quads.
  uint8_t* palette() { return data_.data() + kInfoHeaderSize; }
  const uint8_t* palette() const { return data_.data() + kInfoHeaderSize; }
  bool paletteEntry(int index, Rgb& out) const;
  bool setPaletteEntry(int index, Rgb c);
  // Changes the number of palette entries (1..2^depth) keeping pixels.
  bool setColorCount(int count);
  void setGreyPalette();
  bool isGreyPalette() const;

  uint8_t* bits() { return palette() + 4 * colorCount(); }
  const uint8_t* bits() const { return palette() + 4 * colorCount(); }
  // Row y counted from the top of the picture.
  uint8_t* rowFromTop(int32_t y) { return bits() + rowBytes() * (height() - 1 - y); }
  const uint8_t* rowFromTop(int32_t y) const { return bits() + rowBytes() * (height() - 1 - y); }
  std::size_t pixelBytes() const { return rowBytes() * height(); }

  // The packed block as it goes after a BITMAPFILEHEADER or onto a clipboard.
  const Bytes& packed() const { return data_; }
  std::unique_ptr<Dib> clone() const;
  void swapRedBlue();
  // Colour of pixel (x, y from the top), through the palette where there is one.
  Rgb pixel(int32_t x, int32_t y) const;

  // Builds a DIB whose rows arrive top-down: reserve, append rows, finish.
  // Used where the height is not known beforehand.
  static std::unique_ptr<Dib> fromTopDownRows(int depth, int32_t width, Bytes&& rows);

 private:
#pragma pack(push, 1)
  struct Header {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
  };
#pragma pack(pop)
  static_assert(sizeof(Header) == kInfoHeaderSize);
  Header header() const;
  void setHeader(const Header& h);
  void writeHeader(int depth, int32_t width, int32_t height, std::size_t row, int colors);
  Bytes data_;
};

}  // namespace eztw
