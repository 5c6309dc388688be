#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program with the real scanning library over SANE's virtual
# scanner, driven through its menu with the keyboard in a real X server:
# "Acquire from Source" must show the scanned page in the main window,
# "Acquire und Save to File" and "Acquire to Clipboard" must leave real images
# of the scanner's size in the working directory, and Exit must end the
# program with status 0.
#   e2e_acquire.sh path/to/sorrelby
set -eu
SORRELBY=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrelby-e2e.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/sane" "$WORK/config" "$WORK/run"
# Only SANE's virtual scanner, so that the default source is known; its own
# settings (a solid black page of 80 x 100 mm) from the system's folder.
echo test > "$WORK/sane/dll.conf"
cp /etc/sane.d/test.conf "$WORK/sane/"
export SANE_CONFIG_DIR="$WORK/sane"
export XDG_CONFIG_HOME="$WORK/config"
unset LD_LIBRARY_PATH
# The X server below, whatever platform the caller's environment names.
export QT_QPA_PLATFORM=xcb

cat > "$WORK/session.sh" <<'SESSION'
set -u
work=$1 sorrelby=$2
. "$3"
cd "$work/run"
file_menu_item() {  # n Downs from the first item of the File menu
  xdotool windowfocus --sync "$main" key alt+f
  n=$1
  while [ "$n" -gt 0 ]; do xdotool key Down; n=$((n - 1)); done
  xdotool key Return
}
scan_in_source_dialog() {
  dialog=$(timeout 60 xdotool search --sync --name '^Quillmere - ' | head -n 1)
  [ -n "$dialog" ] || fail "the source's window did not appear"
  xdotool windowfocus --sync "$dialog" key Return
  await sh -c "! xdotool search --name '^Quillmere - '" || fail "the scan did not end"
}

# Whether the middle of the main window (its image area) is black on screen.
black_in_middle() {
  import -window "$main" "$work/shot.png" || return 1
  [ "$(convert "$work/shot.png" -gravity center -crop 20x20+0+0 -format '%[fx:mean<0.1]' info:)" = 1 ]
}

start_sorrelby "$sorrelby"
black_in_middle && fail "the main window shows an image before any scan"

file_menu_item 1   # Acquire from Source: the page held in memory is shown
scan_in_source_dialog
await black_in_middle || fail "the main window does not show the scanned page"

file_menu_item 2   # Acquire und Save to File
scan_in_source_dialog
await sh -c 'ls MYTEST.JPG || ls MYTEST.BMP' || fail "no MYTEST.JPG or MYTEST.BMP"
ls MYTEST.JPG > /dev/null 2>&1 && mv MYTEST.JPG saved.jpg || mv MYTEST.BMP saved.bmp

file_menu_item 3   # Acquire to Clipboard
scan_in_source_dialog
await ls MYTEST.BMP || fail "no MYTEST.BMP from the clipboard"

exit_sorrelby
echo "sorrelby ended with status 0"
SESSION

if ! timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$WORK/session.sh" "$WORK" "$SORRELBY" \
  "$(cd "$(dirname "$0")/.." && pwd)/e2e_session.sh"; then
  echo "--- sorrelby's output"; cat "$WORK/sorrelby.log"; exit 1
fi
# Each file must be the virtual scanner's page: the size that scanimage gets
# at the resolution the file records, and solid black.
for f in "$WORK"/run/saved.* "$WORK/run/MYTEST.BMP"; do
  info=$(identify -units PixelsPerInch -format '%w %h %x %[fx:mean]' "$f") ||
    { echo "FAIL: $f is no image"; exit 1; }
  set -- $info
  dpi=$(printf '%.0f' "$3")
  scanimage -d test --resolution "$dpi" --format=pnm 2> /dev/null > "$WORK/reference.pnm"
  reference=$(identify -format '%wx%h' "$WORK/reference.pnm")
  echo "$(basename "$f"): $1x$2 at $dpi dpi, mean $4 (scanner: $reference)"
  [ "$1x$2" = "$reference" ] || { echo "FAIL: $f is $1x$2, not $reference"; exit 1; }
  awk "BEGIN { exit !($4 < 0.05) }" || { echo "FAIL: $f is not the black test page"; exit 1; }
done
