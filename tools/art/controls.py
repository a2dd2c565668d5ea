"""Control artwork: keys, switches, lamps, knob faces, slider grooves and
thumbs, list faces, room and environment pictures, the Digital page's rate
selector, the page-column buttons, the application icon and the knob cursor.

Every control bitmap sits on a recessed panel of the page backgrounds, whose
floor is the flat colour WELL, so each bitmap is drawn on WELL and its edges
melt into the page around it.
"""

import math

from PIL import Image, ImageDraw

from artkit import (ACCENT, ACCENT_DIM, ACCENT_SOFT, KEY_BOTTOM, KEY_EDGE, KEY_TOP, LED_RED,
                    TEXT, TEXT_DIM, TEXT_FAINT, WELL, Canvas, draw_text, fit_font, flatten,
                    font, is_cjk, mix, rgba, text_width)
from wording import ENVIRONMENTS

# Geometry shared with the page layouts (the backgrounds draw their scales
# from it, so a groove tick and its printed label always line up).
BAND_CHANNEL = (16, 137)
BAND_THUMB = (16, 12)
BALANCE_CHANNEL = (124, 14)
SLIDER_THUMB = (28, 14)
CROSSOVER_CHANNEL = (202, 13)
MUTE_TOGGLE = (40, 22)
RESET_BUTTON = (56, 22)
DIGITAL_SWITCH = (39, 21)
DIGITAL_LAMP = (15, 15)
RATE_SELECTOR = (95, 68)


def thumb_centre(pos, lo, hi, length, thumb):
    """Centre of a bitmap slider's thumb along its channel, in channel pixels,
    as the slider control places it (no margins)."""
    span = length - thumb
    return int((pos - lo) / (hi - lo) * span) + thumb // 2


def band_tick_y(db):
    """Thumb-centre row in a band channel for a gain in dB (+20 at the top)."""
    # The band sliders' position is the negated gain in 16.16 dB.
    return thumb_centre(-db * 65536, -1310680, 1310720, BAND_CHANNEL[1], BAND_THUMB[1])


# ---------------------------------------------------------------------------
# Building blocks


def key_face(c, box, pressed=False, radius=4.0, top=KEY_TOP, bottom=KEY_BOTTOM):
    """A raised key: soft shadow, dark edge, graded face, lit upper rim.
    Pressed keys sit lower and darker."""
    x0, y0, x1, y1 = box
    if not pressed:
        c.rrect((x0 + 0.5, y0 + 1.2, x1 + 0.3, y1 + 0.6), radius + 1, fill=(0, 0, 0, 110))
    c.rrect((x0, y0, x1, y1), radius, fill=KEY_EDGE)
    face = (x0 + 1, y0 + 1, x1 - 1, y1 - 1)
    m = c.mask_rrect(face, radius - 1)
    if pressed:
        c.gradient(m, mix(bottom, (0, 0, 0), 0.25), mix(top, (0, 0, 0), 0.35), y0, y1)
    else:
        c.gradient(m, top, bottom, y0, y1)
        c.line([(x0 + radius, y0 + 1.5), (x1 - radius, y0 + 1.5)], mix(top, (255, 255, 255), 0.35), 0.8)


def led(c, cx, cy, r, on, colour=ACCENT):
    """Round lamp with a dark bezel; lit lamps glow beyond the bezel."""
    if on:
        c.radial(cx, cy, r * 2.6, rgba(colour, 150), rgba(colour, 0))
    c.circle(cx, cy, r + 1.0, fill=KEY_EDGE)
    if on:
        c.radial(cx, cy, r, mix(colour, (255, 255, 255), 0.7), colour)
    else:
        c.radial(cx, cy, r, mix(colour, (0, 0, 0), 0.62), mix(colour, (0, 0, 0), 0.85))
    c.circle(cx - r * 0.35, cy - r * 0.4, r * 0.32, fill=(255, 255, 255, 120 if on else 40))


