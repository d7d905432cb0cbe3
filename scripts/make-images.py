#!/usr/bin/env python3
"""Draws Quavero's images into res/images/ as RGBA PNG files.

Standard library only: shapes are point-in-shape tests, each pixel is sampled on a 4 x 4 grid
for smooth edges, outlines come from eroding the shape, and the PNG is written with zlib.
Every design is drawn in a 16-unit box and scaled, so the same picture serves at 16, 22 and
32 pixels. Transparency is the alpha channel; no colour key is used.

Usage: scripts/make-images.py [output folder]   (default: res/images next to this script)
The application icon for the icon theme always goes to data/icons/.
"""

import colorsys
import math
import os
import struct
import sys
import zlib

SUBSAMPLES = 4

# Palette shared by every picture.
INK = (46, 52, 64)
WHITE = (255, 255, 255)
PAPER_SHADE = (222, 224, 218)
GREY = (136, 140, 134)
GREY_LIGHT = (206, 210, 204)
GREY_DARK = (86, 90, 96)
BLUE = (44, 104, 178)
BLUE_LIGHT = (120, 170, 226)
BLUE_DARK = (24, 58, 112)
GREEN = (70, 150, 20)
GREEN_LIGHT = (146, 214, 70)
GREEN_DARK = (36, 92, 10)
YELLOW = (252, 206, 84)
YELLOW_LIGHT = (255, 232, 150)
YELLOW_DARK = (176, 120, 16)
ORANGE = (230, 120, 30)
ORANGE_LIGHT = (250, 180, 90)
BROWN = (120, 66, 24)
GOLD = (255, 204, 40)
GOLD_LIGHT = (255, 238, 140)
GOLD_DARK = (190, 110, 0)
SKIN = (240, 196, 150)
SKIN_DARK = (150, 96, 60)
PINK = (232, 130, 150)
VINYL = (30, 30, 36)
VINYL_SHINE = (92, 96, 110)


# --- shapes: (inside(x, y), bounding box) in pixel coordinates --------------------------------

class Shape:
    def __init__(self, inside, box):
        self.inside = inside
        self.box = box

    def __or__(self, other):
        return Shape(lambda x, y: self.inside(x, y) or other.inside(x, y),
                     (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
                      max(self.box[2], other.box[2]), max(self.box[3], other.box[3])))

    def __sub__(self, other):
        return Shape(lambda x, y: self.inside(x, y) and not other.inside(x, y), self.box)

    def __and__(self, other):
        return Shape(lambda x, y: self.inside(x, y) and other.inside(x, y),
                     (max(self.box[0], other.box[0]), max(self.box[1], other.box[1]),
                      min(self.box[2], other.box[2]), min(self.box[3], other.box[3])))

    def eroded(self, d):
        if d <= 0:
            return self
        steps = [(math.cos(a * math.pi / 4) * d, math.sin(a * math.pi / 4) * d) for a in range(8)]

        def inside(x, y):
            return self.inside(x, y) and all(self.inside(x + dx, y + dy) for dx, dy in steps)
        return Shape(inside, self.box)


