#!/usr/bin/env python3
"""Draws the tool bar icons (16 x 15 pixels) and the program icon into res/icons/.

The icons are pixel maps written below, one character a pixel; the program icon is a
sheet of paper with ruled lines, drawn at each size. Run it again after changing a map;
the PNG files it writes are committed.
"""
import os
import struct
import sys
import zlib

PALETTE = {
    '.': None,
    'k': (0, 0, 0),
    'g': (128, 128, 128),
    'G': (192, 192, 192),
    'w': (255, 255, 255),
    'y': (240, 200, 32),
    'Y': (200, 150, 40),
    'b': (0, 64, 192),
    'B': (140, 180, 255),
    'r': (208, 32, 32),
    'n': (32, 150, 48),
}

ICONS = {
    'open': [
        "................",
        "................",
        "................",
        "...kkkk.........",
        "..kyyyyk........",
        ".kyyyyyykkkkkk..",
        ".kyyyyyyyyyyyyk.",
        ".kyyyykkkkkkkkkk",
        ".kyyykYYYYYYYYYk",
        ".kyykYYYYYYYYYk.",
        ".kykYYYYYYYYYk..",
        ".kkYYYYYYYYYk...",
        ".kkkkkkkkkkk....",
        "................",
        "................",
    ],
    'reload': [
        "................",
        "......kkkk......",
        "....kknnnnkk.k..",
        "...knnkkkknnknk.",
        "..knk......knnk.",
        "..knk.....knnnk.",
        ".knk......kkkkk.",
        ".knk............",
        ".knk........knk.",
        ".kkkkk......knk.",
        ".knnnk.....knk..",
        ".knnk......knk..",
        ".knknkkkknnk....",
        "..k.kknnnnkk....",
        "......kkkk......",
    ],
    'save': [
        "................",
        ".kkkkkkkkkkkkk..",
        ".kbkGGGGGGGkbk..",
        ".kbkGGGGGGGkbk..",
        ".kbkGGGGGGGkbk..",
        ".kbkGGGGGGGkbk..",
        ".kbbkkkkkkkbbk..",
        ".kbbbbbbbbbbbk..",
        ".kbbkkkkkkkbbk..",
        ".kbbkGGkwwkbbk..",
        ".kbbkGGkwwkbbk..",
        ".kbbkGGkwwkbbk..",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
    ],
    'cut': [
        "................",
        "....k.....k.....",
        "....k.....k.....",
        "....kk...kk.....",
        ".....k...k......",
        ".....kk.kk......",
        "......kkk.......",
        ".......k........",
        "......r.r.......",
        ".....r...r......",
        "..rrr.....rrr...",
        ".r...r...r...r..",
        ".r...r...r...r..",
        ".r...r...r...r..",
        "..rrr.....rrr...",
    ],
    'copy': [
        "................",
        "kkkkkkk.........",
        "kwwwwwk.........",
        "kwkkkwk.........",
        "kwwwwwk.........",
        "kwkkkkkkkkkkkk..",
        "kwwwwkwwwwwwwk..",
        "kwkkkkwkkkkkwk..",
        "kwwwwkwwwwwwwk..",
        "kwkkkkwkkkkkwk..",
        "kkkkkkwwwwwwwk..",
        ".....kwkkkkkwk..",
        ".....kwwwwwwwk..",
        ".....kwkkkkkwk..",
        ".....kkkkkkkkk..",
    ],
    'paste': [
        "................",
        ".....kkkk.......",
        ".kkkkGGGGkkkk...",
        ".kYYkkkkkkYYk...",
        ".kYYYYYYYYYYk...",
        ".kYYYYkkkkkkkkk.",
        ".kYYYYkwwwwwwwk.",
        ".kYYYYkwkkkkkwk.",
        ".kYYYYkwwwwwwwk.",
        ".kYYYYkwkkkkkwk.",
        ".kYYYYkwwwwwwwk.",
        ".kYYYYkwkkkkkwk.",
        ".kYYYYkwwwwwwwk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
    'clipimage': [
        "................",
        ".....kkkk.......",
        ".kkkkGGGGkkkk...",
        ".kYYkkkkkkYYk...",
        ".kYYYYYYYYYYk...",
        ".kYYYYkkkkkkkkk.",
        ".kYYYYkBBBBByBk.",
        ".kYYYYkBBBBBBBk.",
        ".kYYYYkBBBnBBBk.",
        ".kYYYYkBBnnnBBk.",
        ".kYYYYkBnnnnnBk.",
        ".kYYYYknnnnnnnk.",
        ".kYYYYknnnnnnnk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
    'color': [
        "................",
        ".kkkkkk.kkkkkk..",
        ".krrrrk.knnnnk..",
        ".krrrrk.knnnnk..",
        ".krrrrk.knnnnk..",
        ".krrrrk.knnnnk..",
        ".kkkkkk.kkkkkk..",
        "................",
        ".kkkkkk.kkkkkk..",
        ".kbbbbk.kyyyyk..",
        ".kbbbbk.kyyyyk..",
        ".kbbbbk.kyyyyk..",
        ".kbbbbk.kyyyyk..",
        ".kkkkkk.kkkkkk..",
        "................",
    ],
    'font': [
        "................",
        ".......k........",
        "......kkk.......",
        "......k.kk......",
        ".....kk.kk......",
        ".....k...kk.....",
        "....kk...kk.....",
        "....kkkkkkk.....",
        "...kk.....kk....",
        "...k......kk....",
        "..kk.......kk...",
        ".kkkk.....kkkk..",
        "................",
        "................",
        "................",
    ],
    'image': [
        "................",
        "kkkkkkkkkkkkkkk.",
        "kBBBBBBBBBByyBk.",
        "kBBBBBBBBBByyBk.",
        "kBBBBBBBBBBBBBk.",
        "kBBBBnBBBBBBBBk.",
        "kBBBnnnBBBBBBBk.",
        "kBBnnnnnBBBnBBk.",
        "kBnnnnnnnBnnnBk.",
        "knnnnnnnnnnnnnk.",
        "knnnnnnnnnnnnnk.",
        "kkkkkkkkkkkkkkk.",
        "................",
        "................",
        "................",
    ],
    'call': [
        "................",
        ".kkkkkkk........",
        ".kwwwwwkk.......",
        ".kwkkkwkwk......",
        ".kwwwwwkkkk.....",
        ".kwkkkkkwwk.....",
        ".kwwwwwwwwk.....",
        ".kwkkkkwwwk..r..",
        ".kwwwwwwwwk..rr.",
        ".kwkkkkrrrrrrrrr",
        ".kwwwwwwwwk..rr.",
        ".kwkkkkwwwk..r..",
        ".kwwwwwwwwk.....",
        ".kkkkkkkkkk.....",
        "................",
    ],
    'preview': [
        "................",
        "kkkkkkkkk.......",
        "kwwwwwwwkk......",
        "kwkkkkkwkwk.....",
        "kwwwwwwwkkkk....",
        "kwkkkkkkkkwk....",
        "kwwwwwkkkkwk....",
        "kwkkkkBBBBkk....",
        "kwwwwkBBBBkk....",
        "kwkkkkBBBBkk....",
        "kwwwwwkkkkkk....",
        "kwwwwwwwwwkkk...",
        "kwwwwwwwwwkkkk..",
        "kkkkkkkkkkk.kkk.",
        ".............kk.",
    ],
    'print': [
        "................",
        "....kkkkkkk.....",
        "....kwwwwwk.....",
        "....kwkkkwk.....",
        "..kkkkkkkkkkk...",
        ".kGGGGGGGGGGGk..",
        ".kGGGGGGGGGnGk..",
        ".kGGGGGGGGGGGk..",
        ".kgggggggggggk..",
        ".kGkkkkkkkkkGk..",
        ".kkkwwwwwwwkkk..",
        "...kwkkkkwk.....",
        "...kwwwwwwk.....",
        "...kkkkkkkk.....",
        "................",
    ],
    'printsetup': [
        "................",
        ".kkkkkkkkkkkkk..",
        ".kwwwwwwwwwwwk..",
        ".kwwbbwwwwwwwk..",
        ".kggbbgggggggk..",
        ".kwwbbwwwwwwwk..",
        ".kwwwwwwwwwwwk..",
        ".kwwwwwwwbbwwk..",
        ".kgggggggbbggk..",
        ".kwwwwwwwbbwwk..",
        ".kwwwwwwwwwwwk..",
        ".kwwwwbbwwwwwk..",
        ".kggggbbgggggk..",
        ".kwwwwbbwwwwwk..",
        ".kkkkkkkkkkkkk..",
    ],
    'errorcheck': [
        "................",
        ".......kk.......",
        "......kyyk......",
        "......kyyk......",
        ".....kyyyyk.....",
        ".....kykkyk.....",
        "....kyykkyyk....",
        "....kyykkyyk....",
        "...kyyykkyyyk...",
        "...kyyykkyyyk...",
        "..kyyyyyyyyyyk..",
        "..kyyyykkyyyyk..",
        ".kyyyyykkyyyyyk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
    'quickref': [
        "................",
        ".kkkkkkkkkkkkk..",
        ".kbbbbbbbbbbbk..",
        ".kbwwwwwwwwwbk..",
        ".kbwkkkkkkkwbk..",
        ".kbwwwwwwwwwbk..",
        ".kbwkkkkkwwwbk..",
        ".kbwwwwwwwwwbk..",
        ".kbbbbbbbbbbbk..",
        ".kbbbbbbbbbbbk..",
        ".kbbbbbbbbbbbk..",
        ".kbbbbbbbbbbbk..",
        ".kkkkkkkkkkkkk..",
        ".kwwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
    ],
    'help': [
        "................",
        ".....kkkkk......",
        "...kkbbbbbkk....",
        "..kbbbwwwbbbk...",
        ".kbbbwbbbwbbbk..",
        ".kbbbbbbbwbbbk..",
        ".kbbbbbbwbbbbk..",
        ".kbbbbbwbbbbbk..",
        ".kbbbbbwbbbbbk..",
        ".kbbbbbbbbbbbk..",
        "..kbbbbwbbbbk...",
        "...kkbbbbbkk....",
        ".....kkkkk......",
        "................",
        "................",
    ],
}


def png(width, height, pixels):
    """PNG bytes of RGBA rows (lists of 4-tuples)."""
    raw = b''.join(b'\x00' + b''.join(struct.pack('4B', *p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def from_map(name, rows):
    if len(rows) != 15 or any(len(r) != 16 for r in rows):
        sys.exit(f'{name}: a tool bar icon is 16 x 15 pixels')
    out = []
    for row in rows:
        line = []
        for ch in row:
            colour = PALETTE[ch]
            line.append((0, 0, 0, 0) if colour is None else colour + (255,))
        out.append(line)
    return out


def program_icon(size):
    """A sheet of paper with a blue heading, ruled lines and a red margin rule."""
    s = size / 32.0
    clear = (0, 0, 0, 0)
    px = [[clear] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(0, int(y0 * s)), min(size, max(int(y0 * s) + 1, int(y1 * s)))):
            for x in range(max(0, int(x0 * s)), min(size, max(int(x0 * s) + 1, int(x1 * s)))):
                px[y][x] = colour + (255,)

    fill(4, 1, 28, 31, (64, 64, 64))        # outline
    fill(5, 2, 27, 30, (255, 255, 255))     # sheet
    fill(7, 4, 25, 8, (0, 64, 192))         # heading band
    for y in range(11, 29, 3):              # ruled lines
        fill(7, y, 25, y + 1 if size >= 32 else y + 1.01, (128, 160, 208))
    fill(11, 10, 11.99 if size >= 32 else 12, 29, (208, 32, 32))  # margin rule
    return px


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res', 'icons')
    os.makedirs(os.path.join(root, 'app'), exist_ok=True)
    for name, rows in ICONS.items():
        with open(os.path.join(root, name + '.png'), 'wb') as f:
            f.write(png(16, 15, from_map(name, rows)))
    for size in (16, 32, 48, 128):
        with open(os.path.join(root, 'app', f'zentova-{size}.png'), 'wb') as f:
            f.write(png(size, size, program_icon(size)))
    with open(os.path.join(root, 'zentova.png'), 'wb') as f:
        f.write(png(48, 48, program_icon(48)))


if __name__ == '__main__':
    main()