def led_bar(c, box, on, colour=ACCENT):
    x0, y0, x1, y1 = box
    if on:
        c.rrect((x0 - 2, y0 - 2, x1 + 2, y1 + 2), 3, fill=rgba(colour, 70))
        c.rrect((x0 - 1, y0 - 1, x1 + 1, y1 + 1), 2, fill=rgba(colour, 120))
        c.rrect(box, 1.5, fill=mix(colour, (255, 255, 255), 0.35))
    else:
        c.rrect((x0 - 0.5, y0 - 0.5, x1 + 0.5, y1 + 0.5), 1.8, fill=KEY_EDGE)
        c.rrect(box, 1.5, fill=mix(colour, (0, 0, 0), 0.8))


def finish(c, background=WELL):
    return flatten(c.result(), background)


# ---------------------------------------------------------------------------
# Keys and switches


def group_switch(on, size=(39, 21)):
    w, h = size
    c = Canvas(w, h, WELL)
    key_face(c, (1, 1, w - 1, h - 2), pressed=on)
    led_bar(c, (w / 2 - 9, h / 2 - 2.2, w / 2 + 9, h / 2 + 1.2), on)
    return finish(c)


def option_key(on, size=(39, 21)):
    w, h = size
    c = Canvas(w, h, WELL)
    key_face(c, (1, 1, w - 1, h - 2), pressed=on)
    led(c, w / 2, h / 2 - 0.5, 3.2, on)
    return finish(c)


def preset_cell(on, size=(39, 21)):
    w, h = size
    c = Canvas(w, h, WELL)
    key_face(c, (1, 1, w - 1, h - 2), pressed=on)
    cx, cy = w / 2, h / 2 - 0.5
    if on:
        c.rrect((cx - 7, cy - 5, cx + 7, cy + 5), 3, fill=rgba(ACCENT, 70))
    for dx in (-4.5, 0, 4.5):
        x = cx + dx
        col = mix(ACCENT, (255, 255, 255), 0.3) if on else mix(ACCENT, (0, 0, 0), 0.78)
        c.rrect((x - 1.3, cy - 3.2, x + 1.3, cy + 3.2), 1, fill=col)
    return finish(c)


def power_switch(on, size):
    w, h = size
    c = Canvas(w, h, WELL)
    key_face(c, (1, 1, w - 1, h - 2), pressed=on)
    cx, cy, r = w / 2, h / 2 - 0.5, 4.6
    col = ACCENT_SOFT if on else mix(ACCENT, (0, 0, 0), 0.65)
    if on:
        c.radial(cx, cy, 9, rgba(ACCENT, 110), rgba(ACCENT, 0))
    c.arc((cx - r, cy - r, cx + r, cy + r), -55, 235, col, 1.5)
    c.line([(cx, cy - r - 1.2), (cx, cy + 0.4)], col, 1.5)
    return finish(c)


def light(on, size):
    w, h = size
    c = Canvas(w, h, WELL)
    led(c, w / 2, h / 2, w / 2 - 2.2, on)
    return finish(c)


def text_key(label, pressed, size, text_size=9):
    w, h = size
    c = Canvas(w, h, WELL)
    key_face(c, (1, 1, w - 1, h - 2), pressed=pressed)
    img = finish(c)
    fnt = fit_font(label, text_size, w - 10, bold=True, min_size=7)
    draw_text(img, (w / 2, h / 2 - 0.5 + (1 if pressed else 0)), label, text_size,
              fill=ACCENT_SOFT if pressed else TEXT, anchor="mm", fnt=fnt,
              glow=ACCENT if pressed else None)
    return img


