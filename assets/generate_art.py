#!/usr/bin/env python3
"""Draws Orvendal's four 8-bit bitmaps.

  backimage.bmp  640x480  the space backdrop; its colour table is the game's display palette
  strings.bmp    600x96   the 8x16 bitmap font in five colour bands, plus frame pieces
  menu.bmp       276x200  title lettering, menu captions and the cursor
  character.bmp  640x300  the rolling ship frames and the two orbs
  icons/         the program's icon: orvendal-N.png at 16, 32, 48, 64, 128 and 256 pixels,
                 and orvendal.ico holding all six

Everything is computed here from fixed seeds, so every run writes the same bytes.
Usage: generate_art.py [output-dir]   (default: the folder of this script)

BACKIMAGE, STRINGS and MENU share the display palette ("table A"). CHARACTER has its own
colour table ("table B"): when the game copies it into video memory each of its colours
becomes the closest display-palette entry, so every sprite colour of table B sits a few
units from one reserved display entry and far from all the others.
"""

import math
import os
import struct
import sys
import zlib

# ----------------------------------------------------------------------------------------------
# Small helpers


class Rng:
    """A 64-bit xorshift-multiply generator; independent of the Python version."""

    MASK = (1 << 64) - 1

    def __init__(self, seed):
        self.s = (seed * 0x9E3779B97F4A7C15 + 0x632BE59BD9B4E019) & self.MASK or 1

    def next_u64(self):
        s = self.s
        s ^= (s >> 12)
        s ^= (s << 25) & self.MASK
        s ^= (s >> 27)
        self.s = s
        return (s * 0x2545F4914F6CDD1D) & self.MASK

    def random(self):
        return (self.next_u64() >> 11) / float(1 << 53)

    def uniform(self, a, b):
        return a + (b - a) * self.random()

    def randint(self, a, b):
        return a + self.next_u64() % (b - a + 1)


def clamp(v, lo, hi):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def dist2(a, b):
    return (a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2 + (a[2] - b[2]) ** 2


def nearest_index(table, rgb):
    """Closest table entry by squared RGB distance, ties to the lowest index."""
    best, best_d = 0, 1 << 30
    r, g, b = rgb
    for i, (tr, tg, tb) in enumerate(table):
        d = (tr - r) * (tr - r) + (tg - g) * (tg - g) + (tb - b) * (tb - b)
        if d < best_d:
            best, best_d = i, d
    return best


# 8x8 ordered-dither thresholds in (-0.5, 0.5)
BAYER8 = [[0, 32, 8, 40, 2, 34, 10, 42], [48, 16, 56, 24, 50, 18, 58, 26],
          [12, 44, 4, 36, 14, 46, 6, 38], [60, 28, 52, 20, 62, 30, 54, 22],
          [3, 35, 11, 43, 1, 33, 9, 41], [51, 19, 59, 27, 49, 17, 57, 25],
          [15, 47, 7, 39, 13, 45, 5, 37], [63, 31, 55, 23, 61, 29, 53, 21]]
BAYER8 = [[(v + 0.5) / 64.0 - 0.5 for v in row] for row in BAYER8]

# ----------------------------------------------------------------------------------------------
# Colour tables

KEY = 145  # colour key of STRINGS and MENU (green 21,141,91)
YELLOW = 240
TEAL = 42
RED = 112
CYAN_INDEX = 241
# A display palette made without DDPCAPS_ALLOW256 always shows entry 0 as black and entry
# 255 as white, so those two entries hold the black and the near-white of the artwork.
BLACK = 0
NEAR_WHITE = 255

FIXED = {
    BLACK: (0, 0, 0),
    NEAR_WHITE: (252, 252, 252),
    TEAL: (8, 218, 152),
    RED: (236, 3, 14),
    KEY: (21, 141, 91),
    YELLOW: (251, 254, 16),
    CYAN_INDEX: (40, 247, 237),
}

# Sprite colours: the display entries that CHARACTER's colours land on. Each is kept at
# least SPRITE_CLEARANCE away from every other display entry.
SPRITE = {
    'outline': (22, 20, 38),
    'hull0': (64, 68, 82),
    'hull1': (106, 110, 126),
    'hull2': (152, 156, 172),
    'hull3': (198, 202, 214),
    'white': (252, 252, 252),
    'glass0': (16, 48, 110),
    'glass1': (40, 130, 210),
    'pale1': (200, 230, 255),
    'pale0': (130, 180, 250),
    'accent0': (150, 24, 36),
    'accent1': (222, 60, 44),
    'flame1': (230, 96, 24),
    'flame2': (255, 180, 50),
    'flame3': (255, 244, 150),
    'green0': (12, 64, 40),
    'green1': (24, 120, 56),
    'green2': (70, 186, 72),
    'green3': (170, 240, 130),
    'blue0': (10, 20, 76),
    'blue1': (24, 70, 170),
    'blue2': (60, 140, 240),
    'tealmix': (20, 150, 150),
    'rim': (40, 247, 237),  # the shared cyan
}
# The entry pure blue (CHARACTER's background) lands on: it becomes transparent there.
BLUE_KEY_TARGET = (0, 4, 250)
SPRITE_CLEARANCE = 36

# Font band colour ramps, top row to bottom row (shading per glyph row 1..15).
BAND_COLOURS = {
    'band3': [(190, 220, 170), (150, 180, 130), (110, 140, 95), (76, 100, 64)],
    'yellow': [(240, 200, 8), (204, 140, 0)],
    'red': [(255, 150, 140), (200, 10, 20)],
}


def build_backdrop_palette(free_count, fixed_colours, protected, image):
    """Chooses free_count colours for the backdrop by median cut plus a few refinement
    passes over the rendered picture, keeping clear of the protected sprite colours."""
    hist = {}
    for (r, g, b) in image:
        key = (int(r) >> 2, int(g) >> 2, int(b) >> 2)
        hist[key] = hist.get(key, 0) + 1
    points = [((k[0] << 2) + 2, (k[1] << 2) + 2, (k[2] << 2) + 2, math.sqrt(n))
              for k, n in sorted(hist.items())]

    # Median cut over weighted points.
    boxes = [points]
    while len(boxes) < free_count:
        best_i, best_score, best_axis = -1, -1.0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            w = sum(p[3] for p in box)
            for axis in range(3):
                lo = min(p[axis] for p in box)
                hi = max(p[axis] for p in box)
                score = (hi - lo) * math.sqrt(w)
                if score > best_score:
                    best_i, best_score, best_axis = i, score, axis
        if best_i < 0:
            break
        box = sorted(boxes[best_i], key=lambda p: (p[best_axis], p[0], p[1], p[2]))
        total = sum(p[3] for p in box)
        acc, cut = 0.0, 1
        for j, p in enumerate(box):
            acc += p[3]
            if acc >= total / 2:
                cut = clamp(j + 1, 1, len(box) - 1)
                break
        boxes[best_i:best_i + 1] = [box[:cut], box[cut:]]

    def mean(box):
        w = sum(p[3] for p in box)
        return [sum(p[k] * p[3] for p in box) / w for k in range(3)]

    centres = [mean(b) for b in boxes]
    anchors = list(fixed_colours)
    # Refinement: points are assigned to the nearest of centres+anchors; centres move.
    for _ in range(3):
        sums = [[0.0, 0.0, 0.0, 0.0] for _ in centres]
        everything = centres + anchors
        for p in points:
            i = nearest_index(everything, p[:3])
            if i < len(centres):
                s = sums[i]
                s[0] += p[0] * p[3]
                s[1] += p[1] * p[3]
                s[2] += p[2] * p[3]
                s[3] += p[3]
        for i, s in enumerate(sums):
            if s[3] > 0:
                centres[i] = [s[0] / s[3], s[1] / s[3], s[2] / s[3]]

    # Keep clear of sprite colours and make every entry distinct.
    result = []
    taken = set(tuple(c) for c in fixed_colours)
    for c in centres:
        c = list(c)
        for p in protected:
            d = math.sqrt(dist2(c, p))
            if d < SPRITE_CLEARANCE + 1:
                if d < 1e-6:
                    c = [p[0] + 17, p[1] + 17, p[2] + 17]
                    d = math.sqrt(dist2(c, p))
                f = (SPRITE_CLEARANCE + 1) / d
                c = [p[k] + (c[k] - p[k]) * f for k in range(3)]
        c = tuple(int(clamp(round(v), 0, 255)) for v in c)
        if any(dist2(c, p) < SPRITE_CLEARANCE**2 for p in protected):
            c = None  # squeezed against the edge of the cube: drop it
        if c is None or c in taken:
            continue
        taken.add(c)
        result.append(c)
    # Fill any dropped slots with extra dark greys away from everything protected.
    level = 3
    while len(result) < free_count:
        c = (level, level, level + 2)
        level += 1
        if c in taken or any(dist2(c, p) < SPRITE_CLEARANCE**2 for p in protected):
            continue
        taken.add(c)
        result.append(c)
    result.sort(key=lambda c: (0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2], c))
    return result


