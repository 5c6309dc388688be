// SPDX-License-Identifier: MIT
// libFuzzer entry point: any DIB the library can hold is written as BMP and as
// JPEG through the file writer and read back. The BMP must come back byte for
// byte, the JPEG with its size; neither may crash or leave a file behind.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "image_file.h"

namespace {

// Consumes the fuzzer's bytes in order; zeros once they run out.
struct Input {
  const uint8_t* data;
  std::size_t size;
  uint8_t byte() { return size ? (--size, *data++) : 0; }
};

// A fresh folder in memory where there is one (syncing files to a disk would
// slow each run a hundredfold), removed when the fuzzer exits.
struct Folder {
  std::filesystem::path path;
  Folder() {
    std::string tmpl = (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : ".");
    tmpl += "/eztw32-roundtrip-XXXXXX";
    path = ::mkdtemp(tmpl.data());
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

const std::filesystem::path& folder() {
  static const Folder dir;
  return dir.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace eztw;
  Input in{data, size};
  static const int kDepths[] = {1, 4, 8, 24, 32};
  const int depth = kDepths[in.byte() % 5];
  const int32_t width = 1 + in.byte() % 64, height = 1 + in.byte() % 64;
  const int quality = in.byte() % 101;
  auto dib = Dib::create(depth, width, height);
  if (!dib) std::abort();
  dib->setDpi(in.byte() * 7, in.byte() * 5);
  for (int i = 0; i < dib->colorCount(); ++i)
    dib->setPaletteEntry(i, {in.byte(), in.byte(), in.byte()});
  for (int32_t y = 0; y < height; ++y)
    for (std::size_t x = 0; x < dib->rowBytes(); ++x) dib->rowFromTop(y)[x] = in.byte();

  const std::string bmp = (folder() / "f.bmp").string(), jpg = (folder() / "f.jpg").string();
  if (writeImageFile(*dib, bmp.c_str(), FileFormat::Bmp, quality) != kFileOk) std::abort();
  const auto fromBmp = loadImageFile(bmp.c_str()).dib;
  if (!fromBmp || fromBmp->packed() != dib->packed()) std::abort();
  if (writeImageFile(*dib, jpg.c_str(), FileFormat::Jpeg, quality) != kFileOk) std::abort();
  const auto fromJpeg = loadImageFile(jpg.c_str()).dib;
  if (!fromJpeg || fromJpeg->width() != width || fromJpeg->height() != height) std::abort();
  // Only the two files: no temporary left beside them.
  if (std::distance(std::filesystem::directory_iterator(folder()), {}) != 2) std::abort();
  return 0;
}
