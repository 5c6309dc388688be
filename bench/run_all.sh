#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs every benchmark of the project (each bench/<area>/run.sh) against the
# build in BUILD_DIR (default build/) and prints one Markdown table. Each
# run.sh prints result lines "figure | peer | ours | peer value | ratio | target";
# other lines it prints go to standard error. The ratio is ours divided by the
# peer's value unless the area says otherwise; "met" tells whether it meets
# the target. Ends with status 1 when a
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
    # "met" compares the ratio with a target written as "<= 1.2", ">= 2" etc.
    awk -F'|' -v area="$area" 'NF == 6 {
        for (i = 1; i <= 6; i++) gsub(/^[ \t]+|[ \t]+$/, "", $i)
        if ($1 == "figure") next  # a header line of the area
        met = "-"
        r = $5; sub(/ *x$/, "", r)
        if (r ~ /^[0-9.]+$/ && match($6, /^(<=|>=|<|>) *[0-9.]+/)) {
          op = $6; sub(/ *[0-9.].*$/, "", op)
          limit = $6; sub(/^(<=|>=|<|>) */, "", limit); limit += 0
          r += 0
          ok = (op == "<=") ? r <= limit : (op == ">=") ? r >= limit : (op == "<") ? r < limit : r > limit
          met = ok ? "yes" : "no"
        }
        printf "| %s | %s | %s | %s | %s | %s | %s | %s |\n", area, $1, $2, $3, $4, $5, $6, met
      }
      NF != 6 && NF > 0 { print > "/dev/stderr" }' "$out" >>"$rows"
  else
    cat "$out" >&2
    echo "run_all: $area failed" >&2
    echo "| $area | (failed, see above) | | | | | | |" >>"$rows"
    status=1
  fi
  rm -f "$out"
done

echo "| area | figure | peer | ours | peer value | ratio | target | met |"
echo "|---|---|---|---|---|---|---|---|"
if [ -s "$rows" ]; then
  cat "$rows"
else
  echo "run_all: no benchmark results" >&2
  status=1
fi
exit $status
