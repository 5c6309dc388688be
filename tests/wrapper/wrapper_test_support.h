// SPDX-License-Identifier: MIT
// Shared pieces of the wrapper tests: a recorder for the message sink and a
// caller that invokes any wrapper with generated arguments and tells what the
// export should have received.
#ifndef WRAPPER_TEST_SUPPORT_H
#define WRAPPER_TEST_SUPPORT_H

#include <quillmere/eztw32fu.h>

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake_eztw32.h"

struct Message {
  std::string text, title;
  bool operator==(const Message&) const = default;
};

// Installs itself as the message sink for its lifetime.
class MessageRecorder {
 public:
  MessageRecorder() {
    previous_ =
        quillmere::setMessageSink([this](const std::string& text, const std::string& title) {
          messages.push_back({text, title});
        });
  }
  ~MessageRecorder() { quillmere::setMessageSink(previous_); }
  std::vector<Message> messages;

 private:
  quillmere::MessageSink previous_;
};

inline fake::Arg intArg(std::int32_t v) { return fake::Arg{fake::Arg::Int, v, 0, {}}; }
inline fake::Arg realArg(double v) { return fake::Arg{fake::Arg::Real, 0, v, {}}; }
inline fake::Arg textArg(std::string bytes) {
  return fake::Arg{fake::Arg::Text, 0, 0, std::move(bytes)};
}
inline fake::Arg nullTextArg() { return fake::Arg{fake::Arg::NullText, 0, 0, {}}; }

// What one call of a wrapper returned, in a comparable form.
struct Outcome {
  std::optional<long long> number;  // numbers, and logicals as 0 or 1
  std::optional<std::string> text;
};

// Arguments for a wrapper call. Set 0 uses distinct positive numbers, true,
// short texts and real addresses; set 1 uses negative numbers, false, empty
// texts and null addresses. `expected` is what the export should receive.
struct ArgumentSet {
  int set = 0;
  std::deque<std::string> texts;
  double slots[8] = {};
  std::vector<fake::Arg> expected;

  template <class T>
  decltype(auto) make(int i) {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, bool>) {
      expected[i] = intArg(set == 0 ? 1 : 0);
      return set == 0;
    } else if constexpr (std::is_same_v<U, std::int32_t>) {
      const std::int32_t v = set == 0 ? 100 * (i + 1) + 7 : -1 - i;
      expected[i] = intArg(v);
      return v;
    } else if constexpr (std::is_same_v<U, double>) {
      const double v = set == 0 ? 0.5 + i : -2.25 - i;
      expected[i] = realArg(v);
      return v;
    } else if constexpr (std::is_same_v<U, double*>) {
      double* p = set == 0 ? &slots[i] : nullptr;
      expected[i] = fake::Arg{p ? fake::Arg::Address : fake::Arg::NullAddress, 0, 0, {}};
      return p;
    } else if constexpr (std::is_same_v<U, std::string_view>) {
      std::string& s = texts.emplace_back(set == 0 ? "text" + std::to_string(i) : "");
      expected[i] = textArg(s + '\0');
      return std::string_view(s);
    } else {
      static_assert(std::is_same_v<T, std::string&>);
      // The caller's own buffer: the wrapper appends one zero byte to it.
      std::string& s = texts.emplace_back(set == 0 ? std::string(20, ' ') : std::string());
      expected[i] = textArg(s + '\0');
      return static_cast<std::string&>(s);
    }
  }
};

template <class R, class... A, std::size_t... I>
Outcome callWith(R (*f)(A...), ArgumentSet& args, std::index_sequence<I...>) {
  args.expected.resize(sizeof...(A));
  Outcome o;
  if constexpr (std::is_void_v<R>) {
    f(args.template make<A>(I)...);
  } else if constexpr (std::is_same_v<R, std::string>) {
    o.text = f(args.template make<A>(I)...);
  } else {
    o.number = static_cast<long long>(f(args.template make<A>(I)...));
  }
  return o;
}

template <class R, class... A>
Outcome callWrapper(R (*f)(A...), ArgumentSet& args) {
  return callWith(f, args, std::index_sequence_for<A...>{});
}

#endif
