#!/usr/bin/env python3
"""Draws the program's pictures and writes them into resources/.

    draw.py [--preview DIR]

Writes program.ico, state_normal.ico, state_disabled.ico, state_driver.ico,
logo.bmp and hand.cur. With --preview it also writes each picture as a 400% PNG
into DIR, shown on a light and a dark background so that mask faults stand out.
Standard library only: the file formats are assembled here byte by byte.
"""
import argparse
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
OUT = HERE.parent

# The standard 16-colour palette, in index order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, OLIVE, SILVER, GREY, RED, YELLOW, WHITE = 0, 1, 3, 7, 8, 9, 11, 15


# ---------------------------------------------------------------------------
# Pixel geometry: shapes are sets of (x, y) pixels.

def rect(x0, y0, x1, y1):
    """Pixels x0..x1, y0..y1 inclusive."""
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


class Picture:
    """A palette picture with its own transparency: None marks a transparent pixel."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.px = [[None] * width for _ in range(height)]

    def paint(self, pixels, colour):
        for x, y in pixels:
            if 0 <= x < self.width and 0 <= y < self.height:
                self.px[y][x] = colour

    def rows(self, text, legend, left=0, top=0):
        """Paints ASCII art: one string per row, '.' left as it is."""
        for dy, line in enumerate(text):
            for dx, ch in enumerate(line):
                if ch != '.':
                    self.px[top + dy][left + dx] = legend[ch]


# ---------------------------------------------------------------------------
# The program icon: a trident of a shaft with a round end and an arrowhead, an
# upper branch ending in a knob and a lower branch ending in a square. Each size
# lists the grey body in whole pixels; the black outline is the ring of pixels
# around the body, so that every stroke keeps a one-pixel outline at every size.

def line(x0, y0, x1, y1, thick=1):
    """A straight run of pixels from (x0, y0) to (x1, y1), thick pixels high."""
    n = max(abs(x1 - x0), abs(y1 - y0))
    return {(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n) + k)
            for i in range(n + 1) for k in range(thick)}


def knob(cx, cy, r):
    """A round blob of pixels centred on the pixel corner or centre (cx, cy)."""
    return {(x, y) for x in range(int(cx - r) - 1, int(cx + r) + 2)
            for y in range(int(cy - r) - 1, int(cy + r) + 2)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r}


def arrow(x, cy, half):
    """A right-pointing arrowhead whose back edge is column x, 2*half+1 pixels high."""
    return {(x + i, cy + d) for i in range(half + 1) for d in range(-(half - i), half - i + 1)}


def grow(shape):
    """shape and every pixel beside, above or below it: a thin outline that keeps
    curves round and runs diagonally along slanted strokes."""
    return {(x + dx, y + dy) for x, y in shape for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1))}


# body: the grey pixels; corners: outline pixels that the thin outline leaves out,
# added so that the square keeps square corners; sparkle: white glints.
TRIDENT = {
    16: dict(
        body=(knob(2.5, 8.5, 1.5) | line(2, 8, 12, 8) | arrow(12, 8, 2)
              | line(5, 7, 8, 4) | knob(10.5, 2.5, 1.5)
              | line(6, 9, 8, 11) | rect(8, 12, 10, 14)),
        corners=[(7, 15), (11, 15), (11, 11)],
        sparkle=[(9, 1)]),
    32: dict(
        body=(knob(4.0, 16.0, 3.0) | line(4, 15, 24, 15, 2) | arrow(25, 15, 5) | arrow(25, 16, 5)
              | line(8, 14, 14, 8, 3) | knob(18.0, 8.0, 3.9)
              | line(11, 17, 16, 22, 3) | rect(16, 21, 21, 26)),
        corners=[(15, 27), (22, 27), (22, 20)],
        sparkle=[(16, 5), (17, 5), (16, 6), (2, 14), (3, 14)]),
    48: dict(
        body=(knob(6.5, 23.5, 4.6) | line(6, 22, 37, 22, 3) | arrow(37, 23, 8)
              | line(12, 21, 21, 12, 4) | knob(26.5, 13.0, 5.2)
              | line(17, 25, 24, 32, 4) | rect(24, 31, 32, 39)),
        corners=[(23, 40), (33, 40), (33, 30)],
        sparkle=[(24, 9), (25, 9), (24, 10), (4, 20), (5, 20)]),
}


def trident(size):
    g = TRIDENT[size]
    body = g['body']
    pic = Picture(size, size)
    pic.paint(grow(body) - body, BLACK)
    pic.paint(g.get('corners', []), BLACK)
    pic.paint(body, GREY)
    # Light from above: the top row of every stroke at least two pixels deep.
    pic.paint({(x, y) for x, y in body if (x, y - 1) not in body and (x, y + 1) in body}, SILVER)
    pic.paint(g['sparkle'], WHITE)
    return pic


# ---------------------------------------------------------------------------
# The state icons: a cable plug, alone or with a badge over its lower half.

PLUG = [
    '....KKKKKKKK....',
    '....KWSSSSSK....',
    '....KSYKYKGK....',
    '....KSYKYKGK....',
    '....KSOKOKGK....',
    '....KSSSSSGK....',
    '..KKKKKKKKKKKK..',
    '..KSSSSSSSSSGK..',
    '..KSGGGGGGGGGK..',
    '..KSGGGGGGGGGK..',
    '..KSGGGGGGGGGK..',
    '...KSGGGGGGGK...',
    '....KKSGGGKK....',
    '......KSGK......',
    '......KSGK......',
    '......KSGK......',
]
PLUG_LEGEND = {'K': BLACK, 'G': GREY, 'S': SILVER, 'W': WHITE, 'Y': YELLOW, 'O': OLIVE}


def badge_cross():
    """A red X over the lower half, outlined in black."""
    body = line(4, 8, 11, 15) | line(5, 8, 12, 15) | line(11, 8, 4, 15) | line(12, 8, 5, 15)
    return body, {p: RED for p in body}


def badge_warning():
    """A yellow disc with a black exclamation mark."""
    body = knob(10.5, 10.5, 4.6)
    # Olive along the lower right rim rounds the disc off.
    colours = {(x, y): YELLOW if (x + 1, y + 1) in body else OLIVE for x, y in body}
    colours.update({(10, y): BLACK for y in (7, 8, 9, 10, 11, 13)})
    return body, colours


def plug(badge=None):
    pic = Picture(16, 16)
    pic.rows(PLUG, PLUG_LEGEND)
    if badge:
        body, colours = badge()
        pic.paint(grow(body) - body, BLACK)
        for p, c in colours.items():
            pic.paint([p], c)
    return pic


# ---------------------------------------------------------------------------
# The hand cursor: index finger raised, fingertip at (12, 4).

HAND = [
    '................................',
    '................................',
    '................................',
    '................................',
    '...........KKK..................',
    '..........KWWWK.................',
    '..........KWWWK.................',
    '..........KWWWK.................',
    '..........KWWWK.................',
    '..........KWWWK.................',
    '..........KWWWKKKK..............',
    '..........KWWWKWWWKKKK..........',
    '..........KWWWKWWWKWWWK.........',
    '..........KWWWKWWWKWWWKKK.......',
    '..........KWWWKWWWKWWWKWWK......',
    '......KKK.KWWWKWWWKWWWKWWK......',
    '.....KWWWKKWWWKWWWKWWWKWWK......',
    '.....KWWWWKWWWWWWWWWWWWWWK......',
    '......KWWWWWWWWWWWWWWWWWWK......',
    '.......KWWWWWWWWWWWWWWWWWK......',
    '........KWWWWWWWWWWWWWWWWK......',
    '.........KWWWWWWWWWWWWWWK.......',
    '..........KWWWWWWWWWWWWWK.......',
    '..........KWWWWWWWWWWWWWK.......',
    '...........KWWWWWWWWWWWK........',
    '...........KWWWWWWWWWWWK........',
    '...........KKKKKKKKKKKKK........',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
]
HAND_HOT_SPOT = (12, 4)


def hand():
    pic = Picture(32, 32)
    pic.rows(HAND, {'K': BLACK, 'W': WHITE})
    return pic


# ---------------------------------------------------------------------------
# The logo: "Uvantic" in a heavy geometric face, drawn as exact outlines and
# sampled 8x8 per pixel so that curves get soft edges and stems stay sharp.

LOGO_SIZE = (109, 26)
LOGO_BLUE = (0x00, 0x4F, 0xB8)
LOGO_ACCENT = (0x1E, 0x9B, 0xF0)
BASE, XTOP, CAP, STEM = 23.0, 9.0, 3.0, 4.0


def in_rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def in_ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 < r_out * r_out


def in_polygon(points):
    def inside(px, py):
        hit = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: shape(x, y) and not cut(x, y)


def only(shape, region):
    return lambda x, y: shape(x, y) and region(x, y)


def glyph_u(x):
    w = 16.0
    r = w / 2
    cy = BASE - r
    return union(in_rect(x, CAP, x + STEM, cy), in_rect(x + w - STEM, CAP, x + w, cy),
                 only(in_ring(x + r, cy, r, r - STEM), in_rect(x, cy, x + w, BASE))), w


def glyph_v(x):
    w = 15.0
    outer = in_polygon([(x, XTOP), (x + w, XTOP), (x + w / 2 + 2.2, BASE), (x + w / 2 - 2.2, BASE)])
    inner = in_polygon([(x + 4.6, XTOP - 1), (x + w - 4.6, XTOP - 1), (x + w / 2, BASE - 5.5)])
    return minus(outer, inner), w


def glyph_a(x):
    w = 15.0
    r = (BASE - XTOP) / 2
    return union(in_ring(x + r, XTOP + r, r, r - STEM), in_rect(x + w - STEM, XTOP, x + w, BASE)), w


def glyph_n(x):
    w = 14.0
    r = w / 2
    cy = XTOP + r
    return union(in_rect(x, XTOP, x + STEM, BASE), in_rect(x + w - STEM, cy, x + w, BASE),
                 only(in_ring(x + r, cy, r, r - STEM), in_rect(x, XTOP, x + w, cy))), w


def glyph_t(x):
    w = 10.0
    return union(in_rect(x + 2, CAP + 2, x + 2 + STEM, BASE),
                 in_rect(x, XTOP, x + w, XTOP + 3)), w


def glyph_i(x):
    return in_rect(x, XTOP, x + STEM, BASE), STEM


def glyph_c(x):
    w = 14.0
    r = (BASE - XTOP) / 2
    cx, cy = x + r, XTOP + r
    return minus(in_ring(cx, cy, r, r - STEM), in_rect(cx + 1.5, cy - 2.5, x + w + 1, cy + 2.5)), w


def logo_shapes():
    """The word's shape and the accent's shape, as point predicates."""
    glyphs = [glyph_u, glyph_v, glyph_a, glyph_n, glyph_t, glyph_i, glyph_c]
    gaps = [2, 2, 3, 2, 3, 3]
    x, parts, i_left = 1.0, [], 0.0
    for n, make in enumerate(glyphs):
        shape, w = make(x)
        parts.append(shape)
        if make is glyph_i:
            i_left = x
        x += w + (gaps[n] if n < len(gaps) else 0)
    # The accent sits where the i's dot would be, leaning forward.
    accent = in_polygon([(i_left + 0.5, 7.5), (i_left + 3.5, 2.0), (i_left + 7.0, 2.0),
                         (i_left + 3.5, 7.5)])
    return union(*parts), accent


def logo():
    """Premultiplied RGBA rows of the logo."""
    word, accent = logo_shapes()
    w, h = LOGO_SIZE
    n = 8
    offsets = [(i + 0.5) / n for i in range(n)]
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            a_word = sum(word(x + u, y + v) for u in offsets for v in offsets) / (n * n)
            a_accent = sum(accent(x + u, y + v) for u in offsets for v in offsets) / (n * n)
            alpha = min(1.0, a_word + a_accent)
            rgb = [c1 * a_word + c2 * a_accent for c1, c2 in zip(LOGO_BLUE, LOGO_ACCENT)]
            row.append(tuple(round(c) for c in rgb) + (round(alpha * 255),))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# File formats.

def _pad4(data):
    return data + b'\0' * (-len(data) % 4)


def _dib_rows(width, height, row_bytes):
    """Joins rows bottom-up, each padded to four bytes, as a DIB stores them."""
    return b''.join(_pad4(row_bytes(y)) for y in reversed(range(height)))


def _pack_bits(bits, per_pixel):
    out, acc, used = bytearray(), 0, 0
    for b in bits:
        acc = (acc << per_pixel) | b
        used += per_pixel
        if used == 8:
            out.append(acc)
            acc, used = 0, 0
    if used:
        out.append(acc << (8 - used))
    return bytes(out)


def icon_image(pic, bits):
    """One icon or cursor image: header, palette, colour bits and AND mask."""
    colours = PALETTE if bits == 4 else [PALETTE[BLACK], PALETTE[WHITE]]

    def index(c):
        if c is None:
            return 0
        return c if bits == 4 else (1 if c == WHITE else 0)

    xor = _dib_rows(pic.width, pic.height,
                    lambda y: _pack_bits([index(c) for c in pic.px[y]], bits))
    mask = _dib_rows(pic.width, pic.height,
                     lambda y: _pack_bits([1 if c is None else 0 for c in pic.px[y]], 1))
    header = struct.pack('<IiiHHIIiiII', 40, pic.width, pic.height * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, len(colours), 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colours)
    return header + palette + xor + mask


def icon_file(pictures, bits=4, hot_spot=None):
    """An .ico file, or a .cur file when hot_spot is given."""
    images = [icon_image(p, bits) for p in pictures]
    kind = 2 if hot_spot else 1
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for pic, image in zip(pictures, images):
        planes, bit_count = hot_spot if hot_spot else (1, bits)
        out += struct.pack('<BBBBHHII', pic.width % 256, pic.height % 256,
                           (1 << bits) % 256, 0, planes, bit_count, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def bmp_file(rows):
    """A 32-bit bottom-up DIB with premultiplied alpha in its fourth byte."""
    h, w = len(rows), len(rows[0])
    pixels = _dib_rows(w, h, lambda y: b''.join(struct.pack('<BBBB', b, g, r, a)
                                                for r, g, b, a in rows[y]))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def png_file(rows):
    """An 8-bit RGB PNG of rows of (r, g, b)."""
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack(
            '>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    h, w = len(rows), len(rows[0])
    raw = b''.join(b'\0' + bytes(c for px in row for c in px) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


# ---------------------------------------------------------------------------
# Previews: each picture at 400% on white and on a dark blue, side by side.

BACKGROUNDS = [(0xFF, 0xFF, 0xFF), (0x3A, 0x6E, 0xA5)]


def preview(rgba_rows, scale=4, gap=8):
    """rgba_rows hold straight (not premultiplied) alpha."""
    h, w = len(rgba_rows), len(rgba_rows[0])
    out = []
    for y in range(h * scale):
        row = []
        for n, bg in enumerate(BACKGROUNDS):
            if n:
                row += [(0xE0, 0xE0, 0xE0)] * gap
            for x in range(w * scale):
                r, g, b, a = rgba_rows[y // scale][x // scale]
                row.append(tuple(round(c * a / 255 + k * (255 - a) / 255)
                                 for c, k in zip((r, g, b), bg)))
        out.append(row)
    return out


def picture_rgba(pic):
    return [[(0, 0, 0, 0) if c is None else PALETTE[c] + (255,) for c in row] for row in pic.px]


def unpremultiply(rows):
    return [[(0, 0, 0, 0) if a == 0 else (round(r * 255 / a), round(g * 255 / a),
                                           round(b * 255 / a), a)
             for r, g, b, a in row] for row in rows]


def side_by_side(pics):
    """Puts pictures of different heights in one row, two transparent pixels apart."""
    h = max(p.height for p in pics)
    sheet = Picture(sum(p.width for p in pics) + 2 * (len(pics) - 1), h)
    x = 0
    for p in pics:
        for y in range(p.height):
            for dx in range(p.width):
                sheet.px[y][x + dx] = p.px[y][dx]
        x += p.width + 2
    return sheet


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--preview', metavar='DIR', type=Path,
                        help='also write 400%% PNG previews into DIR')
    args = parser.parse_args()

    icons = [trident(s) for s in (16, 32, 48)]
    states = {'state_normal': plug(), 'state_disabled': plug(badge_cross),
              'state_driver': plug(badge_warning)}
    cursor = hand()
    logo_rows = logo()

    (OUT / 'program.ico').write_bytes(icon_file(icons))
    for name, pic in states.items():
        (OUT / f'{name}.ico').write_bytes(icon_file([pic]))
    (OUT / 'hand.cur').write_bytes(icon_file([cursor], bits=1, hot_spot=HAND_HOT_SPOT))
    (OUT / 'logo.bmp').write_bytes(bmp_file(logo_rows))

    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        sheets = {'program': side_by_side(icons), 'states': side_by_side(list(states.values())),
                  'hand': cursor}
        for name, pic in sheets.items():
            (args.preview / f'{name}.png').write_bytes(png_file(preview(picture_rgba(pic))))
        (args.preview / 'logo.png').write_bytes(png_file(preview(unpremultiply(logo_rows))))


if __name__ == '__main__':
    main()
