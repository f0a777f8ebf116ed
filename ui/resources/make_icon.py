#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Renders the application icon (app/org.orvane.Orvane.svg) into icon.rgba.

The window carries its icon as raw RGBA pixels (8 bits a channel, rows from
the top) so that it needs no image reader at all to show it. The icon is made of filled or stroked rounded rectangles and
circles only, so this reads just those and paints them with 4x4 samples a
pixel.
    make_icon.py [OUTPUT]             default: icon.rgba next to this file (64 x 64)
    make_icon.py --png FILE           the same picture as a PNG, to look at
    make_icon.py --check FILE         fails unless FILE is what it would write
"""
import math
import os
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SVG = os.path.join(HERE, "..", "..", "app", "org.orvane.Orvane.svg")
NS = "{http://www.w3.org/2000/svg}"
SAMPLES = 4


def colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def rounded_rect_distance(px, py, x, y, w, h, r):
    """Signed distance from a point to a rounded rectangle (negative inside)."""
    cx, cy = x + w / 2, y + h / 2
    qx, qy = abs(px - cx) - (w / 2 - r), abs(py - cy) - (h / 2 - r)
    outside = math.hypot(max(qx, 0), max(qy, 0))
    return outside + min(max(qx, qy), 0) - r


def shapes(svg_path):
    """(distance function, fill, stroke, stroke width) in painting order."""
    root = ET.parse(svg_path).getroot()
    out = []

    def walk(node, inherited_fill):
        fill = node.get("fill", inherited_fill)
        tag = node.tag.replace(NS, "")
        if tag == "rect":
            x, y, w, h = (float(node.get(k)) for k in ("x", "y", "width", "height"))
            r = float(node.get("rx", 0))
            dist = lambda px, py, a=(x, y, w, h, r): rounded_rect_distance(px, py, *a)
        elif tag == "circle":
            cx, cy, r = (float(node.get(k)) for k in ("cx", "cy", "r"))
            dist = lambda px, py, a=(cx, cy, r): math.hypot(px - a[0], py - a[1]) - a[2]
        else:
            for child in node:
                walk(child, fill)
            return
        stroke = node.get("stroke")
        out.append((dist, None if fill in (None, "none") else colour(fill),
                    None if stroke in (None, "none") else colour(stroke),
                    float(node.get("stroke-width", 1))))

    walk(root, None)
    return float(root.get("width")), out


def render(size):
    """The picture as rows of RGBA bytes, each row led by a PNG filter byte."""
    width, items = shapes(SVG)
    scale = width / size
    rows = []
    for j in range(size):
        row = bytearray([0])  # PNG filter type: none
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied r, g, b and alpha
            for sj in range(SAMPLES):
                for si in range(SAMPLES):
                    px = (i + (si + 0.5) / SAMPLES) * scale
                    py = (j + (sj + 0.5) / SAMPLES) * scale
                    rgb = None
                    for dist, fill, stroke, stroke_width in items:
                        d = dist(px, py)
                        if fill and d <= 0:
                            rgb = fill
                        if stroke and abs(d) <= stroke_width / 2:
                            rgb = stroke
                    if rgb:
                        for c in range(3):
                            acc[c] += rgb[c]
                        acc[3] += 1
            alpha = acc[3] / SAMPLES ** 2
            if acc[3]:
                row += bytes(round(acc[c] / acc[3]) for c in range(3))
            else:
                row += b"\0\0\0"
            row.append(round(alpha * 255))
        rows.append(bytes(row))
    return rows


def png(rows, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def raw(rows):
    return b"".join(row[1:] for row in rows)


def main(argv):
    rows = render(64)
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], "rb") as f:
            if f.read() != raw(rows):
                sys.exit(f"{argv[2]} differs from what make_icon.py draws; run it again")
        return
    if len(argv) == 3 and argv[1] == "--png":
        with open(argv[2], "wb") as f:
            f.write(png(rows, 64))
        return
    output = argv[1] if len(argv) > 1 else os.path.join(HERE, "icon.rgba")
    with open(output, "wb") as f:
        f.write(raw(rows))


if __name__ == "__main__":
    main(sys.argv)