def glyph_key(glyph, pressed, size=(23, 21)):
    w, h = size
    c = Canvas(w, h, WELL)
    key_face(c, (1, 1, w - 1, h - 2), pressed=pressed)
    cx, cy = w / 2, h / 2 - 0.5 + (0.7 if pressed else 0)
    col = ACCENT_SOFT if pressed else TEXT
    if pressed:
        c.radial(cx, cy, 8, rgba(ACCENT, 90), rgba(ACCENT, 0))
    if glyph in "+-":
        c.line([(cx - 4.5, cy), (cx + 4.5, cy)], col, 1.8)
        if glyph == "+":
            c.line([(cx, cy - 4.5), (cx, cy + 4.5)], col, 1.8)
    elif glyph == "x":
        c.line([(cx - 4.5, cy - 4.5), (cx + 4.5, cy + 4.5)], col, 1.8)
        c.line([(cx - 4.5, cy + 4.5), (cx + 4.5, cy - 4.5)], col, 1.8)
    elif glyph == "step":
        # One face serves both the previous and the next button; the arrows
        # are printed on the panel beside them, the key carries a grip.
        for dy in (-2.5, 0, 2.5):
            c.line([(cx - 4, cy + dy), (cx + 4, cy + dy)], col if pressed else TEXT_DIM, 1.0)
    return finish(c)


def mute_toggle(muted):
    w, h = MUTE_TOGGLE
    c = Canvas(w, h, WELL)
    key_face(c, (1, 1, w - 1, h - 2), pressed=muted)
    led(c, 9, h / 2 - 0.5, 3.0, muted, LED_RED)
    # loudspeaker glyph
    col = (236, 120, 108) if muted else TEXT_DIM
    x, cy = 19, h / 2 - 0.5
    c.polygon([(x, cy - 2.2), (x + 3, cy - 2.2), (x + 7, cy - 5.5), (x + 7, cy + 5.5),
               (x + 3, cy + 2.2), (x, cy + 2.2)], col)
    if muted:
        c.line([(x + 10, cy - 3), (x + 16, cy + 3)], col, 1.5)
        c.line([(x + 10, cy + 3), (x + 16, cy - 3)], col, 1.5)
    else:
        c.arc((x + 5, cy - 4, x + 12, cy + 4), -50, 50, col, 1.2)
        c.arc((x + 5, cy - 7, x + 16, cy + 7), -50, 50, col, 1.2)
    return finish(c)


def close_button(pressed):
    return glyph_key("x", pressed, (43, 27))


def lever_switch(up):
    """Toggle lever seen from the front: a hex nut with the bat thrown up or down."""
    w, h = 25, 40
    c = Canvas(w, h, WELL)
    cx, cy = w / 2, h / 2
    c.rrect((3, 3, w - 3, h - 3), 4, fill=(12, 14, 17), outline=(48, 52, 59), width=1)
    hexagon = [(cx + 8.5 * math.cos(math.radians(a)), cy + 8.5 * math.sin(math.radians(a)))
               for a in range(0, 360, 60)]
    c.polygon(hexagon, (96, 101, 110))
    c.circle(cx, cy, 6.2, fill=(150, 156, 166))
    c.circle(cx, cy, 4.6, fill=(40, 43, 49))
    sign = -1 if up else 1
    tip_y = cy + sign * 13.5
    # bat: tapered shaft, lit on its left flank, with a rounded tip
    shaft = [(cx - 2.0, cy), (cx + 2.0, cy), (cx + 3.1, tip_y), (cx - 3.1, tip_y)]
    c.polygon(shaft, (178, 184, 194))
    c.line([(cx - 1.2, cy), (cx - 2.0, tip_y)], (235, 238, 242), 0.9)
    c.line([(cx + 1.6, cy), (cx + 2.6, tip_y)], (104, 110, 120), 0.9)
    c.circle(cx, tip_y, 4.0, fill=(200, 206, 214))
    c.circle(cx - 1.2, tip_y - 1.2, 1.6, fill=(250, 252, 255))
    return finish(c)


def flex_bass_lamp(on):
    w, h = 52, 21
    c = Canvas(w, h, WELL)
    led(c, 9.5, h / 2, 4.2, on)
    c.rrect((20, 2, w - 2, h - 2), 3, fill=(8, 9, 11))
    c.rrect((21, 3, w - 3, h - 3), 2.5, fill=(24, 38, 44) if on else (22, 24, 28))
    if on:
        c.radial(36, h / 2, 14, rgba(ACCENT, 60), rgba(ACCENT, 0), mask=c.mask_rrect((21, 3, w - 3, h - 3), 2.5))
    img = finish(c)
    label = "ON" if on else "OFF"
    draw_text(img, (36, h / 2), label, 10, fill=ACCENT_SOFT if on else TEXT_FAINT, anchor="mm",
              bold=True, glow=ACCENT if on else None, shadow=False)
    return img


