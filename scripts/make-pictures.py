#!/usr/bin/env python3
"""Draws the interface's pictures and writes them as 32-bit RGBA PNG files
under src/res/pictures/, with src/res/pictures.rc naming each by resource id.

Every picture comes in four variants, drawn for 16, 20, 24 and 32 pixels of
nominal size (100, 125, 150 and 200 %). Shapes are rasterised on a
supersampled grid and averaged down, so the edges are anti-aliased. The
output depends only on this file: running it again gives the same bytes.

    python3 scripts/make-pictures.py [--check] [repository root]

--check writes nothing and fails when a committed file differs from what
the script draws.
"""
import math
import os
import struct
import sys
import zlib

SS = 4                    # samples per pixel along each axis
SCALES = (1.0, 1.25, 1.5, 2.0)

LIGHT = (0xC8, 0xC8, 0xC8)       # caption glyphs, wordmark
LABEL = (0xB9, 0xBA, 0xBB)       # chevrons, combo arrow at rest
DIM_LABEL = (0x9C, 0x9D, 0xA1)   # second word of the wordmark
HOVER = (0xFF, 0xFF, 0xFF)       # combo arrow under the pointer
INACTIVE = (0x6A, 0x6B, 0x70)    # combo arrow of an inactive box
BLUE = (0x07, 0xA5, 0xD8)        # ticked check box
DARK = (0x18, 0x19, 0x1E)        # the tick
OUTLINE = (0x8A, 0x8B, 0x90)     # empty check box


# ---------------------------------------------------------------- canvas

