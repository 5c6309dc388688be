// SPDX-License-Identifier: MIT
#include <cstring>
#include <vector>

#include "image_file.h"

namespace eztw {

namespace {
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
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
