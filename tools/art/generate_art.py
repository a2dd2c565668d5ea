#!/usr/bin/python3
"""Draws every bitmap, the icon and the knob cursor of the panel, at every
display scale the program carries.

    /usr/bin/python3 tools/art/generate_art.py --out DIR

writes into DIR and nowhere else:

- the 1x set (96 DPI): <id>.bmp for every bitmap, <id>.png for every large
  one. The program stores the small pictures as their BMP files and the large
  ones (the page backgrounds) as PNG: each page's Traditional Chinese one
  whole, the others as wording tiles (see WORDING_TILE); the BMP and PNG
  files of the large ones hold the whole pictures, for the checks of what the
  program decodes;
- each larger set (144 and 192 DPI, 1.5x and 2x) in its folder DIR/<dpi>:
  <id>.png for every bitmap (the page backgrounds are stored as at 1x),
  sheet<n>.png, the small pictures packed into a few sheets, and sheets.map,
  where each picture lies on them (see write_sheet_map);
- for every set, the wording of each page background (see wording_tiles):
  <id>.words.png beside the set's pictures and <id>.words.map;
- 128.ico (the icon at every size the notification area and the window ask
  for), 1022.cur (the knob cursor of every set) and art.rc (one resource
  statement per stored file, names relative to DIR).

The output depends only on this code and the installed fonts: two runs give
the same bytes.
"""

import argparse
import multiprocessing
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import backgrounds  # noqa: E402
import controls as ctl  # noqa: E402
import pictures  # noqa: E402
from artkit import BASE_DPI, bmp_bytes, drawing_at, icon_bytes, png_bytes, remove_blue, scaled  # noqa: E402
from PIL import Image  # noqa: E402
from wording import ENVIRONMENT_BASE_ID, ENVIRONMENTS, LANGUAGES  # noqa: E402

ICON_ID = 128
CURSOR_ID = 1022
CURSOR_HOTSPOT = (15, 15)
# The larger sets, by the DPI they are drawn for: 1.5x and 2x. Every other
# scale is made from the nearest of these (or the 1x set) by the program.
LARGER_SETS = (144, 192)
# The icon at every size the notification area asks for (the small-icon
# size at 100 % to 300 %) and the window's 200 % icon.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64)


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


def draw_set(dpi):
    """Every bitmap and the knob cursor drawn for `dpi`: ({id: RGB image}, cursor)."""
    with drawing_at(dpi):
        files = {}
        for bid, _page, img in backgrounds.backgrounds():
            files[bid] = img
        for bid, painter in control_bitmaps().items():
            files[bid] = remove_blue(painter())
        return files, pictures.knob_cursor()


def _draw_sets(dpis):
    return [draw_set(dpi) for dpi in dpis]


# The pictures of a larger set that are not page backgrounds are packed into
# sheets, so the program decodes a few pictures instead of a hundred when it
# chooses the set: one sheet of everything but the environment pictures, and
# one per language of these, as one row (the 23 pictures share their screen,
# which the compression finds along the row). The Hifi page loads one
# language's pictures at a time.
SHEET_WIDTH = {144: 1536, 192: 2048}


def sheet_of(bid):
    """1 for the common sheet, 2 + language for an environment picture."""
    for lang in LANGUAGES:
        first = ENVIRONMENT_BASE_ID[lang]
        if first <= bid < first + len(ENVIRONMENTS):
            return 2 + lang
    return 1


