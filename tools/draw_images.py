#!/usr/bin/env python3
"""Draws Lexmora's images and writes them into resources/images/.

    python3 tools/draw_images.py [--preview DIR]

Needs nothing but the Python standard library. The images are drawn from simple
shapes described by signed distance functions (negative inside, positive
outside, in pixels), so every edge is anti-aliased by its own distance.

Written files (all committed, so that building the program needs no Python):

  Lexmora.ico     application icon: 16x16, 32x32 and 48x48, 32-bit with alpha
  Toolbar.bmp     96x16, 24-bit: six 16x16 tool-bar images side by side
                  (0 stay on top, 1 dictionary, 2 help, 3 about, 4 options,
                  5 search inside entries)
  AboutLogo.bmp   97x90, 24-bit: the about box's logo
  OptionsIcon.bmp 32x32, 24-bit: the picture at the top of the options dialog

and each of the three bitmaps once more at 150 % and 200 % for displays of
144 and 192 DPI, drawn from the same shapes: Toolbar24.bmp (144x24),
Toolbar32.bmp (192x32), AboutLogo150.bmp (146x135), AboutLogo200.bmp
(194x180), OptionsIcon48.bmp and OptionsIcon64.bmp.

The bitmaps use magenta (255, 0, 255) as their transparent colour: every
background pixel, the bottom-left one included, is exactly that colour, and no
drawn pixel is. Edge pixels are blended against the colour the bitmap is shown
on (button face for the tool bar, window colour for the other two), so that
they look smooth once the magenta is keyed out.

With --preview DIR it also writes each image as a PNG, scaled up 8 times, for
checking by eye.
"""

import math
import os
import struct
import sys
import zlib

KEY = (255, 0, 255)          # transparent colour of the bitmaps
BUTTON_FACE = (240, 240, 240)
WINDOW = (255, 255, 255)

# Palette
INK_RED = (196, 40, 48)
INK_BLUE = (26, 72, 150)
COVER = (33, 84, 160)
COVER_DARK = (20, 52, 108)
COVER_LIGHT = (78, 134, 206)
PAGE = (253, 251, 244)
PAGE_SHADE = (222, 216, 198)
PAGE_EDGE = (150, 140, 118)
STEEL = (112, 124, 140)
STEEL_DARK = (62, 72, 88)
STEEL_LIGHT = (196, 204, 214)
PIN_RED = (214, 52, 52)
PIN_RED_DARK = (140, 24, 30)
PIN_HILITE = (250, 160, 150)
NEEDLE = (120, 128, 140)
HELP_BLUE = (36, 96, 190)
HELP_DARK = (18, 56, 130)
INFO_BLUE = (40, 110, 200)
INFO_DARK = (22, 66, 140)
WHITE = (255, 255, 255)
GOLD = (232, 176, 40)


# Shapes
def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return f


def segment(ax, ay, bx, by, w):
    """A stroke of half-width w from a to b with round ends."""
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / ll)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - w
    return f


def polygon(pts):
    n = len(pts)

    def f(x, y):
        d = float('inf')
        inside = False
        j = n - 1
        for i in range(n):
            (xi, yi), (xj, yj) = pts[i], pts[j]
            ex, ey = xj - xi, yj - yi
            wx, wy = x - xi, y - yi
            ll = ex * ex + ey * ey or 1e-9
            t = clamp((wx * ex + wy * ey) / ll)
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (yi > y) != (yj > y) and x < xi + (y - yi) * (xj - xi) / (yj - yi):
                inside = not inside
            j = i
        return -d if inside else d
    return f


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def intersect(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def ring(f, w):
    """The outline of f, w wide on each side of its edge."""
    return lambda x, y: abs(f(x, y)) - w


def halfplane(ax, ay, bx, by):
    """Everything to the right of the line a->b (in screen coordinates)."""
    nx, ny = -(by - ay), bx - ax
    ln = math.hypot(nx, ny)
    nx, ny = nx / ln, ny / ln
    return lambda x, y: (x - ax) * nx + (y - ay) * ny


def rotated(f, cx, cy, deg):
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))

    def g(x, y):
        dx, dy = x - cx, y - cy
        return f(cx + dx * c + dy * s, cy - dx * s + dy * c)
    return g