class Canvas:
    """A supersampled RGBA surface; later shapes paint over earlier ones."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.sw, self.sh = width * SS, height * SS
        self.samples = [None] * (self.sw * self.sh)

    def _span(self, lo, hi, limit):
        a = max(0, int(math.floor(lo * SS)))
        b = min(limit, int(math.ceil(hi * SS)) + 1)
        return range(a, b)

    def paint(self, box, test, colour):
        """Sets every sample inside box (x0, y0, x1, y1) for which test(x, y)
        holds, x and y being the sample's centre in pixel units."""
        x0, y0, x1, y1 = box
        xs = self._span(x0, x1, self.sw)
        for sy in self._span(y0, y1, self.sh):
            y = (sy + 0.5) / SS
            row = sy * self.sw
            for sx in xs:
                if test((sx + 0.5) / SS, y):
                    self.samples[row + sx] = colour

    def pixels(self):
        """Averages the samples down: rows of straight (r, g, b, a) bytes."""
        n = SS * SS
        rows = []
        for py in range(self.height):
            row = bytearray()
            for px in range(self.width):
                r = g = b = cover = 0
                for sy in range(py * SS, py * SS + SS):
                    base = sy * self.sw + px * SS
                    for c in self.samples[base:base + SS]:
                        if c is not None:
                            r += c[0]
                            g += c[1]
                            b += c[2]
                            cover += 1
                if cover:
                    a = (cover * 255 + n // 2) // n
                    row += bytes(((r + cover // 2) // cover, (g + cover // 2) // cover,
                                  (b + cover // 2) // cover, a))
                else:
                    row += bytes(4)
            rows.append(bytes(row))
        return rows


# ---------------------------------------------------------------- shapes

def segment(canvas, p, q, width, colour):
    """A straight stroke with round ends."""
    (ax, ay), (bx, by) = p, q
    r = width / 2
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy

    def test(x, y):
        t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
        ex, ey = x - (ax + t * dx), y - (ay + t * dy)
        return ex * ex + ey * ey <= r * r

    canvas.paint((min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r), test, colour)


def polyline(canvas, points, width, colour):
    for p, q in zip(points, points[1:]):
        segment(canvas, p, q, width, colour)


def rect(canvas, x0, y0, x1, y1, colour):
    canvas.paint((x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)


def rounded(x0, y0, x1, y1, radius):
    """Inside test of a rounded rectangle."""
    def test(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return test


def rounded_fill(canvas, x0, y0, x1, y1, radius, colour):
    canvas.paint((x0, y0, x1, y1), rounded(x0, y0, x1, y1, radius), colour)


def rounded_outline(canvas, x0, y0, x1, y1, radius, width, colour):
    outer = rounded(x0, y0, x1, y1, radius)
    inner = rounded(x0 + width, y0 + width, x1 - width, y1 - width, max(0.0, radius - width))
    canvas.paint((x0, y0, x1, y1), lambda x, y: outer(x, y) and not inner(x, y), colour)


def frame(canvas, x0, y0, x1, y1, width, colour):
    """A square outline of whole-pixel edges."""
    rect(canvas, x0, y0, x1, y0 + width, colour)
    rect(canvas, x0, y1 - width, x1, y1, colour)
    rect(canvas, x0, y0, x0 + width, y1, colour)
    rect(canvas, x1 - width, y0, x1, y1, colour)


def arc(cx, cy, rx, ry, start, end, steps=None):
    """Points along an ellipse; angles in degrees, y pointing down."""
    if steps is None:
        steps = max(4, int(abs(end - start) / 10))
    out = []
    for i in range(steps + 1):
        t = math.radians(start + (end - start) * i / steps)
        out.append((cx + rx * math.cos(t), cy + ry * math.sin(t)))
    return out


# ---------------------------------------------------------------- caption glyphs

def line_width(size):
    # Whole pixels keep the straight glyphs crisp at every scale.
    return 2 if size >= 32 else 1


def close_glyph(size):
    c = Canvas(size, size)
    a, b = size / 4, size * 3 / 4
    w = size / 16 * 1.3
    segment(c, (a + 0.3, a + 0.3), (b - 0.3, b - 0.3), w, LIGHT)
    segment(c, (b - 0.3, a + 0.3), (a + 0.3, b - 0.3), w, LIGHT)
    return c


def minimize_glyph(size):
    c = Canvas(size, size)
    w = line_width(size)
    y = size // 2
    rect(c, size // 4, y, size - size // 4, y + w, LIGHT)
    return c


def maximize_glyph(size):
    c = Canvas(size, size)
    q = size // 4
    frame(c, q, q, size - q, size - q, line_width(size), LIGHT)
    return c


def restore_glyph(size):
    c = Canvas(size, size)
    w = line_width(size)
    q = size // 4
    d = max(2, size // 8)          # offset of the rear square
    x0, y0, x1, y1 = q, q + d, size - q - d, size - q   # front square
    # Rear square: only its top and right edges show above the front one.
    rect(c, x0 + d, q, x1 + d, q + w, LIGHT)
    rect(c, x1 + d - w, q, x1 + d, y1 - d, LIGHT)
    rect(c, x0 + d, q, x0 + d + w, y0, LIGHT)
    rect(c, x1, y1 - d - w, x1 + d, y1 - d, LIGHT)
    frame(c, x0, y0, x1, y1, w, LIGHT)
    return c


# ---------------------------------------------------------------- check boxes, chevrons

def check_ticked(size):
    c = Canvas(size, size)
    s = size / 16
    rounded_fill(c, 0.5 * s, 0.5 * s, size - 0.5 * s, size - 0.5 * s, 3 * s, BLUE)
    polyline(c, [(4.0 * s, 8.3 * s), (6.8 * s, 11.0 * s), (12.0 * s, 5.2 * s)], 1.9 * s, DARK)
    return c


def check_empty(size):
    c = Canvas(size, size)
    s = size / 16
    w = max(1.0, round(s * 2) / 2)
    rounded_outline(c, 0.5 * s, 0.5 * s, size - 0.5 * s, size - 0.5 * s, 3 * s, w, OUTLINE)
    return c


def chevron(canvas, x0, y0, w, h, down, width, colour):
    """A V of stroke width `width` fitted into the box (x0, y0, w, h)."""
    r = width / 2
    left, right = x0 + r + 0.4, x0 + w - r - 0.4
    top, bottom = y0 + r + 0.3, y0 + h - r - 0.3
    mid = x0 + w / 2
    if down:
        pts = [(left, top), (mid, bottom), (right, top)]
    else:
        pts = [(left, bottom), (mid, top), (right, bottom)]
    polyline(canvas, pts, width, colour)


def chevron_picture(scale, down):
    w, h = round(14 * scale), round(8 * scale)
    c = Canvas(w, h)
    chevron(c, 0, 0, w, h, down, 1.6 * scale, LABEL)
    return c


def combo_strip(scale):
    # Three square cells: inactive, under the pointer, at rest.
    cell = {1.0: 14, 1.25: 18, 1.5: 21, 2.0: 28}[scale]
    c = Canvas(cell * 3, cell)
    s = cell / 14
    for i, colour in enumerate((INACTIVE, HOVER, LABEL)):
        chevron(c, i * cell + 3 * s, 4.75 * s, 8 * s, 5 * s, True, 1.4 * s, colour)
    return c


# ---------------------------------------------------------------- wordmark

# Glyphs as centre-line strokes in units: baseline y = 0, cap height 14,
# x-height 10, descender 4; each entry is (advance, [polyline, ...]).

def _s_curve(x0, top, bottom, width):
    """An S between top and bottom, width wide, starting at x0."""
    h = bottom - top
    ry = h / 4
    rx = width / 2
    cx = x0 + rx
    upper = arc(cx, top + ry, rx, ry, -25, -270, 24)
    lower = arc(cx, bottom - ry, rx, ry, -90, 155, 24)
    return [upper + lower[1:]]


def _glyphs(sw):
    h = sw / 2   # strokes are centre lines: keep the ink inside the metrics
    g = {}
    g["O"] = (13.0, [arc(6.5, -7, 6.5 - h, 7 - h, 0, 360, 48)])
    g["v"] = (8.5, [[(h, -10 + h), (4.25, -h), (8.5 - h, -10 + h)]])
    e_r = 4.5 - h
    g["e"] = (9.0, [[(h, -5), (9 - h, -5)] + arc(4.5, -5, e_r, 5 - h, 0, -300, 30)])
    g["k"] = (7.5, [[(h, -14 + h), (h, -h)], [(7.3 - h, -10 + h), (h, -3.8)],
                   [(2.6, -5.6), (7.5 - h, -h)]])
    g[" "] = (4.0, [])
    g["S"] = (9.0, _s_curve(h, -14 + h, -h, 9 - 2 * h))
    g["y"] = (8.5, [[(h, -10 + h), (4.4, -0.6)], [(8.5 - h, -10 + h), (3.6, 2.2), (2.4, 4 - h), (0.8, 4 - h)]])
    g["s"] = (6.5, _s_curve(h, -10 + h, -h, 6.5 - 2 * h))
    g["t"] = (5.5, [[(2.0, -13), (2.0, -2.6)] + arc(4.6, -2.6, 2.6, 2.6 - h, 180, 90, 8),
                   [(h, -10 + h * 0.2), (5.5 - h, -10 + h * 0.2)]])
    m1 = arc(3.1, -6.5, 3.1 - h, 3.5 - h, 180, 360, 12)
    m2 = arc(9.3, -6.5, 3.1 - h, 3.5 - h, 180, 360, 12)
    g["m"] = (12.4, [[(h, -10 + h), (h, -h)],
                    [(h, -6.5)] + m1 + [(6.2, -h)],
                    [(6.2, -6.5)] + m2 + [(12.4 - h, -h)]])
    return g


WORDS = (("Ovek", 2.3, LIGHT), ("Systems", 1.7, DIM_LABEL))
GAP = 1.9        # space between letters, units


def _word_width(text, sw):
    g = _glyphs(sw)
    return sum(g[ch][0] for ch in text) + GAP * (len(text) - 1)


def logo(scale):
    width, height = {1.0: (161, 26), 1.25: (202, 33), 1.5: (242, 39), 2.0: (321, 52)}[scale]
    c = Canvas(width, height)
    space = 5.0
    total = sum(_word_width(t, sw) for t, sw, _ in WORDS) + space
    # The picture sits in the window's top-right corner: the margins are part of it.
    k = 1.12 * scale
    right = width - 10 * scale
    x = right - total * k
    baseline = height / 2 + 5 * k
    for text, sw, colour in WORDS:
        glyphs = _glyphs(sw)
        for ch in text:
            adv, strokes = glyphs[ch]
            for pts in strokes:
                polyline(c, [(x + px * k, baseline + py * k) for px, py in pts], sw * k, colour)
            x += (adv + GAP) * k
        x += (space - GAP) * k
    return c


# ---------------------------------------------------------------- PNG

def png_bytes(width, height, rows):
    """An 8-bit RGBA PNG; each row takes the filter that leaves the
    smallest sum of absolute bytes, then zlib at level 9."""
    stride = width * 4
    raw = bytearray()
    prev = bytes(stride)
    for row in rows:
        candidates = []
        for ftype in range(5):
            out = bytearray(stride)
            for i in range(stride):
                a = row[i - 4] if i >= 4 else 0
                b = prev[i]
                c = prev[i - 4] if i >= 4 else 0
                if ftype == 0:
                    p = 0
                elif ftype == 1:
                    p = a
                elif ftype == 2:
                    p = b
                elif ftype == 3:
                    p = (a + b) // 2
                else:
                    pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                    p = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                out[i] = (row[i] - p) & 0xFF
            cost = sum(v if v < 128 else 256 - v for v in out)
            candidates.append((cost, ftype, out))
        cost, ftype, out = min(candidates, key=lambda t: (t[0], t[1]))
        raw.append(ftype)
        raw += out
        prev = row

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def canvas_png(canvas):
    return png_bytes(canvas.width, canvas.height, canvas.pixels())


# ---------------------------------------------------------------- table

def families():
    """(first id, file stem, maker taking the variant's scale)."""
    by_size = lambda f: (lambda scale: f(round(16 * scale)))
    return [
        (106, "close", by_size(close_glyph)),
        (110, "minimize", by_size(minimize_glyph)),
        (114, "maximize", by_size(maximize_glyph)),
        (118, "restore", by_size(restore_glyph)),
        (129, "logo", logo),
        (144, "combo_arrow", combo_strip),
        (153, "check_ticked", by_size(check_ticked)),
        (157, "check_empty", by_size(check_empty)),
        (161, "chevron_up", lambda s: chevron_picture(s, False)),
        (165, "chevron_down", lambda s: chevron_picture(s, True)),
    ]


def outputs():
    """Every file this script writes, by path relative to src/res."""
    files = {}
    lines = ["// Interface pictures: PNG resources by id. Written by scripts/make-pictures.py.",
             "// Each family has four variants: 100, 125, 150 and 200 %."]
    for first, stem, make in families():
        for i, scale in enumerate(SCALES):
            name = "%s_%d.png" % (stem, round(16 * scale))
            files["pictures/" + name] = canvas_png(make(scale))
            lines.append('%d PNG "pictures/%s"' % (first + i, name))
    files["pictures.rc"] = ("\n".join(lines) + "\n").encode("ascii")
    return files


def png_content(data):
    """Header and inflated pixel rows: equal for equal pictures whatever
    zlib build compressed them."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return data
    pos, header, idat = 8, b"", b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    return header + zlib.decompress(idat)


def check(res_dir, files):
    """Names every committed file that differs from what the script draws."""
    stale = []
    for rel, data in sorted(files.items()):
        try:
            with open(os.path.join(res_dir, rel), "rb") as f:
                committed = f.read()
        except OSError:
            committed = None
        if committed is None or png_content(committed) != png_content(data):
            stale.append(rel)
    return stale


def main(argv):
    checking = "--check" in argv
    args = [a for a in argv if a != "--check"]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    res_dir = os.path.join(root, "src", "res")
    files = outputs()
    if checking:
        stale = check(res_dir, files)
        for rel in stale:
            print("differs from scripts/make-pictures.py: src/res/" + rel)
        return 1 if stale else 0
    os.makedirs(os.path.join(res_dir, "pictures"), exist_ok=True)
    for rel, data in files.items():
        with open(os.path.join(res_dir, rel), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
