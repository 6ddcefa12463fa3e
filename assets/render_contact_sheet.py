#!/usr/bin/env python3
"""Renders Orvendal's art as PNG pictures for review.

  title.png   the title screen as the game composes it
  play.png    a play frame: backdrop, ship, orb and frame-rate text
  sheets.png  the four bitmaps side by side (CHARACTER as the game shows it)
  closeup.png the ship frames, orbs, font bands and title lettering at three times size

CHARACTER is shown after its colours were mapped onto the display palette with the
closest-colour rule the game's loader uses (squared RGB distance, ties to the lowest index);
its keyed pixels are the entry that pure blue lands on.
Usage: render_contact_sheet.py [assets-dir [output-dir]]
"""

import os
import struct
import sys
import zlib

KEY = 145  # colour key of STRINGS and MENU


class Sheet:
    """An 8-bit bitmap: width, height, colour table and top-down rows of indices."""

    def __init__(self, path):
        with open(path, 'rb') as f:
            data = f.read()
        offset = struct.unpack_from('<I', data, 10)[0]
        size, self.w, self.h, _, bpp = struct.unpack_from('<IiiHH', data, 14)
        assert bpp == 8 and self.h > 0
        self.table = [(data[14 + size + 4 * i + 2], data[14 + size + 4 * i + 1],
                       data[14 + size + 4 * i]) for i in range(256)]
        self.px = bytearray(self.w * self.h)
        for y in range(self.h):
            src = offset + (self.h - 1 - y) * self.w
            self.px[y * self.w:(y + 1) * self.w] = data[src:src + self.w]

    def remap(self, palette):
        """The pixels as the display shows them: each colour becomes the closest entry."""
        lut = [closest(palette, c) for c in self.table]
        out = Sheet.__new__(Sheet)
        out.w, out.h, out.table = self.w, self.h, palette
        out.px = bytearray(lut[v] for v in self.px)
        return out


def closest(palette, c):
    best, best_d = 0, 1 << 30
    for i, p in enumerate(palette):
        d = (p[0] - c[0])**2 + (p[1] - c[1])**2 + (p[2] - c[2])**2
        if d < best_d:
            best, best_d = i, d
    return best


class Screen:

    def __init__(self, w, h, fill=0):
        self.w, self.h = w, h
        self.px = bytearray([fill]) * (w * h)

    def blit(self, sheet, rect, x, y, key=None):
        l, t, r, b = rect
        for sy in range(t, b):
            row = sheet.px[sy * sheet.w:(sy + 1) * sheet.w]
            for sx in range(l, r):
                v = row[sx]
                if v != key:
                    self.px[(y + sy - t) * self.w + x + sx - l] = v

    def png(self, path, palette, scale=1):
        raw = bytearray()
        for y in range(self.h):
            line = bytearray([0])
            for x in range(self.w):
                line += bytes(palette[self.px[y * self.w + x]]) * scale
            for _ in range(scale):
                raw += line
        w, h = self.w * scale, self.h * scale

        def chunk(kind, body):
            c = kind + body
            return struct.pack('>I', len(body)) + c + struct.pack('>I', zlib.crc32(c))

        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n')
            f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)))
            f.write(chunk(b'IDAT', zlib.compress(bytes(raw), 9)))
            f.write(chunk(b'IEND', b''))


def draw_fps(screen, strings, text):
    for i, ch in enumerate(text):
        c = ord(ch) - 32
        screen.blit(strings, (c * 8, 0, c * 8 + 8, 16), 8 * i, 0, KEY)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    assets = argv[1] if len(argv) > 1 else here
    out_dir = argv[2] if len(argv) > 2 else os.path.join(here, '..', 'docs')
    os.makedirs(out_dir, exist_ok=True)
    back = Sheet(os.path.join(assets, 'backimage.bmp'))
    strings = Sheet(os.path.join(assets, 'strings.bmp'))
    menu = Sheet(os.path.join(assets, 'menu.bmp'))
    character = Sheet(os.path.join(assets, 'character.bmp')).remap(back.table)
    palette = back.table
    ship_key = character.px[0]

    title = Screen(640, 480)
    title.blit(back, (0, 0, 640, 480), 0, 0)
    title.blit(menu, (0, 0, 220, 32), 210, 100, KEY)
    title.blit(menu, (0, 177, 51, 199), 294, 300, KEY)
    title.blit(menu, (56, 177, 123, 199), 286, 332, KEY)
    title.blit(menu, (96, 130, 132, 152), 302, 364, KEY)
    title.blit(menu, (102, 57, 119, 82), 260, 300, KEY)
    draw_fps(title, strings, '0060 FPS')
    title.png(os.path.join(out_dir, 'title.png'), palette)

    play = Screen(640, 480)
    play.blit(back, (0, 0, 640, 480), 0, 0)
    play.blit(character, (144, 0, 192, 46), 100, 100, ship_key)
    play.blit(character, (58, 144, 116, 202), 400, 300, ship_key)
    draw_fps(play, strings, '0060 FPS')
    play.png(os.path.join(out_dir, 'play.png'), palette)

    # All four sheets at their own size on a black board, unkeyed.
    gap = 8
    width = 640 + gap + 640 + 2 * gap
    height = 480 + gap + 300 + 2 * gap
    board = Screen(width, height, fill=0)
    board.blit(back, (0, 0, 640, 480), gap, gap)
    board.blit(character, (0, 0, 640, 300), gap, 480 + 2 * gap)
    board.blit(strings, (0, 0, 600, 96), 640 + 2 * gap, gap)
    board.blit(menu, (0, 0, 276, 200), 640 + 2 * gap, 96 + 2 * gap)
    board.png(os.path.join(out_dir, 'sheets.png'), palette)
    # A close-up of the cut sprites and the menu pieces at four times their size.
    close = Screen(48 * 7 + 8 + 116, 210, fill=0)
    close.blit(character, (0, 0, 336, 46), 0, 0)
    close.blit(character, (0, 144, 116, 203), 336 + 8, 0)
    close.blit(strings, (0, 0, 456, 96), 0, 60)
    close.blit(menu, (0, 0, 220, 32), 0, 166)
    close.png(os.path.join(out_dir, 'closeup.png'), palette, scale=3)


if __name__ == '__main__':
    main(sys.argv)
