#!/usr/bin/env python3
"""Draws the program's pictures and its icon into the resources folder given as the argument.

The program shows every picture unscaled, so each is drawn at its final pixel size; only the
setup logo is drawn four times larger and scaled down to the exact box it must fill.
"""

import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw

from picture_kit import (Noise1D, clamp, disc_mask, ellipse_mask, field_colors, field_mask, mix, paint, placed,
                         radial_gradient, rgb, rounded_rect_mask, smoothstep, text_mask, text_outline_masks,
                         vertical_gradient, write_ico_4bpp, write_png)

WHITE = (255, 255, 255)
NAVY = (9, 36, 105)  # the message box band; the icon pictures sit on it and must match it exactly
BLUE_LIGHT, BLUE_DARK = (92, 152, 236), (22, 72, 178)
RED_LIGHT, RED_DARK = (236, 98, 84), (170, 24, 26)
VIOLET_LIGHT, VIOLET_DEEP = (222, 210, 242), (178, 152, 220)
GREEN_FILL, GREEN_LINE = (222, 232, 225), (140, 166, 150)
GOLD_LIGHT, GOLD_DARK = (236, 196, 84), (170, 122, 18)

# Disc with ring: the icons are clipped to a 56 x 56 frame, so the ring stays inside its middle 54 pixels.
RING_OUTER, RING_INNER = 26.0, 23.0


def draw_badge(canvas, cx, cy, light, dark):
    """The disc with its white ring, on the navy; the disc is lit from the upper left: light near
    the highlight, dark at the far rim."""
    size = canvas.size
    paint(canvas, disc_mask(size, cx, cy, RING_OUTER), WHITE)
    r = RING_INNER
    paint(canvas, disc_mask(size, cx, cy, r),
          radial_gradient(size, light, dark, cx - 0.35 * r, cy - 0.45 * r, 1.45 * r, exponent=1.2))
    # A soft sheen over the upper half of the disc, fading out downwards.
    sheen = ellipse_mask(size, cx, cy - 9.5, 19.0, 12.0)
    fade = vertical_gradient(size, (0.22 * 255,) * 3, (0, 0, 0), cy - 20, cy + 2, lambda t: smoothstep(0, 1, t))
    paint(canvas, ImageChops.multiply(sheen, fade.convert("L")), WHITE)


def place_centred(size, mask, cx, cy):
    """The mask placed so that its ink centre lies on (cx, cy), to the nearest pixel."""
    return placed(size, mask, round(cx - mask.width / 2), round(cy - mask.height / 2))


def icon_picture(path, height, light, dark, text, font, size):
    width = 78
    canvas = Image.new("RGB", (width, height), NAVY)
    cx, cy = width / 2, height / 2
    draw_badge(canvas, cx, cy, light, dark)
    paint(canvas, place_centred(canvas.size, text_mask(text, font, size), cx, cy), WHITE)
    write_png(path, canvas)


def brush_stroke(x0, x1, y_centre, half_width, seed, cap=10.0, dry=0.25):
    """A brush stroke from x0 to x1 along the centre line y_centre(t) with half width half_width(t),
    t = 0..1. It starts round where the brush is set down; bristle streaks run along it, and over
    the last part (dry, a share of the length) the paint runs out and the bristles part.
    Returns the coverage function, its colour function and the rows it can reach."""
    streaks, edge, parting = Noise1D(seed), Noise1D(seed + 1), Noise1D(seed + 2)
    length = x1 - x0

    def across(x, y):
        t = (x - x0) / length
        if not 0.0 <= t <= 1.0:
            return t, 2.0
        h = half_width(t)
        s = x - x0
        if s < cap:  # the round start
            h *= math.sqrt(max(0.0, 1.0 - ((cap - s) / cap) ** 2))
        if h <= 0.05:
            return t, 2.0
        v = (y - y_centre(t)) / h  # -1 at the upper edge, 1 at the lower one
        # The edges are not ruled lines: each wavers on its own.
        reach = 1.0 + 0.07 * (edge(t * 60 + (0 if v < 0 else 100)) - 0.5)
        return t, v / reach

    def alpha_at(x, y):
        t, v = across(x, y)
        if abs(v) >= 1.0:
            return 0.0
        a = 0.86 + 0.14 * streaks(v * 12 + 5.0)
        start_dry = 1.0 - dry
        if t > start_dry:
            # Bristle by bristle the paint runs out: a streak stays while its noise is above a rising bar.
            bar = smoothstep(start_dry, 1.0, t) * 0.7
            a *= smoothstep(bar - 0.08, bar + 0.08, parting(v * 16 + 30.0))
        return a

    def color_at(x, y):
        t, v = across(x, y)
        v = clamp(v, -1.0, 1.0)
        shade = 0.35 + 0.35 * (v + 1.0) / 2 + 0.3 * (streaks(v * 12 + 5.0) - 0.5)
        return mix(VIOLET_LIGHT, VIOLET_DEEP, clamp(shade))

    samples = [y_centre(t / 200) + k * half_width(t / 200) * 1.04 for t in range(201) for k in (-1, 1)]
    return alpha_at, color_at, int(math.floor(min(samples))), int(math.ceil(max(samples)))


