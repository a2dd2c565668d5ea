"""The five page backgrounds in the three languages: each page's wells,
controls, scales and wording, on the chassis and helpers of pagekit.
"""

import math

from artkit import ACCENT, ACCENT_DIM, TEXT_DIM, TEXT_FAINT
import controls as ctl
from pagekit import Page, dial_ticks, icon_headphones, icon_speaker, knob_well, page_column, render
import pictures
from wording import ENGLISH, SIMP, TRAD
# ---------------------------------------------------------------------------
# Main page


class MainPage(Page):
    key = "main"
    ids = {TRAD: 140, SIMP: 139, ENGLISH: 138}
    column = page_column((735, 9), 702, (45, 87, 129, 171, 210))
    controls = [
        ("master_knob", 90, 109, 50, 50),
        ("digital_knob", 592, 130, 30, 30),
        ("reset", 223, 100) + ctl.RESET_BUTTON,
        ("master_balance", 200, 151) + ctl.BALANCE_CHANNEL,
        ("digital_balance", 555, 80) + ctl.BALANCE_CHANNEL,
        ("master_mute", 92, 210) + ctl.MUTE_TOGGLE,
        ("digital_mute", 580, 210) + ctl.MUTE_TOGGLE,
        ("output_switch", 433, 123, 25, 40),
    ]
    wells = [(18, 34, 396, 292), (402, 34, 488, 292), (494, 34, 690, 292)]

    # knob dials: position 0 at 220 degrees, full level (50 of 66 steps) at 132
    DIAL_START, DIAL_SWEEP = 220, 50 * 360 // 66

    def shapes(self, c):
        knob_well(c, 115, 134, 27)
        dial_ticks(c, 115, 134, 29.5, 33, self.DIAL_START, self.DIAL_SWEEP, 11, major=(0, 10))
        knob_well(c, 607, 145, 17)
        dial_ticks(c, 607, 145, 19, 22, self.DIAL_START, self.DIAL_SWEEP, 11, major=(0, 10))
        for x, y in ((200, 151), (555, 80)):
            bw = ctl.BALANCE_CHANNEL[0]
            mid = x + ctl.thumb_centre(50, 0, 100, bw, ctl.SLIDER_THUMB[0]) + 0.5
            c.line([(mid, y - 5), (mid, y - 2)], ACCENT_DIM, 1.2)
        icon_headphones(c, 445, 103, 1.0, TEXT_DIM)
        icon_speaker(c, 445, 180, 11, 16, TEXT_DIM)
        c.line([(445.5, 113), (445.5, 120)], (70, 76, 86), 1)
        c.line([(445.5, 166), (445.5, 171)], (70, 76, 86), 1)

    def words(self, img):
        self.say(img, self.w("playback"), (32, 50), "title", max_width=340)
        self.say(img, self.w("master_volume"), (115, 88), "label", anchor="mm", max_width=120)
        self.say(img, self.w("left"), (214, 173), "strong", anchor="mm")
        self.say(img, self.w("balance"), (262, 173), "small", anchor="mm")
        self.say(img, self.w("right"), (310, 173), "strong", anchor="mm")
        self.say(img, self.w("mute"), (140, 221), "label", max_width=90)

        self.say(img, self.w("output"), (445, 50), "title", anchor="mm", max_width=78)
        self.say(img, self.w("headphones"), (445, 84), "small", anchor="mm", max_width=80)
        self.say(img, self.w("speakers"), (445, 200), "small", anchor="mm", max_width=80)

        self.say(img, self.w("digital_out_group"), (508, 50), "title", max_width=170)
        self.say(img, self.w("left"), (569, 102), "strong", anchor="mm")
        self.say(img, self.w("balance"), (617, 102), "small", anchor="mm")
        self.say(img, self.w("right"), (665, 102), "strong", anchor="mm")
        self.say(img, self.w("digital_volume"), (582, 145), "label", anchor="rm", max_width=80)
        self.say(img, self.w("mute"), (628, 221), "label", max_width=56)


