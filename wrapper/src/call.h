// SPDX-License-Identifier: MIT
// The machinery every wrapper runs: find the export in the current binding,
// prepare the arguments, call, convert the result. The family files hold the
// wrappers as table rows (families/*.inc) that expand to one line each here.
#ifndef QUILLMERE_CALL_H
#define QUILLMERE_CALL_H

#include <quillmere/eztw32_abi.h>
#include <quillmere/eztw32fu.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace quillmere::detail {

enum class Export : int {
#define QM_EXPORT_ENUM(family, name, params, args) name,
  EZTW32_EXPORTS(QM_EXPORT_ENUM)
#undef QM_EXPORT_ENUM
};
inline constexpr int kExportCount = EZTW32_EXPORT_COUNT;

// The export's address in the binding that nEztwDll names, or null when
// nothing is bound under that handle or the library lacks the export.
void* exportAddress(Export e) noexcept;

void showMessage(const std::string& text, const std::string& title) noexcept;
// A number in the default text form: decimal, right-aligned in ten characters.
std::string defaultNumberText(std::int32_t n);

// ---- argument preparation: each holder keeps what crosses alive for the call

struct Num {
  std::int32_t v;
  std::int32_t get() const { return v; }
};
struct Flag {  // a logical crosses as 1 or 0
  bool v;
  std::int32_t get() const { return v ? 1 : 0; }
};
struct Real {
  double v;
  double get() const { return v; }
};
struct Out {  // address of a caller's variable that the library fills
  double* p;
  double* get() const { return p; }
};
// A zero-terminated copy of a text; with `extraZero` one more zero byte is
// appended to the copy, as the file and message wrappers do. A text left out
// crosses as a null address.
struct Text {
  std::optional<std::string> copy;
  Text(std::string_view s, bool extraZero) {
    if (s.data() == nullptr) return;
    copy.emplace(s);
    if (extraZero) copy->push_back('\0');
  }
  const char* get() const { return copy ? copy->c_str() : nullptr; }
};
inline Text text(std::string_view s) { return Text(s, false); }
inline Text textZ(std::string_view s) { return Text(s, true); }

// The 256-blank buffer the library writes a source name into.
struct NameBuffer {
  std::string bytes = std::string(256, ' ');
  char* get() { return bytes.data(); }
  // The text before the first zero byte; empty when the buffer holds none.
  std::string name() const {
    auto z = bytes.find('\0');
    return z == std::string::npos ? std::string() : bytes.substr(0, z);
  }
};

// The caller's own variable, grown by one zero byte, as the build-name buffer.
struct CallerBuffer {
  std::string& s;
  explicit CallerBuffer(std::string& target) : s(target) { s.push_back('\0'); }
  char* get() { return s.data(); }
};

// ---- result conversions

struct Number {
  using type = std::int32_t;
  static type failure() { return 0; }
  template <class... H>
  static type convert(std::int32_t r, H&...) {
    return r;
  }
};
struct AboveZero {
  using type = bool;
  static type failure() { return false; }
  template <class... H>
  static type convert(std::int32_t r, H&...) {
    return r > 0;
  }
};
struct ExactlyOne {
  using type = bool;
  static type failure() { return false; }
  template <class... H>
  static type convert(std::int32_t r, H&...) {
    return r == 1;
  }
};
struct ExactlyZero {
  using type = bool;
  static type failure() { return false; }
  template <class... H>
  static type convert(std::int32_t r, H&...) {
    return r == 0;
  }
};
struct None {
  using type = void;
  static void failure() {}
  template <class... H>
  static void convert(std::int32_t, H&...) {}
};
struct NameText {  // the name written into the wrapper's NameBuffer
  using type = std::string;
  static type failure() { return {}; }
  static type convert(std::int32_t, NameBuffer& b) { return b.name(); }
};

using OnZero = void (*)(std::int32_t);

// Calls the export `e`, whose prototype is `Fn`, with the prepared arguments.
// The static_assert ties every table row to the export's declared signature.
template <class Conv, class Fn, OnZero onZero, class... Held>
typename Conv::type invoke(Export e, Held&&... held) {
  static_assert(std::is_same_v<Fn, std::int32_t(EZTW32_CALL*)(decltype(held.get())...)>,
                "wrapper arguments do not match the export's prototype");
  void* address = exportAddress(e);
  if (address == nullptr) return Conv::failure();
  const std::int32_t r = reinterpret_cast<Fn>(address)(held.get()...);
  if constexpr (onZero != nullptr) {
    if (r == 0) onZero(r);
  }
  return Conv::convert(r, held...);
}

}  // namespace quillmere::detail

// A table row: QM_ROW(conversion, wrapper name without eztw32_, its
// parameters, the export, the message shown on a result of 0 or nullptr, the
// prepared arguments in the export's order).
#define QM_ARGS(...) __VA_OPT__(, ) __VA_ARGS__
#define QM_DEFINE_ROW(conv, name, params, exportName, onZero, args)                        \
  ::quillmere::detail::conv::type eztw32_##name params {                                   \
    using namespace ::quillmere::detail;                                                   \
    return invoke<conv, decltype(&::exportName), onZero>(Export::exportName QM_ARGS args); \
  }

#endif
