"""Drawing kit shared by the artwork modules: palette, fonts, a supersampled
canvas for crisp anti-aliased shapes, text helpers and the writers for the
three resource formats (24-bit BMP, ICO, CUR).

Every shape is drawn at SS times the target size and reduced with LANCZOS;
text is rendered at the target size, where FreeType's hinting keeps small
Latin and Chinese glyphs sharper than a reduced rendering would.

Every picture is drawn for one display scale, given as the DPI it is for
(96 is 1x, 144 is 1.5x, 192 is 2x; see drawing_at). The drawing code always
speaks in pixels at 96 DPI; the canvas and the text helpers scale what they
are given, so every scale comes from the same drawing, sharp at its own size.
"""

import contextlib
import io
import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor of the shape canvas

# The window shape of a page is cut from this colour; it appears nowhere else.
SEE_THROUGH = (0, 0, 255)
NEAR_BLUE = (0, 0, 254)

# Palette: dark brushed-metal chassis, darker recessed wells, cyan light.
CHASSIS_TOP = (50, 54, 61)
CHASSIS_BOTTOM = (30, 33, 38)
RIM_LIGHT = (112, 118, 128)
RIM_DARK = (10, 11, 13)
WELL = (19, 22, 27)          # flat floor of every recessed panel
WELL_EDGE_DARK = (6, 7, 9)
WELL_EDGE_LIGHT = (64, 69, 77)
ACCENT = (60, 212, 255)      # lit cyan
ACCENT_SOFT = (120, 228, 255)
ACCENT_DIM = (26, 74, 90)
TEXT = (196, 203, 212)
TEXT_DIM = (120, 128, 139)
TEXT_FAINT = (78, 85, 95)
KEY_TOP = (70, 75, 84)        # face of a raised key
KEY_BOTTOM = (40, 44, 51)
KEY_EDGE = (8, 9, 11)
LED_RED = (255, 70, 52)

FONT_DIR_LATIN = "/usr/share/fonts/truetype/dejavu"
FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# ---------------------------------------------------------------------------
# Display scale

BASE_DPI = 96
_dpi = BASE_DPI


def scaled(v, dpi=None):
    """A pixel figure given at 96 DPI, at `dpi` (default: the scale being
    drawn): v * dpi / 96 rounded to the nearest integer, halves away from
    zero. The program scales its figures with the same rule (MulDiv(v, dpi,
    96)), so a control always sits exactly on its picture."""
    dpi = _dpi if dpi is None else dpi
    n = abs(v) * dpi
    q = (2 * n + BASE_DPI) // (2 * BASE_DPI)
    return q if v >= 0 else -q


def scale():
    """The factor of the scale being drawn (1.0 at 96 DPI)."""
    return _dpi / BASE_DPI


@contextlib.contextmanager
def drawing_at(dpi):
    """Draws everything inside the block for `dpi`."""
    global _dpi
    before = _dpi
    _dpi = dpi
    try:
        yield
    finally:
        _dpi = before


_font_cache = {}
_font_keys = {}  # id of a cached font -> its key


def font(size, bold=False, cjk=False, condensed=False):
    """A FreeType font: DejaVu Sans for Latin text, WenQuanYi Micro Hei for
    Chinese (it has no bold face, so bold is ignored there)."""
    key = (size, bold, cjk, condensed)
    f = _font_cache.get(key)
    if f is None:
        if cjk:
            f = ImageFont.truetype(FONT_CJK, size, index=0)
        else:
            name = "DejaVuSans"
            if condensed:
                name += "Condensed"
            if bold:
                name += "-Bold"
            f = ImageFont.truetype(os.path.join(FONT_DIR_LATIN, name + ".ttf"), size)
        _font_cache[key] = f
        _font_keys[id(f)] = key
    return f


def font_at_scale(fnt):
    """A font of the 96-DPI layout at the scale being drawn: the same face
    at the scaled size. Layouts are measured at 96 DPI (so every scale wraps,
    fits and places its words alike) and drawn with this."""
    key = _font_keys.get(id(fnt))
    if key is None or _dpi == BASE_DPI:
        return fnt
    size, bold, cjk, condensed = key
    return font(scaled(size), bold=bold, cjk=cjk, condensed=condensed)


def is_cjk(text):
    return any(ord(ch) >= 0x2E80 for ch in text)