# ---------------------------------------------------------------------------
# Hifi page


BAND_XS = (105, 137, 170, 203, 236, 267, 297, 329, 363, 396)
BAND_LABELS = ("30", "60", "120", "250", "500", "1K", "2K", "4K", "8K", "16K")
PRESET_CELLS = (  # (x, y, wording key) in the grid of three columns
    (386, 106, "preset_default"), (386, 128, "preset_bass"), (386, 150, "preset_treble"),
    (386, 172, "preset_live"), (480, 106, "preset_rock"), (480, 128, "preset_softrock"),
    (480, 150, "preset_dance"), (480, 172, "preset_jazz"), (570, 106, "preset_metal"),
    (570, 128, "preset_rap"), (570, 150, "preset_classic"), (570, 172, "preset_vocal"),
)
STYLE_YS = (111, 138, 167, 195, 223)


class HifiPage(Page):
    key = "hifi"
    size = (800, 546)
    ids = {TRAD: 246, SIMP: 245, ENGLISH: 244}
    column = page_column((730, 9), 690, (66, 108, 150, 192, 300))
    controls = (
        [("power_light", 35, 46, 11, 11), ("master_switch", 50, 41, 36, 21),
         ("tone_switch", 75, 76, 39, 21), ("treble_knob", 87, 130, 30, 29),
         ("bass_knob", 87, 202, 30, 29), ("style_switch", 195, 78, 39, 21)]
        + [("style_%d" % i, 194, y, 39, 21) for i, y in enumerate(STYLE_YS)]
        + [("preset_switch", 386, 76, 39, 21)]
        + [("cell_" + k, x, y, 39, 21) for x, y, k in PRESET_CELLS]
        + [("eq_switch", 53, 276, 39, 21)]
        + [("band_%d" % i, x, 309) + ctl.BAND_CHANNEL for i, x in enumerate(BAND_XS)]
        + [("band_reset", 378, 276, 48, 21), ("custom_light", 388, 207, 11, 11),
           ("preset_list", 473, 203, 105, 19), ("name_box", 473, 228, 100, 15),
           ("save", 586, 201, 23, 21), ("delete", 612, 201, 23, 21),
           ("room_switch", 465, 276, 39, 21), ("room_selector", 590, 280, 79, 79),
           ("env_switch", 465, 377, 39, 21), ("env_display", 475, 403, 146, 65),
           ("env_prev", 631, 411, 23, 21), ("env_next", 631, 436, 23, 21)]
    )
    wells = [(18, 70, 180, 252), (186, 70, 372, 252), (378, 70, 680, 252),
             (18, 258, 436, 525), (442, 258, 680, 368), (442, 372, 680, 525)]
    pads = [(28, 37, 91, 67)]

    # treble/bass dials: 0 (-20 dB) at 220 degrees, 40 (+20 dB) of 53 steps
    DIAL_START, DIAL_SWEEP = 220, 40 * 360 // 53

    def shapes(self, c):
        for cy in (144.5, 216.5):
            knob_well(c, 102, cy, 16.5)
            dial_ticks(c, 102, cy, 18.5, 21.5, self.DIAL_START, self.DIAL_SWEEP, 9, major=(0, 4, 8))
        # user-preset row divider
        c.line([(388, 198.5), (670, 198.5)], (44, 49, 57), 1)
        # equalizer grid: a line for every 10 dB across the bands
        for db in (20, 10, 0, -10, -20):
            y = 309 + ctl.band_tick_y(db) + 0.5
            colour = ACCENT_DIM if db == 0 else (38, 43, 50)
            c.line([(101, y), (416, y)], colour, 1 if db else 1.2)
        # arrows beside the environment step keys
        for y, up in ((421.5, True), (446.5, False)):
            d = -1 if up else 1
            c.polygon([(658, y - 2.5 * d), (666, y - 2.5 * d), (662, y + 3 * d)], TEXT_DIM)
        # leaders from the room names to the selector rows
        for y0, y1 in pictures.ROOM_ROWS:
            y = 280 + (y0 + y1) / 2
            c.line([(584.5, y), (588, y)], ACCENT_DIM, 1.2)

    def words(self, img):
        self.say(img, self.w("dry_sound"), (98, 51.5), "strong", max_width=150)

        self.say(img, self.w("tone"), (121, 86.5), "title", max_width=54)
        self.say(img, self.w("treble"), (125, 144.5), "label", max_width=50)
        self.say(img, self.w("bass"), (125, 216.5), "label", max_width=50)

        self.say(img, self.w("region_style"), (240, 88.5), "title", max_width=124)
        for i, y in enumerate(STYLE_YS):
            self.say(img, self.w("style_%d" % i), (240, y + 10.5), "label", max_width=124)

        self.say(img, self.w("presets"), (431, 86.5), "title", max_width=240)
        for x, y, key in PRESET_CELLS:
            room = {386: 46, 480: 43, 570: 64}[x]
            self.say(img, self.w(key), (x + 44, y + 10.5), "label", max_width=room)
        self.say(img, self.w("user_preset"), (404, 212.5), "small", max_width=66)
        self.say(img, self.w("new_name"), (404, 235.5), "small", max_width=66)

        self.say(img, self.w("equalizer"), (99, 286.5), "title", max_width=270)
        for db, text in ((20, "+20 dB"), (10, "+10"), (0, "0 dB"), (-10, "-10"), (-20, "-20 dB")):
            self.say(img, text, (98, 309 + ctl.band_tick_y(db)), "small", anchor="rm")
        for x, text in zip(BAND_XS, BAND_LABELS):
            self.say(img, text, (x + 8, 458), "strong", anchor="mm")
        self.say(img, self.w("frequency_hz"), (258, 480), "small", anchor="mm")

        self.say(img, self.w("room"), (484.5, 307), "title", anchor="mm", max_width=70)
        for i, (y0, y1) in enumerate(pictures.ROOM_ROWS):
            self.say(img, self.w("room_%d" % i), (582, 280 + (y0 + y1) / 2), "label", anchor="rm",
                     max_width=74, wrap=True)

        self.say(img, self.w("environment"), (510, 387.5), "title", max_width=160)


