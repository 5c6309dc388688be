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
  "$SRC/image_file.cpp" -ljpeg -o "$WORK/fuzz_loader"

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
