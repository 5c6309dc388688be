#!/bin/sh
# SPDX-License-Identifier: MIT
# Licence identifiers at the top of every tracked source file.
#   scripts/spdx.sh          adds the identifier to each file that lacks one
#   scripts/spdx.sh --check  lists files without the right identifier; fails if any
# The libraries, the examples and their tests are MIT; the Sorrelby program
# (app, viewer, imaging), its tests, icons and desktop files GPL-2.0-or-later
# (see LICENSE). Files in a format without comments are skipped.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
mode=fix
case "${1:-}" in
  --check) mode=check ;;
  "") ;;
  *)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac

# The licence a path falls under.
licence() {
  case $1 in
    app/* | viewer/* | imaging/* | resources/* | \
      tests/app/* | tests/viewer/* | tests/imaging/* | tests/data/imaging/* | tests/e2e_session.sh | \
      bench/viewer/* | bench/imaging/* | packaging/sorrelby*)
      echo GPL-2.0-or-later ;;
    *) echo MIT ;;
  esac
}

# How a comment is written in the file, as "prefix|suffix"; empty for files
# that cannot carry one (data, images, the licence texts themselves, and
# files whose format has no comments).
comment_style() {
  # Binary files (pictures, metafiles) are data whatever their name.
  grep -Iq . "$1" || return 0
  case $1 in
    LICENSE | */LICENSE | LICENSES/* | packaging/debian/changelog | packaging/debian/copyright | \
      *.doc-base | *.json | *.png | *.gif | *.jpg | *.jpeg | *.bmp | *.ico | *.emf | *.pdf) ;;
    *.c | *.cpp | *.cc | *.h | *.hpp | *.inc) echo '// |' ;;
    *.map) echo '/* | */' ;;
    *.md) echo '<!-- | -->' ;;
    *.svg | *.xml) echo '<!-- | -->' ;;
    *.[1-8]) echo '.\" |' ;;
    *) echo '# |' ;;
  esac
}

has_identifier() { head -n 3 "$1" | grep -q 'SPDX-License-Identifier:'; }
identifier_of() { head -n 3 "$1" | sed -n 's/.*SPDX-License-Identifier: *\([A-Za-z0-9.+-]*\).*/\1/p' | head -n 1; }

# Line 1, or line 2 after a "#!" interpreter line, an XML declaration or a
# Markdown file's title (which Doxygen needs first to take it as the title).
add_identifier() {
  file=$1
  line="$2SPDX-License-Identifier: $3$4"
  line=$(printf '%s' "$line" | sed 's/ *$//')
  first=$(head -n 1 "$file")
  tmp="$file.spdx.$$"
  case $file:$first in
    *:'#!'* | *:'<?xml'* | *.md:'# '*) { printf '%s\n%s\n' "$first" "$line"; tail -n +2 "$file"; } >"$tmp" ;;
    *) { printf '%s\n' "$line"; cat "$file"; } >"$tmp" ;;
  esac
  chmod --reference="$file" "$tmp"
  mv "$tmp" "$file"
}

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files)
else
  echo "spdx: not a git checkout; nothing to do" >&2
  exit 2
fi

missing=0
wrong=0
added=0
for file in $files; do
  [ -f "$file" ] || continue
  style=$(comment_style "$file")
  [ -n "$style" ] || continue
  want=$(licence "$file")
  if has_identifier "$file"; then
    have=$(identifier_of "$file")
    if [ "$have" != "$want" ]; then
      echo "spdx: $file says $have, expected $want" >&2
      wrong=$((wrong + 1))
    fi
  elif [ "$mode" = check ]; then
    echo "spdx: $file has no SPDX-License-Identifier (expected $want)" >&2
    missing=$((missing + 1))
  else
    add_identifier "$file" "${style%%|*}" "$want" "${style#*|}"
    added=$((added + 1))
  fi
done

if [ "$mode" = check ]; then
  if [ $((missing + wrong)) -gt 0 ]; then
    echo "spdx: $missing file(s) without an identifier, $wrong with another licence; scripts/spdx.sh adds the missing ones" >&2
    exit 1
  fi
  echo "spdx: every source file names its licence"
else
  echo "spdx: added an identifier to $added file(s)"
  [ "$wrong" -eq 0 ] || exit 1
fi
