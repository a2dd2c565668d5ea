"""Picture artwork: the room and environment pictures of the Hifi page, the
Digital page's rate selector, the page-column buttons, the application icon
and the knob cursor. Drawn on WELL like every control bitmap (controls.py).
"""

import math

from artkit import ACCENT, ACCENT_SOFT, WELL, Canvas, draw_text, fit_font, font, is_cjk, rgba
from controls import RATE_SELECTOR, finish, key_face
from wording import ENVIRONMENTS



ROOM_ROWS = ((0, 26), (27, 52), (53, 79))


def _sofa(c, cx, cy, col):
    c.rrect((cx - 11, cy - 5, cx + 11, cy + 1), 2, fill=col)
    c.rrect((cx - 14, cy - 2, cx - 9, cy + 5), 2, fill=col)
    c.rrect((cx + 9, cy - 2, cx + 14, cy + 5), 2, fill=col)
    c.rrect((cx - 10, cy + 1.5, cx + 10, cy + 5), 1.5, fill=col)
    c.line([(cx - 11, cy + 5), (cx - 11, cy + 7.5)], col, 1.2)
    c.line([(cx + 11, cy + 5), (cx + 11, cy + 7.5)], col, 1.2)


def _theatre(c, cx, cy, col):
    c.rrect((cx - 12, cy - 7, cx + 12, cy + 4), 1.2, outline=col, width=1.4)
    c.line([(cx - 3, cy + 7), (cx + 3, cy + 7)], col, 1.4)
    c.line([(cx, cy + 4), (cx, cy + 7)], col, 1.2)
    for sx in (-17, 17):
        c.rrect((cx + sx - 2.5, cy - 6, cx + sx + 2.5, cy + 7), 1, fill=col)


def _bed(c, cx, cy, col):
    c.rrect((cx - 14, cy - 6, cx - 11.5, cy + 7), 1, fill=col)
    c.rrect((cx - 11, cy, cx + 14, cy + 4), 1, fill=col)
    c.rrect((cx - 10, cy - 3.5, cx - 4, cy - 0.5), 1.5, fill=col)
    c.rrect((cx - 3, cy - 2.5, cx + 13, cy + 0.2), 1.2, fill=col)
    c.line([(cx + 13.5, cy + 4), (cx + 13.5, cy + 7)], col, 1.2)


def room_picture(chosen):
    w = h = 79
    c = Canvas(w, h, WELL)
    c.rrect((0, 0, w, h), 5, fill=(6, 7, 9))
    c.rrect((1, 1, w - 1, h - 1), 4.5, fill=(14, 18, 22))
    drawers = (_sofa, _theatre, _bed)
    for i, (y0, y1) in enumerate(ROOM_ROWS):
        lit = i == chosen
        box = (3, y0 + 2.5, w - 3, y1 - 1.5)
        if lit:
            c.rrect(box, 3, fill=(14, 52, 64))
            c.radial(w / 2, (y0 + y1) / 2, 30, rgba(ACCENT, 60), rgba(ACCENT, 0), mask=c.mask_rrect(box, 3))
            c.rrect(box, 3, outline=rgba(ACCENT, 200), width=0.8)
        else:
            c.rrect(box, 3, fill=(20, 24, 29))
        col = ACCENT_SOFT if lit else (74, 82, 92)
        drawers[i](c, w / 2, (y0 + y1) / 2, col)
    return finish(c)


# ---------------------------------------------------------------------------
# Environment display pictures (a small lit screen scrolling through the list)


LCD_BG = (8, 22, 28)


