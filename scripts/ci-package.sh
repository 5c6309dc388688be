#!/bin/sh
# SPDX-License-Identifier: MIT
# CI stage: builds the Debian packages (libquillmere1, libeztw32-1,
# libquillmere-dev, sorrelby) from the build of scripts/test.sh, checks them
# with lintian and hardening-check, installs all four into this machine with
# apt-get, starts the installed sorrelby under xvfb-run and ends it through
# File > Exit, builds the C++ and the C example against the installed files
# (find_package and pkg-config) and scans a page with each from SANE's virtual
# scanner. Then it removes and purges the packages and checks that none of
# their files is left. KEEP_PACKAGE=1 keeps them installed instead.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/ci-package.XXXXXX")
PACKAGES="sorrelby libquillmere-dev libquillmere1 libeztw32-1"
installed=0
apt_get() { $SUDO env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
cleanup() {
  if [ "$installed" = 1 ] && [ "${KEEP_PACKAGE:-0}" != 1 ]; then
    # shellcheck disable=SC2086 # one argument per package
    apt_get purge -y $PACKAGES >/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT
say() { echo "ci-package: $*"; }
fail() { echo "ci-package: FAILED: $*" >&2; exit 1; }
is_elf() { [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = '177ELF' ]; }

# A layer whose sources are here must have been built; one that is not part
# of this tree is skipped, and the script says so.
have_program=0
have_library=0
if [ -x "$BUILD_DIR/bin/sorrelby" ]; then have_program=1
elif [ -f "$ROOT/app/CMakeLists.txt" ]; then fail "app/ is present but $BUILD_DIR/bin/sorrelby was not built"
else say "SKIPPED the program's checks: no app/ layer in this tree"; fi
if [ -e "$BUILD_DIR/bin/libeztw32.so.1" ]; then have_library=1
elif [ -f "$ROOT/eztw32/CMakeLists.txt" ]; then fail "eztw32/ is present but libeztw32.so.1 was not built"
else say "SKIPPED the scanning checks: no eztw32/ layer in this tree"; fi

# 1. The packages, for Debian's /usr layout.
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$BUILD_DIR" --parallel "${JOBS:-$(nproc)}"
rm -rf "$BUILD_DIR/package"
sh "$ROOT/packaging/build-debs.sh" "$BUILD_DIR" "$BUILD_DIR/package"
DEBS=""
for p in $PACKAGES; do
  deb=$(ls "$BUILD_DIR"/package/${p}_*.deb) || fail "no package $p"
  DEBS="$DEBS $deb"
  dpkg-deb --info "$deb"
  dpkg-deb --contents "$deb"
done

# 2. What Debian asks of a package: lintian without errors or warnings (the
# overrides in packaging/debian say why), and every ELF file hardened. The
# control-flow marking (IBT/SHSTK) is not asked for: Debian 12's C start files
# (Scrt1.o, crti.o) carry none, so no program linked there can have it; dpkg
# itself fails that check.
# shellcheck disable=SC2086 # one argument per package
lintian --fail-on error,warning $DEBS || fail "lintian"
for deb in $DEBS; do
  dir=$WORK/unpacked/$(basename "$deb" .deb)
  mkdir -p "$dir"
  dpkg-deb -x "$deb" "$dir"
  for f in $(find "$dir" -type f); do
    if is_elf "$f"; then
      hardening-check --nocfprotection "$f" || fail "hardening-check ${f#"$dir"}"
    fi
  done
done
say "lintian and hardening-check passed"

# 3. Installed the way a user installs it.
# shellcheck disable=SC2086 # one argument per package
apt_get install -y $DEBS
installed=1
LIBDIR=$(dirname "$(dpkg -L libquillmere1 | grep '/libquillmere\.so\.1$')")
for f in "$LIBDIR/libquillmere.so" /usr/include/quillmere/eztw32fu.h \
  /usr/include/quillmere/eztw32_abi.h /usr/include/quillmere/quillmere_export.h \
  "$LIBDIR/cmake/Quillmere/QuillmereConfig.cmake" "$LIBDIR/pkgconfig/quillmere.pc" \
  /usr/share/doc/libquillmere-dev/html/index.html; do
  [ -e "$f" ] || fail "the packages lack $f"
done
for p in $PACKAGES; do
  [ -f "/usr/share/doc/$p/copyright" ] || fail "$p has no copyright file"
done
if [ "$have_library" = 1 ]; then
  [ -f "$LIBDIR/libeztw32.so.1" ] || fail "libeztw32.so.1 is not beside libquillmere in $LIBDIR"
  for f in "$LIBDIR/libeztw32.so" /usr/include/eztw32.h "$LIBDIR/pkgconfig/eztw32.pc"; do
    [ -e "$f" ] || fail "libquillmere-dev lacks $f"
  done
  dpkg -S "$LIBDIR/libeztw32.so" | grep -q '^libquillmere-dev:' || fail "libeztw32.so is not a developer file"
fi

# 4. SANE with its virtual scanner and nothing else, so no real device interferes.
mkdir -p "$WORK/sane"
echo test >"$WORK/sane/dll.conf"
export SANE_CONFIG_DIR="$WORK/sane"

# 5. The installed program starts and ends through File > Exit with status 0.
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

# 6. A developer's build against the installed files only, C++ and C:
# find_package ...
cmake -S "$ROOT/examples/scan_to_file" -B "$WORK/example" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$WORK/example"
grep -q "Quillmere_DIR:PATH=$LIBDIR/cmake/Quillmere" "$WORK/example/CMakeCache.txt" ||
  fail "find_package(Quillmere) did not find the installed package"
# ... and pkg-config.
pkg-config --cflags --libs quillmere
c++ -std=c++17 -o "$WORK/scan_to_file_pc" "$ROOT/examples/scan_to_file/main.cpp" \
  $(pkg-config --cflags --libs quillmere)
examples="$WORK/example/scan_to_file $WORK/scan_to_file_pc"
if [ "$have_library" = 1 ]; then
  cmake -S "$ROOT/examples/scan_to_file_c" -B "$WORK/example_c" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$WORK/example_c"
  pkg-config --cflags --libs eztw32
  cc -std=c99 -Wall -Wextra -Werror -o "$WORK/scan_to_file_c_pc" \
    "$ROOT/examples/scan_to_file_c/main.c" $(pkg-config --cflags --libs eztw32)
  examples="$examples $WORK/example_c/scan_to_file_c $WORK/scan_to_file_c_pc"
fi

# 7. Each example scans one page from the virtual scanner into a file.
if [ "$have_library" = 1 ]; then
  for example in $examples; do
    rm -f "$WORK/page.bmp"
    "$example" "$WORK/page.bmp" || fail "$example could not scan"
    identify "$WORK/page.bmp" || fail "$example wrote no readable image"
  done
  say "the C++ and C examples built against the installed packages wrote their pages"
fi

# 8. Removed and purged, the packages leave nothing of theirs behind: no
# file or link, and no folder that no other package owns.
if [ "${KEEP_PACKAGE:-0}" = 1 ]; then
  say "packages kept installed (KEEP_PACKAGE=1)"
  say "passed"
  exit 0
fi
for deb in $DEBS; do dpkg-deb --fsys-tarfile "$deb" | tar -t; done | sed 's|^\./|/|; s|/$||' |
  grep -v '^/*$' | sort -u >"$WORK/shipped"
# shellcheck disable=SC2086 # one argument per package
apt_get remove -y $PACKAGES
# Without configuration files removal leaves nothing to purge; dpkg says so
# where apt-get would no longer know the packages.
# shellcheck disable=SC2086
$SUDO dpkg --purge $PACKAGES
installed=0
left=""
while read -r path; do
  if [ -L "$path" ] || [ -f "$path" ]; then
    left="$left $path"
  elif [ -d "$path" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
    left="$left $path/"
  fi
done <"$WORK/shipped"
[ -z "$left" ] || fail "left behind after purge:$left"
say "removed and purged; nothing of the packages is left"
say "passed"
