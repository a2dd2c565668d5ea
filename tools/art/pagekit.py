"""What every page background is made of: the brushed-metal chassis with its
rounded outline (outside it every pixel is the see-through pure blue that cuts
the window shape), recessed panels ("wells") that hold the controls, the
page-column rail on the right, the text styles, the dial scales and icons
printed beside the controls, and the Page class each background derives from.

A page declares the rectangles of the controls laid over it, so the wording
can be kept off them and the tests can check that it is.
"""

import math
import random

from PIL import Image, ImageChops, ImageDraw

from artkit import (ACCENT, ACCENT_SOFT, CHASSIS_BOTTOM, CHASSIS_TOP, RIM_DARK, RIM_LIGHT,
                    SEE_THROUGH, TEXT, TEXT_DIM, WELL, WELL_EDGE_DARK, WELL_EDGE_LIGHT, Canvas,
                    draw_text, fit_font, is_cjk, mix, remove_blue, scale, scaled, text_font,
                    text_width)
from wording import word

OUTLINE_RADIUS = 18

# Text styles: (Latin size, Chinese size, bold, colour, glow)
STYLES = {
    "title": (13, 14, True, ACCENT_SOFT, ACCENT),
    "label": (11, 12, False, TEXT, None),
    "strong": (11, 12, True, TEXT, None),
    "small": (10, 11, False, TEXT_DIM, None),
    "brand": (14, 14, True, TEXT, None),
}


def page_column(close, first, step_ys):
    """Rectangles of the close button and the five page buttons."""
    rects = [("close", close[0], close[1], 43, 27)]
    for name, y in zip(("main", "hifi", "digital", "hp", "info"), step_ys):
        rects.append(("page_" + name, first, y, 73, 33))
    return rects


class Page:
    key = ""
    size = (800, 313)
    ids = {}          # language -> bitmap id
    column = []       # page-column rectangles (name, x, y, w, h)
    controls = []     # other control rectangles (name, x, y, w, h)
    wells = []        # recessed panels (x0, y0, x1, y1)
    pads = []         # small recessed pads around controls on the bare chassis

    def __init__(self, lang):
        self.lang = lang
        self.texts = []   # (ink box, text) of every printed line
        self.said = []    # every text printed, once per call of say()

    # -- helpers for the subclasses -------------------------------------
    def w(self, key):
        return word(key, self.lang)

    def say(self, img, text, xy, style="label", anchor="lm", max_width=None, fill=None, wrap=False):
        latin, cjk, bold, colour, glow = STYLES[style]
        self.said.append(text)
        size = cjk if is_cjk(text) else latin
        lines = [text]
        if max_width is not None:
            fnt = fit_font(text, size, max_width, bold=bold, min_size=size - 2)
            if wrap and text_width(text, fnt) > max_width and " " in text:
                lines = text.rsplit(" ", 1)
                fnt = fit_font(max(lines, key=len), size, max_width, bold=bold, min_size=size - 2)
        else:
            fnt = text_font(text, size, bold=bold)
        if len(lines) == 1:
            return draw_text(img, xy, text, size, fill=fill or colour, anchor=anchor, fnt=fnt,
                             glow=glow, record=self.texts)
        gap = fnt.size * 0.55
        for i, line in enumerate(lines):
            draw_text(img, (xy[0], xy[1] + (i - 0.5) * 2 * gap), line, size, fill=fill or colour,
                      anchor=anchor, fnt=fnt, glow=glow, record=self.texts)

    def shapes(self, c):
        """Page-specific decoration drawn on the supersampled overlay."""

    def print_words(self, img):
        """The header line and all of the page's wording."""
        self.say(img, "VANTIR", (30, 19), "brand", anchor="lm")
        tag_x = 30 + text_width("VANTIR", text_font("VANTIR", 14, bold=True)) + 10
        self.say(img, self.w("brand_tag"), (tag_x, 19.5), "small", anchor="lm")
        self.words(img)

    def words(self, img):
        """Page-specific wording printed at target resolution."""

    def all_control_rects(self):
        return [(x, y, x + w, y + h) for _, x, y, w, h in self.column + self.controls]


# ---------------------------------------------------------------------------
# Chassis (shared by every page of one size)

_chassis_cache = {}


