#!/usr/bin/env bash
# Draws the program icon (a USB key with a shield) at 16, 32 and 48 pixels.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
for s in 16 32 48; do
  magick_cmd=convert
  $magick_cmd -size 48x48 xc:none \
    -fill '#1f5fa8' -stroke '#0d3566' -strokewidth 2 -draw 'roundrectangle 6,14 34,34 5,5' \
    -fill '#c9d3de' -stroke '#6b7785' -strokewidth 2 -draw 'rectangle 34,18 44,30' \
    -fill '#6b7785' -stroke none -draw 'rectangle 37,21 39,23' -draw 'rectangle 37,25 39,27' \
    -fill '#f2b632' -stroke '#9c6b00' -strokewidth 1 -draw 'polygon 20,17 28,20 28,26 20,31 12,26 12,20' \
    -fill '#ffffff' -stroke none -draw 'rectangle 19,21 21,27' \
    -resize ${s}x${s} "$tmp/icon$s.png"
done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" ZVApp.ico
rm -rf "$tmp"
