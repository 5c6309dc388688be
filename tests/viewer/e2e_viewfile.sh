#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program in a real X server: "ViewFile" from the File menu opens the
# file viewer on the working directory, a click marks its JPEG, the preview
# shows it, "End" closes the viewer; opened again, Exit from the main window's
# menu ends the program, viewer and all, with status 0.
#   e2e_viewfile.sh path/to/sorrelby
set -eu
SORRELBY=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrelby-e2e-viewer.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/run" "$WORK/sane" "$WORK/config"
# The program needs a scanning library to start; give SANE only its virtual
# scanner so that nothing real is touched.
echo test > "$WORK/sane/dll.conf"
export SANE_CONFIG_DIR="$WORK/sane"
export XDG_CONFIG_HOME="$WORK/config"
unset LD_LIBRARY_PATH
# The X server below, whatever platform the caller's environment names.
export QT_QPA_PLATFORM=xcb
convert -size 64x48 xc:red "$WORK/run/red.jpg"
convert -size 64x48 xc:blue "$WORK/run/blue.png"

cat > "$WORK/session.sh" <<'SESSION'
set -u
work=$1 sorrelby=$2
. "$3"
cd "$work/run"
# Whether the point (x, y from the top-left) of a window is red on screen.
red_at() {
  import -window "$1" "$work/shot.png" || return 1
  [ "$(convert "$work/shot.png" -format "%[fx:p{$2,$3}.r>0.8&&p{$2,$3}.g<0.25&&p{$2,$3}.b<0.25]" info:)" = 1 ]
}

start_sorrelby "$sorrelby"

# File menu: ViewFile is its sixth item.
xdotool windowfocus --sync "$main" key alt+f key Down key Down key Down key Down key Down key Return
viewer=$(timeout 60 xdotool search --sync --onlyvisible --name '^Sorrelby Samples$' | head -n 1)
[ -n "$viewer" ] || fail "the viewer did not open"
set -- $(xdotool getwindowgeometry --shell "$viewer" | sed -n 's/^\(WIDTH\|HEIGHT\)=//p')
[ "$1x$2" = "590x360" ] || fail "the viewer is $1x$2"

# The file list (x 196.., y 40.. from the top) opens with "*.JPG": red.jpg
# is its only entry. Click it; the preview's middle turns red.
# A click made while the window is still being mapped may be lost: click
# again until the preview shows the file (marking it again changes nothing).
red_at "$viewer" 474 150 && fail "the preview is red before anything was marked"
mark_jpeg() {
  xdotool mousemove --window "$viewer" 230 48 click 1
  sleep 0.2
  red_at "$viewer" 474 150
}
await mark_jpeg || fail "the preview does not show the JPEG"

# "End" (lower-left 515, 12; 68 x 24) closes the viewer; the main window stays.
viewer_closed() {
  xdotool search --name '^Sorrelby Samples$' > /dev/null || return 0
  xdotool mousemove --window "$viewer" 549 324 click 1
  sleep 0.2
  return 1
}
await viewer_closed || fail "the viewer did not close"
xdotool search --onlyvisible --name '^Samples for Quillmere$' > /dev/null || fail "no main window after the viewer"

# Open it again and choose Exit from the main window's menu while the viewer
# is open: the menu works meanwhile, and the program ends.
xdotool windowfocus --sync "$main" key alt+f key Down key Down key Down key Down key Down key Return
timeout 60 xdotool search --sync --onlyvisible --name '^Sorrelby Samples$' > /dev/null \
  || fail "the viewer did not open a second time"
exit_sorrelby
echo "viewer opened, JPEG previewed, viewer closed; reopened, Exit ended sorrelby with status 0"
SESSION

if ! timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$WORK/session.sh" "$WORK" "$SORRELBY" \
  "$(cd "$(dirname "$0")/.." && pwd)/e2e_session.sh"; then
  echo "--- sorrelby's output"; cat "$WORK/sorrelby.log"; exit 1
fi