def arc_points(cx, cy, rx, ry, a0, a1, n=16):
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / n)))
            for i in range(n + 1)]


# Canvas
class Canvas:
    """Pixels of w x h; shapes are given in units of 1/scale pixel, so one
    drawing comes out at several sizes."""

    def __init__(self, w, h, scale=1.0):
        self.w, self.h, self.scale = w, h, scale
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]  # straight RGBA, 0..1

    def fill(self, f, colour, alpha=1.0, soft=1.0, bbox=None):
        """Paints colour where f < 0, edges anti-aliased over `soft` pixels;
        bbox is in pixels."""
        x0, y0, x1, y1 = bbox or (0, 0, self.w, self.h)
        r, g, b = (c / 255 for c in colour)
        unit = self.scale
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                d = f((x + 0.5) / unit, (y + 0.5) / unit) * unit
                cov = clamp(0.5 - d / soft) * alpha
                if cov <= 0:
                    continue
                p = self.px[y * self.w + x]
                a = cov + p[3] * (1 - cov)
                if a > 0:
                    for k, c in enumerate((r, g, b)):
                        p[k] = (c * cov + p[k] * p[3] * (1 - cov)) / a
                p[3] = a

    def gradient(self, f, top, bottom, y0, y1, soft=1.0):
        """Fills f with a vertical gradient from top (at y0) to bottom (at y1)."""
        for y in range(self.h):
            t = clamp(((y + 0.5) / self.scale - y0) / ((y1 - y0) or 1))
            colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            self.fill(f, colour, soft=soft, bbox=(0, y, self.w, y + 1))

    def rgba(self, x, y):
        p = self.px[y * self.w + x]
        return tuple(round(clamp(c) * 255) for c in p[:3]) + (round(clamp(p[3]) * 255),)

    def keyed(self, backdrop, threshold=0.3):
        """24-bit rows: the key colour where (almost) nothing is drawn, else the
        drawing blended over backdrop; a drawn pixel never equals the key."""
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a < threshold:
                    row.append(KEY)
                    continue
                c = tuple(round(255 * (v * a) + bd * (1 - a)) for v, bd in zip((r, g, b), backdrop))
                if c == KEY:
                    c = (254, 0, 254)
                row.append(c)
            rows.append(row)
        return rows


# Letters
def stroke(points, w):
    """A polyline of half-width w with round joins."""
    segs = [segment(ax, ay, bx, by, w) for (ax, ay), (bx, by) in zip(points, points[1:])]
    return union(*segs)


def letter_ya(x, y, w, h, s):
    """Cyrillic capital YA in the box (x, y, w, h), strokes of half-width s."""
    right = x + w - s
    top = y + s
    mid = y + h * 0.56
    ry = (mid - top) / 2
    rx = min(ry, (right - x - s) * 0.5)
    bx = x + s + rx                      # where the bowl's straight part ends
    bowl = [(right, top), (bx, top)] + arc_points(bx, top + ry, rx, ry, 270, 90, 20)[1:] + [(right, mid)]
    return union(stroke(bowl, s), segment(right, top, right, y + h - s, s),
                 segment(bx + rx * 0.35, mid, x + s * 1.1, y + h - s, s))


def letter_a(x, y, w, h, s):
    """Latin capital A in the box (x, y, w, h), strokes of half-width s."""
    apex = (x + w / 2, y + s)
    left = segment(apex[0], apex[1], x + s, y + h - s, s)
    right = segment(apex[0], apex[1], x + w - s, y + h - s, s)
    bar_y = y + h * 0.66
    t = (bar_y - apex[1]) / (h - 2 * s)
    bar = segment(apex[0] - (apex[0] - x - s) * t, bar_y, apex[0] + (x + w - s - apex[0]) * t, bar_y, s * 0.85)
    return union(left, right, bar)


