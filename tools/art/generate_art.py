#!/usr/bin/python3
"""Draws every bitmap, the icon and the knob cursor of the panel.

    /usr/bin/python3 tools/art/generate_art.py --out DIR

writes <id>.bmp for every bitmap, <id>.png for every large one, 128.ico,
1022.cur and art.rc (one resource statement per stored file, names relative to
DIR) into DIR and nowhere else. The program stores the small pictures as their
BMP files and the large ones as their PNG files; the BMP files of the large
ones hold the same pictures uncompressed, for the checks of what the program
decodes. The
output depends only on this code and the installed fonts: two runs give the
same bytes.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import backgrounds  # noqa: E402
import controls as ctl  # noqa: E402
import pictures  # noqa: E402
from artkit import bmp_bytes, icon_bytes, png_bytes, remove_blue  # noqa: E402
from wording import ENVIRONMENT_BASE_ID, ENVIRONMENTS, LANGUAGES  # noqa: E402

ICON_ID = 128
CURSOR_ID = 1022
CURSOR_HOTSPOT = (15, 15)


def control_bitmaps():
    """id -> zero-argument painter for every bitmap that is not a page background."""
    b = {}

    def pair(on_id, off_id, painter, *args):
        b[on_id] = lambda: painter(True, *args)
        b[off_id] = lambda: painter(False, *args)

    # page column
    b[153] = lambda: ctl.close_button(False)
    b[152] = lambda: ctl.close_button(True)
    for lit_id, grey_id, label, icon in pictures.PAGE_BUTTONS:
        b[lit_id] = lambda label=label, icon=icon: pictures.page_button(label, icon, True)
        b[grey_id] = lambda label=label, icon=icon: pictures.page_button(label, icon, False)
    b[320] = lambda: ctl.lever_switch(up=True)
    b[321] = lambda: ctl.lever_switch(up=False)

    # Main page
    b[149] = lambda: ctl.text_key("RESET", False, ctl.RESET_BUTTON)
    b[148] = lambda: ctl.text_key("RESET", True, ctl.RESET_BUTTON)
    pair(172, 171, ctl.mute_toggle)
    pair(174, 173, ctl.mute_toggle)

    # Hifi page
    b[278] = lambda: ctl.power_switch(True, (36, 21))
    b[279] = lambda: ctl.power_switch(False, (35, 21))
    pair(316, 317, ctl.light, (11, 11))
    for on_id, off_id in ((276, 277), (272, 273), (268, 269), (265, 266), (261, 262), (253, 254)):
        pair(on_id, off_id, ctl.group_switch)
    pair(274, 275, ctl.option_key)
    for on_id, off_id in ((283, 284), (285, 289), (287, 288)):
        pair(on_id, off_id, ctl.preset_cell)
    b[337] = lambda: ctl.text_key("RESET", False, (48, 21), 8)
    b[267] = lambda: ctl.text_key("RESET", True, (48, 21), 8)
    b[311] = lambda: ctl.glyph_key("+", False)
    b[310] = lambda: ctl.glyph_key("+", True)
    b[313] = lambda: ctl.glyph_key("-", False)
    b[312] = lambda: ctl.glyph_key("-", True)
    b[252] = lambda: ctl.glyph_key("step", False)
    b[251] = lambda: ctl.glyph_key("step", True)
    for i, room_id in enumerate((258, 259, 260)):
        b[room_id] = lambda i=i: pictures.room_picture(i)
    for lang in LANGUAGES:
        for e in range(len(ENVIRONMENTS)):
            b[ENVIRONMENT_BASE_ID[lang] + e] = lambda lang=lang, e=e: pictures.environment_picture(lang, e)

    # Digital page
    pair(154, 155, ctl.group_switch, ctl.DIGITAL_SWITCH)
    pair(157, 156, ctl.light, ctl.DIGITAL_LAMP)
    pair(159, 158, ctl.light, ctl.DIGITAL_LAMP)
    for i in range(4):
        b[160 + i] = lambda i=i: pictures.rate_selector(i)

    # Hp page
    pair(322, 323, ctl.flex_bass_lamp)

    # shared controls
    b[165] = lambda: ctl.knob_face(50)
    b[166] = lambda: ctl.knob_face(19)
    b[264] = ctl.band_thumb
    for band in range(10):
        b[290 + band] = ctl.band_channel
    b[300] = ctl.balance_channel
    b[303] = ctl.balance_channel
    b[302] = ctl.slider_thumb
    b[319] = ctl.crossover_channel
    b[314] = ctl.combo_face
    b[315] = ctl.name_box_face
    return b


# A picture of at most this many pixels is stored as a plain bitmap: the
# program loads it without decoding (the pages load well over a hundred small
# ones while the panel starts). The larger ones, the page backgrounds, are
# stored as PNG to keep the program small and decoded when a page is shown.
SMALL_PICTURE_PIXELS = 16 * 1024


def stored_as_png(img):
    return img.size[0] * img.size[1] > SMALL_PICTURE_PIXELS


def generate(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    files = {}
    for bid, _page, img in backgrounds.backgrounds():
        files[bid] = img
    for bid, painter in control_bitmaps().items():
        files[bid] = remove_blue(painter())

    rc = []
    for bid in sorted(files):
        with open(os.path.join(out_dir, "%d.bmp" % bid), "wb") as f:
            f.write(bmp_bytes(files[bid]))
        if stored_as_png(files[bid]):
            name = "%d.png" % bid
            with open(os.path.join(out_dir, name), "wb") as f:
                f.write(png_bytes(files[bid]))
            rc.append('%d PNG "%s"' % (bid, name))
        else:
            rc.append('%d BITMAP "%d.bmp"' % (bid, bid))

    with open(os.path.join(out_dir, "%d.ico" % ICON_ID), "wb") as f:
        f.write(icon_bytes([pictures.app_icon(s) for s in (16, 32, 48)]))
    rc.append('%d ICON "%d.ico"' % (ICON_ID, ICON_ID))
    with open(os.path.join(out_dir, "%d.cur" % CURSOR_ID), "wb") as f:
        f.write(icon_bytes([pictures.knob_cursor()], hotspot=CURSOR_HOTSPOT))
    rc.append('%d CURSOR "%d.cur"' % (CURSOR_ID, CURSOR_ID))

    with open(os.path.join(out_dir, "art.rc"), "w", newline="\n") as f:
        f.write("// Generated by tools/art/generate_art.py; do not edit.\n")
        f.write("\n".join(rc) + "\n")
    return sorted(files)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Draw the panel's bitmaps, icon and cursor.")
    parser.add_argument("--out", required=True, help="directory to write into")
    args = parser.parse_args(argv)
    generate(args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
