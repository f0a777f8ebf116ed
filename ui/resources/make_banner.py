#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the window's banner: the word "Orvane" beside a small Pascal's
triangle whose odd entries are filled dots, written as a 1-bit BMP.

    make_banner.py [OUTPUT]     writes the picture (default: banner.bmp here)
    make_banner.py --check FILE fails unless FILE is exactly what this draws

The picture is drawn from simple shapes, so the script needs nothing beyond
the standard library and always gives the same bytes.
"""
import math
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 286, 48
ROW_BYTES = 36  # 286 bits rounded up to a multiple of four bytes
BLACK, WHITE = 0, 1  # palette indexes

ink = [[False] * WIDTH for _ in range(HEIGHT)]


def paint(test):
    """Inks every pixel whose centre satisfies test(x, y)."""
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if test(x + 0.5, y + 0.5):
                ink[y][x] = True


def ring(cx, cy, rx, ry, thick, keep=lambda angle: True):
    """An elliptic ring; keep(angle) chooses which part (0 = right, clockwise)."""
    def test(x, y):
        dx, dy = (x - cx) / rx, (y - cy) / ry
        outer = dx * dx + dy * dy <= 1
        ix, iy = (x - cx) / (rx - thick), (y - cy) / (ry - thick)
        inner = ix * ix + iy * iy < 1
        return outer and not inner and keep(math.degrees(math.atan2(y - cy, x - cx)) % 360)
    paint(test)


def stroke(x0, y0, x1, y1, width):
    """A straight pen stroke with round ends."""
    def test(x, y):
        vx, vy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy)))
        px, py = x0 + t * vx - x, y0 + t * vy - y
        return px * px + py * py <= (width / 2) ** 2
    paint(test)


def box(x0, y0, x1, y1):
    paint(lambda x, y: x0 <= x < x1 and y0 <= y < y1)


def dot(cx, cy, r, filled):
    if filled:
        paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)
    else:
        ring(cx, cy, r, r, 1.2)


# Lettering: cap height 30, x-height 21, baseline at y = 39, strokes 4 wide.
BASE, XTOP, PEN = 39, 18, 4


def letter_o(left):
    ring(left + 13, 24, 13, 15, PEN)
    return left + 26


def letter_r(left):
    box(left, XTOP, left + PEN, BASE)
    ring(left + 11, XTOP + 9, 9, 9, PEN, lambda a: 190 <= a <= 315)
    return left + 16


def letter_v(left):
    stroke(left + 2, XTOP + 2, left + 9, BASE - 2, PEN + 0.5)
    stroke(left + 16, XTOP + 2, left + 9, BASE - 2, PEN + 0.5)
    return left + 18


def letter_a(left):
    ring(left + 9, BASE - 8.5, 9, 8.5, PEN)
    ring(left + 9, XTOP + 7, 8, 7, PEN, lambda a: 190 <= a <= 360)
    box(left + 14, XTOP + 7, left + 18, BASE)
    return left + 18


def letter_n(left):
    box(left, XTOP, left + PEN, BASE)
    ring(left + 9, XTOP + 9, 9, 9, PEN, lambda a: 180 <= a <= 360)
    box(left + 14, XTOP + 9, left + 18, BASE)
    return left + 18


def letter_e(left):
    cy = XTOP + 10.5
    ring(left + 9.5, cy, 9.5, 10.5, PEN, lambda a: not 15 < a < 55)
    box(left + 1, cy - 1.5, left + 18, cy + 1.5)
    return left + 19


def lettering(left, gap=4):
    for draw in (letter_o, letter_r, letter_v, letter_a, letter_n, letter_e):
        left = draw(left) + gap


def pascal_triangle(centre_x, top, rows=8, dx=10.0, dy=5.4):
    """Row r holds C(r, 0) .. C(r, r); odd values are filled dots."""
    for r in range(rows):
        for k in range(r + 1):
            x = centre_x + (k - r / 2) * dx
            y = top + r * dy
            dot(x, y, 2.6, math.comb(r, k) % 2 == 1)


def frame():
    box(0, 0, WIDTH, 1)
    box(0, HEIGHT - 1, WIDTH, HEIGHT)
    box(0, 0, 1, HEIGHT)
    box(WIDTH - 1, 0, WIDTH, HEIGHT)


def bmp_bytes():
    pixels = bytearray()
    for y in reversed(range(HEIGHT)):  # BMP rows run bottom-up
        row = bytearray(ROW_BYTES)
        for x in range(WIDTH):
            if not ink[y][x]:  # index 1 (white) sets the bit
                row[x // 8] |= 0x80 >> (x % 8)
        pixels += row
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])  # blue, green, red, reserved
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 1, 0, len(pixels), 3780, 3780, 2, 2)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + bytes(pixels)


def draw():
    frame()
    lettering(14)
    pascal_triangle(centre_x=236, top=5)
    return bmp_bytes()


def main(argv):
    data = draw()
    assert len(data) == 1790
    if len(argv) == 3 and argv[1] == "--check":
        if Path(argv[2]).read_bytes() != data:
            sys.exit(f"{argv[2]} differs from what {Path(__file__).name} draws; rerun it")
        return
    out = Path(argv[1]) if len(argv) > 1 else Path(__file__).with_name("banner.bmp")
    out.write_bytes(data)


if __name__ == "__main__":
    main(sys.argv)
