// SPDX-License-Identifier: MIT
#include "dib.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace eztw {

static_assert(std::endian::native == std::endian::little, "the DIB layout is little-endian");

namespace {
constexpr double kInchesPerMeter = 39.37007874;
bool validDepth(int d) { return d == 1 || d == 4 || d == 8 || d == 24 || d == 32; }
}  // namespace

Dib::Header Dib::header() const {
  Header h;
  std::memcpy(&h, data_.data(), sizeof h);
  return h;
}

void Dib::setHeader(const Header& h) { std::memcpy(data_.data(), &h, sizeof h); }

// The header of a new image, and a grey ramp as its colour table.
void Dib::writeHeader(int depth, int32_t width, int32_t height, std::size_t row, int colors) {
  Header h{};
  h.size = kInfoHeaderSize;
  h.width = width;
  h.height = height;
  h.planes = 1;
  h.bitCount = static_cast<uint16_t>(depth);
  h.sizeImage = static_cast<uint32_t>(row * static_cast<std::size_t>(height));
  h.clrUsed = static_cast<uint32_t>(colors);
  setHeader(h);
  if (colors) setGreyPalette();
}

std::unique_ptr<Dib> Dib::create(int depth, int32_t width, int32_t height, bool zeroed) {
  if (!validDepth(depth) || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return nullptr;
  const std::size_t row = rowBytesFor(depth, width);
  if (row > kMaxPixelBytes / static_cast<std::size_t>(height)) return nullptr;
  const int colors = depth <= 8 ? (1 << depth) : 0;
  auto dib = std::unique_ptr<Dib>(new Dib);
  const std::size_t head = kInfoHeaderSize + 4 * static_cast<std::size_t>(colors);
  dib->data_.resize(head + row * height);
  std::fill_n(dib->data_.begin(), head, 0);
  if (zeroed)
    std::fill(dib->data_.begin() + static_cast<std::ptrdiff_t>(head), dib->data_.end(), 0);
  dib->writeHeader(depth, width, height, row, colors);
  return dib;
}

std::unique_ptr<Dib> Dib::fromTopDownRows(int depth, int32_t width, Bytes&& rows) {
  const std::size_t row = rowBytesFor(depth, width);
  if (!validDepth(depth) || width <= 0 || row == 0 || rows.size() % row) return nullptr;
  const std::size_t height = rows.size() / row;
  if (height == 0 || height > static_cast<std::size_t>(kMaxSide)) return nullptr;
  // Reverse the rows in place, then put the header and palette in front.
  std::vector<uint8_t> tmp(row);
  for (std::size_t a = 0, b = height - 1; a < b; ++a, --b) {
    std::memcpy(tmp.data(), &rows[a * row], row);
    std::memcpy(&rows[a * row], &rows[b * row], row);
    std::memcpy(&rows[b * row], tmp.data(), row);
  }
  const int colors = depth <= 8 ? (1 << depth) : 0;
  rows.insert(rows.begin(), kInfoHeaderSize + 4 * colors, 0);
  auto dib = std::unique_ptr<Dib>(new Dib);
  dib->data_ = std::move(rows);
  dib->writeHeader(depth, width, static_cast<int32_t>(height), row, colors);
  return dib;
}

void Dib::setPelsPerMeter(int32_t x, int32_t y) {
  Header h = header();
  h.xPelsPerMeter = x;
  h.yPelsPerMeter = y;
  setHeader(h);
}

int32_t Dib::xDpi() const {
  return static_cast<int32_t>(std::lround(xPelsPerMeter() / kInchesPerMeter));
}
int32_t Dib::yDpi() const {
  return static_cast<int32_t>(std::lround(yPelsPerMeter() / kInchesPerMeter));
}
void Dib::setDpi(int32_t x, int32_t y) {
  setPelsPerMeter(static_cast<int32_t>(std::lround(x * kInchesPerMeter)),
                  static_cast<int32_t>(std::lround(y * kInchesPerMeter)));
}

bool Dib::paletteEntry(int index, Rgb& out) const {
  if (index < 0 || index >= colorCount()) return false;
  const uint8_t* q = palette() + 4 * index;
  out = {q[2], q[1], q[0]};
  return true;
}

bool Dib::setPaletteEntry(int index, Rgb c) {
  if (index < 0 || index >= colorCount()) return false;
  uint8_t* q = palette() + 4 * index;
  q[0] = c.b;
  q[1] = c.g;
  q[2] = c.r;
  q[3] = 0;
  return true;
}

bool Dib::setColorCount(int count) {
  if (depth() > 8 || count < 1 || count > (1 << depth())) return false;
  const int old = colorCount();
  auto at = data_.begin() + static_cast<std::ptrdiff_t>(kInfoHeaderSize + 4 * std::min(old, count));
  if (count > old)
    data_.insert(at, static_cast<std::size_t>(4 * (count - old)), 0);
  else
    data_.erase(at, at + 4 * (old - count));
  Header h = header();
  h.clrUsed = static_cast<uint32_t>(count);
  setHeader(h);
  return true;
}

void Dib::setGreyPalette() {
  const int n = colorCount();
  for (int i = 0; i < n; ++i) {
    const auto v = static_cast<uint8_t>(n > 1 ? i * 255 / (n - 1) : 0);
    setPaletteEntry(i, {v, v, v});
  }
}

bool Dib::isGreyPalette() const {
  const int n = colorCount();
  if (n != (1 << depth())) return false;
  for (int i = 0; i < n; ++i) {
    Rgb c;
    paletteEntry(i, c);
    const auto v = static_cast<uint8_t>(i * 255 / (n - 1));
    if (c.r != v || c.g != v || c.b != v) return false;
  }
  return true;
}

std::unique_ptr<Dib> Dib::clone() const {
  auto d = std::unique_ptr<Dib>(new Dib);
  d->data_ = data_;
  return d;
}

void Dib::swapRedBlue() {
  if (depth() <= 8) {
    for (int i = 0; i < colorCount(); ++i) std::swap(palette()[4 * i], palette()[4 * i + 2]);
    return;
  }
  const int step = depth() / 8;
  for (int32_t y = 0; y < height(); ++y) {
    uint8_t* p = rowFromTop(y);
    for (int32_t x = 0; x < width(); ++x, p += step) std::swap(p[0], p[2]);
  }
}

Rgb Dib::pixel(int32_t x, int32_t y) const {
  const uint8_t* row = rowFromTop(y);
  int index = 0;
  switch (depth()) {
    case 1:
      index = (row[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case 4:
      index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
      break;
    case 8:
      index = row[x];
      break;
    default: {
      const uint8_t* p = row + static_cast<std::size_t>(x) * (depth() / 8);
      return {p[2], p[1], p[0]};
    }
  }
  Rgb c{0, 0, 0};
  paletteEntry(index, c);  // an index beyond a shortened palette reads black
  return c;
}

}  // namespace eztw
