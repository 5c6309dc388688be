#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is needed, builds, and starts Sorrelby with SANE's virtual
# test scanner available beside any real scanner.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
export BUILD_DIR
if [ "${SKIP_DEPS:-0}" != 1 ]; then "$ROOT/scripts/install-deps.sh"; fi
"$ROOT/scripts/build.sh"
# A SANE configuration folder of our own: the system's backends plus "test".
CONF=$(mktemp -d "${TMPDIR:-/tmp}/sorrelby-sane.XXXXXX")
trap 'rm -rf "$CONF"' EXIT
if [ -f /etc/sane.d/dll.conf ]; then cat /etc/sane.d/dll.conf > "$CONF/dll.conf"; fi
echo test >> "$CONF/dll.conf"
export SANE_CONFIG_DIR="$CONF:"
cd "${SORRELBY_WORKDIR:-$PWD}"
# Not exec: the trap must still remove the configuration folder afterwards.
if [ -x "$BUILD_DIR/bin/sorrelby" ]; then
  "$BUILD_DIR/bin/sorrelby"
else
  "$BUILD_DIR/bin/quillmere_demo"
fi
