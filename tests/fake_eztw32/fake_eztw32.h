// SPDX-License-Identifier: MIT
// Control of the test double of libeztw32. A test links the double (so that
// the wrapper's load by bare name finds the same loaded copy), scripts results
// per export, calls wrappers and reads back the calls that arrived.
#ifndef FAKE_EZTW32_H
#define FAKE_EZTW32_H

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

struct Arg {
  enum Kind { Int, Real, Text, NullText, Address, NullAddress } kind = Int;
  std::int32_t i = 0;
  double d = 0;
  std::string bytes;  // Text: the bytes up to and including the first zero byte
  bool operator==(const Arg&) const = default;
};

struct Call {
  std::string name;
  std::vector<Arg> args;
};

// Forget all calls and scripts; every export returns 0 again.
void reset();
const std::vector<Call>& calls();
// Names of the calls so far, in order.
std::vector<std::string> callNames();

// Result of every later call of `exportName` (until reset).
void setResult(const std::string& exportName, std::int32_t result);
// Results for the next calls of `exportName`, one each, before the set result.
void queueResults(const std::string& exportName, std::vector<std::int32_t> results);
// Bytes copied into the buffer argument (char*) of `exportName` at each call,
// exactly as given (include a zero byte if the library should write one).
void setBufferBytes(const std::string& exportName, std::string bytes);
// Values written through the four addresses of the image layout exports.
void setLayout(const std::string& exportName, double l, double t, double r, double b);

}  // namespace fake

#endif
