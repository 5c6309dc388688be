# SPDX-License-Identifier: GPL-2.0-or-later
# Shared by the end-to-end sessions that drive Sorrelby in an X server.
# Sourced by a session script after it has set $work (the test's folder).
#   start_sorrelby PROGRAM  starts it (output into $work/sorrelby.log) and
#                           waits for its main window: sets $pid and $main
#   exit_sorrelby           chooses File > Exit and expects status 0
#   await COMMAND...        polls, at most a minute, until COMMAND succeeds
#   fail TEXT               reports, stops the program, ends the session

fail() { echo "FAIL: $*"; kill "${pid:-}" 2> /dev/null; exit 1; }

await() {
  i=0
  until "$@" > /dev/null 2>&1; do
    i=$((i + 1)); [ "$i" -le 600 ] || return 1
    sleep 0.1
  done
}

start_sorrelby() {
  "$1" > "$work/sorrelby.log" 2>&1 &
  pid=$!
  main=$(timeout 60 xdotool search --sync --name '^Samples for Quillmere$' | head -n 1)
  [ -n "$main" ] || fail "no main window"
}

exit_sorrelby() {
  xdotool windowfocus --sync "$main" key alt+f key Up key Return
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "sorrelby ended with status $status"
}
