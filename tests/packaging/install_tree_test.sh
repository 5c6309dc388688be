#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the build with "cmake --install --prefix" into a throw-away folder
# and checks it the way a developer and a user meet it: the files in their
# places, the program and the wrapper bound to the libraries of that prefix,
# the desktop launcher's links, the C++ and C examples built with find_package
# and with pkg-config from the prefix alone, and, when the scanning library is
# built, a page scanned with SANE's virtual scanner by the installed copy of
# libeztw32.so.1.
#   install_tree_test.sh BUILD_DIR SOURCE_DIR
set -eu
BUILD=$1
SRC=$2
if [ "${SORRELBY_UNDER_SANITIZER:-0}" = 1 ]; then
  echo "SKIP: the example is built without the sanitizer runtime the installed library needs"
  exit 77
fi
T=$(mktemp -d "${TMPDIR:-/tmp}/install-tree.XXXXXX")
trap 'rm -rf "$T"' EXIT
P=$T/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }
runpath() { readelf -d "$1" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p'; }

cmake --install "$BUILD" --prefix "$P" >"$T/install.log" || { cat "$T/install.log"; fail "install"; }
LIB=$(dirname "$(find "$P" -name libquillmere.so.1)")
case "$LIB" in "$P"/lib*) ;; *) fail "libquillmere.so.1 not under $P/lib: $LIB" ;; esac

# Developer files.
for f in "$P/include/quillmere/eztw32fu.h" "$P/include/quillmere/eztw32_abi.h" \
  "$P/include/quillmere/quillmere_export.h" "$LIB/cmake/Quillmere/QuillmereConfig.cmake" \
  "$LIB/cmake/Quillmere/QuillmereConfigVersion.cmake" "$LIB/pkgconfig/quillmere.pc"; do
  [ -s "$f" ] || fail "missing $f"
done
[ "$(readlink "$LIB/libquillmere.so")" = libquillmere.so.1 ] || fail "no link libquillmere.so"
[ -f "$P/share/doc/libquillmere-dev/examples/scan_to_file/main.cpp" ] || fail "no C++ example"
[ -f "$P/share/doc/libquillmere-dev/examples/scan_to_file_c/main.c" ] || fail "no C example"
if grep -q '^SORRELBY_API_DOCS:BOOL=ON' "$BUILD/CMakeCache.txt"; then
  grep -q eztw32_AcquireToFilename "$P/share/doc/libquillmere-dev/html/eztw32fu_8h.html" ||
    fail "the HTML reference lacks the wrappers"
fi
# The wrapper loads the libeztw32.so.1 beside it before any in the system.
[ "$(runpath "$LIB/libquillmere.so.1")" = '$ORIGIN' ] || fail "libquillmere RUNPATH is not \$ORIGIN"

# The program and what it reads, when the program is built.
if [ -x "$BUILD/bin/sorrelby" ]; then
  [ -x "$P/bin/sorrelby" ] || fail "missing bin/sorrelby"
  bound=$(ldd "$P/bin/sorrelby" | sed -n 's/.*libquillmere\.so\.1 => \(.*\) (.*/\1/p')
  [ -n "$bound" ] && [ "$(readlink -f "$bound")" = "$(readlink -f "$LIB/libquillmere.so.1")" ] ||
    fail "installed sorrelby binds libquillmere.so.1 from '$bound', not from $LIB"
  for f in FUNCTION.NO1 FUNCTION.NO2 FUNCTION.NOT; do
    cmp -s "$BUILD/bin/$f" "$P/share/sorrelby/$f" || fail "share/sorrelby/$f differs from the build's"
  done
  launcher=$(sed -n 's/^Exec=//p' "$P/share/applications/sorrelby.desktop")
  [ "$launcher" = "$P/libexec/sorrelby/sorrelby-desktop" ] || fail "desktop entry runs $launcher"
  [ -x "$launcher" ] || fail "launcher is not executable"
  [ -x "$P/libexec/sorrelby/sorrelby-emf2svg" ] || fail "no metafile converter in libexec/sorrelby"
  grep -q "\"$P/bin/sorrelby\"" "$launcher" || fail "launcher does not start $P/bin/sorrelby"
  [ -s "$P/share/icons/hicolor/scalable/apps/sorrelby.svg" ] || fail "no application icon"

  # The launcher's links: a missing one is made, a dangling one made again,
  # the user's own file left alone. A stand-in program reports where it ran.
  cp "$P/bin/sorrelby" "$T/sorrelby.real"
  printf '#!/bin/sh\npwd >"%s"\n' "$T/ran-in" >"$P/bin/sorrelby"
  home=$T/home
  mkdir -p "$home"
  ln -s "$T/gone/FUNCTION.NO1" "$home/FUNCTION.NO1"
  echo mine >"$home/FUNCTION.NO2"
  SORRELBY_HOME=$home "$launcher"
  [ "$(cat "$T/ran-in")" = "$home" ] || fail "the launcher did not start the program in $home"
  cmp -s "$home/FUNCTION.NO1" "$P/share/sorrelby/FUNCTION.NO1" || fail "dangling FUNCTION.NO1 not renewed"
  [ "$(cat "$home/FUNCTION.NO2")" = mine ] || fail "the user's FUNCTION.NO2 was replaced"
  cmp -s "$home/FUNCTION.NOT" "$P/share/sorrelby/FUNCTION.NOT" || fail "FUNCTION.NOT not linked"
  mv "$T/sorrelby.real" "$P/bin/sorrelby"
