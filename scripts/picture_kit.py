"""A small drawing kit for the program's pictures: a float canvas, coverage masks, letters and writers.

Shapes are computed here with their edge coverage, so every edge is smooth without a drawing
library; only the letters come from ImageMagick, as grey masks. PNG and ICO files are written by
hand: the output is the same on every run (no time stamps, no gamma or text chunks) and has exactly
the format the program loads (8-bit RGB without alpha; 4-bit icons with a palette).
"""

import math
import random
import struct
import subprocess
import zlib
from array import array

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


class Noise1D:
    """Smooth value noise, seeded, so that a brush texture comes out the same every time."""

    def __init__(self, seed, cells=256):
        rnd = random.Random(seed)
        self.values = [rnd.random() for _ in range(cells)]

    def __call__(self, x):
        n = len(self.values)
        i = math.floor(x)
        f = x - i
        f = f * f * (3 - 2 * f)
        a = self.values[i % n]
        b = self.values[(i + 1) % n]
        return a + (b - a) * f


class Mask:
    """Coverage values 0..1 for a rectangle of pixels whose top left is at (x0, y0)."""

    def __init__(self, x0, y0, w, h, data=None):
        self.x0, self.y0, self.w, self.h = x0, y0, w, h
        self.a = data if data is not None else array("d", bytes(8 * w * h))

    def moved(self, x0, y0):
        return Mask(x0, y0, self.w, self.h, self.a)

    def ink_box(self, threshold=0.02):
        """Left, top, right, bottom (inclusive) of the pixels above the threshold, in canvas terms."""
        xs, ys = [], []
        for y in range(self.h):
            row = self.a[y * self.w : (y + 1) * self.w]
            hits = [x for x, v in enumerate(row) if v > threshold]
            if hits:
                xs += [hits[0], hits[-1]]
                ys.append(y)
        return (self.x0 + min(xs), self.y0 + min(ys), self.x0 + max(xs), self.y0 + max(ys))

    def minus(self, other):
        """This coverage with the other's taken away (other must cover the same rectangle)."""
        return Mask(self.x0, self.y0, self.w, self.h, array("d", (clamp(p - q) for p, q in zip(self.a, other.a))))


def shape_mask(alpha_at, x0, y0, x1, y1, samples=4):
    """Coverage of a shape given as alpha_at(x, y) -> 0..1, averaged over samples x samples points per pixel."""
    w, h = x1 - x0, y1 - y0
    mask = Mask(x0, y0, w, h)
    offsets = [(i + 0.5) / samples for i in range(samples)]
    n = samples * samples
    for py in range(h):
        for px in range(w):
            total = 0.0
            for oy in offsets:
                y = y0 + py + oy
                for ox in offsets:
                    total += alpha_at(x0 + px + ox, y)
            mask.a[py * w + px] = total / n
    return mask


def disc_mask(cx, cy, r):
    """A disc with an exact one-pixel edge ramp; centre and radius in pixel-edge coordinates."""
    x0, y0 = math.floor(cx - r - 1), math.floor(cy - r - 1)
    x1, y1 = math.ceil(cx + r + 1), math.ceil(cy + r + 1)
    mask = Mask(x0, y0, x1 - x0, y1 - y0)
    for py in range(mask.h):
        for px in range(mask.w):
            d = math.hypot(x0 + px + 0.5 - cx, y0 + py + 0.5 - cy)
            mask.a[py * mask.w + px] = clamp(r - d + 0.5)
    return mask


def rounded_rect_alpha(left, top, right, bottom, radius):
    def alpha_at(x, y):
        qx = max(left + radius - x, x - (right - radius), 0.0)
        qy = max(top + radius - y, y - (bottom - radius), 0.0)
        return 1.0 if math.hypot(qx, qy) <= radius else 0.0

    return alpha_at


def _read_pgm(data):
    # P5 header: magic, width, height, maxval, each followed by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos : pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos : pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    w, h, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    return w, h, array("d", (v / maxval for v in data[pos : pos + w * h]))


