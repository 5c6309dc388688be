#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program in a real X server, the file viewer used with the
# keyboard alone: Alt+F and arrows open it; in the tree Down marks a folder
# and Return opens it; Tab reaches the file list, where Space previews a JPEG;
# Space on "Normal" shows it at natural size; Return on "FullView" opens the
# full-size window and Escape closes it; Escape ends the viewer; Exit ends
# the program with status 0.
#   e2e_viewer_keyboard.sh path/to/sorrelby
set -eu
SORRELBY=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrelby-e2e-keys.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/run/Pictures/2024" "$WORK/sane" "$WORK/config"
echo test > "$WORK/sane/dll.conf"
export SANE_CONFIG_DIR="$WORK/sane"
export XDG_CONFIG_HOME="$WORK/config"
unset LD_LIBRARY_PATH
# The X server below, whatever platform the caller's environment names.
export QT_QPA_PLATFORM=xcb
convert -size 64x48 xc:red "$WORK/run/Pictures/2024/red.jpg"

cat > "$WORK/session.sh" <<'SESSION'
set -u
work=$1 sorrelby=$2
. "$3"
cd "$work/run"
# Whether the point (x, y from the top-left) of a window is red, or white.
colour_at() {
  import -window "$1" "$work/shot.png" || return 1
  [ "$(convert "$work/shot.png" -format "%[fx:p{$2,$3}.r>0.8&&p{$2,$3}.g$4&&p{$2,$3}.b$4]" info:)" = 1 ]
}
red_at() { colour_at "$1" "$2" "$3" '<0.25'; }
# Whether the file list's first line (x 196.., y 40.. from the top) holds text.
list_has_entry() {
  import -window "$1" "$work/shot.png" || return 1
  [ "$(convert "$work/shot.png" -crop 100x12+198+42 -format '%[fx:minima.r<0.5]' info:)" = 1 ]
}
white_at() { colour_at "$1" "$2" "$3" '>0.9'; }
keys() { xdotool key --delay 150 "$@"; }

start_sorrelby "$sorrelby"

# File menu, sixth item: ViewFile.
xdotool windowfocus --sync "$main"
keys alt+f Down Down Down Down Down Return
viewer=$(timeout 60 xdotool search --sync --onlyvisible --name '^Sorrelby Samples$' | head -n 1)
[ -n "$viewer" ] || fail "the viewer did not open"
await sh -c "[ \$(xdotool getwindowfocus) = $viewer ]" || fail "the viewer has no keyboard focus"

# The tree has the focus on the working folder: Down marks Pictures, Return
# opens it, Down marks 2024, whose JPEG the file list then holds.
list_has_entry "$viewer" && fail "the working folder lists a JPEG"
keys Down Return
sleep 0.5
keys Down
await list_has_entry "$viewer" || fail "marking the folder did not list its JPEG"
# Tab, Tab: the drive list, then the file list, whose first entry takes the
# focus frame; Space marks it and the preview's middle turns red.
keys Tab Tab space
await red_at "$viewer" 474 150 || fail "the keyboard did not bring the JPEG into the preview"
white_at "$viewer" 390 150 && fail "the scaled preview leaves the left edge white"

# Tab to the filter list, "Scaled", "Normal"; Space chooses natural size:
# the 64 x 48 image in the middle, white beside it.
keys Tab Tab Tab space
await white_at "$viewer" 390 150 || fail "Space on Normal did not show the natural size"
red_at "$viewer" 474 150 || fail "the natural size lost the image"

# Tab to "FullView", Return opens the full-size window, Escape closes it.
keys Tab Return
full=$(timeout 30 xdotool search --sync --onlyvisible --name 'red\.jpg$' | head -n 1)
[ -n "$full" ] || fail "Return on FullView opened no window"
await sh -c "[ \$(xdotool getwindowfocus) = $full ]" || fail "the full-size window has no focus"
keys Escape
await sh -c "! xdotool search --onlyvisible --name 'red\.jpg$'" || fail "Escape did not close the full-size window"

# Back in the viewer (the window manager's part: focus returns to it),
# Escape ends it; the main window stays.
xdotool windowfocus --sync "$viewer"
keys Escape
await sh -c "! xdotool search --name '^Sorrelby Samples$'" || fail "Escape did not end the viewer"
xdotool search --onlyvisible --name '^Samples for Quillmere$' > /dev/null || fail "no main window after the viewer"

exit_sorrelby
echo "viewer driven by the keyboard alone: folder opened, JPEG previewed, natural size, full view opened and closed, viewer ended"
SESSION

if ! timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$WORK/session.sh" "$WORK" "$SORRELBY" \
  "$(cd "$(dirname "$0")/.." && pwd)/e2e_session.sh"; then
  echo "--- sorrelby's output"; cat "$WORK/sorrelby.log"; exit 1
fi
