// SPDX-License-Identifier: MIT
// DIBs and the BMP/JPEG codecs on their own; Qt's image readers check what
// we write, and broken files must come back as errors.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "dib.h"
#include "image_file.h"

using namespace eztw;
namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) {
  static const fs::path dir = [] {
    char tmpl[] = "/tmp/eztw32-codec-XXXXXX";
    return fs::path(::mkdtemp(tmpl));
  }();
  return dir / name;
}

// A DIB of the given depth with a pattern in every pixel and palette entry.
std::unique_ptr<Dib> pattern(int depth, int32_t w, int32_t h) {
  auto d = Dib::create(depth, w, h);
  for (int i = 0; i < d->colorCount(); ++i)
    d->setPaletteEntry(i, {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                           static_cast<uint8_t>(i * 3)});
  for (int32_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < d->rowBytes(); ++x)
      d->rowFromTop(y)[x] = static_cast<uint8_t>(x * 31 + y * 17);
  d->setDpi(300, 150);
  return d;
}

std::vector<uint8_t> readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Dib, CreateRefusesBadAndAbsurdSizes) {
  EXPECT_FALSE(Dib::create(7, 10, 10));
  EXPECT_FALSE(Dib::create(8, 0, 10));
  EXPECT_FALSE(Dib::create(8, 10, -1));
  EXPECT_FALSE(Dib::create(32, 200000, 200000));
  auto d = Dib::create(1, 33, 2);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->rowBytes(), 8u);  // 33 bits padded to 64
  EXPECT_EQ(d->colorCount(), 2);
  EXPECT_EQ(Dib::create(24, 5, 1)->rowBytes(), 16u);
}

TEST(Dib, ColorCountKeepsPixelsAndPaletteEntries) {
  auto d = pattern(8, 9, 4);
  const Rgb before = d->pixel(3, 2);
  const std::vector<uint8_t> row(d->rowFromTop(1), d->rowFromTop(1) + d->rowBytes());
  ASSERT_TRUE(d->setColorCount(16));
  EXPECT_EQ(d->colorCount(), 16);
  EXPECT_EQ(std::vector<uint8_t>(d->rowFromTop(1), d->rowFromTop(1) + d->rowBytes()), row);
  Rgb c;
  EXPECT_TRUE(d->paletteEntry(15, c));
  EXPECT_FALSE(d->paletteEntry(16, c));
  ASSERT_TRUE(d->setColorCount(256));
  EXPECT_FALSE(d->setColorCount(257));
  EXPECT_FALSE(d->setColorCount(0));
  (void)before;
}

TEST(Dib, SwapRedBlueAndGreyPalette) {
  auto d = pattern(24, 3, 2);
  const Rgb a = d->pixel(1, 1);
  d->swapRedBlue();
  const Rgb b = d->pixel(1, 1);
  EXPECT_EQ(a.r, b.b);
  EXPECT_EQ(a.b, b.r);
  auto g = pattern(8, 3, 2);
  EXPECT_FALSE(g->isGreyPalette());
  g->setGreyPalette();
  EXPECT_TRUE(g->isGreyPalette());
}

class BmpDepth : public ::testing::TestWithParam<int> {};

TEST_P(BmpDepth, QtReadsWhatWeWriteAndWeReadItBack) {
  const int depth = GetParam();
  auto d = pattern(depth, 37, 11);
  const fs::path file = scratch("d" + std::to_string(depth) + ".bmp");
  ASSERT_EQ(writeImageFile(*d, file.c_str(), FileFormat::Bmp, 75), kFileOk);
  QImage q(QString::fromStdString(file.string()));
  ASSERT_FALSE(q.isNull());
  ASSERT_EQ(q.width(), 37);
  ASSERT_EQ(q.height(), 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 37; ++x) {
      const Rgb c = d->pixel(x, y);
      const QRgb p = q.pixel(x, y);
      ASSERT_EQ(qRed(p), c.r) << x << "," << y;
      ASSERT_EQ(qGreen(p), c.g);
      ASSERT_EQ(qBlue(p), c.b);
    }
  auto back = loadImageFile(file.c_str()).dib;
  ASSERT_TRUE(back);
  EXPECT_EQ(back->packed(), d->packed());
  EXPECT_EQ(back->xDpi(), 300);
  EXPECT_EQ(back->yDpi(), 150);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDepth, ::testing::Values(1, 4, 8, 24, 32));

