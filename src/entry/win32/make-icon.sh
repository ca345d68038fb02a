#!/bin/sh
# Draws Setup.exe's own icon (48, 32 and 16 pixels) with ImageMagick at build time:
#   make-icon.sh <convert> <output .ico>
set -eu
"$1" -size 48x48 xc:none -fill '#1f5f9e' -draw 'roundrectangle 3,3 44,44 8,8' \
  -fill white -draw 'polygon 14,20 34,20 24,36' -draw 'rectangle 20,8 28,21' \
  -define icon:auto-resize=48,32,16 "$2"