# The book
def draw_open_book(cv, size, ox=0.0, oy=0.0):
    """An open book seen from the front, YA on the left page and A on the right,
    drawn into a size x size square whose top-left corner is at (ox, oy)."""
    k = size / 48.0
    mx = ox + 24 * k
    half = 21.5 * k              # width of one page
    top, bottom = oy + 8 * k, oy + 37 * k

    def ytop(t, lift=0.0):       # t = 0 at the spine, 1 at the outer edge
        return top + 4.2 * k * (1 - t) ** 2 - 1.2 * k * t - lift

    def ybot(t, drop=0.0):
        return bottom + 3.2 * k * (1 - t) ** 2 - 1.0 * k * t + drop

    def sheet(side, grow=0.0, drop=0.0):
        ts = [i / 16 for i in range(17)]
        upper = [(mx + side * (half + grow) * t, ytop(t)) for t in ts]
        lower = [(mx + side * (half + grow) * t, ybot(t, drop)) for t in reversed(ts)]
        return polygon(upper + lower)

    # the cover behind everything
    ts = [i / 16 for i in range(17)]
    cover = polygon([(mx - (half + 2.2 * k) * t, ytop(t) + 3 * k) for t in reversed(ts)]
                    + [(mx + (half + 2.2 * k) * t, ytop(t) + 3 * k) for t in ts]
                    + [(mx + (half + 2.2 * k) * t, ybot(t, 4.2 * k)) for t in reversed(ts)][:-1]
                    + [(mx, ybot(0, 5.4 * k))]
                    + [(mx - (half + 2.2 * k) * t, ybot(t, 4.2 * k)) for t in ts][1:])
    cv.gradient(cover, COVER_LIGHT, COVER_DARK, top, bottom + 6 * k)
    # a few sheets below the open pages, then the open pages
    for grow, drop in ((1.2 * k, 2.2 * k), (0.6 * k, 1.1 * k), (0.0, 0.0)):
        for side in (-1, 1):
            p = sheet(side, grow, drop)
            cv.fill(p, PAGE_EDGE)
            cv.fill(lambda x, y, p=p: p(x, y) + max(0.75, 0.9 * k), PAGE)
    for side in (-1, 1):
        p = sheet(side)
        for reach, alpha in ((6.0, 0.25), (4.0, 0.3), (2.2, 0.4)):   # shading towards the spine
            shade = intersect(lambda x, y, p=p: p(x, y) + 0.9 * k, lambda x, y, r=reach: abs(x - mx) - r * k)
            cv.fill(shade, PAGE_SHADE, alpha=alpha, soft=max(1.0, 1.5 * k))
    cv.fill(segment(mx, ytop(0) + 0.3 * k, mx, ybot(0) - 0.3 * k, max(0.45, 0.55 * k)), PAGE_EDGE)
    lw, lh = 12 * k, 15.5 * k
    ly = top + 8.5 * k
    st = max(0.85, 1.6 * k)
    cv.fill(letter_ya(mx - 4.5 * k - lw, ly, lw, lh, st), INK_RED)
    cv.fill(letter_a(mx + 4.5 * k, ly, lw, lh, st), INK_BLUE)


# A hand-placed version for 16x16, where the shapes would blur.
ICON16 = [
    "................",
    "................",
    ".eeee......eeee.",
    "epppppe..epppppe",
    "eppppppeeppppppe",
    "epprrrpeeppbbppe",
    "eprpprpeepbppbpe",
    "epprrrpeepbbbbpe",
    "epprprpeepbppbpe",
    "eprpprpeepbppbpe",
    "eppppppeeppppppe",
    "ceeeeeeeeeeeeeec",
    "cccccccDDccccccc",
    ".cccccccccccccc.",
    "................",
    "................",
]


def draw_icon16():
    cv = Canvas(16, 16)
    pal = {'e': PAGE_EDGE, 'p': PAGE, 'r': INK_RED, 'b': INK_BLUE,
           'c': COVER, 'D': COVER_DARK}
    for y, row in enumerate(ICON16):
        for x, ch in enumerate(row):
            if ch in pal:
                cv.px[y * 16 + x] = [c / 255 for c in pal[ch]] + [1.0]
    return cv


