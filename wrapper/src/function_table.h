// SPDX-License-Identifier: MIT
// The wrapper's own function table: one entry per eztw32_ function, made from
// the same family rows as the wrappers. Used to write the function list files
// and by the tests; not part of the library's interface.
#ifndef QUILLMERE_FUNCTION_TABLE_H
#define QUILLMERE_FUNCTION_TABLE_H

#include <span>

namespace quillmere {

struct FunctionEntry {
  const char* family;      // status, sources, acquire, dib, caps, errors, binding
  const char* wrapper;     // eztw32_...
  const char* parameters;  // as declared, "()" for none
  const char* exportName;  // the export it calls, "" for the binding functions
  const char* result;      // Number, AboveZero, ExactlyOne, ExactlyZero, NameText, None
};

std::span<const FunctionEntry> functionTable();

}  // namespace quillmere

#endif