def _render_text(text, font, size, stroke=0.0, kerning=0.0):
    """The letters of text in white on black, on a canvas whose size depends only on text and size."""
    pad = int(size + 8)
    width = int(len(text) * (size * 1.1 + kerning)) + 2 * pad
    height = int(size * 1.6) + 2 * pad
    cmd = ["convert", "-size", f"{width}x{height}", "xc:black", "-font", f"{FONT_DIR}/{font}.ttf",
           "-pointsize", str(size), "-fill", "white"]
    if stroke:
        cmd += ["-stroke", "white", "-strokewidth", str(stroke)]
    if kerning:
        cmd += ["-kerning", str(kerning)]
    cmd += ["-gravity", "NorthWest", "-annotate", f"+{pad}+{pad}", text, "-depth", "8", "pgm:-"]
    w, h, a = _read_pgm(subprocess.run(cmd, check=True, capture_output=True).stdout)
    return Mask(0, 0, w, h, a)


def text_mask(text, font, size):
    """The letters of text as coverage, cropped to their ink."""
    full = _render_text(text, font, size)
    left, top, right, bottom = full.ink_box(0.0)
    return crop(full, left, top, right + 1, bottom + 1)


def crop(mask, x0, y0, x1, y1):
    """The part of mask between canvas columns x0..x1 and rows y0..y1 (exclusive), as a mask at (0, 0)."""
    out = Mask(0, 0, x1 - x0, y1 - y0)
    for y in range(y0, y1):
        for x in range(x0, x1):
            mx, my = x - mask.x0, y - mask.y0
            if 0 <= mx < mask.w and 0 <= my < mask.h:
                out.a[(y - y0) * out.w + (x - x0)] = mask.a[my * mask.w + mx]
    return out


def text_outline_masks(text, font, size, outline, kerning=0.0):
    """Fill, outline ring and whole of the same letters, cropped alike: the stroke, centred on the
    letters' edge and twice the outline wide, adds a ring of the outline's width outside them."""
    whole = _render_text(text, font, size, stroke=2 * outline, kerning=kerning)
    fill = _render_text(text, font, size, kerning=kerning)
    left, top, right, bottom = whole.ink_box(0.0)
    whole = crop(whole, left, top, right + 1, bottom + 1)
    fill = crop(fill, left, top, right + 1, bottom + 1)
    return fill, whole.minus(fill), whole


class Canvas:
    """RGB in floats 0..255, with an optional coverage channel for pictures that have a transparent part."""

    def __init__(self, w, h, color, alpha=1.0):
        self.w, self.h = w, h
        n = w * h
        self.r = array("d", [float(color[0])] * n)
        self.g = array("d", [float(color[1])] * n)
        self.b = array("d", [float(color[2])] * n)
        self.alpha = array("d", [float(alpha)] * n)

    def paint(self, mask, color, opacity=1.0):
        """Lays color over the canvas where mask covers it; color is an RGB tuple or a function of (x, y)."""
        for my in range(mask.h):
            y = mask.y0 + my
            if not 0 <= y < self.h:
                continue
            for mx in range(mask.w):
                x = mask.x0 + mx
                if not 0 <= x < self.w:
                    continue
                a = mask.a[my * mask.w + mx] * opacity
                if a <= 0.0:
                    continue
                c = color(x + 0.5, y + 0.5) if callable(color) else color
                i = y * self.w + x
                self.r[i] += (c[0] - self.r[i]) * a
                self.g[i] += (c[1] - self.g[i]) * a
                self.b[i] += (c[2] - self.b[i]) * a
                self.alpha[i] += (1.0 - self.alpha[i]) * a

    def fill_rect(self, x0, y0, x1, y1, color):
        self.paint(Mask(x0, y0, x1 - x0, y1 - y0, array("d", [1.0] * ((x1 - x0) * (y1 - y0)))), color)

    def paste(self, other, x0, y0):
        """Copies an opaque canvas in, pixel for pixel."""
        for y in range(other.h):
            for x in range(other.w):
                i, j = (y0 + y) * self.w + x0 + x, y * other.w + x
                self.r[i], self.g[i], self.b[i] = other.r[j], other.g[j], other.b[j]

    def rgb_bytes(self):
        out = bytearray(3 * self.w * self.h)
        for i in range(self.w * self.h):
            out[3 * i] = int(round(clamp(self.r[i], 0, 255)))
            out[3 * i + 1] = int(round(clamp(self.g[i], 0, 255)))
            out[3 * i + 2] = int(round(clamp(self.b[i], 0, 255)))
        return bytes(out)

    def resized(self, w, h):
        """An opaque canvas scaled to exactly w x h by ImageMagick's resampling (for art drawn large)."""
        cmd = ["convert", "-size", f"{self.w}x{self.h}", "-depth", "8", "rgb:-", "-filter", "Lanczos",
               "-resize", f"{w}x{h}!", "-depth", "8", "rgb:-"]
        data = subprocess.run(cmd, input=self.rgb_bytes(), check=True, capture_output=True).stdout
        out = Canvas(w, h, (0, 0, 0))
        for i in range(w * h):
            out.r[i], out.g[i], out.b[i] = data[3 * i], data[3 * i + 1], data[3 * i + 2]
        return out