def draw_stroke(canvas, left, top, right, bottom, y_centre, half_width, seed, **shape):
    """Paints a brush stroke kept inside the box left..right-1, top..bottom-1. The stroke runs on a
    few pixels past the right edge, so that its last thin bristles still reach the box's edge."""
    alpha_at, color_at, reach_top, reach_bottom = brush_stroke(left, right + 4, y_centre, half_width, seed, **shape)
    box = (left, max(top, reach_top), right, min(bottom, reach_bottom + 1))
    paint(canvas, field_mask(canvas.size, alpha_at, box), field_colors(canvas.size, color_at, box))


def messagebox_background(path):
    canvas = Image.new("RGB", (480, 320), WHITE)
    ImageDraw.Draw(canvas).rectangle((0, 0, 79, 319), fill=NAVY)
    # The icons (56 x 56 at 12, 12) cover this disc; it is drawn for a box shown without an icon.
    draw_badge(canvas, 40.0, 40.0, BLUE_LIGHT, BLUE_DARK)

    # The product word down the band, one letter under another, each centred in an equal cell.
    cell, first = 36, 94
    for k, letter in enumerate("Tarvex"):
        glyph = text_mask(letter, "DejaVuSans-Bold", 30)
        paint(canvas, place_centred(canvas.size, glyph, 40.0, first + (k + 0.5) * cell), WHITE)

    draw_stroke(canvas, 105, 265, 441, 301, seed=7,
                y_centre=lambda t: 285.5 - 5.0 * t - 2.0 * math.sin(math.pi * t),
                half_width=lambda t: (13.0 - 4.0 * t ** 2) * (1.0 - 0.5 * smoothstep(0.85, 1.0, t)))
    write_png(path, canvas)


LOGO_BOX = (18, 18, 295, 61)  # left, top, right, bottom (exclusive) of the logo in the setup picture


def setup_logo():
    """The logo drawn four times larger: Tarvex in pale outlined letters, Setup in gold italics. The
    sizes are chosen so that its proportions match the logo's box, which it is then scaled into."""
    scale, outline = 4, 5
    fill, ring, whole = text_outline_masks("Tarvex", "DejaVuSansCondensed-Bold", 44 * scale, outline,
                                           spacing=0.3 * scale)
    setup_size = 35 * scale
    setup = text_mask("Setup", "DejaVuSerif-BoldItalic", setup_size)
    above_base = text_mask("Setu", "DejaVuSerif-BoldItalic", setup_size).height
    gap = 6 * scale
    # Both words stand on one base line, the bottom of the outlined word (it has no descender);
    # Setup's "p" hangs below it.
    setup_top = whole.height - outline - above_base
    size = (whole.width + gap + setup.width, max(whole.height, setup_top + setup.height))
    canvas = Image.new("RGB", size, WHITE)
    paint(canvas, placed(size, ring, 0, 0), GREEN_LINE)
    paint(canvas, placed(size, fill, 0, 0),
          vertical_gradient(size, WHITE, GREEN_FILL, 0, whole.height, lambda t: t * 0.6 + 0.4))
    paint(canvas, placed(size, setup, whole.width + gap, setup_top),
          vertical_gradient(size, GOLD_LIGHT, GOLD_DARK, setup_top, setup_top + setup.height))
    return canvas


def setup_background(path):
    canvas = Image.new("RGB", (640, 480), WHITE)
    logo = setup_logo()
    left, top, right, bottom = LOGO_BOX
    if os.environ.get("TVX_PICTURES_VERBOSE"):
        box = (right - left) / (bottom - top)
        print(f"logo drawn {logo.width}x{logo.height}: proportions {logo.width / logo.height:.3f}, box {box:.3f}")
    canvas.paste(logo.resize((right - left, bottom - top), Image.LANCZOS), (left, top))

    # The swoosh sweeps up to the right: it grazes the bottom edge on the left and thins out high up.
    draw_stroke(canvas, 34, 432, 608, 480, seed=21, cap=16.0, dry=0.22,
                y_centre=lambda t: 469.5 + 2.0 * math.sin(math.pi * t) - 37.0 * t ** 2.2,
                half_width=lambda t: (4.5 + 10.0 * math.sin(math.pi * (0.2 + 0.75 * t)) ** 0.6)
                * (1.0 - 0.7 * smoothstep(0.8, 1.0, t)))
    write_png(path, canvas)