TEST(Bmp, TopDownAndSixteenBitFilesFromQtLoad) {
  QImage q(20, 7, QImage::Format_RGB555);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 20; ++x) q.setPixel(x, y, qRgb(x * 12, y * 30, 200));
  const fs::path file = scratch("qt.bmp");
  ASSERT_TRUE(q.save(QString::fromStdString(file.string()), "BMP"));
  auto d = loadImageFile(file.c_str()).dib;
  ASSERT_TRUE(d);
  const QImage ref(QString::fromStdString(file.string()));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 20; ++x) {
      const Rgb c = d->pixel(x, y);
      EXPECT_EQ(qRgb(c.r, c.g, c.b), ref.pixel(x, y) | 0xff000000) << x << "," << y;
    }
}

TEST(Jpeg, QtDecodesWithSmallErrorAndWeLoadIt) {
  auto d = Dib::create(24, 64, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = d->rowFromTop(y) + 3 * x;
      p[0] = static_cast<uint8_t>(x * 4), p[1] = static_cast<uint8_t>(y * 5), p[2] = 128;
    }
  d->setDpi(200, 200);
  const fs::path file = scratch("smooth.jpg");
  ASSERT_EQ(writeImageFile(*d, file.c_str(), FileFormat::Jpeg, 75), kFileOk);
  QImage q(QString::fromStdString(file.string()));
  ASSERT_EQ(q.size(), QSize(64, 48));
  double se = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const Rgb c = d->pixel(x, y);
      const QRgb p = q.pixel(x, y);
      se += std::pow(qRed(p) - c.r, 2) + std::pow(qGreen(p) - c.g, 2) + std::pow(qBlue(p) - c.b, 2);
    }
  const double mse = se / (64 * 48 * 3);
  EXPECT_GT(10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9)), 35.0);
  auto back = loadImageFile(file.c_str()).dib;
  ASSERT_TRUE(back);
  EXPECT_EQ(back->depth(), 24);
  EXPECT_EQ(back->xDpi(), 200);
  // Line art and grey become grey JPEGs.
  auto grey = pattern(8, 16, 16);
  grey->setGreyPalette();
  ASSERT_EQ(writeImageFile(*grey, scratch("g.jpg").c_str(), FileFormat::Jpeg, 90), kFileOk);
  EXPECT_TRUE(QImage(QString::fromStdString(scratch("g.jpg").string())).isGrayscale());
  ASSERT_EQ(writeImageFile(*pattern(1, 16, 16), scratch("m.jpg").c_str(), FileFormat::Jpeg, 90),
            kFileOk);
  EXPECT_EQ(loadImageFile(scratch("m.jpg").c_str()).dib->width(), 16);
}

std::vector<uint8_t> validBmp() {
  const auto d = pattern(24, 30, 20);
  return bmpFileBytes(*d);
}
std::vector<uint8_t> validJpeg() {
  const fs::path f = scratch("valid.jpg");
  writeImageFile(*pattern(24, 40, 30), f.c_str(), FileFormat::Jpeg, 80);
  return readAll(f);
}
void put32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