def build_table_a(backdrop_image):
    """Returns (table_a, named) where named maps a colour name to its index."""
    table = [None] * 256
    named = {}
    for i, c in FIXED.items():
        table[i] = c
    # Sprite colours at 200.., font colours at 242.., the blue-key target at 199.
    slot = 200
    for name, c in SPRITE.items():
        if c in table:
            named[name] = table.index(c)
            continue
        while table[slot] is not None:
            slot += 1
        table[slot] = c
        named[name] = slot
    table[199] = BLUE_KEY_TARGET
    named['blue_key_target'] = 199
    slot = 242
    for band, colours in BAND_COLOURS.items():
        for k, c in enumerate(colours):
            if c in table:
                named['%s%d' % (band, k)] = table.index(c)
                continue
            while table[slot] is not None:
                slot += 1
            table[slot] = c
            named['%s%d' % (band, k)] = slot
    fixed = [c for c in table if c is not None]
    protected = list(SPRITE.values()) + [BLUE_KEY_TARGET]
    free = [i for i in range(256) if table[i] is None]
    colours = build_backdrop_palette(len(free), fixed, protected, backdrop_image)
    for i, c in zip(free, colours):
        table[i] = c
    assert len(set(table)) == 256, 'display palette entries must be distinct'
    for p in protected:
        for c in table:
            assert c == p or dist2(c, p) >= SPRITE_CLEARANCE**2, (p, c)
    return table, named


def build_table_b(table_a, sprite_names):
    """CHARACTER's colour table: white, a run of greys, the sprite colours, pure blue at 201.
    Each sprite colour is its display entry nudged a few units; returns (table, index map)."""

    def nudge(c):
        # Step about five units from the entry, in the direction that keeps clearest of
        # every other display entry.
        others = [a for a in table_a if a != c]
        best, best_score = None, -1.0
        for dr in (-3, 0, 3):
            for dg in (-3, 0, 3):
                for db in (-3, 0, 3):
                    n = (c[0] + dr, c[1] + dg, c[2] + db)
                    if dr * dr + dg * dg + db * db < 18 or not all(0 <= v <= 255 for v in n):
                        continue
                    score = min(dist2(n, a) for a in others)
                    if score > best_score:
                        best, best_score = n, score
        return best

    table = [(255, 255, 255)]
    index = {'white': 0}
    # The run of greys, light to dark: the hull shades and some plain greys.
    greys = [(nudge(SPRITE[name]), name) for name in ('hull3', 'hull2', 'hull1', 'hull0')]
    greys += [((v, v, v), None) for v in (233, 177, 129, 87, 45, 25, 13)]
    greys.sort(key=lambda g: -sum(g[0]))
    for colour, name in greys:
        if name:
            index[name] = len(table)
        table.append(colour)
    for name in sprite_names:
        if name in index:
            continue
        index[name] = len(table)
        table.append(nudge(SPRITE[name]))
    # Fill up to 201 and beyond with a quiet hue sweep (no sprite uses these).
    k = 0
    while len(table) < 256:
        if len(table) == 201:
            table.append((0, 0, 255))
            continue
        h = (k * 0.61803398875) % 1.0
        k += 1
        light = 60 + (k * 37) % 150
        r = light * (0.6 + 0.4 * math.cos(6.2831853 * h))
        g = light * (0.6 + 0.4 * math.cos(6.2831853 * (h - 0.333)))
        b = light * (0.6 + 0.4 * math.cos(6.2831853 * (h - 0.667)))
        c = (int(r) | 1, int(g) | 1, int(b) | 1)
        if c in table_a or c in table:
            continue
        table.append(c)
    index['background'] = 201
    assert not set(table) & set(table_a), 'the two colour tables must not share a colour'
    return table, index


# ----------------------------------------------------------------------------------------------
# BMP writing


def write_bmp(path, width, height, table, pixels):
    """8-bit bottom-up Windows bitmap; pixels is a bytearray of top-down rows."""
    assert width % 4 == 0 and len(pixels) == width * height and len(table) == 256
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, width * height, 0, 0, 0, 0)
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in table)
    body = bytearray()
    for y in range(height - 1, -1, -1):
        body += pixels[y * width:(y + 1) * width]
    offset = 14 + len(info) + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + colours + bytes(body))


# ----------------------------------------------------------------------------------------------
# Value noise


class Noise2D:
    """Smooth lattice value noise with fractal sums."""

    def __init__(self, seed, size=256):
        rng = Rng(seed)
        self.size = size
        self.vals = [rng.random() for _ in range(size * size)]

    def at(self, x, y):
        s = self.size
        ix, iy = math.floor(x), math.floor(y)
        fx, fy = x - ix, y - iy
        fx = fx * fx * (3 - 2 * fx)
        fy = fy * fy * (3 - 2 * fy)
        x0, y0 = ix % s, iy % s
        x1, y1 = (x0 + 1) % s, (y0 + 1) % s
        v = self.vals
        a = v[y0 * s + x0]
        b = v[y0 * s + x1]
        c = v[y1 * s + x0]
        d = v[y1 * s + x1]
        top = a + (b - a) * fx
        bot = c + (d - c) * fx
        return top + (bot - top) * fy

    def fbm(self, x, y, octaves, gain=0.5):
        total, amp, norm = 0.0, 1.0, 0.0
        for o in range(octaves):
            total += amp * self.at(x + o * 37.1, y + o * 17.3)
            norm += amp
            amp *= gain
            x *= 2.03
            y *= 2.03
        return total / norm


# ----------------------------------------------------------------------------------------------
# BACKIMAGE: the space backdrop

BW, BH = 640, 480
STAR_X, STAR_Y = 118, 92  # the bright star with the lens flare


def render_backdrop():
    """Returns the backdrop as a flat list of (r, g, b) floats in 0..255."""
    nb = Noise2D(101)
    nr = Noise2D(202)
    nw = Noise2D(303)
    nd = Noise2D(404)
    hw, hh = BW // 2, BH // 2
    half = []
    for y in range(hh):
        for x in range(hw):
            px, py = x * 2.0, y * 2.0
            # Domain warp gives the clouds their wisps.
            wx = nw.fbm(px / 150.0, py / 150.0, 3) - 0.5
            wy = nw.fbm(px / 150.0 + 9.7, py / 150.0 + 3.1, 3) - 0.5
            qx, qy = px + wx * 140.0, py + wy * 140.0
            # Blue cloud: a broad diagonal band from the upper left towards the right.
            band_b = math.exp(-((qy - (250.0 - qx * 0.42)) / 120.0) ** 2)
            fb = nb.fbm(qx / 110.0, qy / 110.0, 5)
            db = smoothstep(0.38, 0.78, fb * (0.55 + 0.65 * band_b)) * (0.35 + 0.65 * band_b)
            # Red cloud: lower right and a tongue reaching the bottom left.
            blob = (math.exp(-(((qx - 500.0) / 190.0) ** 2 + ((qy - 350.0) / 130.0) ** 2)) +
                    0.7 * math.exp(-(((qx - 120.0) / 160.0) ** 2 + ((qy - 440.0) / 90.0) ** 2)))
            fr = nr.fbm(qx / 95.0, qy / 95.0, 5)
            dr = smoothstep(0.34, 0.80, fr * (0.45 + 0.75 * blob)) * min(1.0, 0.25 + blob)
            # Dark dust lanes eat into both.
            dust = smoothstep(0.50, 0.72, nd.fbm(px / 70.0, py / 70.0, 4))
            keep = 1.0 - 0.75 * dust
            db *= keep
            dr *= keep
            r = 255.0 * (0.05 * db + 0.85 * dr + 0.55 * dr ** 3 + 0.35 * db ** 4)
            g = 255.0 * (0.18 * db ** 1.5 + 0.10 * dr ** 1.5 + 0.55 * dr ** 4 + 0.45 * db ** 3.5)
            b = 255.0 * (0.70 * db + 0.12 * dr + 0.35 * db ** 3 + 0.18 * dr ** 3)
            # A faint violet floor so the black is not flat.
            floor = 0.5 + 0.5 * nd.at(px / 40.0 + 50.0, py / 40.0)
            r += 3.0 * floor
            b += 7.0 * floor
            half.append((r, g, b))
    # Bilinear upscale to full size.
    img = [None] * (BW * BH)
    for y in range(BH):
        sy = clamp((y - 0.5) / 2.0, 0.0, hh - 1.0)
        y0 = int(sy)
        y1 = min(y0 + 1, hh - 1)
        fy = sy - y0
        for x in range(BW):
            sx = clamp((x - 0.5) / 2.0, 0.0, hw - 1.0)
            x0 = int(sx)
            x1 = min(x0 + 1, hw - 1)
            fx = sx - x0
            a, b = half[y0 * hw + x0], half[y0 * hw + x1]
            c, d = half[y1 * hw + x0], half[y1 * hw + x1]
            img[y * BW + x] = [
                (a[k] * (1 - fx) + b[k] * fx) * (1 - fy) + (c[k] * (1 - fx) + d[k] * fx) * fy
                for k in range(3)
            ]
    add_stars(img)
    add_flare(img)
    return [tuple(clamp(v, 0.0, 255.0) for v in p) for p in img]


