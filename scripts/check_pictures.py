#!/usr/bin/env python3
"""Checks the drawn pictures in the resources folder given as the argument: the sizes and the format
the program expects, the icon's two 16-colour images, and the few places where the windows' layout
depends on what is drawn (plain white where controls stand, the navy that the icons share)."""

import os
import sys

from PIL import Image

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
    """Size and pixels of an 8-bit RGB PNG without transparency and without interlacing; fails on
    anything else."""
    with Image.open(path) as picture:
        assert picture.format == "PNG", f"{path}: not a PNG"
        # Pillow reads 16-bit RGB as RGB too; the raw mode tells the file's own.
        raw = picture.tile[0][3] if picture.tile else None
        assert picture.mode == "RGB" and raw == "RGB", f"{path}: not 8-bit RGB but {picture.mode} ({raw})"
        assert "transparency" not in picture.info, f"{path}: has a transparent colour"
        assert not picture.info.get("interlace"), f"{path}: interlaced"
        return picture.width, picture.height, picture.copy()


def pixel(picture, x, y):
    return picture.getpixel((x, y))


def ink_box(picture, x0, y0, x1, y1):
    """The box around every pixel that is not white in the given part of the picture."""
    hits = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if min(pixel(picture, x, y)) < 250]
    if not hits:
        return None
    return (min(x for x, _ in hits), min(y for _, y in hits), max(x for x, _ in hits), max(y for _, y in hits))


def check_setup_background(picture):
    # Controls stand on everything between the logo and the swoosh; the two boxes are filled to their edges.
    box = ink_box(picture, 0, 0, 640, 200)
    assert box == (18, 18, 294, 60), f"logo box {box}"
    assert ink_box(picture, 0, 61, 640, 432) is None, "something drawn between logo and swoosh"
    box = ink_box(picture, 0, 200, 640, 480)
    assert box == (34, 432, 607, 479), f"swoosh box {box}"


def check_messagebox_background(picture):
    assert all(pixel(picture, x, y) == NAVY for x in (0, 79) for y in (0, 75, 319)), "navy band"
    assert pixel(picture, 80, 100) == (255, 255, 255), "band wider than 80 pixels"
    # The text boxes, right of the band, stand on white above the brush stroke.
    assert ink_box(picture, 80, 0, 480, 320) is not None
    assert ink_box(picture, 80, 0, 480, 264) is None, "something drawn behind the text"


def check_icon(picture, w, h):
    # Shown in a 56 x 56 frame on the band: the part outside the frame's middle is plain navy.
    edge = [(x, y) for y in range(h) for x in range(w) if not (12 <= x < 66 and (h - 54) // 2 <= y < (h + 54) // 2)]
    assert all(pixel(picture, x, y) == NAVY for x, y in edge), "icon reaches outside the frame"


def check_ico(path):
    with Image.open(path) as icon:
        assert icon.format == "ICO", f"{path}: not an icon"
        entries = icon.ico.entry
        sizes = [(e["width"], e["height"]) for e in entries]
        assert sizes == [(32, 32), (16, 16)], f"{path}: sizes {sizes}"
        for k, e in enumerate(entries):
            assert (e["nb_color"], e["planes"], e["bpp"]) == (16, 1, 4), \
                f"{path}: image {k} is not 16 colours, 4 bits per pixel"
            # The image itself, not only its directory entry: a bitmap (no PNG) of 4 bits a pixel.
            icon.fp.seek(e["offset"])
            header = icon.fp.read(16)
            assert header[:4] == (40).to_bytes(4, "little"), f"{path}: image {k} is no bitmap"
            assert int.from_bytes(header[14:16], "little") == 4, f"{path}: image {k} has not 4 bits a pixel"
            image = icon.ico.frame(k)
            assert image.size == sizes[k]
            alpha = image.convert("RGBA").getchannel("A")
            assert set(alpha.getdata()) <= {0, 255} and 0 in alpha.getdata(), \
                f"{path}: image {k} has no transparency mask"


def main():
    folder = sys.argv[1]
    for name, size in PICTURES.items():
        w, h, picture = read_png(os.path.join(folder, name))
        assert (w, h) == size, f"{name}: {w}x{h}, not {size[0]}x{size[1]}"
        if name == "setup_background.png":
            check_setup_background(picture)
        elif name == "messagebox_background.png":
            check_messagebox_background(picture)
        else:
            check_icon(picture, w, h)
    check_ico(os.path.join(folder, "TvxSetup.ico"))
    print("pictures and icon checked")


if __name__ == "__main__":
    main()
