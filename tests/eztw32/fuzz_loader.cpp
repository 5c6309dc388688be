// SPDX-License-Identifier: MIT
// libFuzzer entry point: the BMP/JPEG loader must refuse anything broken
// without crashing or allocating without bound.
#include <cstddef>
#include <cstdint>

#include "image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto dib = eztw::decodeImage(data, size).dib;
  if (dib) {
    // Whatever loads must be a consistent image.
    volatile uint8_t sink = 0;
    for (int32_t y = 0; y < dib->height(); y += 97) sink ^= dib->rowFromTop(y)[0];
    (void)sink;
  }
  return 0;
}
