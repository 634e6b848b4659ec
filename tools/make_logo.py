#!/usr/bin/env python3
"""Draws the product's logo bitmap and application icon.

Writes resources/logo.bmp (204 x 66 pixels, 4 bits per pixel, 16-colour
palette) and resources/rembrix.ico (32 x 32, 16 colours, with a transparency
mask). Both are drawn from the same shapes: an artist's palette with paint
dabs and, on the logo, the product's name in a pixel font. Only the standard
library is used, so the output can be remade on any machine:

    python3 tools/make_logo.py [resource folder]
"""

import pathlib
import struct
import sys

# Colour index -> (red, green, blue).
PALETTE = [
    (0, 0, 0),        # 0 background black
    (0, 0, 128),      # 1 navy
    (32, 96, 224),    # 2 blue paint
    (0, 200, 220),    # 3 cyan rule
    (255, 255, 255),  # 4 white
    (255, 224, 0),    # 5 yellow letters
    (216, 120, 0),    # 6 orange letter shadow
    (220, 32, 32),    # 7 red paint
    (40, 176, 64),    # 8 green paint
    (144, 64, 192),   # 9 purple paint
    (192, 192, 192),  # 10 light grey
    (96, 96, 96),     # 11 dark grey
    (128, 72, 24),    # 12 palette wood, dark edge
    (214, 160, 96),   # 13 palette wood
    (80, 40, 8),      # 14 brush handle
    (160, 160, 176),  # 15 brush ferrule
]

# A 5 x 7 pixel font, just the letters the logo needs.
GLYPHS = {
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


class Canvas:
    def __init__(self, width, height, fill=0):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]
        self.opaque = [[fill is not None] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour
            self.opaque[y][x] = True

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
            for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
                if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1.0:
                    self.set(x, y, colour)

    def clear_ellipse(self, cx, cy, rx, ry, colour):
        """Punches a hole: background colour, and transparent in an icon."""
        for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
            for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
                if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1.0:
                    if 0 <= x < self.width and 0 <= y < self.height:
                        self.pixels[y][x] = colour
                        self.opaque[y][x] = colour is not None

    def thick_line(self, x0, y0, x1, y1, radius, colour):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for step in range(steps + 1):
            t = step / steps
            self.ellipse(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, radius, radius, colour)

    def text(self, x, y, text, scale, colour):
        for character in text:
            for row, line in enumerate(GLYPHS[character]):
                for column, mark in enumerate(line):
                    if mark == "#":
                        for dy in range(scale):
                            for dx in range(scale):
                                self.set(x + column * scale + dx, y + row * scale + dy, colour)
            x += 6 * scale


def draw_palette(canvas, cx, cy, scale, hole_colour):
    """An artist's palette with a thumb hole, paint dabs and a brush."""
    canvas.ellipse(cx, cy, 30 * scale, 25 * scale, 12)
    canvas.ellipse(cx, cy, 28.5 * scale, 23.5 * scale, 13)
    canvas.clear_ellipse(cx - 13 * scale, cy + 9 * scale, 6 * scale, 5 * scale, hole_colour)
    dabs = [(-10, -13, 7), (3, -16, 5), (15, -10, 2), (19, 3, 8), (9, 13, 9), (-4, 1, 4)]
    for dx, dy, colour in dabs:
        canvas.ellipse(cx + dx * scale, cy + dy * scale, 4.5 * scale, 4 * scale, colour)
    canvas.thick_line(cx + 26 * scale, cy + 24 * scale, cx + 8 * scale, cy - 2 * scale,
                      1.6 * scale, 14)
    canvas.thick_line(cx + 8 * scale, cy - 2 * scale, cx + 5 * scale, cy - 6 * scale,
                      1.8 * scale, 15)
    canvas.thick_line(cx + 5 * scale, cy - 6 * scale, cx + 2 * scale, cy - 11 * scale,
                      1.4 * scale, 7)


def draw_logo():
    canvas = Canvas(204, 66)
    draw_palette(canvas, 34, 33, 1.0, 0)
    # The name, yellow over an orange shadow, then a rule and the maker.
    canvas.text(75, 10, "Rembrix", 3, 6)
    canvas.text(73, 8, "Rembrix", 3, 5)
    for x in range(73, 197):
        canvas.set(x, 36, 3)
    canvas.text(73, 44, "MELLOWICK SOFTWARE", 1, 10)
    return canvas


def draw_icon():
    canvas = Canvas(32, 32, fill=None)
    draw_palette(canvas, 16, 16.5, 0.5, None)
    return canvas


def bitmap_rows(canvas):
    """4-bit rows, bottom row first, each padded to a multiple of 4 bytes."""
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        line = [0 if p is None else p for p in canvas.pixels[y]]
        if len(line) % 2:
            line.append(0)
        packed = bytes((line[i] << 4) | line[i + 1] for i in range(0, len(line), 2))
        rows.append(packed + b"\0" * (-len(packed) % 4))
    return b"".join(rows)


def mask_rows(canvas):
    """1-bit transparency mask (set = transparent), bottom row first."""
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        bits = 0
        packed = bytearray()
        for x in range(canvas.width):
            bits = (bits << 1) | (0 if canvas.opaque[y][x] else 1)
            if x % 8 == 7:
                packed.append(bits)
                bits = 0
        if canvas.width % 8:
            packed.append(bits << (8 - canvas.width % 8))
        rows.append(bytes(packed) + b"\0" * (-len(packed) % 4))
    return b"".join(rows)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 2835, 2835, 16, 0)


def write_bmp(canvas, path):
    pixels = bitmap_rows(canvas)
    offset = 14 + 40 + 16 * 4
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    path.write_bytes(header + info_header(canvas.width, canvas.height, len(pixels))
                     + palette_bytes() + pixels)


def write_ico(canvas, path):
    pixels = bitmap_rows(canvas)
    mask = mask_rows(canvas)
    # An icon's header counts the colour image and the mask: twice the height.
    image = (info_header(canvas.width, canvas.height * 2, len(pixels) + len(mask))
             + palette_bytes() + pixels + mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", canvas.width, canvas.height, 16, 0, 1, 4, len(image), 6 + 16)
    path.write_bytes(directory + entry + image)


def main():
    folder = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else \
        pathlib.Path(__file__).resolve().parent.parent / "resources"
    write_bmp(draw_logo(), folder / "logo.bmp")
    write_ico(draw_icon(), folder / "rembrix.ico")


if __name__ == "__main__":
    main()