def pack_sheets(dpi, pictures_by_id):
    """{sheet number: RGB image} and [(id, sheet, x, y, w, h)] in id order."""
    members = {}
    for bid in sorted(pictures_by_id):
        members.setdefault(sheet_of(bid), []).append(bid)
    places = {}
    sheets = {}
    for number, ids in sorted(members.items()):
        if number == 1:
            # Shelves of pictures by height, tallest first.
            limit = SHEET_WIDTH[dpi]
            x = y = shelf = 0
            for bid in sorted(ids, key=lambda i: (-pictures_by_id[i].height, i)):
                w, h = pictures_by_id[bid].size
                if x + w > limit:
                    x, y, shelf = 0, y + shelf, 0
                places[bid] = (number, x, y)
                x += w
                shelf = max(shelf, h)
            width, height = limit, y + shelf
        else:
            x = 0
            for bid in ids:
                places[bid] = (number, x, 0)
                x += pictures_by_id[bid].width
            width, height = x, max(pictures_by_id[i].height for i in ids)
        sheet = Image.new("RGB", (width, height), (0, 0, 0))
        for bid in ids:
            sheet.paste(pictures_by_id[bid], places[bid][1:])
        sheets[number] = sheet
    entries = [(bid,) + places[bid] + pictures_by_id[bid].size for bid in sorted(pictures_by_id)]
    return sheets, entries


def sheet_map_bytes(entries):
    """The map of a set's sheets, little-endian: a 16-bit count, then per
    picture its 16-bit id, sheet number and x, y, width, height on it."""
    out = struct.pack("<H", len(entries))
    for bid, sheet, x, y, w, h in entries:
        out += struct.pack("<HHHHHH", bid, sheet, x, y, w, h)
    return out


# A page's three backgrounds (one per language) differ only where their wording
# is. The picture is cut into square tiles of this side at 1x (scaled with
# the set); the tiles where any two languages differ are the page's wording
# tiles. Each set stores one background of a page whole, its family's (the
# Traditional Chinese one), and every language's wording tiles packed in a
# grid: the program builds another language's background from the family's
# and its tiles, and switches a shown page to another language by decoding
# those tiles alone.
WORDING_TILE = 32
WORDING_GRID_COLUMNS = 16
# The backgrounds stored as wording tiles only (the PNG files are written all
# the same, for the checks of what the program builds).
WORDING_ONLY = {cls.ids[lang] for cls in backgrounds.PAGES for lang in LANGUAGES[1:]}


def wording_tiles(images, tile):
    """[(x, y, w, h)] of the tiles, in scan order, where the images differ."""
    width, height = images[0].size
    raws = [img.convert("RGB").tobytes() for img in images]
    tiles = []
    for ty in range(0, height, tile):
        h = min(tile, height - ty)
        for tx in range(0, width, tile):
            w = min(tile, width - tx)
            for y in range(ty, ty + h):
                start = (y * width + tx) * 3
                row = raws[0][start:start + w * 3]
                if any(r[start:start + w * 3] != row for r in raws[1:]):
                    tiles.append((tx, ty, w, h))
                    break
    return tiles


