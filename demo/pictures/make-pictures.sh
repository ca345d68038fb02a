#!/bin/sh
# Draws the package's pictures and icons with ImageMagick at build time:
#   make-pictures.sh <convert> <output folder>
# English/Title.bmp (title band, 554 x 65), English/Left.bmp (side band, 185 x 318),
# English/Application.ico (the uninstall entry's icon) and the payload's icons
# Ostrel.ico, Uninstall.ico and Manual.ico. Classic 24-bit BMPs, as every reader of
# BMP files takes them.
set -eu
convert=$1
out=$2
mkdir -p "$out/English" "$out/icons"
blue='#1f5f9e'

"$convert" -size 65x554 gradient:'#cfe2f5-#ffffff' -rotate -90 \
  -fill "$blue" -draw 'circle 516,32 516,10' -fill white -draw 'circle 516,32 516,20' \
  -fill '#7fb2e5' -draw 'rectangle 20,52 470,55' \
  -type TrueColor BMP3:"$out/English/Title.bmp"

"$convert" -size 185x318 gradient:'#16426e-#6fa8dc' \
  -fill none -stroke '#ffffff' -strokewidth 10 -draw 'circle 92,120 92,70' \
  -stroke '#a9cdf0' -strokewidth 4 -draw 'circle 92,120 92,40' \
  -stroke none -fill '#ffffff' -draw 'rectangle 40,250 145,254' \
  -type TrueColor BMP3:"$out/English/Left.bmp"

ring() {
  "$convert" -size 48x48 xc:none -fill "$1" -draw 'circle 24,24 24,2' -fill white -draw "$2" \
    -define icon:auto-resize=48,32,16 "$3"
}
ring "$blue" 'circle 24,24 24,13' "$out/icons/Ostrel.ico"
ring '#b03a2e' 'rectangle 11,20 37,28' "$out/icons/Uninstall.ico"
ring '#2e7d32' 'rectangle 15,12 33,36' "$out/icons/Manual.ico"
cp "$out/icons/Ostrel.ico" "$out/English/Application.ico"
