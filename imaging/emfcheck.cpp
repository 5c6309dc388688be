// SPDX-License-Identifier: GPL-2.0-or-later
#include "emfcheck.h"

namespace imaging::emf {

namespace {

constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kDescriptionChars = 60;
constexpr std::size_t kDescriptionOffset = 64;

std::uint32_t u32At(const unsigned char* data, std::size_t offset) {
  const unsigned char* p = data + offset;
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

}  // namespace

bool hasEmfHeader(const unsigned char* data, std::size_t length) {
  return length >= kMinHeaderBytes && u32At(data, 0) == kEmrHeader && u32At(data, 40) == kSignature;
}

bool looksLikeEmf(const unsigned char* data, std::size_t length, std::size_t maxRecords) {
  if (!hasEmfHeader(data, length)) return false;
  const std::uint32_t headerSize = u32At(data, 4);
  if (headerSize < kMinHeaderBytes || headerSize > length) return false;
  // The description (UTF-16) must lie inside the header record.
  const std::uint32_t chars = u32At(data, kDescriptionChars);
  const std::uint32_t offset = u32At(data, kDescriptionOffset);
  if (chars != 0 &&
      (offset < kMinHeaderBytes || offset > headerSize || chars > (headerSize - offset) / 2))
    return false;
  std::size_t at = 0;
  std::size_t records = 0;
  std::uint32_t type = 0;
  while (at + 8 <= length) {
    if (++records > maxRecords) return false;
    type = u32At(data, at);
    const std::uint32_t size = u32At(data, at + 4);
    if (size < 8 || size % 4 != 0 || size > length - at) return false;
    at += size;
    if (type == kEmrEof) break;
  }
  return type == kEmrEof;
}

void dropEmptyDescription(unsigned char* data) {
  if (u32At(data, kDescriptionChars) != 0) return;
  for (std::size_t i = 0; i < 4; ++i) data[kDescriptionOffset + i] = 0;
}

}  // namespace imaging::emf
