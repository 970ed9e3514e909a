#!/bin/sh
# Draws the pop-up's background (PopupBackground.bmp, 181 x 116, 24-bit) and
# its hand cursor (PopupHand.cur, 32 x 32, monochrome, hot spot on the finger).
# Needs ImageMagick and python3. Run from anywhere; writes next to itself.
set -e
here=$(cd "$(dirname "$0")" && pwd)

convert -size 181x116 gradient:'#f4f9ff'-'#c9def3' \
    \( -size 181x30 gradient:'#ffffff'-'#dbe9f7' \) -geometry +0+0 -composite \
    -fill '#9dbfe0' -draw 'rectangle 0,30 180,31' \
    -fill '#4f86c0' -draw 'roundrectangle 8,8 23,23 3,3' \
    -fill '#ffffff' -draw 'circle 13,15 16,15' \
    -fill '#ffffff' -draw 'rectangle 16,14 21,16' \
    -fill '#ffffff' -draw 'rectangle 19,16 20,19' \
    -fill none -stroke '#5b8fc7' -draw 'rectangle 0,0 180,115' \
    -type TrueColor BMP3:"$here/PopupBackground.bmp"

python3 - "$here/PopupHand.cur" <<'PY'
import struct, sys
art = [
    "......##........",
    ".....#..#.......",
    ".....#..#.......",
    ".....#..#.......",
    ".....#..###.....",
    ".....#..#..###..",
    ".....#..#..#..##",
    "..##.#..#..#..#.#",
    ".#..##........#..#",
    ".#...#...........#",
    "..#..............#",
    "..#..............#",
    "...#.............#",
    "...#............#.",
    "....#...........#.",
    "....#..........#..",
    ".....#.........#..",
    ".....##########...",
]
W = H = 32
outline = [[False] * W for _ in range(H)]
inside = [[False] * W for _ in range(H)]
for y, row in enumerate(art):
    for x, c in enumerate(row):
        if c == '#':
            outline[y][x] = True
# Fill between the outline's left and right edges, row by row.
for y, row in enumerate(art):
    xs = [x for x, c in enumerate(row) if c == '#']
    if len(xs) >= 2:
        for x in range(xs[0] + 1, xs[-1]):
            if not outline[y][x]:
                inside[y][x] = True
def mask_rows(pixel):
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        bits = 0
        for x in range(W):
            if pixel(x, y):
                bits |= 1 << (31 - x)
        rows.append(struct.pack('>I', bits))
    return b''.join(rows)
# XOR 1 = white, AND 1 = transparent: outline black (0,0), inside white (1,0).
xor = mask_rows(lambda x, y: inside[y][x])
andm = mask_rows(lambda x, y: not (outline[y][x] or inside[y][x]))
header = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 2)
palette = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
image = header + palette + xor + andm
hot_x, hot_y = 6, 0
entry = struct.pack('<BBBBHHII', W, H, 2, 0, hot_x, hot_y, len(image), 6 + 16)
open(sys.argv[1], 'wb').write(struct.pack('<HHH', 0, 2, 1) + entry + image)
PY
