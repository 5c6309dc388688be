#!/bin/sh
# Preview of a 6000 x 4000 JPEG photo in a 204 x 228 image view (autoScale),
# as whole processes, against vipsthumbnail and ImageMagick's convert making a
# thumbnail of the canvas's size from the same file.
# Usage: bench/imaging/run.sh [BUILD_DIR]
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD_DIR=${1:-$ROOT/build}
BIN=$BUILD_DIR/bin/imaging_preview_bench
[ -x "$BIN" ] || cmake --build "$BUILD_DIR" --target imaging_preview_bench >/dev/null
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
PHOTO=$WORK/photo.jpg
# A photo-like picture: smooth gradients plus noise, so it compresses like one.
convert -size 6000x4000 gradient:'#3060a0-#e0c080' \( -size 6000x4000 xc: +noise Random \
  -colorspace gray -blur 0x1 \) -compose overlay -composite -quality 90 "$PHOTO"
export QT_QPA_PLATFORM=offscreen
RUNS=${RUNS:-5}

# Best wall time (s) and its peak memory (kB) over $RUNS runs of a command.
measure() {
  best_t= best_m=
  i=0
  while [ $i -lt "$RUNS" ]; do
    if ! /usr/bin/time -v -o "$WORK/t" "$@" >/dev/null 2>&1; then
      echo "failed: $*" >&2
      exit 1
    fi
    t=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,a,":"); s=0; for(j=1;j<=n;j++) s=s*60+a[j]; print s}' "$WORK/t")
    m=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$WORK/t")
    if [ -z "$best_t" ] || awk "BEGIN{exit !($t < $best_t)}"; then best_t=$t best_m=$m; fi
    i=$((i + 1))
  done
  echo "$best_t $best_m"
}

set -- $(measure "$BIN" "$PHOTO");                                   ours_t=$1 ours_m=$2
set -- $(measure vipsthumbnail "$PHOTO" -s 194x218 -o "$WORK/v.jpg"); vips_t=$1 vips_m=$2
set -- $(measure convert "$PHOTO" -thumbnail 194x218 "$WORK/c.jpg");  conv_t=$1 conv_m=$2

ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }
echo "figure | peer | ours | peer value | ratio | target"
echo "preview wall time (s) | vipsthumbnail | $ours_t | $vips_t | $(ratio "$ours_t" "$vips_t") | <= 1.0"
echo "preview peak memory (MB) | vipsthumbnail | $((ours_m / 1024)) | $((vips_m / 1024)) | $(ratio "$ours_m" "$vips_m") | <= 1.5"
echo "preview wall time (s) | convert -thumbnail | $ours_t | $conv_t | $(ratio "$ours_t" "$conv_t") | well under 1"
echo "preview peak memory (MB) | convert -thumbnail | $((ours_m / 1024)) | $((conv_m / 1024)) | $(ratio "$ours_m" "$conv_m") | well under 1"
