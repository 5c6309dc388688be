// SPDX-License-Identifier: MIT
// Lists the scanners the library sees and acquires one page from the default
// one into a BMP file, without showing the scanner's own dialog.
//   scan_to_file OUT.bmp
#include <quillmere/eztw32fu.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
    return 2;
  }
  if (eztw32_LoadDll() == 0) return 1;  // the wrapper has said why on stderr

  int count = 0;
  if (eztw32_GetSourceList()) {
    while (eztw32_GetNextSourceName()) ++count;
  }
  const std::string source = eztw32_GetDefaultSourceName();
  std::printf("%d source(s); default: %s\n", count, source.empty() ? "(none)" : source.c_str());

  eztw32_SuppressErrorMessages(true);  // errors are reported here, not in boxes
  eztw32_SetHideUI(true);
  eztw32_SetSaveFormat(2);  // BMP
  const int result = eztw32_AcquireToFilename(0, argv[1]);
  if (result == 0) {
    std::printf("wrote %s\n", argv[1]);
  } else {
    std::fprintf(stderr, "acquisition failed: result %d, last error %d\n", result,
                 eztw32_LastErrorCode());
  }
  eztw32_UnLoadDll();
  return result == 0 ? 0 : 1;
}
