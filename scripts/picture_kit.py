"""A small kit for drawing the program's pictures with Pillow: smooth shapes, gradients, letters and
the writers.

Pillow draws shapes with hard edges; each shape is drawn four times larger and reduced by
averaging, which gives every edge its coverage. The letters come from FreeType through Pillow. PNG
files are written by Pillow (8-bit RGB, no alpha, no time stamp), the icon by ImageMagick (4-bit
images with a palette and a transparency mask, the format the program's window frame shows).
"""

import math
import os
import random
import subprocess
import tempfile

from PIL import Image, ImageChops, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
# Shapes are drawn this many times larger, then averaged down: SCALE x SCALE samples a pixel.
SCALE = 4


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def rgb(color):
    return tuple(int(round(clamp(v, 0, 255))) for v in color)


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


def shape_mask(size, draw):
    """The coverage (mode L) of what draw(d, s) draws in white with the ImageDraw d, where s turns
    picture coordinates into those of the larger drawing."""
    w, h = size
    big = Image.new("L", (w * SCALE, h * SCALE), 0)
    draw(ImageDraw.Draw(big), lambda v: v * SCALE)
    return big.resize(size, Image.BOX)


def disc_mask(size, cx, cy, r):
    """A disc; centre and radius in pixel-edge coordinates."""
    return shape_mask(size, lambda d, s: d.ellipse((s(cx - r), s(cy - r), s(cx + r) - 1, s(cy + r) - 1), fill=255))


def ellipse_mask(size, cx, cy, rx, ry):
    return shape_mask(size, lambda d, s: d.ellipse((s(cx - rx), s(cy - ry), s(cx + rx) - 1, s(cy + ry) - 1),
                                                   fill=255))


def rounded_rect_mask(size, left, top, right, bottom, radius):
    """A rectangle with round corners (none for radius 0); right and bottom exclusive, in pixel-edge
    coordinates."""
    def draw(d, s):
        box = (s(left), s(top), s(right) - 1, s(bottom) - 1)
        if radius:
            d.rounded_rectangle(box, radius=s(radius), fill=255)
        else:
            d.rectangle(box, fill=255)

    return shape_mask(size, draw)


def field_mask(size, alpha_at, box):
    """The coverage of a shape given as alpha_at(x, y) -> 0..1 inside box (left, top, right, bottom),
    sampled SCALE x SCALE times a pixel and averaged by Pillow."""
    left, top, right, bottom = box
    w, h = right - left, bottom - top
    big = Image.new("F", (w * SCALE, h * SCALE))
    big.putdata([alpha_at(left + (bx + 0.5) / SCALE, top + (by + 0.5) / SCALE)
                 for by in range(h * SCALE) for bx in range(w * SCALE)], scale=255.0)
    mask = Image.new("L", size, 0)
    mask.paste(big.resize((w, h), Image.BOX).convert("L"), (left, top))
    return mask


def field_colors(size, color_at, box):
    """An RGB picture whose pixels inside box take color_at(x, y) at their centres."""
    left, top, right, bottom = box
    picture = Image.new("RGB", size)
    part = Image.new("RGB", (right - left, bottom - top))
    part.putdata([rgb(color_at(x + 0.5, y + 0.5)) for y in range(top, bottom) for x in range(left, right)])
    picture.paste(part, (left, top))
    return picture


def vertical_gradient(size, top_color, bottom_color, top, bottom, shape=lambda t: t):
    """From top_color at row top to bottom_color at row bottom (pixel centres), shape(t) of the way."""
    rows = Image.new("L", (1, size[1]))
    rows.putdata([int(round(255 * clamp(shape(clamp((y + 0.5 - top) / (bottom - top)))))) for y in range(size[1])])
    return Image.composite(Image.new("RGB", size, rgb(bottom_color)), Image.new("RGB", size, rgb(top_color)),
                           rows.resize(size, Image.NEAREST))


