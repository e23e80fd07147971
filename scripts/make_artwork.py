#!/usr/bin/env python3
"""Draws the project's own pictures data/Info.bmp and data/Logo.bmp.

Plain Python, no imaging library: a few shapes rasterised into a 24-bit BMP.
Run from anywhere; the files are committed, so this only needs rerunning
when the artwork changes.
"""
import math
import os
import struct

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


class Canvas:
    def __init__(self, w, h, bg):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, inside, c):
        for y in range(self.h):
            for x in range(self.w):
                if inside(x + 0.5, y + 0.5):
                    self.px[y][x] = c

    def save(self, path):
        row = (self.w * 3 + 3) & ~3
        size = 54 + row * self.h
        with open(path, "wb") as f:
            f.write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54))
            f.write(struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0,
                                row * self.h, 2835, 2835, 0, 0))
            for y in range(self.h - 1, -1, -1):
                line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in self.px[y])
                f.write(line + b"\0" * (row - self.w * 3))


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def arc(cx, cy, r, width, a0, a1):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.degrees(math.atan2(cy - y, x - cx))
        return abs(d - r) <= width / 2 and a0 <= a <= a1
    return inside


def polygon(points):
    def inside(x, y):
        n, c = len(points), False
        for i in range(n):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
            if (y0 > y) != (y1 > y) and x < (x1 - x0) * (y - y0) / (y1 - y0) + x0:
                c = not c
        return c
    return inside


NAVY, SKY, WHITE, RED, GREY, DARK = (22, 48, 92), (96, 160, 220), (255, 255, 255), \
    (200, 30, 40), (205, 210, 218), (60, 64, 72)


def logo():
    c = Canvas(150, 96, WHITE)
    c.fill(rounded_rect(2, 2, 147, 93, 14), NAVY)
    # A stylised kestrel's wing over radio waves.
    c.fill(polygon([(18, 70), (70, 22), (84, 30), (48, 56), (92, 48), (30, 78)]), WHITE)
    for r in (18, 28, 38):
        c.fill(arc(100, 60, r, 5, -50, 50), SKY)
    c.fill(disc(100, 60, 6), RED)
    return c


def info():
    c = Canvas(240, 269, WHITE)
    # The pendant transmitter with its alarm button and cord loop.
    c.fill(rounded_rect(60, 40, 180, 230, 34), GREY)
    c.fill(rounded_rect(66, 46, 174, 224, 30), (235, 238, 242))
    c.fill(disc(120, 140, 38), DARK)
    c.fill(disc(120, 140, 32), RED)
    c.fill(arc(120, 26, 18, 6, -10, 190), DARK)
    for r in (14, 24, 34):
        c.fill(arc(196, 70, r, 4, -40, 40), SKY)
    c.fill(rounded_rect(92, 196, 148, 206, 4), NAVY)
    return c


if __name__ == "__main__":
    os.makedirs(DATA, exist_ok=True)
    logo().save(os.path.join(DATA, "Logo.bmp"))
    info().save(os.path.join(DATA, "Info.bmp"))