class Frame:
    """Maps the 16-unit design box to pixels: origin (ox, oy), size pixels for 16 units."""

    def __init__(self, ox, oy, size):
        self.ox, self.oy, self.k = ox, oy, size / 16.0

    def pt(self, u, v):
        return (self.ox + u * self.k, self.oy + v * self.k)

    def len(self, u):
        return u * self.k

    def circle(self, cu, cv, r):
        return self.ellipse(cu, cv, r, r)

    def ellipse(self, cu, cv, ru, rv, degrees=0.0):
        cx, cy = self.pt(cu, cv)
        rx, ry = self.len(ru), self.len(rv)
        c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
        big = max(rx, ry)

        def inside(x, y):
            dx, dy = x - cx, y - cy
            a, b = dx * c + dy * s, -dx * s + dy * c
            return (a / rx) ** 2 + (b / ry) ** 2 <= 1.0
        return Shape(inside, (cx - big, cy - big, cx + big, cy + big))

    def rect(self, u0, v0, u1, v1, radius=0.0):
        x0, y0 = self.pt(u0, v0)
        x1, y1 = self.pt(u1, v1)
        r = self.len(radius)

        def inside(x, y):
            if x < x0 or x > x1 or y < y0 or y > y1:
                return False
            if r <= 0:
                return True
            qx = max(x0 + r - x, 0, x - (x1 - r))
            qy = max(y0 + r - y, 0, y - (y1 - r))
            return qx * qx + qy * qy <= r * r
        return Shape(inside, (x0, y0, x1, y1))

    def polygon(self, points):
        pts = [self.pt(u, v) for u, v in points]
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]

        def inside(x, y):
            hit = False
            j = len(pts) - 1
            for i, (xi, yi) in enumerate(pts):
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit
        return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))

    def line(self, u0, v0, u1, v1, width):
        (x0, y0), (x1, y1) = self.pt(u0, v0), self.pt(u1, v1)
        h = self.len(width) / 2
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx - x, y0 + t * dy - y
            return px * px + py * py <= h * h
        return Shape(inside, (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h))

    def polyline(self, points, width):
        shape = self.line(*points[0], *points[1], width)
        for a, b in zip(points[1:], points[2:]):
            shape = shape | self.line(*a, *b, width)
        return shape

    def wedge(self, cu, cv, r, start, sweep):
        """A pie slice; angles in degrees, clockwise from 12 o'clock as on a dial."""
        cx, cy = self.pt(cu, cv)
        rr = self.len(r)

        def inside(x, y):
            dx, dy = x - cx, y - cy
            if dx * dx + dy * dy > rr * rr:
                return False
            a = (math.degrees(math.atan2(dx, -dy)) - start) % 360.0
            return a <= sweep
        return Shape(inside, (cx - rr, cy - rr, cx + rr, cy + rr))

    def star(self, cu, cv, outer, inner, points=5):
        pts = []
        for i in range(points * 2):
            r = outer if i % 2 == 0 else inner
            a = math.pi * i / points
            pts.append((cu + r * math.sin(a), cv - r * math.cos(a)))
        return self.polygon(pts)

    def vgrad(self, v0, c0, v1, c1):
        return gradient(self.pt(0, v0)[1], c0, self.pt(0, v1)[1], c1, vertical=True)

    def hgrad(self, u0, c0, u1, c1):
        return gradient(self.pt(u0, 0)[0], c0, self.pt(u1, 0)[0], c1, vertical=False)


def gradient(p0, c0, p1, c1, vertical):
    def colour(x, y):
        p = y if vertical else x
        t = max(0.0, min(1.0, (p - p0) / ((p1 - p0) or 1e-9)))
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return colour


# --- canvas -----------------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, shape, colour, alpha=1.0):
        x0, y0, x1, y1 = shape.box
        n = SUBSAMPLES
        offsets = [(i + 0.5) / n for i in range(n)]
        for py in range(max(0, int(y0) - 1), min(self.h, int(y1) + 2)):
            for px in range(max(0, int(x0) - 1), min(self.w, int(x1) + 2)):
                hits = sum(1 for oy in offsets for ox in offsets
                           if shape.inside(px + ox, py + oy))
                if hits:
                    c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                    self.blend(px, py, c, alpha * hits / (n * n))

    def outlined(self, shape, colour, ink, width):
        self.fill(shape, ink)
        self.fill(shape.eroded(width), colour)

    def blend(self, x, y, colour, a):
        d = self.px[y * self.w + x]
        out = a + d[3] * (1 - a)
        if out <= 0:
            return
        for i in range(3):
            d[i] = (colour[i] * a + d[i] * d[3] * (1 - a)) / out
        d[3] = out

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                s = other.px[y * other.w + x]
                if s[3] > 0:
                    self.blend(ox + x, oy + y, s[:3], s[3])

    def adjusted(self, saturation, lightness):
        out = Canvas(self.w, self.h)
        for i, (r, g, b, a) in enumerate(self.px):
            hue, light, sat = colorsys.rgb_to_hls(r / 255, g / 255, b / 255)
            light = min(1.0, light + (1 - light) * lightness)
            r2, g2, b2 = colorsys.hls_to_rgb(hue, light, min(1.0, sat * saturation))
            out.px[i] = [r2 * 255, g2 * 255, b2 * 255, a]
        return out

    def png(self):
        rows = bytearray()
        for y in range(self.h):
            rows.append(0)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a < 0.5 / 255:
                    rows += b'\0\0\0\0'
                    continue
                rows += bytes(max(0, min(255, round(v))) for v in (r, g, b, a * 255))

        def chunk(kind, data):
            return (struct.pack('>I', len(data)) + kind + data +
                    struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
        header = struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0)
        return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
                chunk(b'IDAT', zlib.compress(bytes(rows), 9)) + chunk(b'IEND', b''))


