#!/bin/sh
# Runs every benchmark of the project (each bench/<area>/run.sh) against the
# build in BUILD_DIR (default build/) and prints one Markdown table. Each
# run.sh prints result lines "figure | peer | ours | peer value | ratio | target";
# other lines it prints go to standard error. Ends with status 1 when a
# benchmark failed, after printing the rest.
#   bench/run_all.sh [AREA...]
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
export BUILD_DIR

if [ $# -gt 0 ]; then
  scripts=""
  for area in "$@"; do scripts="$scripts $ROOT/bench/$area/run.sh"; done
else
  scripts=$(ls "$ROOT"/bench/*/run.sh 2>/dev/null)
fi

status=0
rows=$(mktemp "${TMPDIR:-/tmp}/bench-rows.XXXXXX")
trap 'rm -f "$rows"' EXIT
for script in $scripts; do
  area=$(basename "$(dirname "$script")")
  if [ ! -f "$script" ]; then
    echo "run_all: no benchmark $area" >&2
    status=1
    continue
  fi
  echo "run_all: $area ..." >&2
  out=$(mktemp "${TMPDIR:-/tmp}/bench-out.XXXXXX")
  if sh "$script" >"$out"; then
    # Result lines have exactly six fields; everything else is commentary.
    awk -F'|' -v area="$area" 'NF == 6 {
        for (i = 1; i <= 6; i++) gsub(/^[ \t]+|[ \t]+$/, "", $i)
        printf "| %s | %s | %s | %s | %s | %s | %s |\n", area, $1, $2, $3, $4, $5, $6
      }
      NF != 6 && NF > 0 { print > "/dev/stderr" }' "$out" >>"$rows"
  else
    cat "$out" >&2
    echo "run_all: $area failed" >&2
    echo "| $area | (failed, see above) | | | | | |" >>"$rows"
    status=1
  fi
  rm -f "$out"
done

echo "| area | figure | peer | ours | peer value | ratio | target |"
echo "|---|---|---|---|---|---|---|"
if [ -s "$rows" ]; then
  cat "$rows"
else
  echo "run_all: no benchmark results" >&2
  status=1
fi
exit $status