fi

# find_package(Quillmere) from the prefix only ...
cmake -S "$SRC/examples/scan_to_file" -B "$T/example" -DCMAKE_PREFIX_PATH="$P" \
  >"$T/example.log" 2>&1 || { cat "$T/example.log"; fail "configure the example"; }
grep -qx "Quillmere_DIR:PATH=$LIB/cmake/Quillmere" "$T/example/CMakeCache.txt" ||
  fail "find_package found another Quillmere: $(grep Quillmere_DIR "$T/example/CMakeCache.txt")"
cmake --build "$T/example" >"$T/build.log" 2>&1 || { cat "$T/build.log"; fail "build the example"; }
# ... and pkg-config.
export PKG_CONFIG_PATH="$LIB/pkgconfig"
cflags=$(pkg-config --cflags quillmere | sed 's/ *$//')
[ "$cflags" = "-I$P/include" ] || fail "pkg-config --cflags gives '$cflags'"
# Outside the system's folders the program must be told where the library is.
c++ -std=c++17 -o "$T/scan_pc" "$SRC/examples/scan_to_file/main.cpp" \
  $(pkg-config --cflags --libs quillmere) -Wl,-rpath,"$LIB"

if [ ! -f "$LIB/libeztw32.so.1" ]; then
  echo "the scanning library is not built: installed files checked, no page scanned"
  exit 0
fi
[ "$(readlink "$LIB/libeztw32.so")" = libeztw32.so.1 ] || fail "no link libeztw32.so"
[ -s "$P/include/eztw32.h" ] || fail "missing include/eztw32.h"
# The windows plugin and the engine, beside the library that loads them.
[ -f "$LIB/libeztw32-qt.so" ] || fail "missing the windows plugin libeztw32-qt.so"
[ -x "$LIB/eztw32-engine" ] || fail "missing eztw32-engine"
# The C example, against the scanning library alone: find_package ...
cmake -S "$SRC/examples/scan_to_file_c" -B "$T/example_c" -DCMAKE_PREFIX_PATH="$P" \
  >"$T/example_c.log" 2>&1 || { cat "$T/example_c.log"; fail "configure the C example"; }
cmake --build "$T/example_c" >"$T/build_c.log" 2>&1 || { cat "$T/build_c.log"; fail "build the C example"; }
# ... and pkg-config.
cc -std=c99 -o "$T/scan_c_pc" "$SRC/examples/scan_to_file_c/main.c" \
  $(pkg-config --cflags --libs eztw32) -Wl,-rpath,"$LIB"

mkdir -p "$T/sane"
echo test >"$T/sane/dll.conf"
for example in "$T/example/scan_to_file" "$T/scan_pc" "$T/example_c/scan_to_file_c" "$T/scan_c_pc"; do
  rm -f "$T/page.bmp"
  SANE_CONFIG_DIR="$T/sane" LD_DEBUG=files LD_DEBUG_OUTPUT="$T/ld" "$example" "$T/page.bmp" ||
    fail "$example could not scan"
  grep -qh "calling init: $LIB/libeztw32.so.1\$" "$T"/ld.* || fail "$example did not load $LIB/libeztw32.so.1"
  # A program without Qt gets no Qt: the windows plugin stays unloaded.
  ! grep -qh "calling init: .*\(libQt\|libeztw32-qt\)" "$T"/ld.* || fail "$example loaded Qt"
  rm -f "$T"/ld.*
  identify "$T/page.bmp" || fail "$example wrote no readable image"
done
