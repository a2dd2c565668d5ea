#!/usr/bin/python3
"""Contact sheets of the generated artwork, for looking at it.

    /usr/bin/python3 tools/art/preview.py --art DIR --out PREVIEW_DIR

Writes, for every page and language, the background with the controls laid
over it as the panel shows them (page_<key>_<lang>.png), and sheets of the
control bitmaps and of the environment pictures, all enlarged 2x.
"""

import argparse
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import backgrounds  # noqa: E402
from wording import LANGUAGES  # noqa: E402

# Which bitmap each named control shows in the mock-up (a mix of on and off).
SHOWN = {
    "close": 153, "page_main": 328, "page_hifi": 330, "page_digital": 332, "page_hp": 334,
    "page_info": 336,
    "master_knob": 165, "digital_knob": 166, "reset": 149, "master_balance": 303,
    "digital_balance": 300, "master_mute": 171, "digital_mute": 174, "output_switch": 320,
    "power_light": 316, "master_switch": 278, "tone_switch": 277, "treble_knob": 166,
    "bass_knob": 166, "style_switch": 273, "style_0": 275, "style_1": 275, "style_2": 275,
    "style_3": 275, "style_4": 275, "preset_switch": 268, "cell_preset_default": 284,
    "cell_preset_bass": 284, "cell_preset_treble": 284, "cell_preset_live": 284,
    "cell_preset_rock": 283, "cell_preset_softrock": 289, "cell_preset_dance": 289,
    "cell_preset_jazz": 289, "cell_preset_metal": 288, "cell_preset_rap": 288,
    "cell_preset_classic": 288, "cell_preset_vocal": 288, "eq_switch": 266,
    "band_reset": 337, "custom_light": 317, "preset_list": 314, "name_box": 315, "save": 311,
    "delete": 313, "room_switch": 261, "room_selector": 259, "env_switch": 253,
    "env_prev": 252, "env_next": 252,
    "switch_lamp": 157, "rate_selector": 162, "selector_lamp": 159,
    "flex_bass_lamp": 322, "crossover": 319, "speaker_switch": 321, "impedance_switch": 320,
}
LIT_PAGE_BUTTON = {"main": 327, "hifi": 329, "digital": 331, "hp": 333, "info": 335}
ENV_FIRST = {0: 221, 1: 198, 2: 175}
THUMBS = {"master_balance": (302, 50, 100), "digital_balance": (302, 70, 100),
          "crossover": (302, 150, 250)}


def mockup(page, art):
    img = Image.open(os.path.join(art, "%d.bmp" % page.ids[page.lang])).convert("RGB")
    load = lambda i: Image.open(os.path.join(art, "%d.bmp" % i)).convert("RGB")
    for name, x, y, w, h in page.column + page.controls:
        if name == "page_" + page.key:
            bid = LIT_PAGE_BUTTON[page.key]
        elif name == "env_display":
            bid = ENV_FIRST[page.lang] + 5
        elif name.startswith("band_") and name != "band_reset":
            bid = 290 + int(name[5:])
        else:
            bid = SHOWN.get(name)
        if bid is None:
            continue
        bmp = load(bid)
        if name.endswith("knob"):
            bmp = bmp.resize((w, h), Image.LANCZOS)
            mask = Image.new("L", (w, h), 0)
            ImageDraw.Draw(mask).ellipse((0, 0, min(w, h) - 1, min(w, h) - 1), fill=255)
            img.paste(bmp, (x, y), mask)
            continue
        img.paste(bmp, (x, y))
        if name in THUMBS:
            tid, pos, hi = THUMBS[name]
            thumb = load(tid)
            cx = (w - thumb.width) * pos // hi + thumb.width // 2
            img.paste(thumb, (x + cx - thumb.width // 2, y))
        if name.startswith("band_") and name != "band_reset":
            thumb = load(264)
            img.paste(thumb, (x, y + 40))
    return img


def sheet(images, cols, pad=6, bg=(90, 90, 96)):
    cw = max(i.width for i in images) + pad
    ch = max(i.height for i in images) + pad
    rows = (len(images) + cols - 1) // cols
    out = Image.new("RGB", (cols * cw + pad, rows * ch + pad), bg)
    for n, im in enumerate(images):
        out.paste(im, (pad + (n % cols) * cw, pad + (n // cols) * ch))
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--art", required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for cls in backgrounds.PAGES:
        for lang in LANGUAGES:
            page = cls(lang)
            mockup(page, args.art).save(os.path.join(args.out, "page_%s_%d.png" % (cls.key, lang)))
    big = set(range(175, 247)) | {129, 130, 131, 135, 136, 137, 138, 139, 140, 324, 325, 326}
    ids = sorted(int(f[:-4]) for f in os.listdir(args.art) if f.endswith(".bmp"))
    small = [Image.open(os.path.join(args.art, "%d.bmp" % i)).convert("RGB")
             for i in ids if i not in big]
    small = [im.resize((im.width * 2, im.height * 2), Image.NEAREST) for im in small]
    sheet(small, 10).save(os.path.join(args.out, "controls.png"))
    for first in (175, 198, 221):
        envs = [Image.open(os.path.join(args.art, "%d.bmp" % i)).convert("RGB")
                for i in range(first, first + 23)]
        sheet(envs, 4).save(os.path.join(args.out, "env_%d.png" % first))


if __name__ == "__main__":
    main()
