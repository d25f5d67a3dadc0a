#!/usr/bin/env python3
"""Checks the drawn pictures in the resources folder given as the argument: the sizes and the format
the program expects, the icon's two 16-colour images, and the few places where the windows' layout
depends on what is drawn (plain white where controls stand, the navy that the icons share)."""

import os
import struct
import sys
import zlib

NAVY = (9, 36, 105)

PICTURES = {
    "setup_background.png": (640, 480),
    "messagebox_background.png": (480, 320),
    "icon_info.png": (78, 59),
    "icon_question.png": (78, 58),
    "icon_error.png": (78, 59),
    "icon_warning.png": (78, 59),
}


def read_png(path):
    """Size and RGB rows of an 8-bit RGB PNG without transparency; fails on anything else."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", f"{path}: not a PNG"
    pos, chunks = 8, []
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        chunks.append((kind, data[pos + 8 : pos + 8 + length]))
        pos += 12 + length
    kinds = [k for k, _ in chunks]
    assert kinds[0] == b"IHDR" and kinds[-1] == b"IEND", f"{path}: chunks out of order"
    assert b"tRNS" not in kinds, f"{path}: has a transparent colour"
    w, h, depth, color_type, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    assert (depth, color_type, interlace) == (8, 2, 0), f"{path}: not 8-bit RGB ({depth}, {color_type}, {interlace})"
    raw = zlib.decompress(b"".join(body for k, body in chunks if k == b"IDAT"))
    stride, rows, prior = 3 * w, [], bytearray(3 * w)
    for y in range(h):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1 : (y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - 3] if i >= 3 else 0
            b, c = prior[i], prior[i - 3] if i >= 3 else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        prior = row
    return w, h, rows


def pixel(rows, x, y):
    return tuple(rows[y][3 * x : 3 * x + 3])


def ink_box(rows, x0, y0, x1, y1):
    """The box around every pixel that is not white in the given part of the picture."""
    hits = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if min(pixel(rows, x, y)) < 250]
    if not hits:
        return None
    return (min(x for x, _ in hits), min(y for _, y in hits), max(x for x, _ in hits), max(y for _, y in hits))


def check_setup_background(rows):
    # Controls stand on everything between the logo and the swoosh; the two boxes are filled to their edges.
    box = ink_box(rows, 0, 0, 640, 200)
    assert box == (18, 18, 294, 60), f"logo box {box}"
    assert ink_box(rows, 0, 61, 640, 432) is None, "something drawn between logo and swoosh"
    box = ink_box(rows, 0, 200, 640, 480)
    assert box == (34, 432, 607, 479), f"swoosh box {box}"


def check_messagebox_background(rows):
    assert all(pixel(rows, x, y) == NAVY for x in (0, 79) for y in (0, 75, 319)), "navy band"
    assert pixel(rows, 80, 100) == (255, 255, 255), "band wider than 80 pixels"
    # The text boxes, right of the band, stand on white above the brush stroke.
    assert ink_box(rows, 80, 0, 480, 320) is not None
    assert ink_box(rows, 80, 0, 480, 264) is None, "something drawn behind the text"


def check_icon(rows, w, h):
    # Shown in a 56 x 56 frame on the band: the part outside the frame's middle is plain navy.
    edge = [(x, y) for y in range(h) for x in range(w) if not (12 <= x < 66 and (h - 54) // 2 <= y < (h + 54) // 2)]
    assert all(pixel(rows, x, y) == NAVY for x, y in edge), "icon reaches outside the frame"


def check_ico(path):
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert (reserved, kind, count) == (0, 1, 2), f"{path}: not an icon with two images"
    sizes = []
    for k in range(count):
        w, h, colors, _, planes, bits, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * k : 22 + 16 * k])
        assert (colors, planes, bits) == (16, 1, 4), f"{path}: image {k} is not 16 colours, 4 bits per pixel"
        assert offset + length <= len(data)
        header = struct.unpack("<IiiHHI", data[offset : offset + 20])
        assert header == (40, w, 2 * h, 1, 4, 0), f"{path}: image {k} has the bitmap header {header}"
        xor_size = (w * 4 + 31) // 32 * 4 * h
        and_size = (w + 31) // 32 * 4 * h
        assert length == 40 + 16 * 4 + xor_size + and_size, f"{path}: image {k} has a wrong length"
        sizes.append((w, h))
    assert sizes == [(32, 32), (16, 16)], f"{path}: sizes {sizes}"


def main():
    folder = sys.argv[1]
    for name, size in PICTURES.items():
        w, h, rows = read_png(os.path.join(folder, name))
        assert (w, h) == size, f"{name}: {w}x{h}, not {size[0]}x{size[1]}"
        if name == "setup_background.png":
            check_setup_background(rows)
        elif name == "messagebox_background.png":
            check_messagebox_background(rows)
        else:
            check_icon(rows, w, h)
    check_ico(os.path.join(folder, "TvxSetup.ico"))
    print("pictures and icon checked")


if __name__ == "__main__":
    main()
