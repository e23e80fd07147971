#!/usr/bin/env python3
"""Draws the application icon: packaging/icons/kestrin-pro.svg and a PNG per size.

The same few shapes are written once as SVG and rasterised here (plain
Python, 4x4 supersampling, no imaging library), so the scalable icon and the
fixed sizes always show the same picture. The files are committed; rerun this
only when the artwork changes.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "packaging", "icons")
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
VIEW = 256.0

NAVY, SKY, WHITE, RED, GREY, DARK, PALE = (22, 48, 92), (96, 160, 220), (255, 255, 255), \
    (200, 30, 40), (205, 210, 218), (60, 64, 72), (235, 238, 242)


class RoundedRect:
    def __init__(self, x0, y0, x1, y1, r, colour):
        self.x0, self.y0, self.x1, self.y1, self.r, self.colour = x0, y0, x1, y1, r, colour

    def inside(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        cx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        cy = min(max(y, self.y0 + self.r), self.y1 - self.r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= self.r ** 2

    def svg(self):
        return '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>' % (
            self.x0, self.y0, self.x1 - self.x0, self.y1 - self.y0, self.r, hex_colour(self.colour))


class Disc:
    def __init__(self, cx, cy, r, colour):
        self.cx, self.cy, self.r, self.colour = cx, cy, r, colour

    def inside(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r ** 2

    def svg(self):
        return '<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (
            self.cx, self.cy, self.r, hex_colour(self.colour))


class Arc:
    """A band of the given width along a circle, from angle a0 to a1 (degrees,
    counter-clockwise from the right, as on paper), with square ends."""

    def __init__(self, cx, cy, r, width, a0, a1, colour):
        self.cx, self.cy, self.r, self.width, self.a0, self.a1, self.colour = \
            cx, cy, r, width, a0, a1, colour

    def inside(self, x, y):
        d = math.hypot(x - self.cx, y - self.cy)
        a = math.degrees(math.atan2(self.cy - y, x - self.cx))
        return abs(d - self.r) <= self.width / 2 and self.a0 <= a <= self.a1

    def point(self, a):
        t = math.radians(a)
        return self.cx + self.r * math.cos(t), self.cy - self.r * math.sin(t)

    def svg(self):
        (x0, y0), (x1, y1) = self.point(self.a0), self.point(self.a1)
        large = 1 if self.a1 - self.a0 > 180 else 0
        # Increasing angles run anticlockwise on screen: sweep flag 0.
        return ('<path d="M %.3f %.3f A %g %g 0 %d 0 %.3f %.3f" fill="none" stroke="%s" '
                'stroke-width="%g"/>') % (x0, y0, self.r, self.r, large, x1, y1,
                                          hex_colour(self.colour), self.width)


def hex_colour(c):
    return "#%02x%02x%02x" % c


# A pendant transmitter with its red alarm button and cord loop, sending.
SHAPES = [
    RoundedRect(12, 12, 244, 244, 44, NAVY),
    Arc(118, 58, 22, 10, -20, 200, GREY),
    RoundedRect(66, 62, 170, 226, 36, GREY),
    RoundedRect(74, 70, 162, 218, 30, PALE),
    Disc(118, 150, 40, DARK),
    Disc(118, 150, 32, RED),
    Arc(180, 96, 22, 10, -45, 45, SKY),
    Arc(180, 96, 40, 10, -45, 45, SKY),
    Arc(180, 96, 58, 10, -45, 45, SKY),
]


def svg():
    body = "\n  ".join(s.svg() for s in SHAPES)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
            'viewBox="0 0 256 256">\n  %s\n</svg>\n' % body)


def raster(size, samples=4):
    scale = VIEW / size
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied colour and coverage
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    colour = None
                    for s in SHAPES:
                        if s.inside(x, y):
                            colour = s.colour
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = samples * samples
            a = acc[3] / n
            if acc[3]:
                row += bytes([round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                              round(acc[2] / acc[3]), round(255 * a)])
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return rows


def png(rows, size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "kestrin-pro.svg"), "w", encoding="ascii", newline="\n") as f:
        f.write(svg())
    for size in SIZES:
        with open(os.path.join(OUT, "kestrin-pro-%d.png" % size), "wb") as f:
            f.write(png(raster(size), size))
