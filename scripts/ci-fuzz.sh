#!/bin/sh
# CI stage: fuzzes the scanning library's BMP/JPEG loader with libFuzzer for
# about a minute. Fails on a crash, a leak of bounds or an out-of-memory.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
SRC="$ROOT/eztw32/src"
clang++-14 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$SRC" "$ROOT/tests/eztw32/fuzz_loader.cpp" "$SRC/dib.cpp" "$SRC/bmp.cpp" "$SRC/jpeg.cpp" \
  "$SRC/image_file.cpp" "$SRC/safe_file.cpp" -ljpeg -o "$WORK/fuzz_loader"

# Seeds: small valid BMPs and JPEGs of each kind, made with ImageMagick.
mkdir -p "$WORK/corpus"
for seed in "gray:8:bmp3" "rgb:24:bmp3" "mono:1:bmp3" "gray:8:jpg" "rgb:24:jpg"; do
  kind=${seed%%:*}; rest=${seed#*:}; ext=${rest#*:}
  case $kind in
    gray) convert -size 13x7 gradient: -colorspace Gray -type Grayscale "$ext:$WORK/corpus/$kind.$ext" ;;
    mono) convert -size 13x7 pattern:checkerboard -monochrome "$ext:$WORK/corpus/$kind.$ext" ;;
    rgb) convert -size 13x7 plasma:fractal -seed 1 "$ext:$WORK/corpus/$kind.$ext" ;;
  esac
done
cd "$WORK"
./fuzz_loader -max_total_time=60 -rss_limit_mb=2048 -malloc_limit_mb=1536 -max_len=65536 \
  -print_final_stats=1 corpus
echo "fuzz: loader survived"

# Write-then-read round trip of the BMP and JPEG writers, from generated DIBs.
clang++-14 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$SRC" "$ROOT/tests/eztw32/fuzz_roundtrip.cpp" "$SRC/dib.cpp" "$SRC/bmp.cpp" "$SRC/jpeg.cpp" \
  "$SRC/image_file.cpp" "$SRC/safe_file.cpp" -ljpeg -o "$WORK/fuzz_roundtrip"
mkdir -p "$WORK/roundtrip"
./fuzz_roundtrip -max_total_time=45 -rss_limit_mb=2048 -malloc_limit_mb=1536 -max_len=20000 -len_control=0 \
  -print_final_stats=1 roundtrip
echo "fuzz: writers round-trip"