# The icon's sixteen colours: the navy of the pictures with a darker rim, white, the violets of the
# brush strokes and the steps between them that rounded corners need; the last four (the discs' blues
# and two greys) fill the palette to the sixteen entries that a 4-bit icon has.
NAVY_EDGE = (4, 20, 64)
ICON_PALETTE = [(0, 0, 0), NAVY, NAVY_EDGE, mix(NAVY_EDGE, NAVY, 0.5), mix(NAVY, WHITE, 0.12), WHITE,
                VIOLET_LIGHT, VIOLET_DEEP, mix(NAVY, VIOLET_DEEP, 0.33), mix(NAVY, VIOLET_DEEP, 0.67),
                mix(NAVY, WHITE, 0.33), mix(NAVY, WHITE, 0.67), (22, 72, 178), (92, 152, 236), (128, 128, 128),
                (192, 192, 192)]


# Per icon size, in whole pixels (left, top, right, bottom, corner radius), so that the T stays sharp
# without shades that sixteen colours could not give.
ICON_LAYOUT = {
    32: {"tile": (0, 0, 32, 32, 6), "face": (1, 1, 31, 31, 5), "bar": (6, 5, 26, 10, 0), "stem": (13, 10, 19, 22, 0),
         "mark": (5, 24, 27, 28, 2), "mark_light": (6, 24, 26, 25, 0)},
    16: {"tile": (0, 0, 16, 16, 3), "face": (1, 1, 15, 15, 2.5), "bar": (3, 3, 13, 5, 0), "stem": (7, 5, 9, 11, 0),
         "mark": (3, 12, 13, 14, 0), "mark_light": (3, 12, 13, 13, 0)},
}


def program_icon_image(size):
    """A navy tile with a white T standing on a violet brush mark, the product's colours at icon
    size, in the icon's sixteen colours; what lies outside the tile is transparent."""
    layout = ICON_LAYOUT[size]
    # The tile's own colour under everything: its edge pixels keep it rather than a blend with a
    # background the icon cannot know.
    canvas = Image.new("RGB", (size, size), NAVY_EDGE)

    def part(name, shift=0):
        left, top, right, bottom, radius = layout[name]
        return rounded_rect_mask(canvas.size, left + shift, top + shift, right + shift, bottom + shift, radius)

    paint(canvas, part("face"), NAVY)
    if size >= 32:  # a one-pixel shadow lifts the T off the tile where there is room for it
        paint(canvas, part("bar", 1), NAVY_EDGE)
        paint(canvas, part("stem", 1), NAVY_EDGE)
    paint(canvas, part("bar"), WHITE)
    paint(canvas, part("stem"), WHITE)
    paint(canvas, part("mark"), VIOLET_DEEP)
    paint(canvas, part("mark_light"), VIOLET_LIGHT)

    palette = Image.new("P", (1, 1))
    palette.putpalette([v for color in ICON_PALETTE for v in rgb(color)])
    image = canvas.quantize(palette=palette, dither=Image.Dither.NONE).convert("RGBA")
    # A 1-bit mask cannot blend: a pixel belongs to the tile or not.
    opaque = part("tile").point(lambda v: 255 if v >= 128 else 0)
    return Image.composite(image, Image.new("RGBA", image.size, (0, 0, 0, 0)), opaque)


def program_icon(path):
    write_ico_4bpp(path, [program_icon_image(32), program_icon_image(16)], ICON_PALETTE)


def main():
    out = sys.argv[1]
    icon_picture(os.path.join(out, "icon_info.png"), 59, BLUE_LIGHT, BLUE_DARK, "i", "DejaVuSerif-Bold", 34)
    icon_picture(os.path.join(out, "icon_question.png"), 58, BLUE_LIGHT, BLUE_DARK, "?", "DejaVuSans-Bold", 30)
    icon_picture(os.path.join(out, "icon_error.png"), 59, RED_LIGHT, RED_DARK, "Error", "DejaVuSansCondensed-Bold", 13)
    icon_picture(os.path.join(out, "icon_warning.png"), 59, RED_LIGHT, RED_DARK, "!", "DejaVuSans-Bold", 30)
    messagebox_background(os.path.join(out, "messagebox_background.png"))
    setup_background(os.path.join(out, "setup_background.png"))
    program_icon(os.path.join(out, "TvxSetup.ico"))


if __name__ == "__main__":
    main()
