// DIBs and the BMP/JPEG codecs on their own; Qt's image readers check what
// we write, and broken files must come back as errors.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
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
  ASSERT_EQ(g.open(target.string()), kFileOk);
  std::fputs("whole", g.stream());
  EXPECT_EQ(g.commit(), kFileOk);
  EXPECT_EQ(readAll(target).size(), 5u);
  EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()),
            1);
}

}  // namespace
