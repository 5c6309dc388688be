#!/bin/sh
# Takes docs/sorrelby-file-menu.png: the main window with its "File" menu
# open, under Xvfb. Uses the scanning library beside the program, or the test
# double when that is not built (the menu looks the same).
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
OUT=${1:-$ROOT/docs/sorrelby-file-menu.png}
if [ ! -e "$BUILD_DIR/bin/libeztw32.so" ]; then
  export LD_LIBRARY_PATH="$BUILD_DIR/tests/fake"
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrelby-shot.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cat > "$WORK/session.sh" <<'SESSION'
set -eu
cd "$1"
"$2/bin/sorrelby" > sorrelby.log 2>&1 &
pid=$!
win=$(timeout 30 xdotool search --sync --name '^Samples for Quillmere$' | head -n 1)
xdotool windowfocus --sync "$win"
before=$(xdotool search --onlyvisible --classname sorrelby | wc -l)
xdotool key alt+f
# Wait until the drop-down menu has been mapped and painted.
for _ in $(seq 1 100); do
  now=$(xdotool search --onlyvisible --classname sorrelby | wc -l)
  [ "$now" -gt "$before" ] && break
  sleep 0.1
done
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$3"
xdotool key Escape key alt+f key Up key Return
wait "$pid"
SESSION
timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$WORK/session.sh" "$WORK" "$BUILD_DIR" "$OUT"
echo "wrote $OUT"