STAR_TINTS = [(255, 255, 255), (190, 215, 255), (255, 240, 200), (255, 200, 140),
              (255, 150, 120), (160, 190, 255), (255, 255, 255)]


def add_light(img, x, y, rgb, amount):
    if 0 <= x < BW and 0 <= y < BH and amount > 0:
        p = img[y * BW + x]
        p[0] += rgb[0] * amount
        p[1] += rgb[1] * amount
        p[2] += rgb[2] * amount


def add_stars(img):
    rng = Rng(7)
    # Faint dust of single-pixel stars.
    for _ in range(1400):
        x, y = rng.randint(0, BW - 1), rng.randint(0, BH - 1)
        tint = STAR_TINTS[rng.randint(0, len(STAR_TINTS) - 1)]
        add_light(img, x, y, tint, 0.15 + 0.6 * rng.random() ** 2.5)
    # Medium stars: a bright pixel with a soft cross.
    for _ in range(160):
        x, y = rng.randint(0, BW - 1), rng.randint(0, BH - 1)
        tint = STAR_TINTS[rng.randint(0, len(STAR_TINTS) - 1)]
        a = 0.7 + 0.5 * rng.random()
        add_light(img, x, y, tint, a)
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            add_light(img, x + dx, y + dy, tint, a * 0.35)
    # A few big ones with short spikes.
    for _ in range(22):
        x, y = rng.randint(8, BW - 9), rng.randint(8, BH - 9)
        tint = STAR_TINTS[rng.randint(0, len(STAR_TINTS) - 1)]
        length = rng.randint(3, 7)
        for dy in range(-2, 3):
            for dx in range(-2, 3):
                r2 = dx * dx + dy * dy
                add_light(img, x + dx, y + dy, tint, 1.3 * math.exp(-r2 / 1.2))
        for k in range(2, length + 1):
            f = 0.8 * (1.0 - k / (length + 1.0))
            for dx, dy in ((k, 0), (-k, 0), (0, k), (0, -k)):
                add_light(img, x + dx, y + dy, tint, f)


def add_flare(img):
    cx, cy = STAR_X, STAR_Y
    # Glow, core and a thin halo ring.
    for y in range(max(0, cy - 110), min(BH, cy + 111)):
        for x in range(max(0, cx - 110), min(BW, cx + 111)):
            dx, dy = x - cx, y - cy
            r = math.sqrt(dx * dx + dy * dy)
            core = 2.6 * math.exp(-(r / 4.0) ** 2)
            glow = 0.9 * math.exp(-r / 13.0) + 0.25 * math.exp(-r / 40.0)
            ring = 0.22 * math.exp(-((r - 58.0) / 2.2) ** 2)
            p = img[y * BW + x]
            p[0] += 255 * (core + glow * 0.92 + ring * 0.55)
            p[1] += 255 * (core + glow * 0.95 + ring * 0.80)
            p[2] += 255 * (core + glow * 1.00 + ring * 1.00)
    # Rays: long ones on the axes, shorter diagonals, and a wide horizontal streak.
    rays = [(0, 230, 1.0), (90, 150, 0.9), (180, 210, 1.0), (270, 140, 0.9), (45, 70, 0.55),
            (135, 60, 0.5), (225, 75, 0.55), (315, 65, 0.5), (20, 55, 0.3), (200, 50, 0.3)]
    for angle, length, strength in rays:
        a = math.radians(angle)
        ux, uy = math.cos(a), math.sin(a)
        steps = int(length * 2)
        for s in range(4, steps):
            d = s * 0.5
            f = strength * (1.0 - d / length) ** 1.6 * 0.55
            px, py = cx + ux * d, cy + uy * d
            ix, iy = int(round(px)), int(round(py))
            add_light(img, ix, iy, (235, 240, 255), f * 0.5)
            # soft shoulder perpendicular to the ray
            add_light(img, int(round(px - uy)), int(round(py + ux)), (150, 180, 255), f * 0.12)
            add_light(img, int(round(px + uy)), int(round(py - ux)), (150, 180, 255), f * 0.12)
    for x in range(0, BW):
        dx = abs(x - cx)
        f = 0.45 * math.exp(-dx / 120.0)
        for dy, w in ((0, 1.0), (-1, 0.35), (1, 0.35)):
            add_light(img, x, cy + dy, (120, 170, 255), f * w)
    # Ghost discs along the line from the star through the centre of the screen.
    vx, vy = BW / 2 - cx, BH / 2 - cy
    ghosts = [(0.55, 9, (90, 255, 170), 0.16), (0.78, 5, (255, 200, 120), 0.22),
              (1.25, 16, (150, 120, 255), 0.12), (1.45, 4, (120, 255, 230), 0.25),
              (1.8, 28, (255, 150, 110), 0.08), (2.15, 11, (140, 200, 255), 0.14)]
    for t, rad, tint, strength in ghosts:
        gx, gy = cx + vx * t, cy + vy * t
        for y in range(int(gy - rad - 3), int(gy + rad + 4)):
            for x in range(int(gx - rad - 3), int(gx + rad + 4)):
                r = math.sqrt((x - gx) ** 2 + (y - gy) ** 2)
                if r > rad + 2.5:
                    continue
                inside = smoothstep(rad + 1.5, rad - 0.5, r)
                edge = math.exp(-((r - rad) / 1.1) ** 2)
                add_light(img, x, y, tint, strength * (0.55 * inside + 0.9 * edge))


def quantise_backdrop(img, table):
    cache = {}
    out = bytearray(BW * BH)
    for y in range(BH):
        row = BAYER8[y & 7]
        for x in range(BW):
            r, g, b = img[y * BW + x]
            lum = 0.3 * r + 0.59 * g + 0.11 * b
            amp = 10.0 + 0.06 * lum  # palette steps grow with brightness
            t = row[x & 7] * amp
            key = (int(clamp(r + t, 0, 255)) >> 1, int(clamp(g + t, 0, 255)) >> 1,
                   int(clamp(b + t, 0, 255)) >> 1)
            i = cache.get(key)
            if i is None:
                i = nearest_index(table, (key[0] * 2 + 1, key[1] * 2 + 1, key[2] * 2 + 1))
                cache[key] = i
            out[y * BW + x] = i
    return out


# ----------------------------------------------------------------------------------------------
# Glyph shapes

