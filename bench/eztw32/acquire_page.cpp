// SPDX-License-Identifier: MIT
// Benchmark driver: one acquisition through the wrapper with the source's
// interface hidden.
//   acquire_page bmp|jpeg FILE  the test scanner's whole 200 x 200 mm colour
//                               area at 600 dpi, written as BMP or JPEG
//   acquire_page default FILE   the remembered default source with its own
//                               settings into a BMP, as a program does it
#include <quillmere/eztw32fu.h>

#include <sys/resource.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s bmp|jpeg|default FILE\n", argv[0]);
    return 2;
  }
  const std::string kind = argv[1];
  if (!eztw32_LoadDll()) return 1;
  eztw32_SetHideUI(true);
  eztw32_SuppressErrorMessages(true);
  int rc = 0;
  if (kind == "default") {
    eztw32_SetSaveFormat(2);
    rc = eztw32_AcquireToFilename(0, argv[2]);
  } else {
    const bool jpeg = kind == "jpeg";
    if (!eztw32_OpenSource("test:0")) return 1;
    eztw32_SetCurrentPixelType(2);
    eztw32_SetCurrentResolution(600);
    eztw32_ResetImageLayout();  // the whole glass
    eztw32_SetSaveFormat(jpeg ? 4 : 2);
    eztw32_SetJpegQuality(75);
    rc = eztw32_AcquireToFilename(0, argv[2]);
    eztw32_CloseSource();
  }
  eztw32_UnloadSourceManager();
  eztw32_UnLoadDll();
  if (rc != 0) std::fprintf(stderr, "acquisition failed: %d\n", rc);
  // SANE ran in the library's engine process, reaped by now: the peaks of
  // both processes, added, bound what the two held at any one time.
  struct rusage self {
  }, engine{};
  ::getrusage(RUSAGE_SELF, &self);
  ::getrusage(RUSAGE_CHILDREN, &engine);
  std::printf("peak memory host+engine kB: %ld\n", self.ru_maxrss + engine.ru_maxrss);
  return rc == 0 ? 0 : 1;
}
