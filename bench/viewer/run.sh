#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The file list's refill for "*.BMP *.EMF *.GIF *.JPG *.PNG" in a folder of
# 20,000 files of mixed kinds, against find with the same five case-insensitive
# name tests (in-process against an equivalent listing, and as whole
# processes); and a rebuild of the directory tree for a target 8 levels deep
# with 200 siblings on each level.
# Usage: bench/viewer/run.sh [BUILD_DIR]
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD_DIR=${1:-$ROOT/build}
BIN=$BUILD_DIR/bin/viewer_refill_bench
[ -x "$BIN" ] || cmake --build "$BUILD_DIR" --target viewer_refill_bench >/dev/null
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen
RUNS=${RUNS:-10}

# 20,000 files: ten kinds in turn, half of them images in mixed letter case,
# plus a few folders and hidden files.
mkdir "$WORK/files"
(cd "$WORK/files" && awk 'BEGIN {
  split("bmp EMF gif JPG png txt doc PDF c tar.gz", k, " ");
  for (i = 0; i < 20000; i++) printf "file%05d.%s\n", i, k[i % 10 + 1] }' | xargs touch
  mkdir dir1.jpg dir2 && touch .hidden.png)

# Tree: 8 levels, 200 siblings each; the chain runs through sibling 100.
mkdir "$WORK/tree"
target=$WORK/tree
level=1
while [ $level -le 8 ]; do
  (cd "$target" && seq -f "d%03g" 0 199 | xargs mkdir)
  target=$target/d100
  level=$((level + 1))
done

ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }
echo "figure | peer | ours | peer value | ratio | target"

set -- $("$BIN" list "$WORK/files" "$RUNS" 2>/dev/null)
echo "refill of 20,000 files, 5 patterns, in-process (ms) | readdir+fnmatch like find | $1 | $2 | $(ratio "$1" "$2") | <= 1.5"
[ "$3" = "$4" ] || { echo "lists differ: $3 against $4" >&2; exit 1; }

# Whole processes: best wall time of $RUNS runs.
best_ms() {
  best=
  i=0
  while [ $i -lt "$RUNS" ]; do
    s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N)
    t=$(( (e - s) / 1000 ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    i=$((i + 1))
  done
  awk "BEGIN{printf \"%.1f\", $best / 1000}"
}
find_ms=$(best_ms find "$WORK/files" -maxdepth 1 -type f \( -iname '*.BMP' -o -iname '*.EMF' \
  -o -iname '*.GIF' -o -iname '*.JPG' -o -iname '*.PNG' \))
ours_ms=$(best_ms "$BIN" once "$WORK/files")
echo "refill of 20,000 files, whole process incl. Qt start (ms) | find -maxdepth 1 -iname x5 | $ours_ms | $find_ms | $(ratio "$ours_ms" "$find_ms") | (for information)"

set -- $("$BIN" tree "$WORK/tree" "$target" "$RUNS" 2>/dev/null)
echo "tree rebuild, 8 levels x 200 siblings, $3 items (ms) | readdir of the 9 folders | $1 | $2 | $(ratio "$1" "$2") | (for information)"