# 5x7 capitals, digits and punctuation for codes 32..94 (code 92 is a yen sign).
FONT5X7 = {
    ' ': [],
    '!': ['..#..', '..#..', '..#..', '..#..', '..#..', '.....', '..#..'],
    '"': ['.#.#.', '.#.#.', '.#.#.', '.....', '.....', '.....', '.....'],
    '#': ['.#.#.', '.#.#.', '#####', '.#.#.', '#####', '.#.#.', '.#.#.'],
    '$': ['..#..', '.####', '#.#..', '.###.', '..#.#', '####.', '..#..'],
    '%': ['##...', '##..#', '...#.', '..#..', '.#...', '#..##', '...##'],
    '&': ['.##..', '#..#.', '#.#..', '.#...', '#.#.#', '#..#.', '.##.#'],
    "'": ['..#..', '..#..', '.#...', '.....', '.....', '.....', '.....'],
    '(': ['...#.', '..#..', '.#...', '.#...', '.#...', '..#..', '...#.'],
    ')': ['.#...', '..#..', '...#.', '...#.', '...#.', '..#..', '.#...'],
    '*': ['.....', '..#..', '#.#.#', '.###.', '#.#.#', '..#..', '.....'],
    '+': ['.....', '..#..', '..#..', '#####', '..#..', '..#..', '.....'],
    ',': ['.....', '.....', '.....', '.....', '.##..', '..#..', '.#...'],
    '-': ['.....', '.....', '.....', '#####', '.....', '.....', '.....'],
    '.': ['.....', '.....', '.....', '.....', '.....', '.##..', '.##..'],
    '/': ['.....', '....#', '...#.', '..#..', '.#...', '#....', '.....'],
    '0': ['.###.', '#...#', '#..##', '#.#.#', '##..#', '#...#', '.###.'],
    '1': ['..#..', '.##..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    '2': ['.###.', '#...#', '....#', '...#.', '..#..', '.#...', '#####'],
    '3': ['#####', '...#.', '..#..', '...#.', '....#', '#...#', '.###.'],
    '4': ['...#.', '..##.', '.#.#.', '#..#.', '#####', '...#.', '...#.'],
    '5': ['#####', '#....', '####.', '....#', '....#', '#...#', '.###.'],
    '6': ['..##.', '.#...', '#....', '####.', '#...#', '#...#', '.###.'],
    '7': ['#####', '....#', '...#.', '..#..', '.#...', '.#...', '.#...'],
    '8': ['.###.', '#...#', '#...#', '.###.', '#...#', '#...#', '.###.'],
    '9': ['.###.', '#...#', '#...#', '.####', '....#', '...#.', '.##..'],
    ':': ['.....', '.##..', '.##..', '.....', '.##..', '.##..', '.....'],
    ';': ['.....', '.##..', '.##..', '.....', '.##..', '..#..', '.#...'],
    '<': ['...#.', '..#..', '.#...', '#....', '.#...', '..#..', '...#.'],
    '=': ['.....', '.....', '#####', '.....', '#####', '.....', '.....'],
    '>': ['.#...', '..#..', '...#.', '....#', '...#.', '..#..', '.#...'],
    '?': ['.###.', '#...#', '....#', '...#.', '..#..', '.....', '..#..'],
    '@': ['.###.', '#...#', '....#', '.##.#', '#.#.#', '#.#.#', '.###.'],
    'A': ['.###.', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'B': ['####.', '#...#', '#...#', '####.', '#...#', '#...#', '####.'],
    'C': ['.###.', '#...#', '#....', '#....', '#....', '#...#', '.###.'],
    'D': ['###..', '#..#.', '#...#', '#...#', '#...#', '#..#.', '###..'],
    'E': ['#####', '#....', '#....', '####.', '#....', '#....', '#####'],
    'F': ['#####', '#....', '#....', '####.', '#....', '#....', '#....'],
    'G': ['.###.', '#...#', '#....', '#.###', '#...#', '#...#', '.####'],
    'H': ['#...#', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'I': ['.###.', '..#..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    'J': ['..###', '...#.', '...#.', '...#.', '...#.', '#..#.', '.##..'],
    'K': ['#...#', '#..#.', '#.#..', '##...', '#.#..', '#..#.', '#...#'],
    'L': ['#....', '#....', '#....', '#....', '#....', '#....', '#####'],
    'M': ['#...#', '##.##', '#.#.#', '#.#.#', '#...#', '#...#', '#...#'],
    'N': ['#...#', '#...#', '##..#', '#.#.#', '#..##', '#...#', '#...#'],
    'O': ['.###.', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'P': ['####.', '#...#', '#...#', '####.', '#....', '#....', '#....'],
    'Q': ['.###.', '#...#', '#...#', '#...#', '#.#.#', '#..#.', '.##.#'],
    'R': ['####.', '#...#', '#...#', '####.', '#.#..', '#..#.', '#...#'],
    'S': ['.####', '#....', '#....', '.###.', '....#', '....#', '####.'],
    'T': ['#####', '..#..', '..#..', '..#..', '..#..', '..#..', '..#..'],
    'U': ['#...#', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'V': ['#...#', '#...#', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'W': ['#...#', '#...#', '#...#', '#.#.#', '#.#.#', '#.#.#', '.#.#.'],
    'X': ['#...#', '#...#', '.#.#.', '..#..', '.#.#.', '#...#', '#...#'],
    'Y': ['#...#', '#...#', '.#.#.', '..#..', '..#..', '..#..', '..#..'],
    'Z': ['#####', '....#', '...#.', '..#..', '.#...', '#....', '#####'],
    '[': ['.###.', '.#...', '.#...', '.#...', '.#...', '.#...', '.###.'],
    '\\': ['#...#', '.#.#.', '#####', '..#..', '#####', '..#..', '..#..'],  # yen sign
    ']': ['.###.', '...#.', '...#.', '...#.', '...#.', '...#.', '.###.'],
    '^': ['..#..', '.#.#.', '#...#', '.....', '.....', '.....', '.....'],
}

# Glyphs drawn directly in their bold form (up to 7 columns) where widening the 5x7 shape
# would close its gaps.
FONT_BOLD = {
    '#': ['.#..#.', '.#..#.', '######', '.#..#.', '######', '.#..#.', '.#..#.'],
    '$': ['..##..', '.#####', '##.#..', '.####.', '..#.##', '#####.', '..##..'],
    '%': ['##...#', '##..##', '...##.', '..##..', '.##...', '##..##', '#...##'],
    '&': ['.###..', '##.##.', '##.##.', '.###..', '##.#.#', '##..#.', '.##.##'],
    '@': ['.####.', '##..##', '....##', '.#####', '##.###', '##.###', '.####.'],
    'M': ['##...##', '###.###', '##.#.##', '##.#.##', '##...##', '##...##', '##...##'],
    'N': ['##..##', '###.##', '######', '##.###', '##..##', '##..##', '##..##'],
    'W': ['##...##', '##...##', '##...##', '##.#.##', '##.#.##', '###.###', '##...##'],
}

# 4-wide, 8-tall capitals for the menu captions (doubled with corner rounding).
CAPTION4X8 = {
    'A': ['.##.', '#..#', '#..#', '#..#', '####', '#..#', '#..#', '#..#'],
    'C': ['.###', '#...', '#...', '#...', '#...', '#...', '#...', '.###'],
    'D': ['###.', '#..#', '#..#', '#..#', '#..#', '#..#', '#..#', '###.'],
    'E': ['####', '#...', '#...', '###.', '#...', '#...', '#...', '####'],
    'H': ['#..#', '#..#', '#..#', '####', '#..#', '#..#', '#..#', '#..#'],
    'I': ['###', '.#.', '.#.', '.#.', '.#.', '.#.', '.#.', '###'],
    'J': ['..##', '...#', '...#', '...#', '...#', '#..#', '#..#', '.##.'],
    'K': ['#..#', '#..#', '#.#.', '##..', '#.#.', '#..#', '#..#', '#..#'],
    'L': ['#...', '#...', '#...', '#...', '#...', '#...', '#...', '####'],
    'N': ['#..#', '##.#', '##.#', '#.##', '#.##', '#..#', '#..#', '#..#'],
    'O': ['.##.', '#..#', '#..#', '#..#', '#..#', '#..#', '#..#', '.##.'],
    'P': ['###.', '#..#', '#..#', '#..#', '###.', '#...', '#...', '#...'],
    'R': ['###.', '#..#', '#..#', '#..#', '###.', '#.#.', '#..#', '#..#'],
    'S': ['.###', '#...', '#...', '.##.', '...#', '...#', '...#', '###.'],
    'T': ['###', '.#.', '.#.', '.#.', '.#.', '.#.', '.#.', '.#.'],
    'U': ['#..#', '#..#', '#..#', '#..#', '#..#', '#..#', '#..#', '.##.'],
    'V': ['#..#', '#..#', '#..#', '#..#', '#..#', '#..#', '.##.', '.##.'],
    'X': ['#..#', '#..#', '#..#', '.##.', '.##.', '#..#', '#..#', '#..#'],
    'Y': ['#.#', '#.#', '#.#', '#.#', '.#.', '.#.', '.#.', '.#.'],
}


def glyph_bits(rows):
    return [[ch == '#' for ch in row] for row in rows]


def double_smooth(bits, round_corners=True):
    """Doubles a 1-bit picture, filling diagonal steps and (optionally) rounding outer
    corners."""
    h = len(bits)
    w = len(bits[0]) if h else 0

    def at(x, y):
        return 0 <= x < w and 0 <= y < h and bits[y][x]

    out = [[False] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = at(x, y)
            a, b, c, d = at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            e = [p, p, p, p]  # top-left, top-right, bottom-left, bottom-right
            if p and not round_corners:
                out[2 * y][2 * x:2 * x + 2] = [True, True]
                out[2 * y + 1][2 * x:2 * x + 2] = [True, True]
                continue
            if c == a and c != d and a != b:
                e[0] = a
            if a == b and a != c and b != d:
                e[1] = b
            if d == c and d != b and c != a:
                e[2] = c
            if b == d and b != a and d != c:
                e[3] = d
            out[2 * y][2 * x] = e[0]
            out[2 * y][2 * x + 1] = e[1]
            out[2 * y + 1][2 * x] = e[2]
            out[2 * y + 1][2 * x + 1] = e[3]
    return out


# ----------------------------------------------------------------------------------------------
# STRINGS: the 8x16 font strip

SW, SH = 600, 96


def small_font_glyph(ch):
    """A 5x7 glyph made bold for the 8x16 cell: rows doubled, strokes widened to two
    columns without closing one-column gaps. Returns a 6x14 bit grid."""
    rows = FONT5X7[ch]
    grid = [[False] * 7 for _ in range(14)]
    if ch in FONT_BOLD:
        for r, row in enumerate(FONT_BOLD[ch]):
            bits = [c == '#' for c in row] + [False] * (7 - len(row))
            grid[2 * r] = bits[:]
            grid[2 * r + 1] = bits[:]
        return grid
    for r, row in enumerate(rows):
        bits = [c == '#' for c in row]
        wide = [False] * 7
        for c in range(5):
            if bits[c]:
                wide[c] = True
                nxt = bits[c + 1] if c + 1 < 5 else False
                after = bits[c + 2] if c + 2 < 5 else False
                if nxt or not after:
                    wide[c + 1] = True
        grid[2 * r] = wide[:]
        grid[2 * r + 1] = wide[:]
    return grid


def band_row_colours(table_named):
    """Colour index for each glyph row 1..14 of each band, and the shadow index."""
    n = table_named
    blue = [n['blue1'], n['blue2'], n['blue2'], n['pale0'], n['pale1'], n['white'], n['white'],
            n['white'], n['pale1'], n['pale0'], n['blue2'], n['blue2'], n['blue1'], n['blue1']]
    yellow = [n['flame3'], n['flame3'], YELLOW, YELLOW, YELLOW, YELLOW, YELLOW, YELLOW,
              n['yellow0'], n['yellow0'], n['yellow0'], n['yellow1'], n['yellow1'], n['yellow1']]
    red = [n['red0'], n['red0'], n['red0'], RED, RED, RED, RED, RED, RED, n['red1'], n['red1'],
           n['red1'], n['accent0'], n['accent0']]
    green = [n['band30']] * 3 + [n['band31']] * 4 + [n['band32']] * 4 + [n['band33']] * 3
    grey = [n['hull2']] * 2 + [n['hull1']] * 6 + [n['hull0']] * 6
    return [blue, yellow, red, green, grey]


def draw_strings(named):
    px = bytearray([KEY]) * (SW * SH)
    bands = band_row_colours(named)
    for band, colours in enumerate(bands):
        top = band * 16
        for code in range(32, 95):
            ch = chr(code)
            grid = small_font_glyph(ch)
            cx = (code - 32) * 8
            # shadow first (one pixel right and down), then the glyph
            for gy in range(14):
                for gx in range(7):
                    if grid[gy][gx] and gx < 6:
                        px[(top + 2 + gy) * SW + cx + 1 + gx] = BLACK
            for gy in range(14):
                for gx in range(7):
                    if grid[gy][gx]:
                        px[(top + 1 + gy) * SW + cx + gx] = colours[gy]
    # Band 5: a checkered block and four pieces of a dashed frame, in cyan.
    top = 80
    c = CYAN_INDEX
    for y in range(1, 16):
        for x in range(8):
            if (x + y) % 2 == 0:
                px[(top + y) * SW + 8 + x] = c
    pieces = [
        # top-left corner, horizontal dashes, vertical dashes, bottom-right corner
        lambda x, y: (y in (1, 2) and x >= 2 and x % 4 != 3) or (x in (2, 3) and y >= 1 and
                                                                   (y - 1) % 4 != 3),
        lambda x, y: y in (1, 2) and x % 4 != 3,
        lambda x, y: x in (2, 3) and y >= 1 and (y - 1) % 4 != 3,
        lambda x, y: (y in (14, 15) and x <= 5 and x % 4 != 3) or (x in (4, 5) and y >= 1 and
                                                                    (y - 1) % 4 != 3),
    ]
    for k, piece in enumerate(pieces):
        x0 = 16 + 8 * k
        for y in range(1, 16):
            for x in range(8):
                if piece(x, y):
                    px[(top + y) * SW + x0 + x] = c
    return px


# ----------------------------------------------------------------------------------------------
# MENU: title lettering, captions and cursor

MW, MH = 276, 200
CAPTION_ROWS = [35, 59, 83, 107, 131, 155, 179]
TEAL_SHIFT = 136


def caption_word_bits(word):
    """The word as a list of rows of bits at final size (16 rows), letters 2 px apart."""
    letters = [double_smooth(glyph_bits(CAPTION4X8[ch]), round_corners=False) for ch in word]
    width = sum(len(l[0]) for l in letters) + 2 * (len(letters) - 1)
    out = [[False] * width for _ in range(16)]
    x = 0
    for l in letters:
        for y in range(16):
            for i, v in enumerate(l[y]):
                if v:
                    out[y][x + i] = True
        x += len(l[0]) + 2
    return out


def stamp(px, w, bits, x0, y0, colour):
    for y, row in enumerate(bits):
        for x, v in enumerate(row):
            if v:
                px[(y0 + y) * w + x0 + x] = colour


def logo_bits():
    """ORVENDAL in big slanted letters with speed-line cuts: 26 rows."""
    letters = []
    for ch in 'ORVENDAL':
        big = double_smooth(double_smooth(glyph_bits(FONT5X7[ch])))  # 20 x 28
        del big[21]  # drop one row from the lower and upper bowls to fit 26 rows
        del big[5]
        letters.append(big)
    gap = 5
    width = sum(len(l[0]) for l in letters) + gap * (len(letters) - 1)
    slant = 7
    out = [[False] * (width + slant) for _ in range(26)]
    x = 0
    for l in letters:
        for y in range(26):
            shift = (25 - y) * slant // 25
            for i, v in enumerate(l[y]):
                if v:
                    out[y][x + i + shift] = True
        x += len(l[0]) + gap
    # Speed lines: thin cuts through the lower half.
    for y in (16, 20, 23):
        out[y] = [False] * len(out[y])
    return out


def triangle_bits(w, h, pointing_right):
    """A filled triangle with a one-pixel outline: returns rows of 0 (empty), 1 (outline),
    2 (fill)."""
    rows = []
    mid = (h - 1) / 2.0
    for y in range(h):
        reach = (w - 1) * (1.0 - abs(y - mid) / mid)
        row = [0] * w
        for x in range(w):
            if x <= reach + 0.25:
                row[x] = 2
        rows.append(row)
    out = [[0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if rows[y][x]:
                edge = False
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if not (0 <= nx < w and 0 <= ny < h) or not rows[ny][nx]:
                        edge = True
                out[y][x] = 1 if edge else 2
    if not pointing_right:
        out = [row[::-1] for row in out]
    return out


def draw_menu():
    px = bytearray([KEY]) * (MW * MH)
    logo = logo_bits()
    lw = len(logo[0])
    stamp(px, MW, logo, 2 + (216 - lw) // 2, 4, RED)

    # Captions by row. Words follow each other 9 px apart unless a word has a fixed place:
    # EXIT and OPTION are cut out by the title menu; AND sits evenly between SAVE and EXIT.
    layout = [
        [('HI', None), ('SCORE', None)],
        [('SELECT', None)],
        [('SOUND', None), ('TEST', None)],
        [('JOYSTICK', None)],
        [('SAVE', None), ('AND', 54), ('EXIT', 97)],
        [('CONTINUE', None)],
        [('START', None), ('OPTION', 58)],
    ]
    for row, words in enumerate(layout):
        top = CAPTION_ROWS[row] + 1
        x = 2
        for word, place in words:
            bits = caption_word_bits(word)
            if place is not None:
                assert place >= x, word
                x = place
            stamp(px, MW, bits, x, top, YELLOW)
            stamp(px, MW, bits, x + TEAL_SHIFT, top, TEAL)
            x += len(bits[0]) + 9
    # Row 2 ends with two triangles pointing at each other; the left one is the cursor.
    left = triangle_bits(15, 17, True)
    right = triangle_bits(15, 17, False)
    for shift, fill in ((0, YELLOW), (TEAL_SHIFT, TEAL)):
        for tri, x0 in ((left, 104), (right, 120)):
            for y, row in enumerate(tri):
                for x, v in enumerate(row):
                    if v:
                        px[(60 + y) * MW + x0 + shift + x] = RED if v == 1 else fill
    return px


# ----------------------------------------------------------------------------------------------
# CHARACTER: ship frames and orbs

CW, CH = 640, 300
SHIP_ROLLS = [-70, -46, -22, 0, 22, 46, 70]
SHIP_AXIS_Y = 22.0
LIGHT = (-0.45, 0.62, 0.64)

RAMPS = {
    'hull': ['hull0', 'hull1', 'hull2', 'hull3', 'white'],
    'glass': ['glass0', 'glass1', 'pale1'],
    'accent': ['accent0', 'accent1', 'flame2'],
    'engine': ['outline', 'hull0', 'hull1'],
}
FLAME_RAMP = ['accent0', 'flame1', 'flame2', 'flame3', 'white']


def fuselage_radius(x):
    """(half height, half width) of the hull at model x; the nose is at +23."""
    if x < -13.0 or x > 23.8:
        return 0.0, 0.0
    if x < -9.0:
        k = 0.78 + 0.22 * (x + 13.0) / 4.0
    elif x < 4.0:
        k = 1.0
    else:
        t = (x - 4.0) / 19.8
        k = (1.0 - t ** 1.7) ** 0.75
    return 4.0 * k, 5.2 * k


def ship_sample(x, yv, roll):
    """Casts a view ray at model x and view height yv; returns (material, intensity) or None."""
    ca, sa = math.cos(roll), math.sin(roll)
    # Points on the ray: (y, z) = yv*(ca, -sa) + s*(sa, ca); larger s is nearer the viewer.
    oy, oz = yv * ca, -yv * sa
    dy, dz = sa, ca
    best = None

    def consider(s, material, ny, nz, nx=0.0):
        nonlocal best
        if best is None or s > best[0]:
            best = (s, material, ny, nz, nx)

    def ellipse(cy, ry, rz, material, slope=0.0):
        if ry <= 0 or rz <= 0:
            return
        py = oy - cy
        a = (dy / ry) ** 2 + (dz / rz) ** 2
        b = 2 * (py * dy / ry ** 2 + oz * dz / rz ** 2)
        c = (py / ry) ** 2 + (oz / rz) ** 2 - 1
        disc = b * b - 4 * a * c
        if disc < 0:
            return
        s = (-b + math.sqrt(disc)) / (2 * a)
        hy, hz = py + s * dy, oz + s * dz
        ny, nz = hy / ry ** 2, hz / rz ** 2
        ln = math.sqrt(ny * ny + nz * nz) or 1.0
        consider(s, material, ny / ln, nz / ln, -slope)

    def box(y0, y1, z0, z1, material):
        lo, hi = -1e9, 1e9
        for o, d, a, b in ((oy, dy, y0, y1), (oz, dz, z0, z1)):
            if abs(d) < 1e-9:
                if o < a or o > b:
                    return
            else:
                t0, t1 = (a - o) / d, (b - o) / d
                lo, hi = max(lo, min(t0, t1)), min(hi, max(t0, t1))
        if lo > hi:
            return
        # the face the ray leaves through towards the viewer is at s = hi
        s = hi
        hy, hz = oy + s * dy, oz + s * dz
        if min(abs(hy - y0), abs(hy - y1)) < min(abs(hz - z0), abs(hz - z1)):
            ny, nz = (1.0 if abs(hy - y1) < abs(hy - y0) else -1.0), 0.0
        else:
            ny, nz = 0.0, (1.0 if abs(hz - z1) < abs(hz - z0) else -1.0)
        consider(s, material, ny, nz)

    ry, rz = fuselage_radius(x)
    slope = (fuselage_radius(x + 0.5)[0] - fuselage_radius(x - 0.5)[0])
    ellipse(0.0, ry, rz, 'hull', slope * 1.5)
    # Red stripe band along the flank of the hull.
    if best is not None and 0 < x < 14:
        hy = oy + best[0] * dy
        if -1.4 < hy < -0.2 and best[1] == 'hull':
            best = (best[0], 'accent', best[2], best[3], best[4])
    # Canopy.
    if 1.0 < x < 15.0:
        k = math.sqrt(max(0.0, 1.0 - ((x - 8.0) / 7.0) ** 2))
        ellipse(2.4, 3.6 * k, 2.6 * k, 'glass', -(x - 8.0) / 7.0)
    # Engine bell at the back.
    if -13.8 < x < -11.0:
        ellipse(0.0, 3.0, 3.6, 'engine')
    # Swept wings, with red tips.
    if -12.0 < x < 5.0:
        span = 3.0 + 15.0 * clamp((5.0 - x) / 13.0, 0.0, 1.0)
        if x < -9.0:
            span = 18.0 - (-9.0 - x) * 0.8
        tip = max(3.0, span - 3.0)
        box(-1.6, -0.2, -span, -tip, 'accent')
        box(-1.6, -0.2, tip, span, 'accent')
        box(-1.6, -0.2, -tip, tip, 'hull')
    # Tail fin above and a keel below.
    if -12.5 < x < -3.0:
        top = 7.0 if x < -8.5 else 7.0 - (x + 8.5) * 0.72
        box(0.0, top, -0.75, 0.75, 'hull')
    if -12.5 < x < -6.0:
        bottom = -7.0 if x < -9.5 else -7.0 + (x + 9.5) * 0.9
        box(bottom, 0.0, -0.75, 0.75, 'hull')
    if best is None:
        return None
    s, material, ny, nz, nx = best
    # Normal into view space.
    vy = ny * ca - nz * sa
    vz = ny * sa + nz * ca
    ln = math.sqrt(nx * nx + vy * vy + vz * vz) or 1.0
    n = (nx / ln, vy / ln, vz / ln)
    lx, ly, lz = LIGHT
    ll = math.sqrt(lx * lx + ly * ly + lz * lz)
    lam = max(0.0, (n[0] * lx + n[1] * ly + n[2] * lz) / ll)
    hx, hy, hz = lx / ll, ly / ll, lz / ll + 1.0
    hl = math.sqrt(hx * hx + hy * hy + hz * hz)
    shine = max(0.0, (n[0] * hx + n[1] * hy + n[2] * hz) / hl) ** 24
    return material, 0.18 + 0.72 * lam + 0.9 * shine


def draw_ship_frame(px, bidx, cell_x, roll_deg, seed):
    roll = math.radians(roll_deg)
    cell = {}
    sub = 4
    for row in range(46):
        for col in range(48):
            hits = {}
            count = 0
            for sy in range(sub):
                for sx in range(sub):
                    mx = col + (sx + 0.5) / sub - 24.0
                    my = SHIP_AXIS_Y - (row + (sy + 0.5) / sub)
                    hit = ship_sample(mx, my, roll)
                    if hit:
                        count += 1
                        m, v = hit
                        h = hits.setdefault(m, [0, 0.0])
                        h[0] += 1
                        h[1] += v
            if count * 2 >= sub * sub:
                m = max(sorted(hits), key=lambda k: hits[k][0])
                cell[(col, row)] = (m, hits[m][1] / hits[m][0])
    # Flame from the engine bell to the left edge of the cell.
    rng = Rng(seed)
    flame = {}
    nozzle = 24.0 - 13.5
    length = nozzle - 0.0
    for row in range(46):
        for col in range(0, int(nozzle) + 1):
            t = (nozzle - (col + 0.5)) / length
            if t < 0 or t > 1.02:
                continue
            width = 2.7 * (1.0 - t) ** 0.55 + 0.7
            dy = (row + 0.5) - SHIP_AXIS_Y
            q = abs(dy) / width
            if q > 1.0:
                continue
            heat = (1.0 - q * q) * (1.0 - 0.8 * t) + 0.1 * (rng.random() - 0.5)
            flame[(col, row)] = clamp(heat, 0.0, 1.0)
    for (col, row), heat in flame.items():
        if (col, row) in cell:
            continue
        k = int(clamp(heat * 4.6, 0, 4))
        px[row * CW + cell_x + col] = bidx[FLAME_RAMP[k]]
    for (col, row), (m, v) in cell.items():
        ramp = RAMPS[m]
        k = int(clamp(v * (len(ramp) - 1) + 0.5 + BAYER8[row & 7][col & 7] * 0.5, 0,
                      len(ramp) - 1))
        px[row * CW + cell_x + col] = bidx[ramp[k]]
    # Dark outline around the hull (not around the flame).
    for row in range(46):
        for col in range(48):
            if (col, row) in cell:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if (col + dx, row + dy) in cell:
                    if (col, row) not in flame or dx == -1:
                        px[row * CW + cell_x + col] = bidx['outline']
                    break


def draw_orb(px, bidx, cx, cy, rx, ry, kind, seed):
    """A sphere whose pixels lie in the ellipse around (cx, cy); the outermost ring is the
    outline. kind 'lattice' is the glowing green and blue orb, 'ember' the red one."""
    noise = Noise2D(seed, 64)
    inside = {}
    x0, x1 = int(cx - rx) - 1, int(cx + rx) + 1
    y0, y1 = int(cy - ry) - 1, int(cy + ry) + 1
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            u = (x + 0.5 - cx) / rx
            v = (y + 0.5 - cy) / ry
            if u * u + v * v <= 1.0:
                inside[(x, y)] = (u, v)
    lx, ly, lz = -0.5, -0.55, 0.67
    ll = math.sqrt(lx * lx + ly * ly + lz * lz)
    lx, ly, lz = lx / ll, ly / ll, lz / ll
    hl = math.sqrt(lx * lx + ly * ly + (lz + 1.0) ** 2)
    hx, hy, hz = lx / hl, ly / hl, (lz + 1.0) / hl
    tilt = math.radians(20)
    for (x, y), (u, v) in inside.items():
        edge = any((x + dx, y + dy) not in inside for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        if edge:
            px[y * CW + x] = bidx['outline']
            continue
        w = math.sqrt(max(0.0, 1.0 - u * u - v * v))
        lam = max(0.0, u * lx + v * ly + w * lz)
        shine = max(0.0, u * hx + v * hy + w * hz) ** 30
        rim = (1.0 - w) ** 2.2
        dither = BAYER8[y & 7][x & 7]
        if kind == 'lattice':
            # Green continents of glow swirling through a deep blue sea, brightest in the
            # middle, with a cyan halo at the rim.
            sw = noise.fbm(u * 2.6 + 4.0 + w * 1.1, v * 2.6 + 2.0, 4)
            level = clamp(0.15 + 0.55 * w ** 1.4 + 0.35 * lam, 0.0, 1.0)
            if sw > 0.52:
                ramp = ['green0', 'green1', 'green2', 'green3']
            elif sw > 0.485:
                ramp = ['blue0', 'tealmix', 'tealmix', 'green2']
            else:
                ramp = ['blue0', 'blue1', 'glass1', 'blue2']
            k = int(clamp(level * 3.0 + 0.5 + dither * 0.8, 0, 3))
            name = ramp[k]
            # A lattice of latitude and longitude lines, about one pixel wide.
            yy = v * math.cos(tilt) - w * math.sin(tilt)
            zz = v * math.sin(tilt) + w * math.cos(tilt)
            lat = math.asin(clamp(yy, -1.0, 1.0))
            lon = math.atan2(u, zz)
            step = math.pi / 6.0
            fl = (lat / step) % 1.0
            fo = (lon / step + 0.5) % 1.0
            px_per_rad = rx * max(0.2, w)
            on_lat = min(fl, 1 - fl) * step * px_per_rad < 0.55
            on_lon = min(fo, 1 - fo) * step * rx * max(0.2, math.cos(lat)) * max(0.2, w) < 0.5
            if (on_lat or on_lon) and w > 0.2:
                name = 'pale1' if lam > 0.5 else 'pale0'
            if rim > 0.5:
                name = 'rim' if (rim > 0.6 or dither > 0.0) else 'tealmix'
            shine = shine ** 2
            if shine > 0.55:
                name = 'white'
            elif shine > 0.25:
                name = 'pale1'
        else:
            sw = noise.fbm(u * 4.0 + 1.0, v * 4.0 + 7.0, 4)
            level = clamp(0.2 + 0.8 * lam + (0.35 if sw > 0.58 else 0.0) - 0.3 * rim, 0.0, 1.2)
            ramp = ['outline', 'accent0', 'accent1', 'flame2', 'flame3']
            k = int(clamp(level * 4.0 + 0.5 + dither * 0.7, 0, 4))
            name = ramp[k]
            if 0.44 < sw < 0.48 and w > 0.2:
                name = 'outline' if lam < 0.6 else 'accent0'
            if shine > 0.6:
                name = 'white'
        px[y * CW + x] = bidx[name]


def draw_character(bidx):
    px = bytearray([bidx['background']]) * (CW * CH)
    for i, roll in enumerate(SHIP_ROLLS):
        draw_ship_frame(px, bidx, 48 * i, roll, 900 + i)
    draw_orb(px, bidx, 29.0, 173.5, 29.0, 29.5, 'ember', 31)
    draw_orb(px, bidx, 87.0, 173.5, 29.0, 29.5, 'lattice', 32)
    return px


# ----------------------------------------------------------------------------------------------
# The program's icon: the ship of CHARACTER climbing across a corner of the backdrop, on a
# rounded tile. The ship is cast once on a fine master grid and averaged down to each size;
# its dark outline is drawn at each size, one pixel wide.

ICON_SIZES = [16, 32, 48, 64, 128, 256]
ICON_MASTER = 512
ICON_CROP = (20, 4, 300)         # left, top and side of the square of backdrop behind the ship
ICON_ROLL = -70                  # the roll of CHARACTER's first frame: the wings show
ICON_ANGLE = math.radians(38)    # the nose points up and to the right
ICON_CENTRE = (0.52, 0.51)       # where the middle of the hull sits, in tile units
ICON_MODEL_WIDTH = 49.0          # model units across the tile
ICON_CORNER = 0.17               # corner radius of the tile, in tile units
ICON_NOZZLE = -13.5              # the engine bell's end and the flame's length, model units
ICON_FLAME = 12.0


ICON_COS, ICON_SIN = math.cos(ICON_ANGLE), math.sin(ICON_ANGLE)


def icon_to_model(u, v):
    """Tile coordinates (right, down) to the ship model's x and view height."""
    dx = (u - ICON_CENTRE[0]) * ICON_MODEL_WIDTH
    dy = (ICON_CENTRE[1] - v) * ICON_MODEL_WIDTH
    return dx * ICON_COS + dy * ICON_SIN, -dx * ICON_SIN + dy * ICON_COS


def model_to_icon(x, y):
    """The ship model's x and view height to tile coordinates."""
    dx = x * ICON_COS - y * ICON_SIN
    dy = x * ICON_SIN + y * ICON_COS
    return ICON_CENTRE[0] + dx / ICON_MODEL_WIDTH, ICON_CENTRE[1] - dy / ICON_MODEL_WIDTH


def ramp_colour(names, level):
    """A colour along a ramp of sprite colours, level 0..1, blended between its steps."""
    t = clamp(level, 0.0, 1.0) * (len(names) - 1)
    k = min(int(t), len(names) - 2)
    f = t - k
    a, b = SPRITE[names[k]], SPRITE[names[k + 1]]
    return tuple(a[i] + (b[i] - a[i]) * f for i in range(3))


def icon_ship_master():
    """The ship on the master grid: premultiplied red, green, blue and coverage, flat lists."""
    n = ICON_MASTER
    roll = math.radians(ICON_ROLL)
    red, green, blue, cover = ([0.0] * (n * n) for _ in range(4))
    # Only the pixels whose centres can reach the hull are cast.
    reach = 27.0 / ICON_MODEL_WIDTH
    y0 = max(0, int((ICON_CENTRE[1] - reach) * n))
    y1 = min(n, int((ICON_CENTRE[1] + reach) * n) + 1)
    x0 = max(0, int((ICON_CENTRE[0] - reach) * n))
    x1 = min(n, int((ICON_CENTRE[0] + reach) * n) + 1)
    for y in range(y0, y1):
        for x in range(x0, x1):
            mx, my = icon_to_model((x + 0.5) / n, (y + 0.5) / n)
            if mx < -14.0 or mx > 24.0 or abs(my) > 19.0:
                continue
            hit = ship_sample(mx, my, roll)
            if hit is None:
                continue
            material, level = hit
            c = ramp_colour(RAMPS[material], level)
            i = y * n + x
            red[i], green[i], blue[i], cover[i] = c[0], c[1], c[2], 1.0
    return red, green, blue, cover


def area_weights(source, target):
    """For each target cell, the source cells it covers and their shares, summing to 1."""
    scale = source / target
    weights = []
    for t in range(target):
        a, b = t * scale, (t + 1) * scale
        cells = []
        for s in range(int(a), min(source, int(math.ceil(b)))):
            share = min(b, s + 1) - max(a, s)
            if share > 1e-12:
                cells.append((s, share / scale))
        weights.append(cells)
    return weights


def area_resample(planes, width, height, target):
    """Averages each plane (a flat list of width x height) down to target x target."""
    wx = area_weights(width, target)
    wy = area_weights(height, target)
    out = []
    for plane in planes:
        rows = []
        empty = [0.0] * target
        for y in range(height):
            row = plane[y * width:(y + 1) * width]
            if not any(row):
                rows.append(empty)
                continue
            rows.append([sum(row[s] * w for s, w in cells) for cells in wx])
        result = []
        for cells in wy:
            result.extend(sum(rows[s][x] * w for s, w in cells) for x in range(target))
        out.append(result)
    return out


def icon_flame(u, v):
    """The engine's flame at a tile point: (red, green, blue, opacity)."""
    mx, my = icon_to_model(u, v)
    t = (ICON_NOZZLE - mx) / ICON_FLAME
    if t < 0.0 or t > 1.0:
        return None
    width = 2.7 * (1.0 - t) ** 0.55 + 0.7
    q = abs(my) / width
    if q >= 1.0:
        return None
    heat = (1.0 - q * q) * (1.0 - 0.8 * t)
    c = ramp_colour(FLAME_RAMP, heat * 1.15)
    return c[0], c[1], c[2], smoothstep(0.0, 0.3, heat)


def icon_tile_cover(x, y, size):
    """How much of the pixel lies inside the rounded tile; the smallest sizes round their
    corners by a little more, so that the corner pixels stay clear."""
    r = max(ICON_CORNER * size, 3.5)
    cx = min(max(x + 0.5, r), size - r)
    cy = min(max(y + 0.5, r), size - r)
    d = math.sqrt((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) - r
    return clamp(0.5 - d, 0.0, 1.0)


def render_icon(size, backdrop, ship):
    """The icon at size x size as top-down rows of (r, g, b, a) bytes."""
    left, top, side = ICON_CROP
    crop = [[], [], []]
    for y in range(top, top + side):
        for x in range(left, left + side):
            p = backdrop[y * BW + x]
            for k in range(3):
                crop[k].append(p[k])
    back = area_resample(crop, side, side, size)
    hull = area_resample(ship, ICON_MASTER, ICON_MASTER, size)
    cover = hull[3]
    outline_rgb = SPRITE['outline']
    pixels = bytearray()
    sub = 4
    # The pixels the flame can reach: around the corners of its box in the model.
    corners = [model_to_icon(x, y) for x in (ICON_NOZZLE - ICON_FLAME, ICON_NOZZLE)
               for y in (-3.5, 3.5)]
    fx0 = int(min(u for u, _ in corners) * size) - 1
    fx1 = int(max(u for u, _ in corners) * size) + 1
    fy0 = int(min(v for _, v in corners) * size) - 1
    fy1 = int(max(v for _, v in corners) * size) + 1
    for y in range(size):
        for x in range(size):
            i = y * size + x
            rgb = [back[k][i] for k in range(3)]
            # The flame, averaged over sub x sub points of the pixel.
            flame = [0.0, 0.0, 0.0, 0.0]
            if fx0 <= x <= fx1 and fy0 <= y <= fy1:
                for sy in range(sub):
                    for sx in range(sub):
                        f = icon_flame((x + (sx + 0.5) / sub) / size,
                                       (y + (sy + 0.5) / sub) / size)
                        if f:
                            for k in range(3):
                                flame[k] += f[k] * f[3]
                            flame[3] += f[3]
            if flame[3] > 0.0:
                a = flame[3] / (sub * sub)
                for k in range(3):
                    rgb[k] = rgb[k] * (1.0 - a) + flame[k] / (sub * sub)
            # A dark rim where the hull's coverage falls off towards a neighbour.
            near = 0.0
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1), (1, 1), (-1, -1), (1, -1), (-1, 1)):
                if 0 <= x + dx < size and 0 <= y + dy < size:
                    near = max(near, cover[(y + dy) * size + x + dx])
            rim = clamp(near - cover[i], 0.0, 1.0) * 0.85
            for k in range(3):
                rgb[k] = rgb[k] * (1.0 - rim) + outline_rgb[k] * rim
            # The hull itself, premultiplied by its coverage.
            for k in range(3):
                rgb[k] = rgb[k] * (1.0 - cover[i]) + hull[k][i]
            alpha = icon_tile_cover(x, y, size)
            pixels += bytes(int(clamp(v, 0.0, 255.0) + 0.5) for v in rgb)
            pixels.append(int(alpha * 255.0 + 0.5))
    return pixels


class BitWriter:
    """Bits packed from the least significant end of each byte, as deflate wants them."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def put(self, value, bits):
        self.acc |= value << self.count
        self.count += bits
        while self.count >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.count -= 8

    def put_code(self, code, bits):
        """A Huffman code, whose bits go out most significant first."""
        self.put(int(format(code, '0%db' % bits)[::-1], 2), bits)

    def finish(self):
        if self.count:
            self.out.append(self.acc & 0xFF)
        return bytes(self.out)


LENGTH_BASES = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83,
                99, 115, 131, 163, 195, 227, 258]
LENGTH_EXTRA = [0] * 8 + [1] * 4 + [2] * 4 + [3] * 4 + [4] * 4 + [5] * 4 + [0]
DISTANCE_BASES = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769,
                  1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577]
DISTANCE_EXTRA = [0, 0, 0, 0] + [k // 2 for k in range(2, 28)]


def put_fixed_symbol(bits, symbol):
    if symbol < 144:
        bits.put_code(0x30 + symbol, 8)
    elif symbol < 256:
        bits.put_code(0x190 + symbol - 144, 9)
    elif symbol < 280:
        bits.put_code(symbol - 256, 7)
    else:
        bits.put_code(0xC0 + symbol - 280, 8)


def deflate(data):
    """A zlib stream of one deflate block with the fixed codes, matched greedily. Written
    here rather than by the zlib module so that the bytes depend on nothing but this code."""
    bits = BitWriter()
    bits.put(1, 1)  # the last block
    bits.put(1, 2)  # fixed codes
    recent = {}
    i, n = 0, len(data)
    while i < n:
        best_len, best_dist = 0, 0
        if i + 3 <= n:
            key = data[i:i + 3]
            for j in recent.get(key, ()):
                if i - j > 32768:
                    continue
                length = 3
                limit = min(258, n - i)
                while length < limit and data[j + length] == data[i + length]:
                    length += 1
                if length > best_len:
                    best_len, best_dist = length, i - j
            chain = recent.setdefault(key, [])
            chain.insert(0, i)
            del chain[8:]
        if best_len >= 3:
            k = 0
            while k + 1 < len(LENGTH_BASES) and LENGTH_BASES[k + 1] <= best_len:
                k += 1
            put_fixed_symbol(bits, 257 + k)
            bits.put(best_len - LENGTH_BASES[k], LENGTH_EXTRA[k])
            d = 0
            while d + 1 < len(DISTANCE_BASES) and DISTANCE_BASES[d + 1] <= best_dist:
                d += 1
            bits.put_code(d, 5)
            bits.put(best_dist - DISTANCE_BASES[d], DISTANCE_EXTRA[d])
            for m in range(i + 1, min(i + best_len, n - 2)):
                chain = recent.setdefault(data[m:m + 3], [])
                chain.insert(0, m)
                del chain[8:]
            i += best_len
        else:
            put_fixed_symbol(bits, data[i])
            i += 1
    put_fixed_symbol(bits, 256)
    return b'\x78\x01' + bits.finish() + struct.pack('>I', zlib.adler32(data))


def png_chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))


def encode_png(size, rgba):
    """An 8-bit RGBA PNG; each row filtered by the difference to its left neighbour."""
    raw = bytearray()
    stride = size * 4
    for y in range(size):
        row = rgba[y * stride:(y + 1) * stride]
        raw.append(1)
        raw += bytes((row[x] - (row[x - 4] if x >= 4 else 0)) & 0xFF for x in range(stride))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', header) + png_chunk(b'IDAT', deflate(bytes(raw)))
            + png_chunk(b'IEND', b''))


def icon_dib(size, rgba):
    """An icon image as Windows stores it below 256 pixels: a 32-bit bottom-up bitmap of twice
    the height (colour, then the transparency mask)."""
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            body += bytes((b, g, r, a))
    mask_stride = (size + 31) // 32 * 4
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            if rgba[(y * size + x) * 4 + 3] == 0:
                row[x >> 3] |= 0x80 >> (x & 7)
        body += row
    return info + bytes(body)


def encode_ico(images):
    """A Windows icon file holding every size: 256 as PNG, the smaller ones as bitmaps."""
    entries = [(size, png if size >= 256 else icon_dib(size, rgba)) for size, rgba, png in images]
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        out += struct.pack('<BBBBHHII', size & 0xFF, size & 0xFF, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, data in entries)


def write_icons(out_dir, backdrop):
    ship = icon_ship_master()
    images = []
    for size in ICON_SIZES:
        rgba = render_icon(size, backdrop, ship)
        png = encode_png(size, rgba)
        with open(os.path.join(out_dir, 'orvendal-%d.png' % size), 'wb') as f:
            f.write(png)
        images.append((size, rgba, png))
    with open(os.path.join(out_dir, 'orvendal.ico'), 'wb') as f:
        f.write(encode_ico(images))


# ----------------------------------------------------------------------------------------------


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out_dir, exist_ok=True)
    backdrop = render_backdrop()
    table_a, named = build_table_a(backdrop)
    table_b, bidx = build_table_b(table_a, list(SPRITE))
    write_bmp(os.path.join(out_dir, 'backimage.bmp'), BW, BH, table_a,
              quantise_backdrop(backdrop, table_a))
    write_bmp(os.path.join(out_dir, 'strings.bmp'), SW, SH, table_a, draw_strings(named))
    write_bmp(os.path.join(out_dir, 'menu.bmp'), MW, MH, table_a, draw_menu())
    write_bmp(os.path.join(out_dir, 'character.bmp'), CW, CH, table_b, draw_character(bidx))
    icon_dir = os.path.join(out_dir, 'icons')
    os.makedirs(icon_dir, exist_ok=True)
    write_icons(icon_dir, backdrop)


if __name__ == '__main__':
    main(sys.argv)
