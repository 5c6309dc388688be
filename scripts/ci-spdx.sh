#!/bin/sh
# SPDX-License-Identifier: MIT
# CI stage: every tracked source file names its licence in its first lines.
set -eu
exec "$(dirname "$0")/spdx.sh" --check
