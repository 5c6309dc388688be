// SPDX-License-Identifier: MIT
// The test double: defines every export of the ABI table; each records its
// arguments and answers from the script.
#include "fake_eztw32.h"

#include <quillmere/eztw32_abi.h>

#include <array>
#include <cstring>
#include <deque>
#include <map>

namespace fake {
namespace {

struct State {
  std::vector<Call> calls;
  std::map<std::string, std::int32_t> results;
  std::map<std::string, std::deque<std::int32_t>> queued;
  std::map<std::string, std::string> buffers;
  std::map<std::string, std::array<double, 4>> layouts;
};
State& state() {
  static State s;
  return s;
}

Arg record(std::int32_t v) { return Arg{Arg::Int, v, 0, {}}; }
Arg record(double v) { return Arg{Arg::Real, 0, v, {}}; }
Arg record(const char* s) {
  if (s == nullptr) return Arg{Arg::NullText, 0, 0, {}};
  return Arg{Arg::Text, 0, 0, std::string(s, std::strlen(s) + 1)};
}
Arg record(char* s) { return record(static_cast<const char*>(s)); }
Arg record(double* p) { return Arg{p ? Arg::Address : Arg::NullAddress, 0, 0, {}}; }

void fill(const char* name, char* buffer) {
  auto it = state().buffers.find(name);
  if (buffer != nullptr && it != state().buffers.end())
    std::memcpy(buffer, it->second.data(), it->second.size());
}
void fill(const char*, const char*) {}
template <class T>
void fill(const char*, T) {}

void layout(const char* name, double* l, double* t, double* r, double* b) {
  auto it = state().layouts.find(name);
  if (it == state().layouts.end()) return;
  double* out[4] = {l, t, r, b};
  for (int k = 0; k < 4; ++k)
    if (out[k]) *out[k] = it->second[k];
}
template <class... T>
void layout(const char*, T...) {}

template <class... T>
std::int32_t answer(const char* name, T... args) {
  State& s = state();
  s.calls.push_back(Call{name, {record(args)...}});
  (fill(name, args), ...);
  layout(name, args...);
  auto q = s.queued.find(name);
  if (q != s.queued.end() && !q->second.empty()) {
    std::int32_t r = q->second.front();
    q->second.pop_front();
    return r;
  }
  auto it = s.results.find(name);
  return it == s.results.end() ? 0 : it->second;
}

}  // namespace

void reset() { state() = State{}; }
const std::vector<Call>& calls() { return state().calls; }
std::vector<std::string> callNames() {
  std::vector<std::string> names;
  for (const auto& c : state().calls) names.push_back(c.name);
  return names;
}
void setResult(const std::string& e, std::int32_t r) { state().results[e] = r; }
void queueResults(const std::string& e, std::vector<std::int32_t> r) {
  auto& q = state().queued[e];
  q.insert(q.end(), r.begin(), r.end());
}
void setBufferBytes(const std::string& e, std::string bytes) {
  state().buffers[e] = std::move(bytes);
}
void setLayout(const std::string& e, double l, double t, double r, double b) {
  state().layouts[e] = {l, t, r, b};
}

}  // namespace fake

#define FAKE_COMMA_ARGS(...) __VA_OPT__(, ) __VA_ARGS__
#define FAKE_DEFINE(family, name, params, args) \
  extern "C" int32_t name params { return fake::answer(#name FAKE_COMMA_ARGS args); }
EZTW32_EXPORTS(FAKE_DEFINE)