# ---------------------------------------------------------------------------
# Digital page


RATE_LABELS = (("rate_theatre", 489, 128, "rm"), ("rate_cd", 489, 168, "rm"),
               ("rate_hifi", 596, 128, "lm"), ("rate_pro", 596, 168, "lm"))


class DigitalPage(Page):
    key = "digital"
    ids = {TRAD: 131, SIMP: 130, ENGLISH: 129}
    column = page_column((735, 9), 704, (45, 87, 129, 171, 210))
    controls = [
        ("switch_lamp", 35, 44) + ctl.DIGITAL_LAMP,
        ("output_switch", 53, 42) + ctl.DIGITAL_SWITCH,
        ("rate_selector", 495, 114) + ctl.RATE_SELECTOR,
        ("selector_lamp", 535, 184) + ctl.DIGITAL_LAMP,
    ]
    wells = [(18, 34, 392, 292), (400, 34, 690, 292)]

    def shapes(self, c):
        c.line([(30, 78.5), (380, 78.5)], (44, 49, 57), 1)
        # optical (square port with a shutter) and coaxial (RCA jack) connectors
        for cx in (130, 280):
            c.rrect((cx - 34, 132, cx + 34, 206), 6, fill=(8, 9, 11))
            m = c.mask_rrect((cx - 33, 133, cx + 33, 205), 5)
            c.gradient(m, (92, 97, 106), (52, 56, 63), 133, 205)
            for sx, sy in ((-27, 139), (27, 139), (-27, 199), (27, 199)):
                c.circle(cx + sx, sy, 2.3, fill=(30, 33, 38))
                c.line([(cx + sx - 1.4, sy), (cx + sx + 1.4, sy)], (120, 126, 135), 0.6)
        cx, cy = 130, 169
        c.rrect((cx - 17, cy - 15, cx + 17, cy + 15), 3, fill=(10, 11, 13))
        c.polygon([(cx - 12, cy - 6), (cx - 6, cy - 11), (cx + 6, cy - 11), (cx + 12, cy - 6),
                   (cx + 12, cy + 11), (cx - 12, cy + 11)], (4, 4, 5))
        c.radial(cx, cy, 7, (255, 70, 52, 140), (255, 70, 52, 0))
        c.circle(cx, cy, 2.2, fill=(255, 120, 100))
        cx = 280
        c.circle(cx, cy, 19, fill=(10, 11, 13))
        c.radial(cx, cy, 18, (222, 226, 232), (130, 136, 146))
        c.circle(cx, cy, 13, fill=(226, 110, 34))
        c.circle(cx, cy, 9.5, fill=(170, 176, 186))
        c.circle(cx, cy, 7.5, fill=(14, 15, 17))
        c.circle(cx, cy, 2.2, fill=(214, 190, 120))
        # rate selector scale: marks from the dial towards the printed names
        sx, sy = 542.5, 148
        for dx, dy in ((-1, -1), (-1, 1), (1, -1), (1, 1)):
            c.line([(sx + dx * 40, sy + dy * 26), (sx + dx * 46, sy + dy * 26)], ACCENT_DIM, 1.2)

    def words(self, img):
        self.say(img, self.w("enable_digital"), (100, 52.5), "title", max_width=280)
        self.say(img, self.w("connectors"), (32, 98), "small", max_width=200)
        self.say(img, self.w("optical"), (130, 120), "strong", anchor="mm", max_width=110)
        self.say(img, self.w("coaxial"), (280, 120), "strong", anchor="mm", max_width=110)
        self.say(img, self.w("rate"), (414, 52.5), "title", max_width=260)
        for key, x, y, anchor in RATE_LABELS:
            self.say(img, self.w(key), (x, y), "strong", anchor=anchor, max_width=84)


