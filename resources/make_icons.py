#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files.

tessik.ico (icon 150): a tied parcel.
browse.ico (icon 151): an open folder.
Each at every size Windows asks for from 100 % to 200 % and in the file
manager's views: 16, 20, 24, 32, 40, 48 and 64 pixels as 32-bit bitmaps, 256
pixels as a PNG image, as Windows' own icons store it.
Run from the repository root: python3 resources/make_icons.py
"""
import struct
import zlib
from pathlib import Path

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
# Above this size an image is stored as PNG.
LARGEST_BITMAP = 64

TRANSPARENT = (0, 0, 0, 0)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(max(0, y0), min(self.size, y1 + 1)):
            for x in range(max(0, x0), min(self.size, x1 + 1)):
                self.pixels[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour, width=1):
        self.fill(x0, y0, x1, y0 + width - 1, colour)
        self.fill(x0, y1 - width + 1, x1, y1, colour)
        self.fill(x0, y0, x0 + width - 1, y1, colour)
        self.fill(x1 - width + 1, y0, x1, y1, colour)


def rgb(value, alpha=255):
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255, alpha)


OUTLINE = rgb(0x5A3A12)
BOX = rgb(0xE2A548)
BOX_SHADE = rgb(0xC4842C)
LID = rgb(0xF2C878)
STRAP = rgb(0x2F6DB5)
STRAP_LIGHT = rgb(0x6FA3E0)
FOLDER = rgb(0xF3C84B)
FOLDER_BACK = rgb(0xD9A520)
FOLDER_LINE = rgb(0x7A5A10)


def parcel(size):
    c = Canvas(size)
    s = size / 32.0

    def p(v):
        return int(round(v * s))

    top, bottom, left, right = p(6), size - 1 - p(3), p(3), size - 1 - p(3)
    c.fill(left, top, right, bottom, BOX)
    c.fill(left, top, right, top + p(6), LID)            # the lid
    c.fill(right - p(5), top + p(7), right, bottom, BOX_SHADE)  # the shaded side
    mid = (left + right) // 2
    strap = max(1, p(3))
    c.fill(mid - strap // 2, top, mid - strap // 2 + strap - 1, bottom, STRAP)
    c.fill(left, top + p(6) + 1, right, top + p(6) + strap, STRAP)
    c.fill(mid - strap // 2, top, mid - strap // 2, top + p(5), STRAP_LIGHT)
    # the bow on top
    c.fill(mid - p(6), top - p(4), mid - p(2), top - 1, STRAP)
    c.fill(mid + p(2), top - p(4), mid + p(6), top - 1, STRAP)
    c.frame(left, top, right, bottom, OUTLINE, max(1, size // 32))
    return c


def folder(size):
    """Drawn on a 16-pixel grid, each grid cell a block of the size; the
    outlines keep the parcel's width rather than a whole cell."""
    c = Canvas(size)
    s = size / 16.0
    width = max(1, size // 32)

    def cell(x0, y0, x1, y1):
        return (int(round(x0 * s)), int(round(y0 * s)),
                int(round((x1 + 1) * s)) - 1, int(round((y1 + 1) * s)) - 1)

    def box(x0, y0, x1, y1, colour):
        c.fill(*cell(x0, y0, x1, y1), colour)

    def frame(x0, y0, x1, y1, colour):
        c.frame(*cell(x0, y0, x1, y1), colour, width)

    def line(x0, y0, x1, y1, colour, edge):
        """A line along one edge ('top', 'bottom' or 'right') of its cells."""
        left, top, right, bottom = cell(x0, y0, x1, y1)
        if edge == 'top':
            bottom = top + width - 1
        elif edge == 'bottom':
            top = bottom - width + 1
        else:
            left = right - width + 1
        c.fill(left, top, right, bottom, colour)

    box(1, 3, 6, 4, FOLDER_BACK)        # the tab
    box(1, 4, 14, 13, FOLDER_BACK)      # the back
    box(2, 7, 15, 13, FOLDER)           # the open front
    frame(1, 4, 14, 13, FOLDER_LINE)
    line(2, 7, 15, 7, FOLDER_LINE, 'top')        # the front's edges
    line(15, 7, 15, 13, FOLDER_LINE, 'right')
    line(2, 13, 15, 13, FOLDER_LINE, 'bottom')
    return c


def dib(canvas):
    size = canvas.size
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(canvas.pixels):          # bottom-up
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(canvas.pixels):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def png(canvas):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)                           # no filter
        for pixel in row:
            raw += bytes(pixel)
    header = struct.pack('>IIBBBBB', canvas.size, canvas.size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


def write_ico(path, canvases):
    images = [dib(c) if c.size <= LARGEST_BITMAP else png(c) for c in canvases]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        side = canvas.size % 256                # 0 stands for 256
        out += struct.pack('<BBBBHHII', side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    Path(path).write_bytes(bytes(out))


if __name__ == '__main__':
    here = Path(__file__).resolve().parent
    write_ico(here / 'tessik.ico', [parcel(size) for size in SIZES])
    write_ico(here / 'browse.ico', [folder(size) for size in SIZES])