def wording_grid(img, tiles, tile):
    """The tiles of `img`, each in its cell of a grid of WORDING_GRID_COLUMNS
    columns of tile x tile cells (a clipped tile at its cell's top-left)."""
    columns = min(WORDING_GRID_COLUMNS, len(tiles))
    rows = (len(tiles) + columns - 1) // columns
    grid = Image.new("RGB", (columns * tile, rows * tile), (0, 0, 0))
    for k, (x, y, w, h) in enumerate(tiles):
        grid.paste(img.crop((x, y, x + w, y + h)), ((k % columns) * tile, (k // columns) * tile))
    return grid


def wording_map_bytes(family, tile, tiles):
    """Little-endian 16-bit values: the page's family (its Traditional Chinese
    background's id, the same for its three languages), the tile side, the
    grid's columns and the count of tiles, then x, y, width, height of each."""
    columns = min(WORDING_GRID_COLUMNS, len(tiles))
    out = struct.pack("<HHHH", family, tile, columns, len(tiles))
    for x, y, w, h in tiles:
        out += struct.pack("<HHHH", x, y, w, h)
    return out


def write_wording(out_dir, folder, dpi, pictures_by_id, rc):
    """Each page's wording tiles in every language, for the set of `dpi`."""
    tile = scaled(WORDING_TILE, dpi)
    for cls in backgrounds.PAGES:
        ids = [cls.ids[lang] for lang in LANGUAGES]
        tiles = wording_tiles([pictures_by_id[i] for i in ids], tile)
        if not tiles:
            continue
        family = cls.ids[LANGUAGES[0]]
        for bid in ids:
            prefix = "%s%d.words" % (folder + "/" if folder else "", bid)
            with open(os.path.join(out_dir, prefix + ".png"), "wb") as f:
                f.write(png_bytes(wording_grid(pictures_by_id[bid], tiles, tile)))
            with open(os.path.join(out_dir, prefix + ".map"), "wb") as f:
                f.write(wording_map_bytes(family, tile, tiles))
            rc.append('%d WORDS%d "%s.png"' % (bid, dpi, prefix))
            rc.append('%d WORDMAP%d "%s.map"' % (bid, dpi, prefix))


def generate(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    # The 2x set alone takes about as long as the two others together.
    dpis = (BASE_DPI,) + LARGER_SETS
    with multiprocessing.get_context("fork").Pool(2) as pool:
        halves = pool.map(_draw_sets, [(192,), (BASE_DPI, 144)])
    drawn = dict(zip((192, BASE_DPI, 144), halves[0] + halves[1]))
    files, _ = drawn[BASE_DPI]

    rc = []
    for bid in sorted(files):
        with open(os.path.join(out_dir, "%d.bmp" % bid), "wb") as f:
            f.write(bmp_bytes(files[bid]))
        if stored_as_png(files[bid]):
            name = "%d.png" % bid
            with open(os.path.join(out_dir, name), "wb") as f:
                f.write(png_bytes(files[bid]))
            if bid not in WORDING_ONLY:
                rc.append('%d PNG "%s"' % (bid, name))
        else:
            rc.append('%d BITMAP "%d.bmp"' % (bid, bid))

    write_wording(out_dir, "", BASE_DPI, files, rc)

    background_ids = {cls.ids[lang] for cls in backgrounds.PAGES for lang in LANGUAGES}
    for dpi in LARGER_SETS:
        folder = os.path.join(out_dir, str(dpi))
        os.makedirs(folder, exist_ok=True)
        pictures_by_id, _ = drawn[dpi]
        small = {}
        for bid, img in sorted(pictures_by_id.items()):
            with open(os.path.join(folder, "%d.png" % bid), "wb") as f:
                f.write(png_bytes(img))
            if bid in background_ids:
                if bid not in WORDING_ONLY:
                    rc.append('%d PNG%d "%d/%d.png"' % (bid, dpi, dpi, bid))
            else:
                small[bid] = img
        sheets, entries = pack_sheets(dpi, small)
        for number, sheet in sorted(sheets.items()):
            with open(os.path.join(folder, "sheet%d.png" % number), "wb") as f:
                f.write(png_bytes(sheet))
            rc.append('%d SHEET%d "%d/sheet%d.png"' % (number, dpi, dpi, number))
        with open(os.path.join(folder, "sheets.map"), "wb") as f:
            f.write(sheet_map_bytes(entries))
        rc.append('%d SHEETMAP "%d/sheets.map"' % (dpi, dpi))
        write_wording(out_dir, str(dpi), dpi, pictures_by_id, rc)

    with open(os.path.join(out_dir, "%d.ico" % ICON_ID), "wb") as f:
        f.write(icon_bytes([pictures.app_icon(s) for s in ICON_SIZES]))
    rc.append('%d ICON "%d.ico"' % (ICON_ID, ICON_ID))
    # One cursor resource with the cursor of every set; the system picks the
    # size it asks for.
    cursors = [drawn[dpi][1] for dpi in dpis]
    with open(os.path.join(out_dir, "%d.cur" % CURSOR_ID), "wb") as f:
        f.write(icon_bytes(cursors, hotspot=[(scaled(CURSOR_HOTSPOT[0], d), scaled(CURSOR_HOTSPOT[1], d))
                                             for d in dpis]))
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