def _brushed_noise(w, h, seed):
    """Brushing of a w x h page (96-DPI pixels) at the scale being drawn: the
    same streaks and grain at every scale, as large on the screen."""
    pw, ph = scaled(w), scaled(h)
    rng = random.Random(seed)
    cols = max(8, w // 10)
    data = bytes(rng.randrange(256) for _ in range(cols * h))
    streaks = Image.frombytes("L", (cols, h), data).resize((pw, ph), Image.BICUBIC)
    fine = Image.frombytes("L", (w, h), bytes(rng.randrange(256) for _ in range(w * h)))
    if fine.size != (pw, ph):
        fine = fine.resize((pw, ph), Image.BICUBIC)
    return Image.blend(streaks, fine, 0.3)


def chassis(size):
    """(RGB chassis image, 'L' window mask) for a page size, at the scale
    being drawn."""
    key = (size, scaled(1000))
    if key in _chassis_cache:
        return _chassis_cache[key]
    pw, ph = scaled(size[0]), scaled(size[1])
    # The outline follows the picture's own edges, whatever the rounding of
    # its size: the page's 96-DPI size as the scale sees it.
    w, h = pw / scale(), ph / scale()
    c = Canvas(size[0], size[1], RIM_DARK)
    outer = (0, 0, w, h)
    c.rrect(outer, OUTLINE_RADIUS, fill=RIM_DARK)
    rim = c.mask_rrect((1, 1, w - 1, h - 1), OUTLINE_RADIUS - 1)
    c.gradient(rim, RIM_LIGHT, (44, 47, 53), 0, h)
    body = c.mask_rrect((3, 3, w - 3, h - 3), OUTLINE_RADIUS - 3)
    c.gradient(body, CHASSIS_TOP, CHASSIS_BOTTOM, 0, h)
    img = c.result().convert("RGB")
    # horizontal brushing, confined to the body
    noise = _brushed_noise(size[0], size[1], seed=20240611)
    spread = noise.point(lambda v: 4 + (v - 128) * 10 // 128)
    brushed = ImageChops.add(img, Image.merge("RGB", (spread,) * 3), 1.0, -4)
    body_small = Image.new("L", (pw, ph), 0)
    k = scale()
    ImageDraw.Draw(body_small).rounded_rectangle((round(4 * k), round(4 * k), pw - round(5 * k), ph - round(5 * k)),
                                                 round((OUTLINE_RADIUS - 4) * k), fill=255)
    img.paste(brushed, (0, 0), body_small)
    mask = Canvas(size[0], size[1], (0, 0, 0, 0))
    mask.rrect(outer, OUTLINE_RADIUS, fill=(255, 255, 255, 255))
    hard = mask.result().getchannel("A").point(lambda v: 255 if v >= 128 else 0)
    _chassis_cache[key] = (img, hard)
    return img, hard


def well(c, box, radius=7):
    x0, y0, x1, y1 = box
    c.rrect((x0, y0 + 1, x1, y1 + 1), radius, fill=WELL_EDGE_LIGHT)
    c.rrect((x0, y0, x1, y1), radius, fill=WELL_EDGE_DARK)
    c.rrect((x0 + 1, y0 + 1.6, x1 - 1, y1 - 1), radius - 1, fill=WELL)
    # a soft shade under the upper lip
    c.line([(x0 + radius, y0 + 2.2), (x1 - radius, y0 + 2.2)], mix(WELL, (0, 0, 0), 0.5), 1)


def column_rail(c, rects, bottom):
    """The recessed rail behind the page column, down to the wells' floor line."""
    x0 = min(x for _, x, _, _, _ in rects) - 6
    x1 = max(x + w for _, x, _, w, _ in rects) + 6
    y0 = min(y for _, _, y, _, _ in rects) - 4
    y1 = max([y + h + 6 for _, _, y, _, h in rects] + [bottom])
    well(c, (x0, y0, x1, y1), radius=9)


def render(page):
    """The page's background at the scale being drawn."""
    w, h = page.size
    base, mask = chassis(page.size)
    c = Canvas(w, h)
    for box in page.wells:
        well(c, box)
    for box in page.pads:
        well(c, box, radius=5)
    column_rail(c, page.column, max(b[3] for b in page.wells))
    page.shapes(c)
    img = base.convert("RGBA")
    img.alpha_composite(c.result())
    img = img.convert("RGB")
    page.print_words(img)
    img = remove_blue(img)
    img.paste(SEE_THROUGH, (0, 0) + img.size, ImageChops.invert(mask))
    return img


# ---------------------------------------------------------------------------
# Dial scales printed around knobs


def dial_ticks(c, cx, cy, r_in, r_out, start, sweep, count, major=()):
    for i in range(count):
        a = math.radians(start + sweep * i / (count - 1))
        strong = i in major
        ri = r_in - (1.5 if strong else 0)
        c.line([(cx + math.sin(a) * ri, cy - math.cos(a) * ri),
                (cx + math.sin(a) * r_out, cy - math.cos(a) * r_out)],
               ACCENT if strong else (96, 104, 116), 1.4 if strong else 1.0)


def knob_well(c, cx, cy, r):
    c.circle(cx, cy + 0.8, r, fill=WELL_EDGE_LIGHT)
    c.circle(cx, cy, r, fill=WELL_EDGE_DARK)
    c.circle(cx, cy + 0.5, r - 1, fill=(14, 16, 20))


# ---------------------------------------------------------------------------
# Icons printed on the backgrounds


def icon_headphones(c, cx, cy, s, col):
    c.arc((cx - 7 * s, cy - 7 * s, cx + 7 * s, cy + 6 * s), 180, 360, col, 1.6 * s)
    c.rrect((cx - 8.5 * s, cy - 1 * s, cx - 4.5 * s, cy + 6 * s), 1.5 * s, fill=col)
    c.rrect((cx + 4.5 * s, cy - 1 * s, cx + 8.5 * s, cy + 6 * s), 1.5 * s, fill=col)


def icon_speaker(c, cx, cy, wdt, hgt, col, woofers=1):
    c.rrect((cx - wdt / 2, cy - hgt / 2, cx + wdt / 2, cy + hgt / 2), 2, fill=col)
    inner = mix(WELL, col, 0.25)
    c.circle(cx, cy - hgt / 2 + wdt * 0.3, wdt * 0.16, fill=inner)
    step = (hgt - wdt * 0.6) / max(1, woofers)
    for i in range(woofers):
        y = cy - hgt / 2 + wdt * 0.6 + step * (i + 0.5)
        c.circle(cx, y, min(wdt * 0.33, step * 0.42), fill=inner)
