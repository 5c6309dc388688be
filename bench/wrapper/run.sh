#!/bin/sh
# SPDX-License-Identifier: MIT
# One wrapper call against a raw function-pointer call to the same export.
# Prints: figure | peer | ours | peer value | ratio | target
set -eu
BUILD_DIR=${BUILD_DIR:-$(cd "$(dirname "$0")/../.." && pwd)/build}
out=$(LD_LIBRARY_PATH="$BUILD_DIR/tests/partial" "$BUILD_DIR/bin/bench_wrapper_call" \
  --benchmark_format=csv --benchmark_min_time=0.5 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true 2>/dev/null)
raw=$(echo "$out" | awk -F, '/BM_RawFunctionPointer_median/ {print $4}')
ours=$(echo "$out" | awk -F, '/BM_WrapperCall_median/ {print $4}')
ratio=$(awk -v a="$ours" -v b="$raw" 'BEGIN {printf "%.2f", a / b}')
printf 'wrapper call (eztw32_GetTwainState), ns | raw function pointer | %.2f | %.2f | %s | lookup once per binding, no name lookup per call\n' "$ours" "$raw" "$ratio"