def outline_width(f):
    return max(1.0, f.len(1.0) * 0.85)


# --- the seven small images (also reused on the tool bar) -------------------------------------

def draw_note(c, f, body=BLUE, light=BLUE_LIGHT, ink=BLUE_DARK):
    note = (f.ellipse(6.0, 12.2, 3.3, 2.4, -25) | f.rect(8.3, 2.0, 9.9, 12.0) |
            f.polygon([(8.8, 1.2), (10.2, 1.2), (13.8, 5.0), (13.2, 9.6), (12.3, 9.6),
                       (12.4, 6.6), (9.9, 4.8)]))
    if ink is None:
        c.fill(note, f.vgrad(1, light, 14, body))
    else:
        c.outlined(note, f.vgrad(1, light, 14, body), ink, outline_width(f))


def draw_drive(c, f):
    w = outline_width(f)
    c.outlined(f.rect(0.5, 4.5, 15.5, 12.5, 1.5), f.vgrad(4.5, GREY_LIGHT, 12.5, GREY), INK, w)
    c.fill(f.rect(1.5, 9.5, 14.5, 10.3), GREY_DARK)
    c.outlined(f.circle(12.3, 7.3, 1.25), GREEN_LIGHT, GREEN_DARK, f.len(0.5))


def draw_folder(c, f):
    w = outline_width(f)
    back = f.polygon([(0.5, 2.5), (6.0, 2.5), (7.5, 4.2), (15.5, 4.2), (15.5, 13.5), (0.5, 13.5)])
    c.outlined(back, YELLOW_DARK, BROWN, w)
    front = f.polygon([(0.5, 6.5), (15.5, 6.5), (15.5, 13.5), (0.5, 13.5)])
    c.outlined(front, f.vgrad(6.5, YELLOW_LIGHT, 13.5, YELLOW), BROWN, w)


def draw_guitar(c, f):
    w = outline_width(f)
    neck = f.line(8.6, 7.4, 13.0, 3.0, 1.9)
    c.outlined(neck, BROWN, INK, w * 0.8)
    c.outlined(f.rect(12.0, 0.6, 15.4, 4.0, 0.8), GREY_DARK, INK, w * 0.8)
    body = f.circle(5.4, 11.0, 4.0) | f.circle(8.6, 7.8, 2.9)
    c.outlined(body, f.vgrad(4, ORANGE_LIGHT, 15, ORANGE), BROWN, w)
    c.fill(f.circle(6.4, 10.0, 1.25), INK)
    c.fill(f.line(3.5, 13.0, 5.0, 14.5, 1.2), BROWN)


def draw_artist(c, f):
    w = outline_width(f)
    shoulders = f.ellipse(8.0, 16.6, 6.8, 7.4) & f.rect(0, 0, 16, 15.3)
    c.outlined(shoulders, f.vgrad(9, BLUE_LIGHT, 15.5, BLUE), BLUE_DARK, w)
    c.outlined(f.circle(8.0, 5.2, 3.6), f.vgrad(1.5, SKIN, 9, SKIN_DARK), INK, w)