# ---------------------------------------------------------------------------
# Knobs


def knob_face(size):
    """Round machined knob face without a pointer (the control draws its own
    indicator dot); the corners outside the circle carry the panel colour."""
    c = Canvas(size, size, WELL)
    r = size / 2
    cx = cy = r
    # shadow ring, knurled skirt, machined cap
    c.circle(cx, cy + size * 0.02, r - 0.2, fill=(0, 0, 0, 160))
    c.circle(cx, cy, r - 0.6, fill=(26, 28, 32))
    skirt = r - 1.4
    c.radial(cx, cy, skirt, (92, 97, 106), (54, 58, 65))
    if size >= 30:
        for a in range(0, 360, 6):
            t = math.radians(a)
            c.line([(cx + math.cos(t) * (skirt - 3.2), cy + math.sin(t) * (skirt - 3.2)),
                    (cx + math.cos(t) * skirt, cy + math.sin(t) * skirt)], (36, 39, 44), 0.7)
    cap = skirt * (0.80 if size >= 30 else 0.76)
    m = c.mask_ellipse((cx - cap, cy - cap, cx + cap, cy + cap))
    c.gradient(m, (178, 184, 193), (104, 110, 120), cy - cap, cy + cap)
    # concentric machining rings
    if size >= 30:
        k = cap - 2
        while k > 2:
            c.circle(cx, cy, k, outline=(255, 255, 255, 16), width=0.5)
            k -= 2.2
    c.circle(cx, cy, cap, outline=(228, 232, 238, 150), width=0.7)
    c.radial(cx - cap * 0.35, cy - cap * 0.45, cap * 0.7, (255, 255, 255, 70), (255, 255, 255, 0))
    return finish(c)


# ---------------------------------------------------------------------------
# Slider grooves and thumbs


def band_channel():
    w, h = BAND_CHANNEL
    c = Canvas(w, h, WELL)
    cx = w / 2
    for db in (20, 10, 0, -10, -20):
        y = band_tick_y(db) + 0.5
        long = db in (20, 0, -20)
        colour = ACCENT_DIM if db == 0 else (70, 76, 86)
        c.line([(0.5, y), (3.5 if long else 2.5, y)], colour, 1)
        c.line([(w - (3.5 if long else 2.5), y), (w - 0.5, y)], colour, 1)
    top, bottom = band_tick_y(20) - 2, band_tick_y(-20) + 3
    c.rrect((cx - 2.6, top, cx + 2.6, bottom), 2.4, fill=(2, 3, 4), outline=(58, 63, 71), width=0.6)
    c.line([(cx - 1.2, top + 2), (cx - 1.2, bottom - 2)], (0, 0, 0), 1)
    return finish(c)


def band_thumb():
    w, h = BAND_THUMB
    c = Canvas(w, h, WELL)
    c.rrect((0.5, 0.5, w - 0.5, h - 0.5), 2.5, fill=(6, 7, 9))
    m = c.mask_rrect((1.3, 1.3, w - 1.3, h - 1.3), 2)
    c.gradient(m, (196, 201, 209), (96, 101, 110), 1, h - 1)
    c.line([(2.5, h / 2), (w - 2.5, h / 2)], ACCENT, 1.6)
    c.line([(2.5, 2.2), (w - 2.5, 2.2)], (240, 243, 247), 0.6)
    return finish(c)