def environment_picture(lang, index):
    w, h = 146, 65
    c = Canvas(w, h, WELL)
    c.rrect((0, 0, w, h), 5, fill=(4, 5, 6))
    screen = (2, 2, w - 2, h - 2)
    m = c.mask_rrect(screen, 4)
    c.gradient(m, (10, 30, 38), (5, 15, 20), 2, h - 2)
    c.radial(w / 2, h / 2, 60, rgba(ACCENT, 40), rgba(ACCENT, 0), mask=m)
    # selection band behind the current name
    c.rrect((6, 22, w - 6, 43), 3, fill=rgba(ACCENT, 34), outline=rgba(ACCENT, 90), width=0.7)
    # faint scan lines
    for y in range(3, h - 2, 2):
        c.line([(3, y + 0.5), (w - 3, y + 0.5)], (0, 0, 0, 36), 0.5)
    img = finish(c)
    names = [e[lang] for e in ENVIRONMENTS]
    big = names[index]
    size = 16 if is_cjk(big) else 15
    fnt = fit_font(big, size, w - 18, bold=True, min_size=9)
    draw_text(img, (w / 2, 33), big, size, fill=(190, 244, 255), anchor="mm", fnt=fnt,
              glow=ACCENT, shadow=False)
    small_col = (70, 138, 156)
    if index > 0:
        prev = names[index - 1]
        draw_text(img, (w / 2, 12), prev, 10, fill=small_col, anchor="mm",
                  fnt=fit_font(prev, 10, w - 20, min_size=8), shadow=False)
    if index < len(names) - 1:
        nxt = names[index + 1]
        draw_text(img, (w / 2, 53), nxt, 10, fill=small_col, anchor="mm",
                  fnt=fit_font(nxt, 10, w - 20, min_size=8), shadow=False)
    return img


# ---------------------------------------------------------------------------
# Digital page: rate selector (a four-position rotary switch)


RATE_ANGLES = {0: 225, 1: 315, 2: 45, 3: 135}  # lower left, upper left, upper right, lower right


def rate_selector(index):
    w, h = RATE_SELECTOR
    c = Canvas(w, h, WELL)
    cx, cy = w / 2, h / 2
    # position marks around the dial
    for i, a in RATE_ANGLES.items():
        t = math.radians(a)
        px, py = cx + math.sin(t) * 31, cy - math.cos(t) * 31
        lit = i == index
        if lit:
            c.radial(px, py, 7, rgba(ACCENT, 140), rgba(ACCENT, 0))
        c.circle(px, py, 2.6, fill=ACCENT_SOFT if lit else (52, 58, 66))
    # knob body
    c.circle(cx, cy + 1.2, 25, fill=(0, 0, 0, 150))
    c.circle(cx, cy, 24.5, fill=(22, 24, 28))
    c.radial(cx, cy, 23.3, (96, 101, 110), (52, 56, 63))
    for a in range(0, 360, 8):
        t = math.radians(a)
        c.line([(cx + math.cos(t) * 20.2, cy + math.sin(t) * 20.2),
                (cx + math.cos(t) * 23.3, cy + math.sin(t) * 23.3)], (34, 37, 42), 0.8)
    m = c.mask_ellipse((cx - 18.5, cy - 18.5, cx + 18.5, cy + 18.5))
    c.gradient(m, (168, 174, 183), (96, 102, 112), cy - 18.5, cy + 18.5)
    c.circle(cx, cy, 18.5, outline=(226, 230, 236, 140), width=0.7)
    # pointer bar
    t = math.radians(RATE_ANGLES[index])
    sx, sy = math.sin(t), -math.cos(t)
    nx, ny = -sy, sx
    p0 = (cx + sx * 3, cy + sy * 3)
    p1 = (cx + sx * 17, cy + sy * 17)
    c.polygon([(p0[0] + nx * 2.2, p0[1] + ny * 2.2), (p1[0] + nx * 1.6, p1[1] + ny * 1.6),
               (p1[0] - nx * 1.6, p1[1] - ny * 1.6), (p0[0] - nx * 2.2, p0[1] - ny * 2.2)], (30, 33, 38))
    c.line([p0, p1], ACCENT, 1.3)
    return finish(c)


# ---------------------------------------------------------------------------
# Page-column buttons


PAGE_BUTTONS = (  # (lit id, grey id, label, icon)
    (327, 328, "MAIN", "main"),
    (329, 330, "HI-FI", "hifi"),
    (331, 332, "DIGITAL", "digital"),
    (333, 334, "HP", "hp"),
    (335, 336, "INFO", "info"),
)


