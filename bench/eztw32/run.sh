#!/bin/sh
# Whole-process wall time and peak memory of acquiring the test scanner's
# 200 x 200 mm colour page at 600 dpi (about 67 MB of pixels): through the
# wrapper and libeztw32 with the interface hidden, against scanimage writing
# the same page. Our peak memory is that of the host and the engine process
# that runs SANE for it, added. Prints: figure | peer | ours | peer value |
# ratio | target
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
cmake --build "$BUILD_DIR" --target eztw32_bench_acquire eztw32 >/dev/null
DRIVER=$(find "$BUILD_DIR" -name eztw32_bench_acquire -type f | head -1)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/sane" "$WORK/xdg"
echo test > "$WORK/sane/dll.conf"
echo 'test-picture "Color pattern"' > "$WORK/sane/test.conf"
export SANE_CONFIG_DIR="$WORK/sane" XDG_CONFIG_HOME="$WORK/xdg"
RUNS=${RUNS:-3}
RAW_MB=$(awk 'BEGIN { w = int(200 / 25.4 * 600); printf "%.1f", w * w * 3 / 1048576 }')

# measure NAME COMMAND...: best wall seconds and peak RSS (MB) over RUNS runs.
measure() {
  best_wall=""; best_rss=""
  i=0
  while [ $i -lt "$RUNS" ]; do
    /usr/bin/time -v -o "$WORK/time" "$@" >"$WORK/out" 2>"$WORK/err" || { cat "$WORK/err" >&2; exit 1; }
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (k = 1; k <= n; k++) s = s * 60 + p[k]; print s }' "$WORK/time")
    rss=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$WORK/time")
    both=$(awk -F': ' '/^peak memory host\+engine kB/ { printf "%.1f", $2 / 1024 }' "$WORK/out")
    if [ -n "$both" ]; then rss=$both; fi
    if [ -z "$best_wall" ] || awk "BEGIN { exit !($wall < $best_wall) }"; then best_wall=$wall; fi
    if [ -z "$best_rss" ] || awk "BEGIN { exit !($rss < $best_rss) }"; then best_rss=$rss; fi
    i=$((i + 1))
  done
}

echo "figure | peer | ours | peer value | ratio | target"
for fmt in bmp jpeg; do
  # JPEG has the lower target: the engine reads the page while we encode it.
  if [ $fmt = bmp ]; then peer_fmt=pnm target=1.00; else peer_fmt=jpeg target=0.90; fi
  measure scanimage -d test:0 --mode Color --depth 8 --resolution 600 -l 0 -t 0 -x 200 -y 200 \
    --format=$peer_fmt -o "$WORK/peer.$peer_fmt"
  peer_wall=$best_wall
  measure "$DRIVER" $fmt "$WORK/ours.$fmt"
  ours_wall=$best_wall; ours_rss=$best_rss
  ratio=$(awk "BEGIN { printf \"%.2f\", $ours_wall / $peer_wall }")
  echo "wall time $fmt (s) | scanimage --format=$peer_fmt | $ours_wall | $peer_wall | $ratio | <= $target"
  limit=$(awk "BEGIN { printf \"%.1f\", $RAW_MB + 40 }")
  mratio=$(awk "BEGIN { printf \"%.2f\", $ours_rss / $limit }")
  echo "peak memory $fmt (MB) | raw image $RAW_MB MB + 40 MB | $ours_rss | $limit | $mratio | <= 1.00"
done