def text_font(text, size, bold=False, condensed=False):
    return font(size, bold=bold, cjk=is_cjk(text), condensed=condensed)


def text_width(text, fnt):
    box = fnt.getbbox(text)
    return box[2] - box[0]


def fit_font(text, size, max_width, bold=False, min_size=8):
    """The largest font not above `size` in which `text` fits `max_width`;
    Latin text falls back to the condensed face before shrinking."""
    cjk = is_cjk(text)
    for s in range(size, min_size - 1, -1):
        for condensed in ((False,) if cjk else (False, True)):
            f = font(s, bold=bold, cjk=cjk, condensed=condensed)
            if text_width(text, f) <= max_width:
                return f
    return font(min_size, bold=bold, cjk=cjk, condensed=not cjk)


def mix(a, b, t):
    """Linear blend of two colours, t = 0 gives a, t = 1 gives b."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def rgba(c, alpha=255):
    return (c[0], c[1], c[2], alpha)


class Canvas:
    """A supersampled RGBA drawing surface addressed in pixels at 96 DPI.

    It is drawn for the scale being drawn: w x h at 96 DPI makes a picture of
    scaled(w) x scaled(h) pixels, and every coordinate is scaled alike.
    Every primitive is drawn on a small layer covering its own bounds and
    alpha-composited, so translucent paint blends with what lies beneath."""

    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.pw, self.ph = scaled(w), scaled(h)   # the picture's pixels
        self.k = SS * scale()                     # canvas pixels per 96-DPI pixel
        if len(fill) == 3:
            fill = rgba(fill)
        self.img = Image.new("RGBA", (self.pw * SS, self.ph * SS), fill)

    @staticmethod
    def _col(c):
        return None if c is None else (rgba(c) if len(c) == 3 else c)

    def _box(self, box):
        x0, y0, x1, y1 = box
        k = self.k
        return [round(x0 * k), round(y0 * k), round(x1 * k) - 1, round(y1 * k) - 1]

    def _len(self, v):
        """A length at 96 DPI in canvas pixels, at least one."""
        return max(1, round(v * self.k))

    def _paint(self, bounds, fn):
        """Run fn(draw, ox, oy) on a transparent layer over `bounds` (SS
        pixels, padded) and composite it; fn draws at coordinates minus (ox, oy)."""
        pad = int(2 * self.k)
        x0 = max(0, int(bounds[0]) - pad)
        y0 = max(0, int(bounds[1]) - pad)
        x1 = min(self.img.width, int(bounds[2]) + pad + 1)
        y1 = min(self.img.height, int(bounds[3]) + pad + 1)
        if x1 <= x0 or y1 <= y0:
            return
        layer = Image.new("RGBA", (x1 - x0, y1 - y0), (0, 0, 0, 0))
        fn(ImageDraw.Draw(layer), x0, y0)
        self.img.alpha_composite(layer, (x0, y0))

    def _shape(self, method, box, **kw):
        b = self._box(box)
        self._paint(b, lambda d, ox, oy: getattr(d, method)(
            [b[0] - ox, b[1] - oy, b[2] - ox, b[3] - oy], **kw))

    def rrect(self, box, radius, fill=None, outline=None, width=1.0):
        self._shape("rounded_rectangle", box, radius=round(radius * self.k), fill=self._col(fill),
                    outline=self._col(outline), width=self._len(width))

    def rect(self, box, fill):
        self._shape("rectangle", box, fill=self._col(fill))

    def ellipse(self, box, fill=None, outline=None, width=1.0):
        self._shape("ellipse", box, fill=self._col(fill), outline=self._col(outline),
                    width=self._len(width))

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, width)

    def arc(self, box, start, end, fill, width=1.0):
        self._shape("arc", box, start=start, end=end, fill=self._col(fill),
                    width=self._len(width))

    def _points(self, pts, grow):
        p = [(x * self.k, y * self.k) for x, y in pts]
        xs, ys = [q[0] for q in p], [q[1] for q in p]
        return p, (min(xs) - grow, min(ys) - grow, max(xs) + grow, max(ys) + grow)

    def polygon(self, pts, fill):
        p, b = self._points(pts, 0)
        self._paint(b, lambda d, ox, oy: d.polygon([(x - ox, y - oy) for x, y in p],
                                                    fill=self._col(fill)))

    def line(self, pts, fill, width=1.0):
        wpx = self._len(width)
        p, b = self._points(pts, wpx)
        self._paint(b, lambda d, ox, oy: d.line([(x - ox, y - oy) for x, y in p],
                                                 fill=self._col(fill), width=wpx, joint="curve"))

    def mask_rrect(self, box, radius):
        m = Image.new("L", self.img.size, 0)
        ImageDraw.Draw(m).rounded_rectangle(self._box(box), radius=round(radius * self.k), fill=255)
        return m

    def mask_ellipse(self, box):
        m = Image.new("L", self.img.size, 0)
        ImageDraw.Draw(m).ellipse(self._box(box), fill=255)
        return m

    def _masked(self, layer, mask):
        """Composite a full-size layer through a mask, within the mask's bounds."""
        bbox = mask.getbbox()
        if not bbox:
            return
        part = layer.crop(bbox)
        alpha = ImageChops.multiply(part.getchannel("A"), mask.crop(bbox))
        part.putalpha(alpha)
        self.img.alpha_composite(part, bbox[:2])

    def gradient(self, mask, top, bottom, y0=0, y1=None):
        """Fill the masked area with a vertical gradient from `top` at y0 to
        `bottom` at y1 (target pixels)."""
        y1 = self.h if y1 is None else y1
        self._masked(vertical_gradient(self.img.size, top, bottom, y0 * self.k, y1 * self.k), mask)

    def radial(self, cx, cy, r, inner, outer, mask=None):
        """Radial glow: `inner` colour at the centre fading to `outer` at r."""
        x0, y0 = int((cx - r) * self.k), int((cy - r) * self.k)
        size = max(2, int(2 * r * self.k))
        g = Image.radial_gradient("L").resize((size, size), Image.BILINEAR)
        g = g.point(lambda v: min(255, v * 255 // 180))
        spot = Image.composite(Image.new("RGBA", (size, size), self._col(outer)),
                               Image.new("RGBA", (size, size), self._col(inner)), g)
        circ = Image.new("L", (size, size), 0)
        ImageDraw.Draw(circ).ellipse((0, 0, size - 1, size - 1), fill=255)
        if mask is not None:
            circ = ImageChops.multiply(circ, mask.crop((x0, y0, x0 + size, y0 + size)))
        # clip to the canvas
        cx0, cy0 = max(0, x0), max(0, y0)
        cx1, cy1 = min(self.img.width, x0 + size), min(self.img.height, y0 + size)
        if cx1 <= cx0 or cy1 <= cy0:
            return
        box = (cx0 - x0, cy0 - y0, cx1 - x0, cy1 - y0)
        spot, circ = spot.crop(box), circ.crop(box)
        spot.putalpha(ImageChops.multiply(spot.getchannel("A"), circ))
        self.img.alpha_composite(spot, (cx0, cy0))

    def composite(self, layer):
        self.img.alpha_composite(layer)

    def result(self):
        """The canvas reduced to the picture's size (RGBA)."""
        return self.img.resize((self.pw, self.ph), Image.LANCZOS)


def vertical_gradient(size, top, bottom, y0, y1):
    w, h = size
    col = Image.new("RGBA", (1, h))
    span = max(1.0, float(y1 - y0))
    px = col.load()
    top, bottom = rgba(top) if len(top) == 3 else top, rgba(bottom) if len(bottom) == 3 else bottom
    for y in range(h):
        t = min(1.0, max(0.0, (y - y0) / span))
        px[0, y] = tuple(int(round(top[i] + (bottom[i] - top[i]) * t)) for i in range(4))
    return col.resize((w, h), Image.NEAREST)


def flatten(img, background):
    """RGBA onto an opaque colour, giving RGB."""
    base = Image.new("RGBA", img.size, rgba(background))
    base.alpha_composite(img)
    return base.convert("RGB")


def draw_text(img, xy, text, size, fill=TEXT, anchor="la", bold=False, fnt=None,
              glow=None, shadow=True, record=None):
    """Text at target resolution on an RGB or RGBA image of the scale being
    drawn: `xy`, `size` and `fnt` are those of the 96-DPI layout. `glow` adds
    a soft halo in that colour; `shadow` a one-pixel (scaled) dark drop under
    the glyphs. Returns the ink box (x0, y0, x1, y1) in the image's pixels; it
    is also appended to `record`."""
    fnt = font_at_scale(fnt or text_font(text, size, bold=bold))
    if _dpi != BASE_DPI:
        xy = (xy[0] * scale(), xy[1] * scale())
    draw = ImageDraw.Draw(img)
    fbox = draw.textbbox(xy, text, font=fnt, anchor=anchor)
    box = (int(fbox[0] // 1), int(fbox[1] // 1), -int(-fbox[2] // 1), -int(-fbox[3] // 1))
    if glow is not None:
        pad = scaled(6)
        layer = Image.new("L", (box[2] - box[0] + 2 * pad, box[3] - box[1] + 2 * pad), 0)
        ImageDraw.Draw(layer).text((xy[0] - box[0] + pad, xy[1] - box[1] + pad), text,
                                   font=fnt, fill=255, anchor=anchor)
        layer = layer.filter(ImageFilter.GaussianBlur(2.2 * scale())).point(lambda v: v * 2 // 5)
        tint = Image.new(img.mode, layer.size, glow if img.mode == "RGB" else rgba(glow))
        img.paste(tint, (box[0] - pad, box[1] - pad), layer)
    if shadow:
        draw.text((xy[0], xy[1] + scaled(1)), text, font=fnt, fill=(0, 0, 0), anchor=anchor)
    draw.text(xy, text, font=fnt, fill=fill, anchor=anchor)
    if record is not None:
        record.append((box, text))
    return box


# ---------------------------------------------------------------------------
# Pixel hygiene and writers


def blue_pixels(img):
    """Mask ('L', 255 where the RGB pixel is exactly pure blue)."""
    r, g, b = img.convert("RGB").split()
    zero = lambda v: 255 if v == 0 else 0
    full = lambda v: 255 if v == 255 else 0
    return ImageChops.multiply(ImageChops.multiply(r.point(zero), g.point(zero)), b.point(full))


def remove_blue(img):
    """Nudge every pure-blue pixel to (0, 0, 254) so that only the page
    outline can be see-through."""
    img = img.convert("RGB")
    m = blue_pixels(img)
    if m.getbbox():
        img.paste(NEAR_BLUE, (0, 0, img.width, img.height), m)
    return img


def bmp_bytes(img):
    """Uncompressed bottom-up 24-bit BMP (BITMAPINFOHEADER, BI_RGB)."""
    img = img.convert("RGB")
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    pad = b"\0" * (stride - w * 3)
    raw = img.tobytes("raw", "BGR")
    rows = [raw[y * w * 3:(y + 1) * w * 3] + pad for y in range(h - 1, -1, -1)]
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def png_bytes(img):
    """24-bit RGB PNG of the same pixels, at the highest compression. The
    program stores its bitmaps this way and decodes them at load."""
    buf = io.BytesIO()
    img.convert("RGB").save(buf, "PNG", compress_level=9)
    return buf.getvalue()


def _dib32(img):
    """BITMAPINFOHEADER + BGRA rows + AND mask, the image form inside ICO/CUR."""
    img = img.convert("RGBA")
    w, h = img.size
    raw = img.tobytes("raw", "BGRA")
    xor = b"".join(raw[y * w * 4:(y + 1) * w * 4] for y in range(h - 1, -1, -1))
    mask_stride = ((w + 31) // 32) * 4
    alpha = img.getchannel("A").load()
    and_rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if alpha[x, y] < 128:
                row[x >> 3] |= 0x80 >> (x & 7)
        and_rows.append(bytes(row))
    andm = b"".join(and_rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
    return info + xor + andm


def icon_bytes(images, hotspot=None):
    """ICO (or CUR when a hotspot is given) holding the RGBA `images`. A
    cursor's hot spot is one (x, y) for every image or a list of one per image."""
    kind = 2 if hotspot is not None else 1
    dibs = [_dib32(im) for im in images]
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for index, (im, dib) in enumerate(zip(images, dibs)):
        w, h = im.size
        if hotspot is not None:
            p1, p2 = hotspot[index] if isinstance(hotspot, list) else hotspot
        else:
            p1, p2 = 1, 32
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, p1, p2, len(dib), offset)
        offset += len(dib)
    return out + b"".join(dibs)
