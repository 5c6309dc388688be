#!/bin/sh
# SPDX-License-Identifier: MIT
# Configures and builds into BUILD_DIR (default build/). Extra arguments go to
# cmake's configure step, e.g. -DSORRELBY_SANITIZE=ON.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DSORRELBY_WERROR=ON "$@"
cmake --build "$BUILD_DIR" --parallel "${JOBS:-$(nproc)}"
