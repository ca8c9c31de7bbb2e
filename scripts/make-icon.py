#!/usr/bin/env python3
"""Draws the installer's icon (a dark tile with a download arrow over a tray)
and writes it as a multi-size .ico with 32-bit BGRA images."""
import struct
import sys

BG = (0x1E, 0x24, 0x30)
ACCENT = (0x2E, 0xC4, 0xB6)


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


def image(size):
    ss = 4
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    k = inside((px + (sx + 0.5) / ss) / size, (py + (sy + 0.5) / ss) / size)
                    if k:
                        c = ACCENT if k == 2 else BG
                        for i in range(3):
                            acc[i] += c[i]
                        acc[3] += 255
            n = ss * ss
            a = acc[3] // n
            if a:
                cover = acc[3] // 255
                rgb = [acc[i] // cover for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[2], rgb[1], rgb[0], a))
        rows.append(row)
    # DIB: bottom-up pixels, then an all-zero AND mask
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    return header + pixels + bytes(mask_row * size)


def main(path):
    sizes = [16, 24, 32, 48, 64]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
