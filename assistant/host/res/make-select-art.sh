#!/bin/sh
# Draws the vendor selection's bitmaps, 24-bit: the background
# (SelectBackground.bmp, 357 x 145) and one button per vendor
# (Vendor1.bmp, Vendor2.bmp, 83 x 85), and the program icon
# (Assistant.ico, 16, 32 and 48 pixels). Needs ImageMagick and the
# WenQuanYi font. Run from anywhere; writes next to itself.
set -e
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

# The buttons sit at 39,26 and 141,26 dialog units (58,42 and 211,42 pixels
# at the template font): their frames are drawn behind them.
convert -size 357x145 gradient:'#fbfdff'-'#d7e6f5' \
    \( -size 357x30 gradient:'#2f6fb5'-'#1d4f8c' \) -geometry +0+0 -composite \
    -font "$font" -pointsize 14 -fill '#ffffff' -annotate +12+20 '请选择您使用的USB Key的品牌' \
    -fill none -stroke '#a9c4e2' -strokewidth 1 \
    -draw 'roundrectangle 53,37 146,132 6,6' -draw 'roundrectangle 206,37 299,132 6,6' \
    -fill none -stroke '#6d93bd' -draw 'rectangle 0,0 356,144' \
    -type TrueColor BMP3:"$here/SelectBackground.bmp"

button() {  # out top bottom label glyph-colour
    convert -size 83x85 gradient:"$2"-"$3" \
        -fill '#ffffff' -stroke none -draw 'roundrectangle 22,10 60,44 6,6' \
        -fill "$5" -draw 'roundrectangle 27,15 55,39 4,4' \
        -fill '#ffffff' -draw 'rectangle 36,21 46,33' -fill "$5" -draw 'rectangle 39,24 43,30' \
        -font "$font" -pointsize 14 -fill '#ffffff' -gravity south -annotate +0+12 "$4" \
        -gravity northwest -fill none -stroke '#ffffff' -draw 'rectangle 0,0 82,84' \
        -type TrueColor BMP3:"$1"
}
button "$here/Vendor1.bmp" '#3b86d1' '#1b4f8a' '朔岩泓达' '#1f5fa8'
button "$here/Vendor2.bmp" '#3fae7a' '#1c6a45' '泽沃凯玛' '#237a50'

tmp=$(mktemp -d)
for s in 16 32 48; do
    convert -size 48x48 xc:none \
        -fill '#1f5fa8' -stroke '#0d3566' -strokewidth 2 -draw 'roundrectangle 4,4 44,44 8,8' \
        -fill '#ffffff' -stroke none -draw 'polygon 24,10 36,15 36,25 24,38 12,25 12,15' \
        -fill '#3fae7a' -draw 'polygon 24,15 31,18 31,24 24,32 17,24 17,18' \
        -resize ${s}x${s} "$tmp/icon$s.png"
done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" "$here/Assistant.ico"
rm -rf "$tmp"