def radial_gradient(size, inner_color, outer_color, cx, cy, radius, exponent=1.0):
    """From inner_color at (cx, cy) to outer_color at radius and beyond, (d / radius) ** exponent of
    the way; Pillow's radial gradient scaled to the radius."""
    # Pillow's gradient is 256 x 256 pixels; its value grows by 255 / 181 a pixel from the centre
    # (white in the corners), and it is exact on a disc of 128 pixels. Scaled so that this disc
    # reaches past the radius, every pixel nearer than the radius falls inside it.
    span = int(math.ceil(2.2 * radius))
    per_value = 181.02 / 255 * span / 256  # picture pixels a step of the gradient's value
    ramp = Image.radial_gradient("L").resize((span, span), Image.BILINEAR)
    ramp = ramp.point(lambda v: int(round(255 * clamp(v * per_value / radius) ** exponent)))
    distance = Image.new("L", size, 255)
    distance.paste(ramp, (int(round(cx - span / 2)), int(round(cy - span / 2))))
    return Image.composite(Image.new("RGB", size, rgb(outer_color)), Image.new("RGB", size, rgb(inner_color)),
                           distance)


def paint(picture, mask, color):
    """Lays color (an RGB tuple or a picture of picture's size) over the picture where mask covers it."""
    fill = color if isinstance(color, Image.Image) else Image.new("RGB", picture.size, rgb(color))
    picture.paste(fill, (0, 0), mask)


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, f"{name}.ttf"), size)


def _letters(text, name, size, stroke=0, spacing=0.0):
    """The letters of text in white on black, with room around them; spacing is added after each letter."""
    face = font(name, size)
    pad = int(size + 8)
    width = int(face.getlength(text) + len(text) * spacing) + 2 * pad
    height = int(size * 1.6) + 2 * pad
    mask = Image.new("L", (width, height), 0)
    draw = ImageDraw.Draw(mask)
    if spacing:
        for k, letter in enumerate(text):
            # The advance up to the letter keeps the font's own kerning between the letters.
            x = pad + face.getlength(text[:k]) + k * spacing
            draw.text((x, pad), letter, font=face, fill=255, stroke_width=stroke, stroke_fill=255)
    else:
        draw.text((pad, pad), text, font=face, fill=255, stroke_width=stroke, stroke_fill=255)
    return mask


def text_mask(text, name, size):
    """The letters of text as coverage, cropped to their ink."""
    letters = _letters(text, name, size)
    return letters.crop(letters.getbbox())


def text_outline_masks(text, name, size, outline, spacing=0.0):
    """Fill, outline ring and whole of the same letters, cropped alike: the outline is a ring of
    the given width around the letters."""
    whole = _letters(text, name, size, stroke=outline, spacing=spacing)
    fill = _letters(text, name, size, spacing=spacing)
    box = whole.getbbox()
    whole, fill = whole.crop(box), fill.crop(box)
    return fill, ImageChops.subtract(whole, fill), whole


def placed(size, mask, x0, y0):
    """A mask of the given size holding mask with its top left at (x0, y0)."""
    out = Image.new("L", size, 0)
    out.paste(mask, (x0, y0))
    return out


def write_png(path, picture):
    """8-bit RGB, no alpha; Pillow writes no time stamp, so a run gives the same file every time."""
    picture.convert("RGB").save(path, "PNG", optimize=True)


def write_ico_4bpp(path, images, palette):
    """An icon file of 16-colour images; images is a list of RGBA pictures whose opaque pixels use
    only the palette's colours and whose other pixels are fully transparent. ImageMagick writes it:
    Pillow writes icons as 32-bit PNG images, which the 16-colour icon is not."""
    assert len(palette) == 16
    with tempfile.TemporaryDirectory() as work:
        names = []
        for k, image in enumerate(images):
            names.append(os.path.join(work, f"{k}.png"))
            image.save(names[-1], "PNG")
        subprocess.run(["convert", *names, "-type", "PaletteAlpha", "-colors", "16", f"ico:{path}"], check=True)
    # Read back: every image as it was drawn.
    with Image.open(path) as icon:
        for image in images:
            back = icon.ico.getimage(image.size).convert("RGBA")
            for (r, g, b, a), (r2, g2, b2, a2) in zip(image.getdata(), back.getdata()):
                assert (a == 0 and a2 == 0) or (a == a2 == 255 and (r, g, b) == (r2, g2, b2)), \
                    f"{path}: the {image.size[0]}-pixel image changed on the way"
