// SPDX-License-Identifier: MIT
// The BMP reader against ImageMagick: small files of every header, depth and
// compression Windows and OS/2 programs write, made here, decoded by both and
// compared pixel for pixel. Broken files must be refused or end cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "dib.h"
#include "image_file.h"

using namespace eztw;
namespace fs = std::filesystem;

namespace {

using Bytes8 = std::vector<uint8_t>;

fs::path scratch(const std::string& name) {
  static const fs::path dir = [] {
    char tmpl[] = "/tmp/eztw32-bmpread-XXXXXX";
    return fs::path(::mkdtemp(tmpl));
  }();
  return dir / name;
}

void put16(Bytes8& v, std::size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x), v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void put32(Bytes8& v, std::size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// What goes into a test file; the builder lays it out as a writer would.
struct BmpLayout {
  uint32_t header = 40;           // 12 (OS/2 1.x), 16..64 (OS/2 2.x), 40, 52, 56, 108, 124
  int32_t width = 0, height = 0;  // negative height: rows stored top-down
  int bits = 8;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
  std::vector<Rgb> palette;
  std::vector<uint32_t> masks;  // red, green, blue[, alpha]: in the header from 52 bytes on
  Bytes8 pixels;
  std::optional<uint32_t> offBits;  // else right after the colour table
};

constexpr uint32_t kRle8 = 1, kRle4 = 2, kBitfields = 3, kJpeg = 4, kPng = 5, kAlphaBitfields = 6;

Bytes8 build(const BmpLayout& s) {
  const bool core = s.header == 12;
  const std::size_t masksAfter = s.header == 40 ? 4 * s.masks.size() : 0;
  const std::size_t quad = core ? 3 : 4;
  const std::size_t table = 14 + s.header + masksAfter;
  const std::size_t pixelsAt = table + quad * s.palette.size();
  Bytes8 f(pixelsAt + s.pixels.size());
  f[0] = 'B', f[1] = 'M';
  put32(f, 2, static_cast<uint32_t>(f.size()));
  put32(f, 10, s.offBits.value_or(static_cast<uint32_t>(pixelsAt)));
  put32(f, 14, s.header);
  if (core) {
    put16(f, 18, static_cast<uint32_t>(s.width)), put16(f, 20, static_cast<uint32_t>(s.height));
    put16(f, 22, 1), put16(f, 24, static_cast<uint32_t>(s.bits));
  } else {
    // Short OS/2 2.x headers simply stop after the fields that fit.
    Bytes8 h(std::max<std::size_t>(s.header, 56));
    put32(h, 4, static_cast<uint32_t>(s.width)), put32(h, 8, static_cast<uint32_t>(s.height));
    put16(h, 12, 1), put16(h, 14, static_cast<uint32_t>(s.bits));
    put32(h, 16, s.compression), put32(h, 20, static_cast<uint32_t>(s.pixels.size()));
    put32(h, 24, 3780), put32(h, 28, 3780);  // 96 dpi
    put32(h, 32, s.clrUsed);
    for (std::size_t i = 0; i < s.masks.size() && s.header >= 52; ++i)
      put32(h, 40 + 4 * i, s.masks[i]);
    if (s.header >= 108) put32(h, 56, 0x73524742);  // colour space 'sRGB'
    std::copy_n(h.begin() + 4, s.header - 4, f.begin() + 18);
  }
  for (std::size_t i = 0; i < masksAfter / 4; ++i) put32(f, 14 + s.header + 4 * i, s.masks[i]);
  for (std::size_t i = 0; i < s.palette.size(); ++i) {
    uint8_t* q = f.data() + table + quad * i;
    q[0] = s.palette[i].b, q[1] = s.palette[i].g, q[2] = s.palette[i].r;
  }
  std::copy(s.pixels.begin(), s.pixels.end(), f.begin() + static_cast<long>(pixelsAt));
  return f;
}

fs::path save(const std::string& name, const Bytes8& bytes) {
  const fs::path p = scratch(name + ".bmp");
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return p;
}

// An RGB picture: ImageMagick's decoding or ours.
struct Picture {
  int width = 0, height = 0;
  std::vector<Rgb> px;
};

std::optional<Picture> magick(const fs::path& file) {
  const std::string cmd = "convert '" + file.string() + "' -depth 8 ppm:- 2>/dev/null";
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return std::nullopt;
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  if (::pclose(p) != 0) return std::nullopt;
  std::istringstream in(out);
  std::string magic;
  int maxval = 0;
  Picture pic;
  in >> magic >> pic.width >> pic.height >> maxval;
  in.get();
  if (magic != "P6" || maxval != 255) return std::nullopt;
  pic.px.resize(static_cast<std::size_t>(pic.width) * pic.height);
  for (Rgb& c : pic.px) {
    c.r = static_cast<uint8_t>(in.get()), c.g = static_cast<uint8_t>(in.get());
    c.b = static_cast<uint8_t>(in.get());
  }
  if (!in) return std::nullopt;
  return pic;
}

Picture ours(const Dib& d) {
  Picture pic{d.width(), d.height(), {}};
  for (int32_t y = 0; y < d.height(); ++y)
    for (int32_t x = 0; x < d.width(); ++x) pic.px.push_back(d.pixel(x, y));
  return pic;
}

// How pixels must agree. Channels of other widths than 8 bits we scale to
// the nearest 8-bit value; ImageMagick repeats or drops bits instead, which
// is one step off for 5, 6 and 10 bits, and for 4 bits gives 16 times the
// value rather than 17 (white becomes 240), so there only the 4-bit values
// are compared.
enum class Match { Exact, WithinOne, FourBitValues };

::testing::AssertionResult samePicture(const Picture& a, const Picture& b, Match m) {
  const int tolerance = m == Match::WithinOne ? 1 : 0;
  const int shift = m == Match::FourBitValues ? 4 : 0;
  if (a.width != b.width || a.height != b.height)
    return ::testing::AssertionFailure()
           << "size " << a.width << "x" << a.height << " vs " << b.width << "x" << b.height;
  for (std::size_t i = 0; i < a.px.size(); ++i) {
    const Rgb p = a.px[i], q = b.px[i];
    auto off = [&](uint8_t u, uint8_t v) {
      return std::abs((u >> shift) - (v >> shift)) > tolerance;
    };
    if (off(p.r, q.r) || off(p.g, q.g) || off(p.b, q.b))
      return ::testing::AssertionFailure()
             << "pixel " << i % a.width << "," << i / a.width << ": ours " << int(p.r) << ","
             << int(p.g) << "," << int(p.b) << " ImageMagick " << int(q.r) << "," << int(q.g) << ","
             << int(q.b);
  }
  return ::testing::AssertionSuccess();
}

std::vector<Rgb> palette(int n) {
  std::vector<Rgb> p;
  for (int i = 0; i < n; ++i)
    p.push_back({static_cast<uint8_t>(40 + i * 13), static_cast<uint8_t>(250 - i * 7),
                 static_cast<uint8_t>(i * 29)});
  return p;
}

// Rows of packed pixels, bottom-up unless the height is negative; every
// value comes from f(x, y) with y from the top.
template <typename F>
Bytes8 rows(int bits, int32_t w, int32_t h, F f) {
  const bool topDown = h < 0;
  const int32_t n = topDown ? -h : h;
  const std::size_t row = Dib::rowBytesFor(bits, w);
  Bytes8 out(row * n);
  for (int32_t r = 0; r < n; ++r) {
    const int32_t y = topDown ? r : n - 1 - r;
    uint8_t* p = out.data() + row * r;
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t v = f(x, y);
      switch (bits) {
        case 1:
          p[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
          break;
        case 4:
          p[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4));
          break;
        default:
          for (int b = 0; b < bits / 8; ++b)
            p[x * bits / 8 + b] = static_cast<uint8_t>(v >> (8 * b));
      }
    }
  }
  return out;
}

uint32_t mix(int x, int y) { return static_cast<uint32_t>(x * 2654435761u ^ y * 40503u); }

// A run-length stream exercising every code: runs, absolute runs with word
// padding, end of line, delta and end of bitmap. 12 x 6 pixels, 8 or 4 bits.
Bytes8 rleStream(bool fourBit) {
  // clang-format off
  if (!fourBit)
    return {
        3, 5, 2, 1, 0, 3, 7, 8, 9, 0, 4, 2, 0, 0,        // run, run, odd absolute run, run
        0, 5, 1, 2, 3, 4, 5, 0, 0, 2, 3, 1, 2, 6, 0, 0,  // absolute run of 5, delta, run
        12, 3, 0, 0,                                     // a whole row
        0, 2, 4, 1,                                      // delta over a blank row
        4, 9, 0, 1,                                      // end of bitmap: the rest is index 0
        0, 0,                                            // padding, never read
    };
  return {
      3, 0x56, 2, 0x12, 0, 3, 0x78, 0x90, 0, 4, 0x2a, 0, 0, 0,  // runs, absolute 3 and 4
      0, 5, 0x12, 0x34, 0x50, 0, 0, 2, 3, 1, 2, 0xe6, 0, 0,     // absolute 5, delta, run
      12, 0x3c, 0, 0,                                           // a whole row, alternating
      0, 2, 4, 1,                                               // delta over a blank row
      4, 0x9f, 0, 1,                                            // end of bitmap
      0, 0,                                                     // padding
  };
  // clang-format on
}

BmpLayout rle(bool fourBit, Bytes8 stream) {
  BmpLayout s;
  s.width = 12, s.height = 6;
  s.bits = fourBit ? 4 : 8;
  s.compression = fourBit ? kRle4 : kRle8;
  s.palette = palette(16);
  s.clrUsed = 16;
  s.pixels = std::move(stream);
  return s;
}

BmpLayout masked(uint32_t header, int bits, uint32_t compression, std::vector<uint32_t> masks) {
  BmpLayout s;
  s.header = header, s.bits = bits, s.compression = compression, s.masks = masks;
  s.width = 9, s.height = 5;
  s.pixels = rows(bits, 9, 5, [&](int x, int y) { return mix(x + 3, y); });
  return s;
}

BmpLayout plain(uint32_t header, int bits, int32_t w, int32_t h, int colours = 0) {
  BmpLayout s;
  s.header = header, s.bits = bits, s.width = w, s.height = h;
  if (bits <= 8) s.palette = palette(colours ? colours : 1 << bits);
  if (bits <= 8 && colours && header != 12) s.clrUsed = static_cast<uint32_t>(colours);
  const uint32_t limit = bits <= 8 ? static_cast<uint32_t>(s.palette.size()) : 0;
  s.pixels = rows(bits, w, h, [&](int x, int y) { return limit ? mix(x, y) % limit : mix(x, y); });
  return s;
}

// ImageMagick finds no short colour table in OS/2 1.x files.
BmpLayout withFullTable(BmpLayout s) {
  s.palette.resize(std::size_t{1} << s.bits, Rgb{0, 0, 0});
  return s;
}

// Other files than ImageMagick can read (it reads no 16-byte OS/2 2.x header
// and takes 3-byte colour entries after a 64-byte one, where OS/2 has 4) are
// checked against an equivalent one it can.
struct Good {
  std::string name;
  BmpLayout layout;
  Match match;
  int depth = 0;                     // of our DIB
  std::optional<BmpLayout> as = {};  // an equivalent file for ImageMagick, which lacks this kind
};

TEST(BmpRead, EveryKindMatchesImageMagick) {
  const std::vector<Good> cases = {
      {"rle8", rle(false, rleStream(false)), Match::Exact, 8},
      {"rle4", rle(true, rleStream(true)), Match::Exact, 4},
      {"rle8 closed by the last end of line",
       [] {
         BmpLayout s = rle(false, {12, 1, 0, 0, 5, 2, 7, 3, 0, 0});
         s.height = 2;
         return s;
       }(),
       Match::Exact, 8},
      {"16 bit 5-6-5 masks after a 40-byte header",
       masked(40, 16, kBitfields, {0xf800, 0x07e0, 0x001f}), Match::WithinOne, 24},
      {"16 bit 4-4-4 with alpha, V4 header",
       masked(108, 16, kBitfields, {0x0f00, 0x00f0, 0x000f, 0xf000}), Match::FourBitValues, 24},
      {"32 bit 10-10-10, V5 header",
       masked(124, 32, kBitfields, {0x3ff00000, 0x000ffc00, 0x000003ff, 0}), Match::WithinOne, 32},
      {"32 bit R-G-B-X order, V3 header",
       masked(56, 32, kBitfields, {0xff000000, 0x00ff0000, 0x0000ff00, 0x000000ff}), Match::Exact,
       32},
      {"32 bit usual masks after a 40-byte header",
       masked(40, 32, kBitfields, {0xff0000, 0xff00, 0xff}), Match::Exact, 32},
      {"32 bit 8-bit masks, V4 header", masked(108, 32, kBitfields, {0xff, 0xff00, 0xff0000}),
       Match::Exact, 32},
      {"16 bit 5-5-5 masks, V2 header", masked(52, 16, kBitfields, {0x7c00, 0x03e0, 0x001f}),
       Match::WithinOne, 24},
      {"32 bit alpha masks after a 40-byte header",
       masked(40, 32, kAlphaBitfields, {0xff00, 0xff0000, 0xff000000, 0xff}), Match::Exact, 32,
       masked(56, 32, kBitfields, {0xff00, 0xff0000, 0xff000000, 0xff})},
      {"os/2 1.x 8 bit, short table from the offset", plain(12, 8, 7, 3, 20), Match::Exact, 8,
       withFullTable(plain(12, 8, 7, 3, 20))},
      {"os/2 1.x 24 bit", plain(12, 24, 6, 4), Match::Exact, 24},
      {"os/2 2.x 64-byte header, 4 bit", plain(64, 4, 11, 3), Match::Exact, 4, plain(40, 4, 11, 3)},
      {"os/2 2.x 16-byte header, 24 bit", plain(16, 24, 5, 3), Match::Exact, 24,
       plain(40, 24, 5, 3)},
      {"top-down 8 bit", plain(40, 8, 10, -4), Match::Exact, 8},
      {"top-down 24 bit", plain(40, 24, 7, -3), Match::Exact, 24},
      {"top-down 16 bit", plain(40, 16, 6, -5), Match::WithinOne, 24},
      {"top-down 1 bit", plain(40, 1, 19, -3), Match::Exact, 1},
      {"8 bit, 5 colours", plain(40, 8, 9, 4, 5), Match::Exact, 8},
      {"4 bit, 3 colours, V5 header", plain(124, 4, 9, 4, 3), Match::Exact, 4},
      {"32 bit plain, V4 header", plain(108, 32, 5, 3), Match::Exact, 32},
  };
  for (const auto& c : cases)
    [&] {
      SCOPED_TRACE(c.name);
      const Bytes8 bytes = build(c.layout);
      const auto reference = magick(save("good", c.as ? build(*c.as) : bytes));
      ASSERT_TRUE(reference) << "ImageMagick cannot read it";
      auto got = decodeBmp(bytes.data(), bytes.size());
      ASSERT_TRUE(got.dib);
      EXPECT_EQ(got.dib->depth(), c.depth);
      EXPECT_TRUE(samePicture(ours(*got.dib), *reference, c.match));
    }();
}

// Files another writer made: ImageMagick's run-length, OS/2, colour-mask and
// alpha variants, read back by ImageMagick and by us.
TEST(BmpRead, FilesImageMagickWritesMatchIt) {
  struct Case {
    std::string args;
    Match match;
  };
  const std::vector<Case> cases = {
      {"-colors 12 -compress RLE bmp3:", Match::Exact},
      {"-colors 5 -compress RLE bmp3:", Match::Exact},
      {"-colors 12 bmp2:", Match::Exact},  // OS/2 1.x header
      {"-monochrome bmp3:", Match::Exact},
      {"-colors 14 bmp:", Match::Exact},
      {"-define bmp:subtype=RGB565 bmp:", Match::WithinOne},
      {"-define bmp:subtype=RGB555 bmp:", Match::WithinOne},
      {"-alpha set -define bmp:subtype=ARGB1555 bmp:", Match::WithinOne},
      {"-alpha set -define bmp:subtype=ARGB4444 bmp:", Match::FourBitValues},
      {"-alpha set -channel A -evaluate set 40% +channel bmp:", Match::Exact},
  };
  for (const auto& c : cases)
    [&] {
      SCOPED_TRACE(c.args);
      const fs::path file = scratch("magick.bmp");
      fs::remove(file);
      const std::string cmd =
          "convert -size 23x9 plasma:fractal -seed 3 " + c.args + "'" + file.string() + "'";
      ASSERT_EQ(std::system(cmd.c_str()), 0);
      std::ifstream in(file, std::ios::binary);
      const Bytes8 bytes{std::istreambuf_iterator<char>(in), {}};
      const auto reference = magick(file);
      ASSERT_TRUE(reference);
      auto got = decodeBmp(bytes.data(), bytes.size());
      ASSERT_TRUE(got.dib);
      EXPECT_TRUE(samePicture(ours(*got.dib), *reference, c.match));
    }();
}

// Narrow channels span the whole 8-bit range: the largest value is 255, and
// values between are scaled, not shifted.
TEST(BmpRead, NarrowChannelsSpanTheFullRange) {
  struct Case {
    std::vector<uint32_t> masks;
    uint32_t value;
    Rgb want;
  };
  const std::vector<Case> cases = {
      {{0x0f00, 0x00f0, 0x000f}, 0x0fff, {255, 255, 255}},
      {{0x0f00, 0x00f0, 0x000f}, 0x0f08, {255, 0, 136}},
      {{0xf800, 0x07e0, 0x001f}, 0xffff, {255, 255, 255}},
      {{0xf800, 0x07e0, 0x001f}, 0x8410, {132, 130, 132}},  // half of 31 and of 63, rounded
      {{0x3ff00000, 0x000ffc00, 0x000003ff}, 0x3fffffff, {255, 255, 255}},
  };
  for (const auto& c : cases) {
    const int bits = c.masks[0] > 0xffff ? 32 : 16;
    BmpLayout s = masked(40, bits, kBitfields, c.masks);
    s.width = 1, s.height = 1;
    s.pixels = rows(bits, 1, 1, [&](int, int) { return c.value; });
    const Bytes8 bytes = build(s);
    auto got = decodeBmp(bytes.data(), bytes.size());
    ASSERT_TRUE(got.dib);
    const Rgb p = got.dib->pixel(0, 0);
    EXPECT_EQ(std::tie(p.r, p.g, p.b), std::tie(c.want.r, c.want.g, c.want.b))
        << std::hex << c.value;
  }
}

// A stream that ends early, or moves outside the picture, keeps what it set:
// the same as the stream cut there and closed with an end of bitmap.
TEST(BmpRead, BrokenRunLengthStreamsEndCleanly) {
  const Bytes8 rle8 = rleStream(false), rle4 = rleStream(true);
  auto check = [](const std::string& name, bool fourBit, Bytes8 stream, Bytes8 closed) {
    SCOPED_TRACE(name);
    const Bytes8 broken = build(rle(fourBit, stream));
    // ImageMagick looks for a second picture after the end of bitmap and
    // fails without two more bytes there.
    closed.push_back(0), closed.push_back(0);
    const Bytes8 fine = build(rle(fourBit, closed));
    const auto reference = magick(save("closed", fine));
    ASSERT_TRUE(reference);
    auto got = decodeBmp(broken.data(), broken.size());
    ASSERT_TRUE(got.dib);
    EXPECT_TRUE(samePicture(ours(*got.dib), *reference, Match::Exact));
  };
  auto cut = [](const Bytes8& s, std::size_t n) {
    return Bytes8(s.begin(), s.begin() + static_cast<long>(n));
  };
  auto closedAt = [&](const Bytes8& s, std::size_t n) {
    Bytes8 c = cut(s, n);
    c.push_back(0), c.push_back(1);
    return c;
  };
  // Cut inside the second row's absolute run (after its count and 2 pixels).
  check("rle8 cut in an absolute run", false, cut(rle8, 18), [&] {
    Bytes8 c = cut(rle8, 14);
    for (uint8_t v : {1, 1, 1, 2, 0, 1}) c.push_back(v);  // the two pixels that arrived
    return c;
  }());
  check("rle8 cut after a row", false, cut(rle8, 14), closedAt(rle8, 14));
  check("rle4 cut in a delta", true, cut(rle4, 22), closedAt(rle4, 20));
  check("rle8 cut to one byte", false, {12}, {0, 1});
  Bytes8 pastRight = cut(rle8, 14);
  for (uint8_t v : {0, 2, 13, 0, 5, 5}) pastRight.push_back(v);
  check("delta past the right edge", false, pastRight, closedAt(rle8, 14));
  Bytes8 pastTop = cut(rle8, 14);
  for (uint8_t v : {0, 2, 0, 9, 5, 5}) pastTop.push_back(v);
  check("delta past the top", false, pastTop, closedAt(rle8, 14));
  // Runs beyond the right edge are cut at it; the next row starts clean.
  check("run past the right edge", false, {20, 4, 0, 0, 3, 2, 0, 1}, {12, 4, 0, 0, 3, 2, 0, 1});
  check("absolute run past the right edge", false,
        {0, 14, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 0, 2, 3, 0, 1},
        {0, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 2, 3, 0, 1});
  check("more rows than the picture", false, Bytes8(40, 0), {0, 1});
}

TEST(BmpRead, RefusesBrokenAndUnsupportedFiles) {
  struct Case {
    std::string name;
    Bytes8 bytes;
    ImageError error;
  };
  const Bytes8 good = build(plain(40, 8, 10, 4, 256));
  auto with = [](Bytes8 b, std::size_t at, uint32_t v) {
    put32(b, at, v);
    return b;
  };
  BmpLayout topDownRle = rle(false, rleStream(false));
  topDownRle.height = -6;
  BmpLayout rleDepth = rle(false, rleStream(false));
  rleDepth.bits = 4;
  BmpLayout embeddedPng = plain(40, 24, 4, 4);
  embeddedPng.bits = 0, embeddedPng.compression = kPng;
  BmpLayout embeddedJpeg = embeddedPng;
  embeddedJpeg.compression = kJpeg;
  BmpLayout wide = plain(40, 32, 4, 2);
  wide.bits = 64;
  wide.pixels.resize(64);
  const std::vector<Case> cases = {
      {"pixel offset 0", with(good, 10, 0), ImageError::Unreadable},
      {"pixel offset inside the header", with(good, 10, 30), ImageError::Unreadable},
      {"pixel offset inside the colour table", with(good, 10, 54 + 4 * 100),
       ImageError::Unreadable},
      {"pixel offset past the end", with(good, 10, static_cast<uint32_t>(good.size()) + 1),
       ImageError::Unreadable},
      {"pixel offset at the end", with(good, 10, static_cast<uint32_t>(good.size())),
       ImageError::Unreadable},
      {"top-down rle", build(topDownRle), ImageError::Unreadable},
      {"rle8 at 4 bits", build(rleDepth), ImageError::Unreadable},
      {"overlapping masks", build(masked(40, 32, kBitfields, {0xff0000, 0x1ff00, 0xff})),
       ImageError::Unreadable},
      {"empty mask", build(masked(40, 16, kBitfields, {0xf800, 0, 0x1f})), ImageError::Unreadable},
      {"broken mask", build(masked(108, 16, kBitfields, {0xf00f, 0x0f0, 0xf00})),
       ImageError::Unreadable},
      {"mask beyond 16 bits", build(masked(40, 16, kBitfields, {0x7c00, 0x3e0, 0x1f0000})),
       ImageError::Unreadable},
      {"alpha over a colour", build(masked(56, 32, kBitfields, {0xff0000, 0xff00, 0xff, 0x80})),
       ImageError::Unreadable},
      {"masks cut off",
       [&] {
         Bytes8 b = build(masked(40, 32, kBitfields, {0xff0000, 0xff00, 0xff}));
         return Bytes8(b.begin(), b.begin() + 60);
       }(),
       ImageError::Unreadable},
      {"bitfields at 24 bits", build(masked(40, 24, kBitfields, {0xff0000, 0xff00, 0xff})),
       ImageError::Unreadable},
      {"header of 41 bytes", with(good, 14, 41), ImageError::Unreadable},
      {"embedded png", build(embeddedPng), ImageError::Unsupported},
      {"embedded jpeg", build(embeddedJpeg), ImageError::Unsupported},
      {"64 bits", build(wide), ImageError::Unsupported},
      {"os/2 huffman", build([] {
         BmpLayout s = plain(64, 1, 8, 2);
         s.compression = 3;
         return s;
       }()),
       ImageError::Unsupported},
  };
  for (const auto& c : cases) {
    auto got = decodeBmp(c.bytes.data(), c.bytes.size());
    EXPECT_FALSE(got.dib) << c.name;
    EXPECT_EQ(got.error, c.error) << c.name;
  }
  EXPECT_TRUE(decodeBmp(good.data(), good.size()).dib);  // the untouched one loads
}

// A tiny stream may not make the reader build a huge picture; a blank page
// of ordinary size closed at once is still a picture.
TEST(BmpRead, RunLengthSizeIsBoundedByTheStream) {
  BmpLayout huge = rle(false, {0, 1});
  huge.width = 60000, huge.height = 60000;
  const Bytes8 big = build(huge);
  EXPECT_EQ(decodeBmp(big.data(), big.size()).error, ImageError::Unreadable);
  BmpLayout page = rle(false, {0, 1});
  page.width = 2480, page.height = 3508;  // A4 at 300 dpi
  const Bytes8 blank = build(page);
  auto got = decodeBmp(blank.data(), blank.size());
  ASSERT_TRUE(got.dib);
  const Rgb zero = palette(1)[0];
  const Rgb corner = got.dib->pixel(2479, 0);
  EXPECT_EQ(std::tie(corner.r, corner.g, corner.b), std::tie(zero.r, zero.g, zero.b));
}

}  // namespace