def _png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def write_png(path, canvas):
    """8-bit RGB, no alpha; each row takes the filter that leaves the smallest sum, as libpng does."""
    data, stride = canvas.rgb_bytes(), 3 * canvas.w
    raw, prior = bytearray(), bytes(stride)
    for y in range(canvas.h):
        row = data[y * stride : (y + 1) * stride]
        candidates = [(0, row)]
        candidates.append((1, bytes((row[i] - (row[i - 3] if i >= 3 else 0)) & 255 for i in range(stride))))
        candidates.append((2, bytes((row[i] - prior[i]) & 255 for i in range(stride))))
        candidates.append((4, bytes((row[i] - _paeth(row[i - 3] if i >= 3 else 0, prior[i],
                                                     prior[i - 3] if i >= 3 else 0)) & 255 for i in range(stride))))
        kind, best = min(candidates, key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))
        raw.append(kind)
        raw += best
        prior = row
    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header) + _png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                + _png_chunk(b"IEND", b""))


def quantize(canvas, palette, transparent_below=0.5):
    """Palette indexes per pixel (nearest colour, weighted for the eye) and the transparency bits."""
    indexes, clear = [], []
    for i in range(canvas.w * canvas.h):
        if canvas.alpha[i] < transparent_below:
            indexes.append(0)
            clear.append(1)
            continue
        # Edge pixels keep their own colour: a 1-bit mask cannot blend them into an unknown background.
        a = canvas.alpha[i]
        c = (canvas.r[i] / a, canvas.g[i] / a, canvas.b[i] / a) if a < 1.0 else (canvas.r[i], canvas.g[i], canvas.b[i])
        best = min(range(len(palette)), key=lambda k: 2 * (palette[k][0] - c[0]) ** 2 + 4 * (palette[k][1] - c[1]) ** 2
                   + 3 * (palette[k][2] - c[2]) ** 2)
        indexes.append(best)
        clear.append(0)
    return indexes, clear


def write_ico_4bpp(path, images, palette):
    """An icon file of 16-colour images; images is a list of (size, indexes, clear bits), rows top down."""
    assert len(palette) == 16
    pal = b"".join(struct.pack("<BBBB", int(c[2]), int(c[1]), int(c[0]), 0) for c in palette)
    blobs = []
    for size, indexes, clear in images:
        xor_stride = (size * 4 + 31) // 32 * 4
        and_stride = (size + 31) // 32 * 4
        xor, mask = bytearray(), bytearray()
        # Bitmaps in icon files are stored bottom up.
        for y in reversed(range(size)):
            row = bytearray(xor_stride)
            for x in range(size):
                row[x // 2] |= indexes[y * size + x] << (0 if x % 2 else 4)
            xor += row
            bits = bytearray(and_stride)
            for x in range(size):
                if clear[y * size + x]:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        # The header's height counts both bitmaps, the colours and the mask.
        info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
        blobs.append((size, info + pal + bytes(xor) + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blob for _, blob in blobs))