def draw_disc(c, f):
    w = outline_width(f)
    disc = f.circle(8.0, 8.0, 7.4) - f.circle(8.0, 8.0, 1.1)
    c.outlined(disc, f.hgrad(1, (236, 238, 246), 15, (170, 178, 196)), GREY_DARK, w)
    c.fill(f.wedge(8, 8, 7.0, 20, 40), (180, 220, 255), 0.55)
    c.fill(f.wedge(8, 8, 7.0, 200, 40), (255, 210, 240), 0.55)
    label = f.circle(8.0, 8.0, 3.0) - f.circle(8.0, 8.0, 1.1)
    c.outlined(label, BLUE_LIGHT, GREY_DARK, f.len(0.6))


def draw_star(c, f):
    star = f.star(8.0, 8.6, 7.8, 3.2)
    c.outlined(star, f.vgrad(1, GOLD_LIGHT, 15, GOLD), GOLD_DARK, outline_width(f))


SMALL_IMAGES = [draw_note, draw_drive, draw_folder, draw_guitar, draw_artist, draw_disc, draw_star]


# --- tool bar images ---------------------------------------------------------------------------

def draw_play(c, f):
    c.outlined(f.circle(8, 8, 7.4), f.vgrad(1, GREEN_LIGHT, 15, GREEN), GREEN_DARK,
               outline_width(f))
    c.fill(f.polygon([(6.0, 4.4), (12.0, 8.0), (6.0, 11.6)]), WHITE)


def draw_enqueue(c, f):
    for v in (2.5, 6.0, 9.5):
        c.outlined(f.rect(0.8, v, 9.5, v + 2.2, 0.6), BLUE_LIGHT, BLUE_DARK, f.len(0.6))
    c.outlined(f.circle(11.6, 11.4, 4.2), f.vgrad(7, GREEN_LIGHT, 15.5, GREEN), GREEN_DARK,
               outline_width(f))
    c.fill(f.rect(9.3, 10.6, 13.9, 12.2) | f.rect(10.8, 9.1, 12.4, 13.7), WHITE)


def draw_page(c, f, u0, v0, u1, v1):
    c.outlined(f.rect(u0, v0, u1, v1), f.vgrad(v0, WHITE, v1, PAPER_SHADE), GREY_DARK,
               outline_width(f))
    v = v0 + 2.5
    while v < v1 - 1.5:
        c.fill(f.rect(u0 + 1.8, v, u1 - 1.8, v + 0.8), GREY)
        v += 2.2


def draw_copy(c, f):
    draw_page(c, f, 1.0, 0.8, 10.0, 11.0)
    draw_page(c, f, 6.0, 5.0, 15.0, 15.2)


def draw_properties(c, f):
    draw_page(c, f, 1.0, 0.8, 11.5, 15.2)
    w = outline_width(f)
    c.outlined(f.line(8.0, 12.0, 14.2, 3.6, 3.0), f.hgrad(8, YELLOW, 14, YELLOW_LIGHT), BROWN, w)
    c.outlined(f.line(13.6, 4.4, 14.6, 3.0, 3.0), PINK, BROWN, w)
    c.fill(f.polygon([(6.6, 14.5), (7.0, 11.2), (9.2, 12.8)]), INK)


def draw_all_columns(c, f):
    w = outline_width(f)
    c.outlined(f.rect(0.8, 1.5, 15.2, 14.5), WHITE, GREY_DARK, w)
    c.fill(f.rect(1.5, 2.2, 14.5, 5.0), BLUE)
    for u in (5.5, 10.5):
        c.fill(f.rect(u - 0.4, 2.2, u + 0.4, 13.8), GREY_DARK)
    for v in (7.5, 10.5):
        c.fill(f.rect(1.5, v - 0.3, 14.5, v + 0.3), GREY_LIGHT)


def draw_large_icons(c, f):
    for u, v in ((1.0, 1.0), (9.0, 1.0), (1.0, 9.0), (9.0, 9.0)):
        c.outlined(f.rect(u, v, u + 6.0, v + 6.0, 0.8), f.vgrad(v, BLUE_LIGHT, v + 6, BLUE),
                   BLUE_DARK, outline_width(f))