# ---------------------------------------------------------------------------
# Hp page


CROSSOVER_X = 108


def crossover_x(freq):
    return CROSSOVER_X + ctl.thumb_centre(freq, 0, 250, ctl.CROSSOVER_CHANNEL[0], ctl.SLIDER_THUMB[0])


class HpPage(Page):
    key = "hp"
    ids = {TRAD: 326, SIMP: 325, ENGLISH: 324}
    column = page_column((735, 9), 704, (45, 87, 129, 171, 210))
    controls = [
        ("flex_bass_lamp", 90, 53, 52, 21),
        ("crossover", CROSSOVER_X, 150, ctl.CROSSOVER_CHANNEL[0], ctl.SLIDER_THUMB[1]),
        ("speaker_switch", 452, 125, 25, 40),
        ("impedance_switch", 596, 125, 25, 40),
    ]
    wells = [(18, 34, 386, 292), (392, 34, 540, 292), (546, 34, 690, 292)]

    def shapes(self, c):
        c.line([(30, 88.5), (374, 88.5)], (44, 49, 57), 1)
        for f in range(50, 251, 25):
            x = crossover_x(f) + 0.5
            major = f % 50 == 0
            c.line([(x, 167), (x, 172 if major else 170)], ACCENT_DIM if major else (70, 76, 86), 1)
        # a sketch of the two crossing filter slopes
        x0, x1, base, top = 112, 306, 246, 206
        c.line([(x0, base + 0.5), (x1, base + 0.5)], (44, 49, 57), 1)
        fc = (x0 + x1) / 2
        low, high = [], []
        for i in range(0, 101):
            x = x0 + (x1 - x0) * i / 100
            t = (x - fc) / 26.0
            low.append((x, top + (base - top) / (1 + math.exp(-t * 1.6))))
            high.append((x, top + (base - top) / (1 + math.exp(t * 1.6))))
        c.line(low, (96, 104, 116), 1.3)
        c.line(high, ACCENT, 1.3)
        c.line([(fc, top - 4), (fc, base)], ACCENT_DIM, 1)
        # speakers: a bookshelf pair above the switch, floor-standers below
        for dx in (-9, 9):
            icon_speaker(c, 464.5 + dx, 101, 13, 19, TEXT_DIM)
            icon_speaker(c, 464.5 + dx, 195, 14, 38, TEXT_DIM, woofers=2)
        # headphones: a light pair above, a large studio pair below
        icon_headphones(c, 608.5, 101, 1.05, TEXT_DIM)
        icon_headphones(c, 608.5, 193, 1.6, TEXT_DIM)
        for x in (464.5, 608.5):
            c.line([(x, 114), (x, 120)], (70, 76, 86), 1)
            c.line([(x, 170), (x, 175)], (70, 76, 86), 1)

    def words(self, img):
        self.say(img, self.w("crossover_title"), (84, 63.5), "title", anchor="rm", max_width=58)
        self.say(img, self.w("flex_bass"), (150, 63.5), "strong", max_width=220)
        self.say(img, self.w("crossover_freq"), (CROSSOVER_X, 136), "label", max_width=260)
        for f, text in ((50, "50 Hz"), (100, "100"), (150, "150"), (200, "200"), (250, "250 Hz")):
            self.say(img, text, (crossover_x(f), 181), "small", anchor="mm")
        self.say(img, self.w("spk_group"), (466, 50), "title", anchor="mm", max_width=136)
        self.say(img, self.w("small_speakers"), (466, 74), "small", anchor="mm", max_width=136)
        self.say(img, self.w("large_speakers"), (466, 235), "small", anchor="mm", max_width=136)
        self.say(img, self.w("hp_group"), (618, 50), "title", anchor="mm", max_width=134)
        self.say(img, self.w("low_impedance"), (618, 74), "small", anchor="mm", max_width=134)
        self.say(img, self.w("high_impedance"), (618, 235), "small", anchor="mm", max_width=134)


