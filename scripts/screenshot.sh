#!/bin/sh
# SPDX-License-Identifier: MIT
# Takes the screenshots of docs/ under Xvfb, with openbox as window manager
# when it is installed (for the window frames; the shots work without it):
#   docs/sorrelby-file-menu.png  the main window with its "File" menu open
#   docs/sorrelby-scanned.png    the main window after "Acquire from Source"
#                                from SANE's virtual scanner (colour pattern)
#   docs/sorrelby-viewer.png     the file viewer on a deep folder, a photo
#                                previewed
# Needs the scanning library beside the program (build with eztw32/).
#   scripts/screenshot.sh [OUTPUT_FOLDER]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
OUT=$(cd "${1:-$ROOT/docs}" && pwd)
[ -e "$BUILD_DIR/bin/libeztw32.so.1" ] || { echo "no scanning library in $BUILD_DIR/bin"; exit 1; }
# Under /var/tmp: the viewer's tree lists every level's folders, and /tmp is
# usually crowded.
WORK=$(mktemp -d "${SHOT_TMPDIR:-/var/tmp}/sorrelby-shot.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# SANE's virtual scanner alone, set to a colour pattern on a page of A4's
# proportions.
mkdir -p "$WORK/sane" "$WORK/config" "$WORK/Sorrelby"
echo test > "$WORK/sane/dll.conf"
sed -e 's/^mode .*/mode Color/' -e 's/^test-picture .*/test-picture "Color pattern"/' \
  -e 's/^resolution .*/resolution 100.0/' -e 's/^br_x .*/br_x 140.0/' -e 's/^br_y .*/br_y 198.0/' \
  /etc/sane.d/test.conf > "$WORK/sane/test.conf"
# A deep folder of photos for the viewer.
PHOTOS="$WORK/Pictures/2024/Summer holidays at the seaside"
mkdir -p "$PHOTOS/Day trips" "$PHOTOS/Harbour at night"
convert -seed 4 -size 640x427 plasma:orange-navy -blur 0x2 "$PHOTOS/Beach at sunset.jpg"
convert -seed 9 -size 640x427 plasma:green-skyblue -blur 0x2 "$PHOTOS/Cliffs.jpg"
convert -seed 2 -size 427x640 plasma:yellow-teal -blur 0x2 "$PHOTOS/Lighthouse.jpg"
export SANE_CONFIG_DIR="$WORK/sane" XDG_CONFIG_HOME="$WORK/config" QT_QPA_PLATFORM=xcb
unset LD_LIBRARY_PATH

cat > "$WORK/session.sh" <<'SESSION'
set -eu
work=$1 build=$2 out=$3 photos=$4
if command -v openbox > /dev/null; then
  openbox > /dev/null 2>&1 &
  sleep 1
fi
# shot WINDOW FILE: the window with the window manager's frame around it (its
# parent window, when there is one), once everything is painted, and
# whatever lies over it on screen (menus, tooltips).
shot() {
  sleep 0.7
  frame=$(xwininfo -tree -id "$1" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
  case "$(xwininfo -tree -id "$1" | sed -n 's/^ *Parent window id: .*(\(.*\))$/\1/p')" in
    *root*) frame=$1 ;;
  esac
  eval "$(xwininfo -id "$frame" | sed -n \
    -e 's/^ *Absolute upper-left X: *\(-*[0-9]*\)/X=\1/p' \
    -e 's/^ *Absolute upper-left Y: *\(-*[0-9]*\)/Y=\1/p' \
    -e 's/^ *Width: *\([0-9]*\)/W=\1/p' -e 's/^ *Height: *\([0-9]*\)/H=\1/p')"
  import -window root -crop "${W}x${H}+${X}+${Y}" +repage "$2"
}
run_sorrelby() {  # folder: starts the program there, sets $pid and $win
  (cd "$1" && exec "$build/bin/sorrelby") > "$work/sorrelby.log" 2>&1 &
  pid=$!
  win=$(timeout 30 xdotool search --sync --onlyvisible --name '^Samples for Quillmere$' | head -n 1)
  xdotool windowactivate --sync "$win" 2> /dev/null || xdotool windowfocus --sync "$win"
}
end_sorrelby() { xdotool key --delay 150 Escape Escape alt+f Up Return; wait "$pid"; }

# The File menu.
run_sorrelby "$work/Sorrelby"
xdotool key alt+f
# The menu is a window of its own over the main window: on screen, without
# compositing, it is part of the main window's area.
shot "$win" "$out/sorrelby-file-menu.png"
xdotool key Escape Escape

# Acquire from Source: the source's window, Return scans.
xdotool key --delay 150 alt+f Down Return
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quillmere - ' | head -n 1)
xdotool windowfocus --sync "$dialog" key Return
for _ in $(seq 1 100); do
  xdotool search --onlyvisible --name '^Quillmere - ' > /dev/null 2>&1 || break
  sleep 0.1
done
shot "$win" "$out/sorrelby-scanned.png"
end_sorrelby

# The viewer on the deep folder, the first photo marked.
run_sorrelby "$photos"
xdotool key --delay 150 alt+f Down Down Down Down Down Return
viewer=$(timeout 30 xdotool search --sync --onlyvisible --name '^Sorrelby Samples$' | head -n 1)
xdotool windowactivate --sync "$viewer" 2> /dev/null || xdotool windowfocus --sync "$viewer"
xdotool key --delay 200 Tab Tab space
# The pointer over the marked folder shows its full path.
xdotool mousemove --window "$viewer" 100 284
sleep 1.5
shot "$viewer" "$out/sorrelby-viewer.png"
xdotool key Escape
sleep 0.5
end_sorrelby
SESSION
timeout 180 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$WORK/session.sh" "$WORK" "$BUILD_DIR" "$OUT" "$PHOTOS"
echo "wrote $OUT/sorrelby-file-menu.png, $OUT/sorrelby-scanned.png, $OUT/sorrelby-viewer.png"