# Tool bar
def draw_pin(cv, ox):
    """A red push-pin stuck in at an angle, its needle pointing down-left."""
    cv.fill(segment(ox + 1.6, 14.4, ox + 6.0, 10.0, 0.65), NEEDLE)
    c = (ox + 9.5, 6.5)
    body = rotated(union(box(c[0] - 2.2, c[1] - 3.0, c[0] + 2.2, c[1] + 2.0, 0.8),   # the grip
                         box(c[0] - 4.2, c[1] + 1.6, c[0] + 4.2, c[1] + 3.9, 1.1),   # the base
                         box(c[0] - 3.4, c[1] - 5.6, c[0] + 3.4, c[1] - 2.8, 1.3)),  # the cap
                   c[0], c[1], 45)
    cv.fill(body, PIN_RED_DARK)
    cv.fill(lambda x, y: body(x, y) + 1.0, PIN_RED)
    cv.fill(rotated(box(c[0] - 2.4, c[1] - 5.0, c[0] - 1.3, c[1] + 3.2, 0.5), c[0], c[1], 45),
            PIN_HILITE, alpha=0.85)


def draw_closed_book(cv, ox):
    """A closed book, cover towards the viewer, with its pages showing."""
    cv.fill(box(ox + 4.0, 1.0, ox + 14.5, 14.0, 1.0), PAGE_EDGE)
    cv.fill(box(ox + 5.0, 2.0, ox + 13.5, 13.0, 0.3), PAGE)
    cover = box(ox + 1.5, 0.5, ox + 12.5, 13.0, 1.0)
    cv.fill(cover, COVER_DARK)
    cv.gradient(lambda x, y: cover(x, y) + 1.0, COVER_LIGHT, COVER, 1, 13)
    cv.fill(box(ox + 1.5, 0.5, ox + 4.0, 13.0, 0.8), COVER_DARK)
    cv.fill(box(ox + 6.0, 3.0, ox + 11.0, 5.0, 0.2), GOLD)
    cv.fill(box(ox + 6.0, 6.0, ox + 10.0, 7.0, 0.2), GOLD, alpha=0.8)
    cv.fill(box(ox + 1.5, 12.0, ox + 14.5, 15.5, 1.0), COVER_DARK)
    cv.fill(box(ox + 3.5, 13.0, ox + 14.5, 14.5, 0.5), PAGE)


def draw_question(cv, ox):
    """A bold question mark."""
    cx, cy, r = ox + 8.0, 5.2, 3.2
    hook = stroke(arc_points(cx, cy, r, r, 170, 405, 24) + [(ox + 8.0, 8.9), (ox + 8.0, 10.2)], 1.4)
    shape = union(hook, circle(ox + 8.0, 13.6, 1.5))
    cv.fill(lambda x, y: shape(x, y) - 0.8, WHITE, alpha=0.9)
    cv.fill(shape, HELP_DARK)
    cv.gradient(lambda x, y: shape(x, y) + 0.8, (80, 140, 225), HELP_BLUE, 1, 15)


def draw_info(cv, ox):
    """A white "i" in a blue circle."""
    disc = circle(ox + 8.0, 8.0, 7.3)
    cv.fill(disc, INFO_DARK)
    cv.gradient(lambda x, y: disc(x, y) + 1.0, (110, 170, 236), INFO_BLUE, 2, 14)
    cv.fill(circle(ox + 8.0, 4.4, 1.25), WHITE)
    cv.fill(union(box(ox + 7.0, 6.5, ox + 9.0, 12.0), box(ox + 6.0, 6.5, ox + 9.0, 7.5),
                  box(ox + 6.0, 11.0, ox + 10.0, 12.0)), WHITE)


def gear(cx, cy, r_out, r_in, r_hole, teeth, tooth_w, phase=0.0):
    parts = [circle(cx, cy, r_in)]
    for i in range(teeth):
        t = box(cx - tooth_w / 2, cy - r_out, cx + tooth_w / 2, cy, 0.5)
        parts.append(rotated(t, cx, cy, phase + 360.0 * i / teeth))
    return subtract(union(*parts), circle(cx, cy, r_hole))


