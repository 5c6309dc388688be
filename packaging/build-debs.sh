#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the Debian packages libquillmere1, libeztw32-1, libquillmere-dev and
# sorrelby from a build configured with -DCMAKE_INSTALL_PREFIX=/usr, the way
# debhelper would: each package is its install component, stripped, with its
# copyright file and changelog; shlibs and symbols files and the ldconfig
# trigger for the libraries; Depends from dpkg-shlibdeps (which also resolves
# the libraries of the sibling packages); control files from debian/control
# through dpkg-gencontrol.
#   build-debs.sh BUILD_DIR OUT_DIR
set -eu
umask 022
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$1" && pwd)
mkdir -p "$2"
OUT=$(cd "$2" && pwd)
fail() {
  echo "build-debs: $*" >&2
  exit 1
}
is_elf() { [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = '177ELF' ]; }
cache() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD/CMakeCache.txt"; }

[ "$(cache CMAKE_INSTALL_PREFIX)" = /usr ] ||
  fail "configure $BUILD with -DCMAKE_INSTALL_PREFIX=/usr (it has $(cache CMAKE_INSTALL_PREFIX))"
W=$BUILD/debian-staging
rm -rf "$W"
mkdir -p "$W/debian"
cp "$HERE/debian/control" "$HERE/debian/changelog" "$W/debian/"
cd "$W"
version=$(dpkg-parsechangelog -S Version)
[ "${version%-*}" = "$(cache CMAKE_PROJECT_VERSION)" ] ||
  fail "debian/changelog is at $version, the project at $(cache CMAKE_PROJECT_VERSION)"
packages=$(sed -n 's/^Package: //p' debian/control)

# Package name -> install component.
component() {
  case $1 in
    libquillmere1) echo Quillmere ;;
    libeztw32-1) echo Eztw32 ;;
    libquillmere-dev) echo Development ;;
    sorrelby) echo Sorrelby ;;
    *) fail "no install component for package $1" ;;
  esac
}

for pkg in $packages; do
  root=debian/$pkg
  DESTDIR="$W/$root" cmake --install "$BUILD" --component "$(component "$pkg")" >/dev/null
  [ -d "$root/usr" ] || fail "component $(component "$pkg") installed nothing"
  # Stripped as dh_strip does: no symbols beyond the dynamic ones, no
  # compiler notes.
  for f in $(find "$root" -type f); do
    is_elf "$f" || continue
    case $f in
      *.so | *.so.*) strip --remove-section=.comment --remove-section=.note --strip-unneeded "$f" ;;
      *) strip --remove-section=.comment --remove-section=.note "$f" ;;
    esac
  done
  doc=$root/usr/share/doc/$pkg
  mkdir -p "$doc"
  cp "$HERE/debian/copyright" "$doc/copyright"
  gzip -9nc debian/changelog >"$doc/changelog.Debian.gz"
  if [ -f "$HERE/debian/$pkg.doc-base" ]; then
    mkdir -p "$root/usr/share/doc-base"
    cp "$HERE/debian/$pkg.doc-base" "$root/usr/share/doc-base/$pkg"
  fi
  if [ -f "$HERE/debian/$pkg.lintian-overrides" ]; then
    mkdir -p "$root/usr/share/lintian/overrides"
    cp "$HERE/debian/$pkg.lintian-overrides" "$root/usr/share/lintian/overrides/$pkg"
  fi
  # Debian's modes: directories and programs 0755, everything else 0644,
  # shared libraries included.
  find "$root" -type d -exec chmod 0755 {} +
  find "$root" -type f -exec chmod go-w,u+rw,a+r {} +
  find "$root" -type f -name '*.so*' -exec chmod 0644 {} +
  mkdir -p "$root/DEBIAN"
  # A public shared library: shlibs entry "name soversion package (>= version)"
  # and the loader cache refreshed by dpkg's trigger, no maintainer script.
  : >"$root/DEBIAN/shlibs"
  for lib in $(find "$root/usr/lib" -maxdepth 2 -type f -name 'lib*.so.*' 2>/dev/null); do
    soname=$(objdump -p "$lib" | sed -n 's/^ *SONAME *//p')
    case $soname in
      *.so.*) echo "${soname%%.so.*} ${soname##*.so.} $pkg (>= ${version%-*})" >>"$root/DEBIAN/shlibs" ;;
      *) fail "$lib has no versioned soname" ;;
    esac
  done
  if [ -s "$root/DEBIAN/shlibs" ]; then
    echo "activate-noawait ldconfig" >"$root/DEBIAN/triggers"
    # Every exported symbol, introduced in this version: dpkg-shlibdeps then
    # makes dependants depend on the version that has the symbols they use.
    dpkg-gensymbols -q -p"$pkg" -P"$root" -v"${version%-*}" -O"$root/DEBIAN/symbols"
    sed -i '1a * Build-Depends-Package: libquillmere-dev' "$root/DEBIAN/symbols"
  else
    rm "$root/DEBIAN/shlibs"
  fi
done

for pkg in $packages; do
  root=debian/$pkg
  echo "misc:Depends=" >"debian/$pkg.substvars"
  elves=""
  for f in $(find "$root" -path "$root/DEBIAN" -prune -o -type f -print); do
    if is_elf "$f"; then elves="$elves $f"; fi
  done
  if [ -n "$elves" ]; then
    # shellcheck disable=SC2086 # one argument per file
    dpkg-shlibdeps -T"debian/$pkg.substvars" $elves
  fi
  dpkg-gencontrol -p"$pkg" -P"$root" -T"debian/$pkg.substvars"
  (cd "$root" && find . -path ./DEBIAN -prune -o -type f -print | sed 's|^\./||' | LC_ALL=C sort |
    xargs -r md5sum) >"$root/DEBIAN/md5sums"
  chmod 0644 "$root"/DEBIAN/*
  dpkg-deb --root-owner-group -Zxz --build "$root" "$OUT" >/dev/null
done
ls "$OUT"/*.deb
