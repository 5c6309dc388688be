#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs every Debian package that building, running and testing need.
# Safe to run again: apt-get skips what is already there.
set -eu
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config git file dpkg-dev \
  clang libclang-rt-14-dev clang-format \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-image-formats-plugins \
  libgl-dev \
  libsane-dev libsane1 sane-utils \
  libjpeg-dev libturbojpeg0-dev libpng-dev \
  libemf2svg-dev \
  libgtest-dev libgmock-dev googletest libbenchmark-dev \
  doxygen lintian devscripts \
  xvfb xauth xdotool x11-utils \
  imagemagick poppler-utils libvips-tools \
  fonts-dejavu-core \
  time