def draw_small_icons(c, f):
    for v in (1.5, 6.5, 11.5):
        for u in (1.0, 6.3, 11.6):
            c.outlined(f.rect(u, v, u + 3.4, v + 3.4, 0.4), BLUE_LIGHT, BLUE_DARK, f.len(0.7))


def draw_list(c, f):
    for v in (1.0, 5.0, 9.0, 13.0):
        c.outlined(f.rect(1.0, v, 3.6, v + 2.6, 0.3), BLUE_LIGHT, BLUE_DARK, f.len(0.6))
        c.fill(f.rect(5.0, v + 0.8, 14.8, v + 1.8), GREY_DARK)


def draw_details(c, f):
    c.fill(f.rect(0.8, 0.8, 15.2, 3.4), GREY_LIGHT)
    c.fill(f.rect(0.8, 3.0, 15.2, 3.6), GREY_DARK)
    for v in (5.2, 8.6, 12.0):
        c.outlined(f.rect(1.0, v, 3.4, v + 2.4, 0.3), BLUE_LIGHT, BLUE_DARK, f.len(0.6))
        c.fill(f.rect(4.6, v + 0.7, 9.4, v + 1.7), GREY_DARK)
        c.fill(f.rect(10.6, v + 0.7, 15.0, v + 1.7), GREY)


TOOL_IMAGES = [draw_play, draw_enqueue, draw_copy, draw_properties, draw_artist, draw_guitar,
               draw_disc, draw_all_columns, draw_large_icons, draw_small_icons, draw_list,
               draw_details]


# --- program pictures --------------------------------------------------------------------------

def draw_app_tile(c, f, round_tile):
    tile = f.circle(8, 8, 7.8) if round_tile else f.rect(0.3, 0.3, 15.7, 15.7, 3.2)
    c.outlined(tile, f.vgrad(0, (70, 140, 220), 16, BLUE_DARK), (16, 36, 76), outline_width(f))
    c.fill(f.wedge(8, 8, 7.0, 300, 60) - f.circle(8, 8, 5.2), WHITE, 0.18)
    inner = Frame(*f.pt(1.2, 1.4), f.len(13.6))
    # Below 24 pixels an outline would swallow the stem.
    draw_note(c, inner, WHITE, WHITE, (16, 36, 76) if f.len(16) >= 24 else None)


def draw_vinyl(c, f, turn):
    c.fill(f.circle(8, 8, 7.6), VINYL)
    for r in (6.6, 5.4, 4.3):
        c.fill(f.circle(8, 8, r) - f.circle(8, 8, r - 0.25), (60, 62, 72))
    for start in (turn + 20, turn + 200):
        c.fill(f.wedge(8, 8, 7.2, start, 36) - f.circle(8, 8, 3.0), VINYL_SHINE, 0.7)
    c.fill(f.circle(8, 8, 2.9), ORANGE)
    c.fill(f.wedge(8, 8, 2.9, turn - 25, 50), YELLOW_LIGHT)
    c.fill(f.circle(8, 8, 0.55), INK)


def draw_band(c):
    f = Frame(0, 0, c.w)
    c.fill(f.rect(0, 0, 16, 16), f.vgrad(0, (240, 242, 246), 16, (212, 218, 228)))
    c.fill(f.rect(0, 0, 16, 16 / c.h), WHITE, 0.7)
    c.fill(f.rect(0, 16 - 16 / c.h, 16, 16), (180, 188, 200), 0.7)


def draw_track_large(c):
    f = Frame(0, 0, c.w)
    page = f.polygon([(2.2, 0.6), (10.6, 0.6), (13.8, 3.8), (13.8, 15.4), (2.2, 15.4)])
    c.outlined(page, f.vgrad(0, WHITE, 16, PAPER_SHADE), GREY_DARK, 1.0)
    c.outlined(f.polygon([(10.6, 0.6), (10.6, 3.8), (13.8, 3.8)]), GREY_LIGHT, GREY_DARK, 1.0)
    draw_note(c, Frame(*f.pt(2.6, 3.2), 21))


