"""Control artwork: keys, switches, lamps, knob faces, slider grooves and
thumbs, list faces (the larger pictures are in pictures.py).

Every control bitmap sits on a recessed panel of the page backgrounds, whose
floor is the flat colour WELL, so each bitmap is drawn on WELL and its edges
melt into the page around it.
"""

import math

from PIL import Image, ImageDraw

from artkit import (ACCENT, ACCENT_DIM, ACCENT_SOFT, KEY_BOTTOM, KEY_EDGE, KEY_TOP, LED_RED,
                    TEXT, TEXT_DIM, TEXT_FAINT, WELL, Canvas, draw_text, fit_font, flatten,
                    font, is_cjk, mix, rgba, scaled, text_width)

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
    thumb = Image.new("RGB", (scaled(w), scaled(h)), WELL)
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

