#!/usr/bin/env python3
"""Draws the checker's two images from nothing but arithmetic.

npc.png   256 x 256, 8 bits per channel RGB: the cube's texture, a gold
          eight-pointed star in a ring on deep blue. Wine's D3DX loads only
          8-bit PNGs, and the colours keep clear of the overlay's greens, pink
          and red, of the grey background and of pure white, so a screenshot
          tells texture from overlay and from an untextured cube.
root.ico  the same emblem at 16, 32 and 48 pixels, 32-bit with alpha.

Run from anywhere: python3 assets/make_images.py (writes beside itself).
The output is the same byte for byte on every run.
"""

import math
import os
import struct
import zlib

TEXTURE_SIZE = 256
ICON_SIZES = (16, 32, 48)
SUPERSAMPLE = 3

DEEP_BLUE = (14, 30, 92)
NIGHT_BLUE = (6, 12, 44)
GOLD = (226, 172, 40)
CREAM = (238, 214, 150)
COPPER = (176, 84, 38)
RING_INNER, RING_OUTER = 0.74, 0.86
EMBLEM_EDGE = 0.94


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def star_radius(angle):
    # Eight long points on the axes and diagonals, pinched between them.
    return 0.22 + 0.46 * abs(math.cos(4.0 * angle)) ** 3


def emblem(u, v):
    """Colour and coverage at (u, v) in [-1, 1]^2, y pointing down."""
    r = math.hypot(u, v)
    angle = math.atan2(v, u)
    if r < 0.14:
        return COPPER + (1.0,)
    if r < star_radius(angle):
        # Each point is split along its axis, cream on the clockwise half,
        # which gives the star a turning look.
        axis = round(angle / (math.pi / 4)) * (math.pi / 4)
        return (CREAM if angle > axis else GOLD) + (1.0,)
    if RING_INNER < r < RING_OUTER:
        stud = math.cos(12.0 * angle) > 0.9 and abs(r - 0.8) < 0.03
        return (CREAM if stud else GOLD) + (1.0,)
    background = mix(DEEP_BLUE, NIGHT_BLUE, min(r / 1.42, 1.0))
    return background + (1.0 if r < EMBLEM_EDGE else 0.0,)


def render(size, keep_alpha):
    """Rows of (r, g, b, a) bytes, each pixel averaged over a small grid."""
    rows = []
    steps = [(i + 0.5) / SUPERSAMPLE for i in range(SUPERSAMPLE)]
    for y in range(size):
        row = []
        for x in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for dy in steps:
                for dx in steps:
                    u = (x + dx) / size * 2.0 - 1.0
                    v = (y + dy) / size * 2.0 - 1.0
                    r, g, b, a = emblem(u, v)
                    if not keep_alpha:
                        a = 1.0
                    total[0] += r * a
                    total[1] += g * a
                    total[2] += b * a
                    total[3] += a
            n = SUPERSAMPLE * SUPERSAMPLE
            cover = total[3]
            colour = [round(c / cover) if cover else 0 for c in total[:3]]
            row.append(tuple(colour) + (round(255 * cover / n),))
        rows.append(row)
    return rows


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def encode_png_rgb(rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p[:3]) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def encode_icon_image(rows):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA, then the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def encode_ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, blob in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return directory + entries + blobs


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "npc.png"), "wb") as out:
        out.write(encode_png_rgb(render(TEXTURE_SIZE, keep_alpha=False)))
    icons = [(size, encode_icon_image(render(size, keep_alpha=True))) for size in ICON_SIZES]
    with open(os.path.join(here, "root.ico"), "wb") as out:
        out.write(encode_ico(icons))


if __name__ == "__main__":
    main()
