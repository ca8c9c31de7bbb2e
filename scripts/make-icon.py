#!/usr/bin/env python3
"""Draws the installer's icon (a dark tile with a download arrow over a tray)
and writes it as a multi-size .ico of PNG-compressed images (every size:
the installer's whole point is to be small, and Windows reads PNG icon
images of any size).

Sizes: 16, 32 and 48 for the shell; 18, 22, 27 and 36 for the caption at
100 to 200 %; 64, 80, 96 and 128 for the panels, which draw it large."""
import importlib.util
import os
import struct
import sys

BG_TOP = (0x2C, 0x36, 0x48)     # the tile lightens upward so that it shows on the dark panels
BG = (0x1E, 0x24, 0x30)
ACCENT = (0x2E, 0xC4, 0xB6)
SIZES = [16, 18, 22, 27, 32, 36, 48, 64, 80, 96, 128]
PNG_FROM = 0


def _pictures():
    here = os.path.dirname(os.path.abspath(__file__))
    spec = importlib.util.spec_from_file_location("make_pictures", os.path.join(here, "make-pictures.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def inside(x, y):
    """Shape test in unit coordinates: 0 outside, 1 tile, 2 symbol."""
    r = 0.18
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return 0
    # arrow shaft and head
    if 0.44 <= x <= 0.56 and 0.16 <= y <= 0.50:
        return 2
    if 0.46 <= y <= 0.68 and abs(x - 0.5) <= (0.68 - y) * 1.1:
        return 2
    # tray
    if 0.74 <= y <= 0.82 and 0.22 <= x <= 0.78:
        return 2
    if 0.60 <= y <= 0.82 and (0.22 <= x <= 0.30 or 0.70 <= x <= 0.78):
        return 2
    return 1


def tile_colour(y):
    return tuple(round(t + (b - t) * y) for t, b in zip(BG_TOP, BG))


def rgba_rows(size):
    """Top-down rows of straight RGBA pixels, 4 x 4 samples each."""
    ss = 4
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    y = (py + (sy + 0.5) / ss) / size
                    k = inside((px + (sx + 0.5) / ss) / size, y)
                    if k:
                        c = ACCENT if k == 2 else tile_colour(y)
                        for i in range(3):
                            acc[i] += c[i]
                        acc[3] += 255
            a = acc[3] // (ss * ss)
            if a:
                cover = acc[3] // 255
                row += bytes((acc[0] // cover, acc[1] // cover, acc[2] // cover, a))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def dib(size, rows):
    # Bottom-up BGRA pixels, then an all-zero AND mask.
    pixels = b"".join(bytes((r[i + 2], r[i + 1], r[i], r[i + 3]))
                      for r in reversed(rows) for i in range(0, len(r), 4))
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    return header + pixels + bytes(mask_row * size)


def images():
    pictures = _pictures()
    out = []
    for s in SIZES:
        rows = rgba_rows(s)
        out.append(pictures.png_bytes(s, s, rows) if s >= PNG_FROM else dib(s, rows))
    return pictures, out


def ico(data):
    out = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for s, d in zip(SIZES, data):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(d), offset)
        offset += len(d)
    return out + b"".join(data)


def entries(blob):
    """(size, image) pairs of an .ico file."""
    count = struct.unpack("<H", blob[4:6])[0]
    out = []
    for i in range(count):
        w, _, _, _, _, _, length, offset = struct.unpack("<BBBBHHII", blob[6 + 16 * i:22 + 16 * i])
        out.append((w, blob[offset:offset + length]))
    return out


def main(argv):
    checking = "--check" in argv
    args = [a for a in argv if a != "--check"]
    path = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "res", "ovek.ico")
    pictures, data = images()
    if checking:
        # PNG entries compare by content: another zlib may pack them differently.
        try:
            with open(path, "rb") as f:
                committed = entries(f.read())
        except OSError:
            committed = []
        same = [(s, pictures.png_content(d)) for s, d in zip(SIZES, data)] == \
               [(s, pictures.png_content(d)) for s, d in committed]
        if not same:
            print("differs from scripts/make-icon.py: " + path)
        return 0 if same else 1
    with open(path, "wb") as f:
        f.write(ico(data))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