def horizontal_channel(size, ticks, centre_tick=None):
    w, h = size
    c = Canvas(w, h, WELL)
    cy = h / 2
    for x in ticks:
        x += 0.5
        strong = x - 0.5 == centre_tick
        colour = ACCENT_DIM if strong else (66, 72, 82)
        c.line([(x, 0.3), (x, 2.6 if strong else 2.0)], colour, 1)
        c.line([(x, h - (2.6 if strong else 2.0)), (x, h - 0.3)], colour, 1)
    x0 = SLIDER_THUMB[0] / 2 - 4
    x1 = w - SLIDER_THUMB[0] / 2 + 4
    c.rrect((x0, cy - 2.4, x1, cy + 2.4), 2.4, fill=(2, 3, 4), outline=(58, 63, 71), width=0.6)
    c.line([(x0 + 2, cy - 1.0), (x1 - 2, cy - 1.0)], (0, 0, 0), 1)
    return finish(c)


def balance_channel():
    w = BALANCE_CHANNEL[0]
    ticks = [thumb_centre(p, 0, 100, w, SLIDER_THUMB[0]) for p in (0, 25, 50, 75, 100)]
    return horizontal_channel(BALANCE_CHANNEL, ticks, centre_tick=ticks[2])


def crossover_channel():
    w = CROSSOVER_CHANNEL[0]
    ticks = [thumb_centre(p, 0, 250, w, SLIDER_THUMB[0]) for p in range(50, 251, 25)]
    return horizontal_channel(CROSSOVER_CHANNEL, ticks)


def slider_thumb():
    # The thumb serves the 14-pixel balance grooves and the 13-pixel crossover
    # groove, whose slot is as tall as its groove: its body takes the upper 13
    # rows and the last row is the well's colour, so nothing of it is lost
    # where that row is cut off.
    w, h = SLIDER_THUMB
    body = CROSSOVER_CHANNEL[1]
    c = Canvas(w, body, WELL)
    c.rrect((0.5, 0.5, w - 0.5, body - 0.5), 3, fill=(6, 7, 9))
    m = c.mask_rrect((1.3, 1.3, w - 1.3, body - 1.3), 2.4)
    c.gradient(m, (200, 205, 213), (92, 97, 106), 1, body - 1)
    for dx in (-5, 5):
        c.line([(w / 2 + dx, 3.5), (w / 2 + dx, body - 3.5)], (70, 75, 84), 0.8)
    c.line([(w / 2, 2.5), (w / 2, body - 2.5)], ACCENT, 1.6)
    c.line([(3, 2.1), (w - 3, 2.1)], (244, 246, 250), 0.6)
    thumb = Image.new("RGB", (w, h), WELL)
    thumb.paste(finish(c), (0, 0))
    return thumb


# ---------------------------------------------------------------------------
# List faces (the control prints black text over them, so they are light)


def combo_face():
    w, h = 105, 19
    c = Canvas(w, h, WELL)
    c.rrect((0, 0, w, h), 3, fill=(8, 9, 11))
    m = c.mask_rrect((1, 1, w - 1, h - 1), 2.2)
    c.gradient(m, (236, 239, 243), (206, 211, 218), 1, h - 1)
    bx = w - 17
    mb = c.mask_rrect((bx, 1, w - 1, h - 1), 2.2)
    c.gradient(mb, (120, 126, 136), (70, 75, 84), 1, h - 1)
    c.line([(bx, 1), (bx, h - 1)], (40, 43, 49), 0.8)
    ax, ay = bx + 8, h / 2 + 0.2
    c.polygon([(ax - 4, ay - 2.2), (ax + 4, ay - 2.2), (ax, ay + 2.6)], ACCENT_SOFT)
    return finish(c)


def name_box_face():
    w, h = 100, 15
    c = Canvas(w, h, WELL)
    c.rrect((0, 0, w, h), 2.5, fill=(8, 9, 11))
    m = c.mask_rrect((1, 1, w - 1, h - 1), 1.8)
    c.gradient(m, (206, 211, 218), (238, 241, 245), 1, h - 1)
    c.line([(2, 1.6), (w - 2, 1.6)], (150, 156, 165), 0.8)
    return finish(c)


# ---------------------------------------------------------------------------
# Room selector pictures: the three rooms stacked, the chosen one lit


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
