// SPDX-License-Identifier: MIT
#include "function_table.h"

namespace quillmere {
namespace {

#define QM_ENTRY(family, conv, name, params, exportName) \
  FunctionEntry{family, "eztw32_" #name, #params, #exportName, #conv},

constexpr FunctionEntry kTable[] = {
    FunctionEntry{"binding", "eztw32_LoadDll", "()", "", "Number"},
    FunctionEntry{"binding", "eztw32_UnLoadDll", "()", "", "None"},
#define QM_ROW(conv, name, params, exportName, onZero, args) \
  QM_ENTRY("status", conv, name, params, exportName)
#include "families/status.inc"
#undef QM_ROW
#define QM_ROW(conv, name, params, exportName, onZero, args) \
  QM_ENTRY("sources", conv, name, params, exportName)
#include "families/sources.inc"
#undef QM_ROW
#define QM_ROW(conv, name, params, exportName, onZero, args) \
  QM_ENTRY("acquire", conv, name, params, exportName)
#include "families/acquire.inc"
#undef QM_ROW
#define QM_ROW(conv, name, params, exportName, onZero, args) \
  QM_ENTRY("dib", conv, name, params, exportName)
#include "families/dib.inc"
    QM_ENTRY("dib", Number, DIB_SetColorTableRGB,
             (std::int32_t hDib, std::int32_t nindex, std::int32_t nRed, std::int32_t nGreen,
              std::int32_t nBlue),
             DIB_SetColorTableRGB)
#undef QM_ROW
#define QM_ROW(conv, name, params, exportName, onZero, args) \
  QM_ENTRY("caps", conv, name, params, exportName)
#include "families/caps.inc"
#undef QM_ROW
#define QM_ROW(conv, name, params, exportName, onZero, args) \
  QM_ENTRY("errors", conv, name, params, exportName)
#include "families/errors.inc"
#undef QM_ROW
};

}  // namespace

std::span<const FunctionEntry> functionTable() { return kTable; }

}  // namespace quillmere
