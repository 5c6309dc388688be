// SPDX-License-Identifier: GPL-2.0-or-later
#include <charconv>
#include <cstdio>

#include "commands.h"

namespace sorrelby {

std::string numberText(std::int32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%10d", static_cast<int>(n));
  return buf;
}

std::string versionText(std::int32_t version) {
  // std::to_chars ignores the locale, so the point stays a point under a
  // locale that writes decimal commas.
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, version / 100.0, std::chars_format::fixed, 2);
  std::string s(buf, r.ptr);
  if (s.size() < 4) s.insert(0, 4 - s.size(), ' ');
  return s;
}

}  // namespace sorrelby
