// SPDX-License-Identifier: MIT
// Status, identity and diagnostics.
#include <sane/sane.h>

#include "acquire.h"
#include "dib.h"
#include "exports.h"
#include "gui.h"
#include "image_file.h"
#include "session.h"

using namespace eztw;

namespace {
constexpr int32_t kVersion = 100;  // 1.00
constexpr const char* kBuildName = "eztw32 for Linux 1.0 (SANE)";

// In-memory round trips of the codecs: 0 when all pass, else the number of
// the first failed check.
int32_t selfTest() {
  auto dib = Dib::create(24, 17, 5);
  if (!dib) return 1;
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 17 * 3; ++x) dib->rowFromTop(y)[x] = static_cast<uint8_t>(x * 5 + y);
  const auto bmp = bmpFileBytes(*dib);
  auto back = decodeBmp(bmp.data(), bmp.size()).dib;
  if (!back || back->packed() != dib->packed()) return 2;
  std::FILE* mem = std::tmpfile();
  if (!mem) return 3;
  const int32_t rc = encodeJpeg(*dib, 90, mem);
  std::vector<uint8_t> jpeg(static_cast<std::size_t>(std::ftell(mem)));
  std::rewind(mem);
  const bool read = std::fread(jpeg.data(), 1, jpeg.size(), mem) == jpeg.size();
  std::fclose(mem);
  if (rc != kFileOk || !read) return 3;
  auto j = decodeJpeg(jpeg.data(), jpeg.size());
  if (!j || j->width() != 17 || j->height() != 5) return 4;
  return 0;
}
}  // namespace

EZ_API int32_t TWAIN_Testing123(const char* cFileName, int32_t nInt, int32_t nHandle,
                                int32_t nDouble, int32_t nLong) {
  return guarded("TWAIN_Testing123", -1, [&] {
    logf("TWAIN_Testing123(%s, %d, %d, %d, %d)", cFileName ? cFileName : "(null)", nInt, nHandle,
         nDouble, nLong);
    // 0 when the numbers arrived as the wrapper sends them, else the
    // position of the first one that did not.
    const int32_t expected[4] = {2, 50, 1234, 12345}, got[4] = {nInt, nHandle, nDouble, nLong};
    for (int i = 0; i < 4; ++i)
      if (expected[i] != got[i]) return i + 2;
    return 0;
  });
}

EZ_API int32_t TWAIN_State(void) { return Session::instance().state(); }
EZ_API int32_t TWAIN_EasyVersion(void) { return kVersion; }

EZ_API int32_t TWAIN_IsAvailable(void) {
  return guarded("TWAIN_IsAvailable", 0, [] {
    Session& s = Session::instance();
    if (s.state() >= 2) return 1;
    const bool ok = s.loadManager();
    s.unloadManager();
    return ok ? 1 : 0;
  });
}

EZ_API int32_t TWAIN_IsJpegAvailable(void) { return 1; }

EZ_API int32_t TWAIN_SelfTest(int32_t nf) {
  return guarded("TWAIN_SelfTest", 99, [&] {
    (void)nf;
    return selfTest();
  });
}

EZ_API int32_t TWAIN_GetBuildName(char* cName) {
  return guarded("TWAIN_GetBuildName", 0, [&] {
    if (!cName) return 0;
    // The caller's buffer holds at least the name; we write nothing beyond it.
    std::memcpy(cName, kBuildName, std::strlen(kBuildName) + 1);
    return 1;
  });
}

EZ_API int32_t TWAIN_RegisterApp(int32_t nMajor, int32_t nMinor, int32_t nLanguage,
                                 int32_t nCountry, const char* sVersion, const char* sMfg,
                                 const char* sFamily, const char* sProduct) {
  return guarded("TWAIN_RegisterApp", 0, [&] {
    logf("TWAIN_RegisterApp(%d.%d, lang %d, country %d, %s, %s, %s, %s)", nMajor, nMinor, nLanguage,
         nCountry, sVersion ? sVersion : "", sMfg ? sMfg : "", sFamily ? sFamily : "",
         sProduct ? sProduct : "");
    Session::instance().settings.product = sProduct ? sProduct : "";
    return 1;
  });
}

EZ_API int32_t TWAIN_SetAppTitle(const char* cTitle) {
  return guarded("TWAIN_SetAppTitle", 0, [&] {
    if (!cTitle) return 0;
    Session::instance().settings.appTitle = cTitle;
    return 1;
  });
}

EZ_API int32_t TWAIN_LogFile(int32_t nStatus) {
  return guarded("TWAIN_LogFile", 0, [&] {
    setLogging(nStatus != 0);
    return loggingOn() == (nStatus != 0) ? 1 : 0;
  });
}
