#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Started where no libeztw32.so.1 can be found, sorrelby shows only the
# "DLL missing" box and, once it is closed, ends with status 0.
#   e2e_library_missing.sh path/to/sorrelby
set -eu
SORRELBY=$1
BIN=$(dirname "$SORRELBY")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrelby-e2e.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
# The program and the wrapper only: the wrapper's RUNPATH ($ORIGIN) then
# finds no scanning library.
cp "$SORRELBY" "$WORK/"
cp -P "$BIN"/libquillmere.so* "$WORK/"
unset LD_LIBRARY_PATH
# The X server below, whatever platform the caller's environment names.
export QT_QPA_PLATFORM=xcb

cat > "$WORK/session.sh" <<'SESSION'
set -u
cd "$1"
./sorrelby > sorrelby.log 2>&1 &
pid=$!
box=$(timeout 30 xdotool search --sync --name '^DLL missing$' | head -n 1)
if [ -z "$box" ]; then echo "no DLL missing box"; kill "$pid"; exit 1; fi
if xdotool search --name 'Samples for Quillmere' > /dev/null; then
  echo "the main window appeared"; kill "$pid"; exit 1
fi
xdotool windowfocus --sync "$box" key Return
status=0
wait "$pid" || status=$?
echo "sorrelby ended with status $status"
[ "$status" -eq 0 ]
SESSION
timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$WORK/session.sh" "$WORK"