TEST(Loader, BrokenFilesAreErrors) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
  auto bmp = validBmp();
  cases.push_back({"truncated bmp", {bmp.begin(), bmp.end() - 100}});
  auto huge = bmp;
  put32(huge, 18, 200000), put32(huge, 22, 200000);  // 200000 x 200000 header, tiny file
  cases.push_back({"absurd bmp", huge});
  auto zero = bmp;
  put32(zero, 18, 0);
  cases.push_back({"zero width bmp", zero});
  auto rle = bmp;
  put32(rle, 30, 1);
  cases.push_back({"rle bmp", rle});
  auto depth = bmp;
  depth[28] = 3;
  cases.push_back({"3-bit bmp", depth});
  auto offset = bmp;
  put32(offset, 10, 0xfffffff0u);
  cases.push_back({"offset beyond end", offset});
  auto jpg = validJpeg();
  cases.push_back(
      {"truncated jpeg", {jpg.begin(), jpg.begin() + static_cast<long>(jpg.size() / 2)}});
  auto corrupt = jpg;
  for (std::size_t i = jpg.size() / 2; i < jpg.size() - 2; i += 7) corrupt[i] = 0xFF;
  cases.push_back({"corrupt jpeg", corrupt});
  auto bigJpeg = jpg;
  // Patch the frame header (SOF0: FF C0 len P H H W W) to 65500 x 65500.
  for (std::size_t i = 0; i + 8 < bigJpeg.size(); ++i)
    if (bigJpeg[i] == 0xFF && bigJpeg[i + 1] == 0xC0) {
      bigJpeg[i + 5] = bigJpeg[i + 7] = 0xFF;
      bigJpeg[i + 6] = bigJpeg[i + 8] = 0xDC;
      break;
    }
  cases.push_back({"absurd jpeg", bigJpeg});
  cases.push_back({"empty", {}});
  cases.push_back({"text", {'h', 'e', 'l', 'l', 'o'}});
  cases.push_back({"just BM", {'B', 'M'}});
  for (const auto& [name, bytes] : cases) {
    const fs::path f = scratch("broken.bin");
    std::ofstream(f, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    EXPECT_FALSE(loadImageFile(f.c_str()).dib) << name;
  }
  EXPECT_FALSE(loadImageFile(nullptr).dib);
  EXPECT_FALSE(loadImageFile(scratch("").c_str()).dib);  // a folder
  EXPECT_TRUE(decodeBmp(bmp.data(), bmp.size()).dib);    // the untouched ones load
  EXPECT_TRUE(decodeJpeg(jpg.data(), jpg.size()));
}

// A valid progressive grey JPEG of one flat grey: a DC scan of all-zero
// differences, then AC scans that end every block at once in end-of-band
// runs. It stays about a bit per 8 x 8 block for any frame size, as a
// decompression bomb does. With steps > 0 each AC coefficient gets its own
// scans, `steps` of them by successive approximation: 1 + 63 * steps scans.
std::vector<uint8_t> flatProgressiveJpeg(uint16_t w, uint16_t h, int steps = 0) {
  std::vector<uint8_t> out;
  const auto put = [&](std::initializer_list<int> bytes) {
    for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
  };
  const auto put16 = [&](int v) { put({v >> 8, v & 0xFF}); };
  // Entropy-coded bits, most significant first, 0xFF stuffed, padded with ones.
  uint32_t acc = 0;
  int nbits = 0;
  const auto bits = [&](uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
      acc = (acc << 1) | ((v >> i) & 1);
      if (++nbits == 8) {
        out.push_back(static_cast<uint8_t>(acc));
        if (acc == 0xFF) out.push_back(0);
        acc = 0, nbits = 0;
      }
    }
  };
  const auto flush = [&] {
    if (nbits) bits(0x7F, 8 - nbits);
  };
  put({0xFF, 0xD8});
  put({0xFF, 0xDB}), put16(67), put({0});
  for (int i = 0; i < 64; ++i) put({1});
  put({0xFF, 0xC2}), put16(11), put({8}), put16(h), put16(w), put({1, 1, 0x11, 0});
  // DC table: one one-bit code, for "no difference".
  put({0xFF, 0xC4}), put16(20), put({0x00, 1});
  for (int i = 1; i < 16; ++i) put({0});
  put({0x00});
  // AC table: fifteen four-bit codes, for end-of-band runs of 2^r + extra bits.
  put({0xFF, 0xC4}), put16(34), put({0x10, 0, 0, 0, 15});
  for (int i = 4; i < 16; ++i) put({0});
  for (int r = 0; r < 15; ++r) put({r << 4});
  const std::size_t blocks = std::size_t{(w + 7u) / 8u} * ((h + 7u) / 8u);
  put({0xFF, 0xDA}), put16(8), put({1, 1, 0x00, 0, 0, 0x00});
  for (std::size_t i = 0; i < blocks; ++i) bits(0, 1);
  flush();
  struct Band {
    int first, last, high, low;  // spectral selection, successive approximation
  };
  std::vector<Band> bands;
  if (steps == 0) bands.push_back({1, 63, 0, 0});
  for (int k = 1; steps > 0 && k <= 63; ++k)
    for (int a = steps - 1; a >= 0; --a) bands.push_back({k, k, a == steps - 1 ? 0 : a + 1, a});
  for (const Band& b : bands) {
    put({0xFF, 0xDA}), put16(8), put({1, 1, 0x00, b.first, b.last, b.high << 4 | b.low});
    for (std::size_t left = blocks; left > 0;) {
      const auto run = static_cast<uint32_t>(std::min<std::size_t>(left, 32767));
      const int r = std::bit_width(run) - 1;
      bits(static_cast<uint32_t>(r), 4);
      bits(run - (1u << r), r);
      left -= run;
    }
    flush();
  }
  put({0xFF, 0xD9});
  return out;
}

long procStatusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

TEST(Jpeg, FlatProgressiveFileDecodes) {
  // The bomb below is only a bomb if its small cousin is a valid image.
  const auto jpg = flatProgressiveJpeg(67, 45);
  auto d = decodeJpeg(jpg.data(), jpg.size());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->width(), 67);
  EXPECT_EQ(d->height(), 45);
  EXPECT_EQ(d->depth(), 8);
  EXPECT_EQ(d->pixel(66, 44).r, 128);
  EXPECT_EQ(d->pixel(0, 0).g, 128);
  // 9 megapixels: 27 MB of image and coefficients, allowed however small the file.
  const auto big = flatProgressiveJpeg(3000, 3000);
  EXPECT_TRUE(decodeJpeg(big.data(), big.size()));
}

TEST(Jpeg, EndlessScansAreRefused) {
  // Each scan costs a pass over the whole image; real files have about ten.
  const auto some = flatProgressiveJpeg(64, 64, 1);  // 64 scans
  const auto many = flatProgressiveJpeg(64, 64, 8);  // 505 scans
  EXPECT_TRUE(decodeJpeg(some.data(), some.size()));
  EXPECT_FALSE(decodeJpeg(many.data(), many.size()));
}

// A 1 MB file that claims 24000 x 24000 pixels: 576 MB of image, and libjpeg
// would keep 1.1 GB of coefficients for its scans. Refused from its header,
// whole or cut short, in a child whose address space is limited; the child
// also reports how far its peak address space grew.
TEST(Jpeg, ProgressiveBombIsRefusedBeforeAllocating) {
  constexpr long kLimitKb = 1536L << 10;  // room for the old mistake to show
  constexpr long kAllowedKb = 64L << 10;  // what a refusal may cost at most
  const auto whole = flatProgressiveJpeg(24000, 24000);
  const std::vector<uint8_t> cut(whole.begin(),
                                 whole.begin() + static_cast<long>(whole.size() / 2));
  for (const auto* file : {&whole, &cut}) {
    const auto decodeLimited = [&] {
      const long start = procStatusKb("VmSize:");
      const auto limit = static_cast<rlim_t>(start + kLimitKb) * 1024;
      const struct rlimit as = {limit, limit};
      ::setrlimit(RLIMIT_AS, &as);
      ::alarm(60);
      const bool loaded = decodeJpeg(file->data(), file->size()) != nullptr;
      const long grown = procStatusKb("VmPeak:") - start;
      std::fprintf(stderr, "peak growth %ld KB\n", grown);
      ::_exit(loaded ? 1 : (grown > kAllowedKb ? 2 : 0));
    };
    EXPECT_EXIT(decodeLimited(), ::testing::ExitedWithCode(0), "peak growth")
        << (file == &whole ? "whole" : "cut");
  }
}

TEST(PendingFile, FailedWriteLeavesNothingBehind) {
  const fs::path target = scratch("pending/out.bmp");
  fs::create_directories(target.parent_path());
  {
    PendingFile f;
    ASSERT_EQ(f.open(target.string()), kFileOk);
    std::fputs("half", f.stream());
  }  // dropped without commit
  EXPECT_TRUE(fs::is_empty(target.parent_path()));
  PendingFile g;
  EXPECT_EQ(g.open((target.parent_path() / "missing" / "x.bmp").string()), kFileOpenError);
  EXPECT_EQ(g.open(target.parent_path().string()), kFileOpenError);
  const fs::path toRoot = scratch("to-root");
  fs::create_symlink("/", toRoot);
  EXPECT_EQ(g.open(toRoot.string()), kFileOpenError);  // the root folder has no name to replace
  ASSERT_EQ(g.open(target.string()), kFileOk);
  std::fputs("whole", g.stream());
  EXPECT_EQ(g.commit(), kFileOk);
  EXPECT_EQ(readAll(target).size(), 5u);
  EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()),
            1);
}

}  // namespace
