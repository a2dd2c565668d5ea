"""A picture resized by area averaging, as the panel makes its pictures at
the scales between and above its art sets: every pixel of the result is the
average of the part of the source it covers, each source pixel weighted by
how much of it lies there; pure blue (the see-through colour of the pages)
is left out of the averages, and a pixel is see-through where it covers at
least half of it.

(Pillow's BOX filter is no such average when the factor is not a whole
number: it gives each source pixel to one pixel of the result.)"""

from __future__ import annotations

import math

from PIL import Image, ImageChops, ImageMath

SEE_THROUGH = (0, 0, 255)


def _taps(source: int, target: int) -> list[list[tuple[int, float]]]:
    """For each pixel of the result along an axis: (source pixel, share)."""
    step = source / target
    taps = []
    for d in range(target):
        lo, hi = d * step, (d + 1) * step
        row = []
        for s in range(int(math.floor(lo)), min(source, int(math.ceil(hi)))):
            covered = min(hi, s + 1) - max(lo, s)
            if covered > 1e-9:
                row.append((s, covered / step))
        taps.append(row)
    return taps


def _pass(band: Image.Image, size: int, horizontal: bool) -> Image.Image:
    """One axis of the average, on a 32-bit float band."""
    w, h = band.size
    out = Image.new("F", (size, h) if horizontal else (w, size), 0.0)
    for d, row in enumerate(_taps(w if horizontal else h, size)):
        acc = None
        for s, share in row:
            line = band.crop((s, 0, s + 1, h) if horizontal else (0, s, w, s + 1))
            term = ImageMath.eval("a * k", a=line, k=share)
            acc = term if acc is None else ImageMath.eval("a + b", a=acc, b=term)
        out.paste(acc, (d, 0) if horizontal else (0, d))
    return out


def area_resize(image: Image.Image, size: tuple[int, int]) -> Image.Image:
    """`image` (RGB) at `size` by area averaging, see-through kept out."""
    image = image.convert("RGB")
    r, g, b = image.split()
    zero = lambda v: 255 if v == 0 else 0  # noqa: E731
    blue = ImageChops.multiply(ImageChops.multiply(r.point(zero), g.point(zero)),
                               b.point(lambda v: 255 if v == 255 else 0))
    opaque = ImageMath.eval("float(255 - m) / 255.0", m=blue.convert("F"))
    bands = [ImageMath.eval("float(c) * a", c=c.convert("F"), a=opaque) for c in (r, g, b)]
    bands.append(opaque)
    bands = [_pass(_pass(band, size[0], True), size[1], False) for band in bands]
    cover = bands[3]
    out = []
    for band, key in zip(bands[:3], SEE_THROUGH):
        # Rounded the way the panel rounds (to the nearest, halves up).
        value = ImageMath.eval("(c / max(a, 0.000001)) * (a >= 0.5) + k * (a < 0.5) + 0.5", c=band, a=cover, k=key)
        out.append(value.convert("I").convert("L"))
    result = Image.merge("RGB", out)
    # An opaque average never comes out as the see-through colour.
    covered = ImageMath.eval("(a >= 0.5) * 255", a=cover).convert("L")
    near = ImageChops.multiply(see_through_mask(result), covered)
    if near.getbbox():
        result.paste((0, 0, 254), (0, 0) + result.size, near)
    return result


def see_through_mask(image: Image.Image) -> Image.Image:
    """'L' mask: 255 where the pixel is exactly pure blue."""
    r, g, b = image.convert("RGB").split()
    zero = lambda v: 255 if v == 0 else 0  # noqa: E731
    return ImageChops.multiply(ImageChops.multiply(r.point(zero), g.point(zero)),
                               b.point(lambda v: 255 if v == 255 else 0))
