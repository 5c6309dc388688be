// SPDX-License-Identifier: MIT
// The scanning library from C, without the C++ wrappers: lists the scanners
// it sees and acquires one page from the default one into a BMP file, without
// showing the scanner's own dialog.
//   scan_to_file_c OUT.bmp
#include <eztw32.h>
#include <stdio.h>

enum { kSaveFormatBmp = 2 };

int main(int argc, char** argv) {
  char name[256];  // a source name fills at most 256 bytes with its zero byte
  int count = 0;
  int32_t result;

  if (argc != 2) {
    fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
    return 2;
  }
  if (TWAIN_GetSourceList() > 0) {
    while (TWAIN_GetNextSourceName(name) > 0) {
      printf("source %d: %s\n", ++count, name);
    }
  }
  if (TWAIN_GetDefaultSourceName(name) <= 0) name[0] = '\0';
  printf("%d source(s); default: %s\n", count, name[0] ? name : "(none)");

  TWAIN_SuppressErrorMessages(1);  // errors are reported here, not in boxes
  TWAIN_SetHideUI(1);
  TWAIN_SetSaveFormat(kSaveFormatBmp);
  result = TWAIN_AcquireToFilename(0, argv[1]);
  if (result == 0) {
    printf("wrote %s\n", argv[1]);
  } else {
    fprintf(stderr, "acquisition failed: result %d, last error %d\n", (int)result,
            (int)TWAIN_LastErrorCode());
  }
  return result == 0 ? 0 : 1;
}
