#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Draws the three tree icons (16x16 PNG) with ImageMagick. The PNGs are kept
# in the repository; run this again only to change their look.
set -eu
cd "$(dirname "$0")"
# 100: a disk drive, a grey box with a green light.
convert -size 16x16 xc:none -fill '#c0c0c0' -stroke '#404040' -draw 'rectangle 1,5 14,11' \
  -fill '#00c000' -stroke none -draw 'rectangle 11,9 12,10' \
  -stroke '#808080' -draw 'line 3,8 8,8' -strip icon100-drive.png
# 101: an open folder, back sheet and a tilted front.
convert -size 16x16 xc:none -fill '#d4a017' -stroke '#7a5a00' \
  -draw 'polygon 1,3 6,3 7,5 13,5 13,7 1,7' \
  -fill '#ffd75e' -draw 'polygon 1,13 3,7 15,7 13,13' -strip icon101-open-folder.png
# 102: a closed folder.
convert -size 16x16 xc:none -fill '#ffd75e' -stroke '#7a5a00' \
  -draw 'polygon 1,3 6,3 7,5 14,5 14,13 1,13' -strip icon102-closed-folder.png
