#!/bin/sh
# Runs a test program; if it hangs (not if it fails), runs it once more.
# SANE's test backend cancels its reader thread asynchronously, and a cancel
# that lands while that thread holds the allocator's lock deadlocks the whole
# process; the tests that cancel or inject device failures hit that rarely.
#   run_twice_on_hang.sh SECONDS PROGRAM [ARGS...]
limit=$1
shift
timeout "$limit" "$@"
rc=$?
if [ "$rc" -eq 124 ]; then
  echo "run_twice_on_hang: no end after ${limit}s (SANE test backend deadlock); running once more"
  timeout "$limit" "$@"
  rc=$?
fi
exit "$rc"
