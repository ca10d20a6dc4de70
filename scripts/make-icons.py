#!/usr/bin/env python3
"""Draws the two icons of loxa.exe (16 and 32 pixels, 32-bit colour) and writes
them as .ico files: the program (a television) and its documents (a page with
a small television). Run once; the .ico files are committed."""
import struct
import sys
from pathlib import Path


def television(size, x0, y0, w, h, put):
    for y in range(y0, y0 + h):
        for x in range(x0, x0 + w):
            edge = x in (x0, x0 + w - 1) or y in (y0, y0 + h - 1)
            put(x, y, (40, 40, 48) if edge else (60, 140, 220))
    # the antenna
    for i in range(max(2, w // 4)):
        put(x0 + w // 2 - i, y0 - 1 - i, (40, 40, 48))
        put(x0 + w // 2 + i, y0 - 1 - i, (40, 40, 48))


def draw(size, document):
    pixels = [[None] * size for _ in range(size)]

    def put(x, y, rgb):
        if 0 <= x < size and 0 <= y < size:
            pixels[y][x] = rgb

    if document:
        fold = size // 4
        left, right = size // 8, size - size // 8 - 1
        for y in range(size):
            for x in range(left, right + 1):
                if x > right - fold + y:
                    continue
                edge = x in (left, right) or y in (0, size - 1) or x == right - fold + y
                put(x, y, (60, 60, 60) if edge else (255, 255, 255))
        television(size, left + 2, size // 2 - 1, right - left - 3, size // 3, put)
    else:
        television(size, 1, size // 4, size - 2, size - size // 4 - 2, put)
    return pixels


def dib(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for rgb in row:
            colour += bytes((0, 0, 0, 0)) if rgb is None else bytes((rgb[2], rgb[1], rgb[0], 255))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, rgb in enumerate(row):
            if rgb is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def icon(document):
    images = [dib(draw(size, document)) for size in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


target = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / 'src' / 'resources')
(target / 'program.ico').write_bytes(icon(False))
(target / 'document.ico').write_bytes(icon(True))
