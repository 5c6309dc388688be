// SPDX-License-Identifier: GPL-2.0-or-later
// Checks on enhanced metafile (EMF) data made before the converter sees it.
// Plain C++, shared by the GUI and the converter helper.
#ifndef SORRELBY_IMAGING_EMFCHECK_H
#define SORRELBY_IMAGING_EMFCHECK_H

#include <cstddef>
#include <cstdint>

namespace imaging::emf {

// The fixed part of the header record.
inline constexpr std::size_t kMinHeaderBytes = 88;
// Files larger than this are not read as metafiles.
inline constexpr std::int64_t kMaxFileBytes = 64LL * 1024 * 1024;
// More records than this make a picture too costly to convert and draw.
inline constexpr std::size_t kMaxRecords = 100'000;

// Whether the first bytes are an EMF header record (type and signature).
bool hasEmfHeader(const unsigned char* data, std::size_t length);

// Whether `data` is a plausible EMF: a header whose description lies inside
// it, then at most `maxRecords` records, each a positive multiple of 4 long
// and inside the data, the last the end-of-file record.
bool looksLikeEmf(const unsigned char* data, std::size_t length,
                  std::size_t maxRecords = kMaxRecords);

// The converter reads a description from its offset even when it has no
// characters, up to a terminator that may never come: a zero offset it
// skips. Call on data that passed looksLikeEmf.
void dropEmptyDescription(unsigned char* data);

}  // namespace imaging::emf

#endif