# ---------------------------------------------------------------------------
# Info page


INFO_ROWS = ((85, "os_caption"), (120, "driver_caption"), (156, "panel_caption"),
             (192, "directx_caption"))


class InfoPage(Page):
    key = "info"
    ids = {TRAD: 137, SIMP: 136, ENGLISH: 135}
    column = page_column((735, 9), 704, (45, 87, 129, 171, 210))
    # the program prints the version values and the product lines here
    controls = ([("value_%d" % y, 212, y, 216, 16) for y, _ in INFO_ROWS]
                + [("product_lines", 449, 80, 236, 140)])
    wells = [(18, 34, 434, 292), (440, 34, 690, 292)]

    def shapes(self, c):
        for y, _ in INFO_ROWS:
            c.line([(32, y + 24.5), (422, y + 24.5)], (34, 38, 45), 1)
        c.line([(206.5, 80), (206.5, 214)], (44, 49, 57), 1)

    def words(self, img):
        self.say(img, self.w("versions"), (32, 52), "title", max_width=380)
        for y, key in INFO_ROWS:
            self.say(img, self.w(key), (198, y + 8), "label", anchor="rm", max_width=164)
        self.say(img, self.w("about"), (454, 52), "title", max_width=220)
        self.say(img, "VANTIR", (565, 262), "brand", anchor="mm", fill=TEXT_FAINT)


PAGES = (MainPage, HifiPage, DigitalPage, InfoPage, HpPage)


def backgrounds():
    """Yield (bitmap id, page object, image) for every page and language."""
    for cls in PAGES:
        for lang in (TRAD, SIMP, ENGLISH):
            page = cls(lang)
            yield cls.ids[lang], page, render(page)
