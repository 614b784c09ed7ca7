#!/usr/bin/env bash
# Draws the product icon: a blue tile with a monitor and a phone mirroring it,
# at 256 pixels, then writes an .ico with 16, 32, 48 and 256 pixel images.
#   usage: make-icon.sh OUTPUT.ico
set -euo pipefail
out=${1:?usage: make-icon.sh OUTPUT.ico}
im=/usr/bin/convert   # ImageMagick (a stand-in of the same name may shadow it on PATH)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$im" -size 256x256 xc:none \
  \( -size 256x256 gradient:'#3AA0FF-#1456D8' \) \
  \( -size 256x256 xc:none -fill white -draw 'roundrectangle 8,8 247,247 52,52' \) \
  -delete 0 -compose DstIn -composite \
  -fill none -stroke '#FFFFFF' -strokewidth 12 -draw 'roundrectangle 44,64 188,160 12,12' \
  -stroke none -fill '#FFFFFF' -draw 'rectangle 100,160 132,182' -draw 'roundrectangle 80,180 152,192 6,6' \
  -fill '#FFFFFF' -draw 'roundrectangle 162,104 216,204 10,10' \
  -fill '#1A63E0' -draw 'roundrectangle 172,118 206,186 4,4' \
  PNG32:"$tmp/256.png"
for s in 16 32 48; do
  "$im" "$tmp/256.png" -filter Lanczos -resize ${s}x${s} PNG32:"$tmp/$s.png"
done
"$im" "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" "$tmp/256.png" "$out"
