#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Preview of a 6000 x 4000 photo in five formats (baseline and progressive
# JPEG, PNG, BMP; GIF at 3000 x 2000) in a 204 x 228 image view (autoScale),
# as whole processes, against vipsthumbnail making a thumbnail of the
# canvas's size from the same file in the same run; then the longest time the
# GUI thread is blocked while arrowing through a folder of 50 such PNGs.
# Usage: bench/imaging/run.sh [BUILD_DIR]
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD_DIR=${1:-$ROOT/build}
BIN=$BUILD_DIR/bin/imaging_preview_bench
ARROW=$BUILD_DIR/bin/imaging_arrowing_bench
[ -x "$BIN" ] && [ -x "$ARROW" ] ||
  cmake --build "$BUILD_DIR" --target imaging_preview_bench imaging_arrowing_bench >/dev/null
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# A photo-like picture: smooth gradients plus grain, so it compresses like one.
convert -size 6000x4000 gradient:'#3060a0-#e0c080' \( -size 6000x4000 xc: +noise Random \
  -colorspace gray -blur 0x1 \) -compose overlay -composite -depth 8 "$WORK/photo.ppm"
convert "$WORK/photo.ppm" -quality 90 "$WORK/baseline.jpg"
convert "$WORK/photo.ppm" -quality 90 -interlace JPEG "$WORK/progressive.jpg"
convert "$WORK/photo.ppm" "$WORK/photo.png"
convert "$WORK/photo.ppm" -type TrueColor "BMP3:$WORK/photo.bmp"
convert "$WORK/photo.ppm" -resize 3000x2000 "$WORK/photo.gif"
rm "$WORK/photo.ppm"
export QT_QPA_PLATFORM=offscreen
RUNS=${RUNS:-3}

# Median wall time (s) and median peak memory (kB) over $RUNS runs.
measure() {
  : >"$WORK/runs"
  i=0
  while [ $i -lt "$RUNS" ]; do
    if ! /usr/bin/time -v -o "$WORK/t" "$@" >/dev/null 2>&1; then
      echo "failed: $*" >&2
      exit 1
    fi
    awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,a,":"); s=0; for(j=1;j<=n;j++) s=s*60+a[j]; t=s}
      /Maximum resident set size/ {m=$2} END {print t, m}' "$WORK/t" >>"$WORK/runs"
    i=$((i + 1))
  done
  t=$(cut -d' ' -f1 "$WORK/runs" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  m=$(cut -d' ' -f2 "$WORK/runs" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  echo "$t $m"
}
ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }

echo "figure | peer | ours | peer value | ratio | target"
for f in baseline.jpg progressive.jpg photo.png photo.bmp photo.gif; do
  set -- $(measure "$BIN" "$WORK/$f"); ours_t=$1 ours_m=$2
  set -- $(measure vipsthumbnail "$WORK/$f" -s 194x218 -o "$WORK/thumb.jpg"); vips_t=$1 vips_m=$2
  echo "preview $f wall time (s) | vipsthumbnail | $ours_t | $vips_t | $(ratio "$ours_t" "$vips_t") | <= 0.8"
  echo "preview $f peak memory (MB) | vipsthumbnail | $((ours_m / 1024)) | $((vips_m / 1024)) | $(ratio "$ours_m" "$vips_m") | <= 1.0"
done

# 50 names for the PNG (hard links: the same bytes, each decoded anew).
mkdir "$WORK/folder"
i=0
while [ $i -lt 50 ]; do
  ln "$WORK/photo.png" "$WORK/folder/p$i.png"
  i=$((i + 1))
done
block() { sed -n 's/.*longest_block_ms \([0-9.]*\).*/\1/p'; }
ours_b=$("$ARROW" "$WORK"/folder/*.png 2>/dev/null | block)
# For comparison, the first five decoded on the GUI thread, one after another.
sync_b=$("$ARROW" --sync $(ls "$WORK"/folder/*.png | head -5) 2>/dev/null | block)
echo "longest GUI-thread block, arrowing through 50 PNGs (ms) | decoding on the GUI thread | $ours_b | $sync_b | $(ratio "$ours_b" "$sync_b") | ours < 50 ms"
