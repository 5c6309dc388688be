#!/bin/sh
# SPDX-License-Identifier: MIT
# CI stage: fuzzes the scanning library's BMP/JPEG loader with libFuzzer for
# about a minute. Fails on a crash, a leak of bounds or an out-of-memory.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
SRC="$ROOT/eztw32/codecs"
clang++-14 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$SRC" "$ROOT/tests/eztw32/fuzz_loader.cpp" "$SRC/dib.cpp" "$SRC/bmp.cpp" "$SRC/bmp_read.cpp" "$SRC/jpeg.cpp" \
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
# The run-length and colour-mask kinds of the BMP reader; ImageMagick writes
# no 4-bit run-length file, so that one is spelled out: 12 x 3 pixels, a run,
# an absolute run, end of line, delta, end of bitmap.
convert -size 13x7 plasma:fractal -seed 1 -colors 12 -compress RLE "bmp3:$WORK/corpus/rle8.bmp"
convert -size 13x7 plasma:fractal -seed 1 -define bmp:subtype=RGB565 "bmp:$WORK/corpus/rgb565.bmp"
convert -size 13x7 plasma:fractal -seed 1 -alpha set -channel A -evaluate set 50% \
  "bmp:$WORK/corpus/rgba.bmp"
bytes() { for b in "$@"; do printf "\\$(printf %o "$b")"; done; }
le32() { bytes $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
{
  bytes 66 77; le32 134; le32 0; le32 118
  le32 40; le32 12; le32 3; bytes 1 0 4 0; le32 2; le32 16; le32 0; le32 0; le32 16; le32 0
  i=0; while [ $i -lt 16 ]; do bytes $((i * 16)) $((255 - i * 16)) 128 0; i=$((i + 1)); done
  bytes 3 86 0 3 120 144 0 0 0 2 2 1 12 60 0 1
} > "$WORK/corpus/rle4.bmp"
cd "$WORK"
./fuzz_loader -max_total_time=60 -rss_limit_mb=2048 -malloc_limit_mb=1536 -max_len=65536 \
  -print_final_stats=1 corpus
echo "fuzz: loader survived"

# Write-then-read round trip of the BMP and JPEG writers, from generated DIBs.
clang++-14 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$SRC" "$ROOT/tests/eztw32/fuzz_roundtrip.cpp" "$SRC/dib.cpp" "$SRC/bmp.cpp" "$SRC/bmp_read.cpp" "$SRC/jpeg.cpp" \
  "$SRC/image_file.cpp" "$SRC/safe_file.cpp" -ljpeg -o "$WORK/fuzz_roundtrip"
mkdir -p "$WORK/roundtrip"
./fuzz_roundtrip -max_total_time=45 -rss_limit_mb=2048 -malloc_limit_mb=1536 -max_len=20000 -len_control=0 \
  -print_final_stats=1 roundtrip
echo "fuzz: writers round-trip"

# The preview's metafile path: the GUI side instrumented, the converter helper
# beside it as a plain child process.
IMG="$ROOT/imaging"
QT_FLAGS=$(pkg-config --cflags Qt6Gui Qt6Svg)
QT_LIBS=$(pkg-config --libs Qt6Gui Qt6Svg)
clang++-14 -std=c++20 -g -O1 -fPIC -I"$IMG" "$IMG/emf2svg_helper.cpp" "$IMG/emfcheck.cpp" \
  -lemf2svg -o "$WORK/sorrelby-emf2svg"
clang++-14 -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -I"$IMG" $QT_FLAGS "$ROOT/tests/imaging/fuzz_metafile.cpp" \
  "$IMG/metafile.cpp" "$IMG/emfcheck.cpp" "$IMG/imagefile.cpp" $QT_LIBS -o "$WORK/fuzz_metafile"
mkdir -p "$WORK/emf-corpus"
cp "$ROOT"/tests/data/imaging/*.emf "$WORK/emf-corpus/"
./fuzz_metafile -max_total_time=60 -rss_limit_mb=2048 -detect_leaks=0 -max_len=65536 \
  -print_final_stats=1 emf-corpus
echo "fuzz: metafile path survived"
