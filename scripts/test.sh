#!/bin/sh
# SPDX-License-Identifier: MIT
# The one test command: installs what is needed, builds with warnings as
# errors and runs every test. Fails when no test ran.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
export BUILD_DIR
if [ "${SKIP_DEPS:-0}" != 1 ]; then "$ROOT/scripts/install-deps.sh"; fi
"$ROOT/scripts/build.sh" "$@"
cd "$BUILD_DIR"
ctest --output-on-failure --no-tests=error --timeout 600 -j "${JOBS:-$(nproc)}"
