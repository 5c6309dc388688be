// SPDX-License-Identifier: MIT
// Wrapper family: see families/dib.inc.
#include "call.h"

#define QM_ROW QM_DEFINE_ROW
#include "families/dib.inc"

// The one wrapper that checks its arguments: a colour component outside 0 to
// 255 is refused with -1 before the library is called.
std::int32_t eztw32_DIB_SetColorTableRGB(std::int32_t hDib, std::int32_t nindex, std::int32_t nRed,
                                         std::int32_t nGreen, std::int32_t nBlue) {
  using namespace quillmere::detail;
  for (std::int32_t c : {nRed, nGreen, nBlue})
    if (c < 0 || c > 255) return -1;
  return invoke<Number, decltype(&::DIB_SetColorTableRGB), nullptr>(
      Export::DIB_SetColorTableRGB, Num{hDib}, Num{nindex}, Num{nRed}, Num{nGreen}, Num{nBlue});
}
