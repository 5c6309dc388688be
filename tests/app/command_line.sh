#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program's command line: --help and --version print and end with
# status 0 without any window system; an unknown option is reported on
# standard error and ends with status 2 before any window opens.
#   command_line.sh path/to/sorrelby
set -u
SORRELBY=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrelby-cmdline.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# run EXPECTED_STATUS ARGS...: runs with no display, output into out/err.
run() {
  expected=$1; shift
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$SORRELBY" "$@" > "$WORK/out" 2> "$WORK/err"
  status=$?
  [ "$status" -eq "$expected" ] || { cat "$WORK/err"; fail "sorrelby $* ended with $status, not $expected"; }
}

for opt in --help -h; do
  run 0 "$opt"
  grep -q '^Usage: sorrelby' "$WORK/out" || fail "$opt printed no usage"
  grep -q -- '--version' "$WORK/out" || fail "$opt does not name --version"
  [ ! -s "$WORK/err" ] || fail "$opt wrote to standard error"
done

run 0 --version
grep -qx 'sorrelby [0-9][0-9.]*' "$WORK/out" || fail "--version printed: $(cat "$WORK/out")"

# Unknown arguments need the toolkit to tell its own options apart: give it
# a platform that needs no display.
for arg in --bogus picture.jpg; do
  env QT_QPA_PLATFORM=offscreen "$SORRELBY" "$arg" > "$WORK/out" 2> "$WORK/err"
  status=$?
  [ "$status" -eq 2 ] || fail "sorrelby $arg ended with $status, not 2"
  grep -q "'$arg'" "$WORK/err" || fail "sorrelby $arg did not name it on standard error"
  grep -q -- '--help' "$WORK/err" || fail "sorrelby $arg does not point to --help"
  [ ! -s "$WORK/out" ] || fail "sorrelby $arg wrote to standard output"
done
# Qt's own options are not unknown: the complaint names the option after them.
env QT_QPA_PLATFORM=offscreen "$SORRELBY" -style fusion --bogus > "$WORK/out" 2> "$WORK/err"
grep -q "'--bogus'" "$WORK/err" || fail "a Qt option was taken for unknown: $(cat "$WORK/err")"
echo "command line: help, version and unknown arguments as expected"