def _page_icon(c, kind, cx, cy, col):
    if kind == "main":
        c.circle(cx, cy, 5.5, outline=col, width=1.3)
        c.line([(cx, cy), (cx + 3.2, cy - 3.2)], col, 1.4)
    elif kind == "hifi":
        for dx, hh in ((-4.5, 4), (-1.5, 7), (1.5, 5), (4.5, 8)):
            c.line([(cx + dx, cy + 5), (cx + dx, cy + 5 - hh)], col, 1.6)
    elif kind == "digital":
        pts = [(cx - 6, cy + 3), (cx - 3, cy + 3), (cx - 3, cy - 3), (cx + 1, cy - 3),
               (cx + 1, cy + 3), (cx + 4, cy + 3), (cx + 4, cy - 3), (cx + 6.5, cy - 3)]
        c.line(pts, col, 1.3)
    elif kind == "hp":
        c.arc((cx - 5.5, cy - 6, cx + 5.5, cy + 5), 180, 360, col, 1.4)
        c.rrect((cx - 6.5, cy - 0.5, cx - 3.5, cy + 5), 1, fill=col)
        c.rrect((cx + 3.5, cy - 0.5, cx + 6.5, cy + 5), 1, fill=col)
    elif kind == "info":
        c.circle(cx, cy, 6, outline=col, width=1.2)
        c.circle(cx, cy - 2.8, 0.9, fill=col)
        c.line([(cx, cy - 0.8), (cx, cy + 3.5)], col, 1.4)


def page_button(label, icon, lit):
    w, h = 73, 33
    c = Canvas(w, h, WELL)
    if lit:
        key_face(c, (2, 2, w - 2, h - 3), radius=5, top=(44, 66, 76), bottom=(22, 36, 43))
        c.rrect((2, 2, w - 2, h - 3), 5, outline=rgba(ACCENT, 150), width=0.8)
        col = ACCENT_SOFT
    else:
        key_face(c, (2, 2, w - 2, h - 3), radius=5, top=(58, 62, 70), bottom=(36, 39, 45))
        col = (138, 145, 156)
    _page_icon(c, icon, 16, h / 2 - 0.5, col)
    if lit:
        c.line([(29, h - 7), (w - 9, h - 7)], rgba(ACCENT, 200), 1.2)
    img = finish(c)
    # one face for the whole column, in which the longest name fits
    fnt = font(10, bold=True, condensed=True)
    draw_text(img, (47, h / 2 - 1.5), label, 10, fill=col, anchor="mm", fnt=fnt,
              glow=ACCENT if lit else None)
    return img


# ---------------------------------------------------------------------------
# Application icon and knob cursor


def app_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    c.rrect((0.5 * s, 0.5 * s, 31.5 * s, 31.5 * s), 7 * s, fill=(8, 9, 11))
    m = c.mask_rrect((1.5 * s, 1.5 * s, 30.5 * s, 30.5 * s), 6 * s)
    c.gradient(m, (58, 63, 72), (22, 25, 30), 1.5 * s, 30.5 * s)
    c.radial(16 * s, 17 * s, 14 * s, rgba(ACCENT, 90), rgba(ACCENT, 0), mask=m)
    # a bold "V" made of two light strokes, with a sound wave inside
    c.line([(7.5 * s, 8 * s), (16 * s, 25 * s), (24.5 * s, 8 * s)], ACCENT_SOFT, 3.4 * s)
    if size >= 32:
        c.arc((12 * s, 8 * s, 20 * s, 16 * s), 200, 340, ACCENT, 1.3 * s)
    return c.result()


def knob_cursor():
    """32 x 32 turning cursor: two curved arrows chasing each other round a
    centre dot, white with a black rim; the hot spot is the centre."""
    size = 32
    c = Canvas(size, size)
    cx = cy = 15.5
    r = 10.0
    arcs = ((205, 325), (25, 145))      # degrees, clockwise on screen

    def head(angle, grow):
        t = math.radians(angle)
        px, py = cx + math.cos(t) * r, cy + math.sin(t) * r
        tx, ty = -math.sin(t), math.cos(t)          # direction of travel
        nx, ny = math.cos(t), math.sin(t)
        length, half = 5.5 + grow * 1.6, 4.0 + grow
        back = grow * 0.9
        return [(px + tx * length, py + ty * length),
                (px - tx * back + nx * half, py - ty * back + ny * half),
                (px - tx * back - nx * half, py - ty * back - ny * half)]

    for colour, width, grow in (((0, 0, 0, 255), 4.6, 1.3), ((255, 255, 255, 255), 2.2, 0.0)):
        for a0, a1 in arcs:
            ro = r + width / 2      # an arc's stroke grows inwards from its box
            c.arc((cx - ro, cy - ro, cx + ro, cy + ro), a0, a1, colour, width)
            c.polygon(head(a1, grow), colour)
        c.circle(cx, cy, 2.4 + grow, fill=colour)
    img = c.result()
    # crisp alpha: a cursor's AND mask is one bit per pixel
    img.putalpha(img.getchannel("A").point(lambda v: 255 if v >= 128 else 0))
    return img