def draw_gear(cv, ox):
    """A gear whose teeth sit on whole pixels: four straight ones and four
    square ones on the diagonals, which stay crisp at this size."""
    c = ox + 8.0
    teeth = [box(c - 2, 1, c + 2, 4), box(c - 2, 12, c + 2, 15),
             box(ox + 1, 6, ox + 4, 10), box(ox + 12, 6, ox + 15, 10)]
    for dx, dy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        x0, y0 = c + dx * 4.0 - 1.0, 8.0 + dy * 4.0 - 1.0
        teeth.append(box(x0, y0, x0 + 2, y0 + 2))
    g = subtract(union(circle(c, 8.0, 4.7), *teeth), circle(c, 8.0, 2.1))
    cv.fill(g, STEEL_DARK, soft=0.6)
    cv.gradient(lambda x, y: g(x, y) + 1.0, STEEL_LIGHT, STEEL, 1, 15, soft=0.6)


def draw_page_search(cv, ox):
    """A page of text lines with a magnifying glass over it."""
    page = box(ox + 1.0, 0.5, ox + 11.5, 14.5, 0.8)
    cv.fill(page, PAGE_EDGE)
    cv.fill(lambda x, y: page(x, y) + 1.0, PAGE)
    for i, y in enumerate((3.0, 5.5, 8.0, 10.5, 13.0)):
        cv.fill(box(ox + 2.8, y - 0.5, ox + (9.5 if i % 2 == 0 else 7.5), y + 0.5), (120, 120, 128))
    cv.fill(segment(ox + 11.2, 11.2, ox + 14.6, 14.6, 1.3), STEEL_DARK)
    lens = circle(ox + 9.0, 9.0, 3.9)
    cv.fill(lens, STEEL_DARK)
    cv.fill(lambda x, y: lens(x, y) + 1.1, (214, 232, 250), alpha=0.9)
    cv.fill(segment(ox + 7.4, 7.8, ox + 8.6, 6.8, 0.45), WHITE, alpha=0.9)


TOOLBAR_IMAGES = (draw_pin, draw_closed_book, draw_question, draw_info, draw_gear,
                  draw_page_search)


def draw_toolbar(size=16):
    width = size * len(TOOLBAR_IMAGES)
    cv = Canvas(width, size)
    for i, fn in enumerate(TOOLBAR_IMAGES):
        sub = Canvas(size, size, size / 16)
        fn(sub, 0)
        for y in range(size):
            for x in range(size):
                cv.px[y * width + i * size + x] = sub.px[y * size + x]
    return cv


# Options icon
def draw_options_icon(size=32):
    cv = Canvas(size, size, size / 32)
    # three sliders on a rounded panel, and a gear in front
    panel = box(2.0, 3.0, 26.0, 25.0, 3.0)
    cv.fill(panel, STEEL_DARK)
    cv.gradient(lambda x, y: panel(x, y) + 1.0, (250, 251, 253), (214, 220, 230), 3, 25)
    for i, (y, knob) in enumerate(((8.5, 18.0), (14.0, 9.0), (19.5, 14.5))):
        cv.fill(segment(6.0, y, 22.0, y, 1.0), (150, 158, 170))
        cv.fill(segment(6.0, y, knob, y, 1.0), COVER_LIGHT)
        k = box(knob - 2.0, y - 3.0, knob + 2.0, y + 3.0, 1.2)
        cv.fill(k, COVER_DARK)
        cv.gradient(lambda x, y, k=k: k(x, y) + 1.0, (120, 170, 230), COVER, y - 3, y + 3)
    g = gear(23.0, 23.0, 8.4, 6.0, 2.5, 8, 3.2, 0.0)
    cv.fill(lambda x, y: g(x, y) - 1.0, WHITE)
    cv.fill(g, STEEL_DARK)
    cv.gradient(lambda x, y: g(x, y) + 1.1, STEEL_LIGHT, STEEL, 15, 31)
    return cv


