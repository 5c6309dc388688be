#!/bin/sh
# CI stage: builds the Debian package from the build of scripts/test.sh,
# installs it into this machine with apt-get, starts the installed sorrelby
# under xvfb-run and ends it through File > Exit, then builds the example
# against the installed files (find_package and pkg-config) and scans a page
# with SANE's virtual scanner. Removes the package again at the end unless
# KEEP_PACKAGE=1, so later runs of the tests see a clean system.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/ci-package.XXXXXX")
installed=0
cleanup() {
  if [ "$installed" = 1 ] && [ "${KEEP_PACKAGE:-0}" != 1 ]; then
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove -y sorrelby >/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT
say() { echo "ci-package: $*"; }
fail() { echo "ci-package: FAILED: $*" >&2; exit 1; }

# A layer whose sources are here must have been built; one that is not part
# of this tree is skipped, and the script says so.
have_program=0
have_library=0
if [ -x "$BUILD_DIR/bin/sorrelby" ]; then have_program=1
elif [ -f "$ROOT/app/CMakeLists.txt" ]; then fail "app/ is present but $BUILD_DIR/bin/sorrelby was not built"
else say "SKIPPED the program's checks: no app/ layer in this tree"; fi
if [ -f "$BUILD_DIR/bin/libeztw32.so" ]; then have_library=1
elif [ -f "$ROOT/eztw32/CMakeLists.txt" ]; then fail "eztw32/ is present but libeztw32.so was not built"
else say "SKIPPED the scanning checks: no eztw32/ layer in this tree"; fi

# 1. The package, for Debian's /usr layout.
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$BUILD_DIR" --parallel "${JOBS:-$(nproc)}"
rm -rf "$BUILD_DIR/package"
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$BUILD_DIR/package"
DEB=$(ls "$BUILD_DIR"/package/sorrelby_*.deb)
dpkg-deb --info "$DEB"
dpkg-deb --contents "$DEB"

# 2. Installed the way a user installs it.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y "$DEB"
installed=1
LIBDIR=$(dirname "$(dpkg -L sorrelby | grep '/libquillmere\.so\.1$')")
for f in "$LIBDIR/libquillmere.so" /usr/include/quillmere/eztw32fu.h \
  /usr/include/quillmere/eztw32_abi.h /usr/include/quillmere/quillmere_export.h \
  "$LIBDIR/cmake/Quillmere/QuillmereConfig.cmake" "$LIBDIR/pkgconfig/quillmere.pc"; do
  [ -e "$f" ] || fail "the package lacks $f"
done
if [ "$have_library" = 1 ]; then
  [ -f "$LIBDIR/libeztw32.so" ] || fail "libeztw32.so is not beside libquillmere in $LIBDIR"
fi

# SANE with its virtual scanner and nothing else, so no real device interferes.
mkdir -p "$WORK/sane"
echo test >"$WORK/sane/dll.conf"
export SANE_CONFIG_DIR="$WORK/sane"

# 3. The installed program starts and ends through File > Exit with status 0.
if [ "$have_program" = 1 ]; then
  command -v sorrelby | grep -qx /usr/bin/sorrelby || fail "sorrelby is not /usr/bin/sorrelby"
  if ldd /usr/bin/sorrelby | grep -q 'not found'; then ldd /usr/bin/sorrelby; fail "unresolved libraries"; fi
  for f in FUNCTION.NO1 FUNCTION.NO2 FUNCTION.NOT; do
    [ -s "/usr/share/sorrelby/$f" ] || fail "the package lacks /usr/share/sorrelby/$f"
  done
  [ -f /usr/share/applications/sorrelby.desktop ] || fail "no desktop entry"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/sorrelby.desktop
  fi
  for f in $(dpkg -L sorrelby | grep '^/usr/bin/.'); do
    [ "$f" = /usr/bin/sorrelby ] || echo "ci-package: WARNING: $f does not belong in /usr/bin" >&2
  done
  cat >"$WORK/exit.sh" <<'EOS'
#!/bin/sh
# exit.sh DIR COMMAND...: starts the program with COMMAND, waits for its main
# window, checks that it runs in DIR, chooses File > Exit with the keyboard
# and ends with the program's status.
set -u
dir=$1
shift
"$@" &
pid=$!
win=$(timeout 30 xdotool search --sync --onlyvisible --name "Samples for Quillmere" | head -n1)
if [ -z "$win" ]; then echo "no main window" >&2; kill "$pid"; exit 90; fi
cwd=$(readlink "/proc/$pid/cwd")
if [ "$cwd" != "$dir" ]; then echo "runs in $cwd, not $dir" >&2; kill "$pid"; exit 91; fi
xdotool windowfocus --sync "$win"
# An open menu is a second visible window of the program. The first key may
# come before the window takes keys: then close whatever opened and retry.
menus() { xdotool search --onlyvisible --classname sorrelby | wc -l; }
open=0
for attempt in 1 2 3 4 5; do
  xdotool key alt+f
  for i in $(seq 50); do
    if [ "$(menus)" -ge 2 ]; then open=1; break 2; fi
    sleep 0.1
  done
  xdotool key Escape
done
if [ "$open" != 1 ]; then echo "the File menu did not open" >&2; kill "$pid"; exit 92; fi
xdotool key x
wait "$pid"
EOS
  # From a terminal, in the current folder ...
  mkdir -p "$WORK/run"
  status=0
  (cd "$WORK/run" && timeout 120 xvfb-run -a sh "$WORK/exit.sh" "$WORK/run" sorrelby) || status=$?
  [ "$status" = 0 ] || fail "installed sorrelby ended with status $status"
  # ... and from the desktop entry, in the user's folder with the function lists.
  launcher=$(sed -n 's/^Exec=//p' /usr/share/applications/sorrelby.desktop)
  status=0
  SORRELBY_HOME="$WORK/home" timeout 120 xvfb-run -a sh "$WORK/exit.sh" "$WORK/home" "$launcher" ||
    status=$?
  [ "$status" = 0 ] || fail "sorrelby started from its desktop entry ended with status $status"
  for f in FUNCTION.NO1 FUNCTION.NO2 FUNCTION.NOT; do
    cmp -s "$WORK/home/$f" "/usr/share/sorrelby/$f" || fail "the launcher did not provide $f"
  done
  say "installed sorrelby started (from a terminal and from its desktop entry) and ended through Exit with status 0"
fi

# 4. A developer's build against the installed files only: find_package ...
cmake -S "$ROOT/examples/scan_to_file" -B "$WORK/example" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$WORK/example"
grep -q "Quillmere_DIR:PATH=$LIBDIR/cmake/Quillmere" "$WORK/example/CMakeCache.txt" ||
  fail "find_package(Quillmere) did not find the installed package"
# ... and pkg-config.
pkg-config --cflags --libs quillmere
c++ -std=c++17 -o "$WORK/scan_to_file_pc" "$ROOT/examples/scan_to_file/main.cpp" \
  $(pkg-config --cflags --libs quillmere)

# 5. The example scans one page from the virtual scanner into a file.
if [ "$have_library" = 1 ]; then
  for example in "$WORK/example/scan_to_file" "$WORK/scan_to_file_pc"; do
    rm -f "$WORK/page.bmp"
    "$example" "$WORK/page.bmp" || fail "$example could not scan"
    identify "$WORK/page.bmp" || fail "$example wrote no readable image"
  done
  say "the example built against the installed package wrote its page"
fi
say "passed"