def draw_about(c):
    f = Frame(0, 0, c.w)
    draw_vinyl(c, Frame(*f.pt(4.6, 0.4), c.w * 11.4 / 16), 0)
    sleeve = f.rect(0.4, 3.6, 11.2, 14.4, 0.8)
    c.outlined(sleeve, f.vgrad(3.6, (70, 140, 220), 14.4, BLUE_DARK), (16, 36, 76), 1.2)
    c.fill(f.rect(1.2, 4.4, 10.4, 6.0, 0.5), WHITE, 0.18)
    draw_note(c, Frame(*f.pt(1.8, 5.0), c.w * 8.2 / 16), WHITE, WHITE, (16, 36, 76))


def draw_check(c):
    f = Frame(0, 0, c.w)
    tick = f.polyline([(2.6, 8.6), (6.2, 12.2), (13.4, 3.8)], 3.0)
    c.outlined(tick, f.vgrad(3, GREEN_LIGHT, 13, GREEN), GREEN_DARK, 0.9)


# --- output ------------------------------------------------------------------------------------

def strip(draws, size, saturation=1.0, lightness=0.0):
    c = Canvas(size * len(draws), size)
    for i, draw in enumerate(draws):
        cell = Canvas(size, size)
        draw(cell, Frame(0, 0, size))
        if saturation != 1.0 or lightness != 0.0:
            cell = cell.adjusted(saturation, lightness)
        c.paste(cell, i * size, 0)
    return c


def single(size, draw):
    c = Canvas(size, size)
    draw(c, Frame(0, 0, size))
    return c


BUSY_FRAMES = 12
BUSY_SIZE = 32


def busy_strip(size):
    c = Canvas(size * BUSY_FRAMES, size)
    for i in range(BUSY_FRAMES):
        frame = Canvas(size, size)
        draw_vinyl(frame, Frame(0, 0, size), i * 360.0 / BUSY_FRAMES)
        c.paste(frame, i * size, 0)
    return c


def sized(width, height, draw):
    c = Canvas(width, height)
    draw(c)
    return c


def scaled_images(n):
    """The pictures the window draws, at n times their size ("@2x" for high-density screens)."""
    suffix = '' if n == 1 else f'@{n}x'
    yield f'small-images{suffix}.png', strip(SMALL_IMAGES, 16 * n)
    yield f'toolbar{suffix}.png', strip(TOOL_IMAGES, 22 * n, saturation=0.55, lightness=0.08)
    yield f'toolbar-hot{suffix}.png', strip(TOOL_IMAGES, 22 * n)
    yield f'band{suffix}.png', sized(22 * n, 22 * n, draw_band)
    yield f'busy{suffix}.png', busy_strip(BUSY_SIZE * n)
    yield f'track-large{suffix}.png', sized(32 * n, 32 * n, draw_track_large)
    yield f'about{suffix}.png', sized(50 * n, 50 * n, draw_about)
    yield f'checkmark{suffix}.png', sized(16 * n, 16 * n, draw_check)


def images():
    yield from scaled_images(1)
    yield from scaled_images(2)
    for size in (16, 32, 48):
        yield f'app-{size}.png', single(size, lambda c, f: draw_app_tile(c, f, False))
    for size in (16, 22, 32):
        yield f'tray-{size}.png', single(size, lambda c, f: draw_app_tile(c, f, True))


# The application icon for the desktop's icon theme (installed as hicolor/NxN/apps/quavero.png).
THEME_SIZES = (16, 32, 48, 64, 128, 256)


def theme_icons():
    for size in THEME_SIZES:
        yield f'quavero-{size}.png', single(size, lambda c, f: draw_app_tile(c, f, False))


def write(out, pictures):
    os.makedirs(out, exist_ok=True)
    for name, canvas in pictures:
        with open(os.path.join(out, name), 'wb') as file:
            file.write(canvas.png())
        print(f'{name}: {canvas.w}x{canvas.h}')


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'images')
    write(out, images())
    write(os.path.join(here, '..', 'data', 'icons'), theme_icons())


if __name__ == '__main__':
    main()