# About logo
def draw_logo(scale=1.0):
    w, h = 97, 90
    cv = Canvas(round(w * scale), round(h * scale), scale)
    # a soft shadow the book rests on
    shadow = lambda x, y: (math.hypot((x - 48.5) / 44.0, (y - 80.0) / 6.0) - 1.0) * 6.0
    cv.fill(shadow, (150, 160, 178), alpha=0.35, soft=6.0)
    draw_open_book(cv, 92, 2.5, -4.0)
    return cv


# Writers
def bmp24(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def ico(canvases):
    images = []
    for cv in canvases:
        w, h = cv.w, cv.h
        xor = bytearray()
        for y in reversed(range(h)):
            for x in range(w):
                r, g, b, a = cv.rgba(x, y)
                if a == 0:
                    r = g = b = 0
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        andm = bytearray()
        for y in reversed(range(h)):
            line = bytearray(mask_stride)
            for x in range(w):
                if cv.rgba(x, y)[3] == 0:
                    line[x // 8] |= 0x80 >> (x % 8)
            andm += line
        info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
        images.append((w, h, info + bytes(xor) + bytes(andm)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, blob in images:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, _, blob in images:
        out += blob
    return out


def png(rows_rgba, scale):
    """A PNG of RGBA rows, each pixel repeated scale x scale times."""
    h, w = len(rows_rgba), len(rows_rgba[0])
    raw = bytearray()
    for row in rows_rgba:
        line = bytearray(b'\0')
        for px in row:
            line += bytes(px) * scale
        raw += bytes(line) * scale

    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w * scale, h * scale, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def checker(rows_rgba):
    """Composites RGBA rows over a light checkerboard, for previews."""
    out = []
    for y, row in enumerate(rows_rgba):
        line = []
        for x, (r, g, b, a) in enumerate(row):
            bg = 230 if (x // 4 + y // 4) % 2 else 200
            line.append(tuple(round(c * a / 255 + bg * (1 - a / 255)) for c in (r, g, b)) + (255,))
        out.append(line)
    return out


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outdir = os.path.join(root, 'resources', 'images')
    os.makedirs(outdir, exist_ok=True)
    preview = None
    if len(sys.argv) == 3 and sys.argv[1] == '--preview':
        preview = sys.argv[2]
        os.makedirs(preview, exist_ok=True)

    icons = [draw_icon16()]
    for size in (32, 48):
        cv = Canvas(size, size)
        draw_open_book(cv, size)
        icons.append(cv)
    toolbar = draw_toolbar()
    logo = draw_logo()
    options = draw_options_icon()

    with open(os.path.join(outdir, 'Lexmora.ico'), 'wb') as f:
        f.write(ico(icons))
    keyed = {'Toolbar.bmp': toolbar.keyed(BUTTON_FACE), 'AboutLogo.bmp': logo.keyed(WINDOW),
             'OptionsIcon.bmp': options.keyed(WINDOW)}
    for size in (24, 32):
        keyed['Toolbar%d.bmp' % size] = draw_toolbar(size).keyed(BUTTON_FACE)
    for percent in (150, 200):
        keyed['AboutLogo%d.bmp' % percent] = draw_logo(percent / 100).keyed(WINDOW)
        keyed['OptionsIcon%d.bmp' % (32 * percent // 100)] = \
            draw_options_icon(32 * percent // 100).keyed(WINDOW)
    for name, rows in keyed.items():
        with open(os.path.join(outdir, name), 'wb') as f:
            f.write(bmp24(rows))

    if preview:
        for cv, name in zip(icons, ('icon16', 'icon32', 'icon48')):
            rows = [[cv.rgba(x, y) for x in range(cv.w)] for y in range(cv.h)]
            with open(os.path.join(preview, name + '.png'), 'wb') as f:
                f.write(png(checker(rows), 8 if cv.w < 48 else 6))
        for name, rows in keyed.items():
            rgba = [[(236, 236, 236, 255) if px == KEY else px + (255,) for px in row] for row in rows]
            with open(os.path.join(preview, name[:-4] + '.png'), 'wb') as f:
                f.write(png(rgba, 8))


if __name__ == '__main__':
    main()
