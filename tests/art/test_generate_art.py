"""Checks of the artwork generator's output: what the resource compiler and
the skinned pages rely on."""

import os
import struct
import sys
import unittest

from PIL import Image, ImageChops

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artrun  # noqa: E402

sys.path.insert(0, artrun.ART)

import backgrounds  # noqa: E402

BACKGROUNDS = {  # id -> size
    **{i: (800, 313) for i in (138, 139, 140, 129, 130, 131, 135, 136, 137, 324, 325, 326)},
    244: (800, 546), 245: (800, 546), 246: (800, 546),
}
FIXED = {
    152: (43, 27), 153: (43, 27), 320: (25, 40), 321: (25, 40), 278: (36, 21), 279: (35, 21),
    316: (11, 11), 317: (11, 11), 258: (79, 79), 259: (79, 79), 260: (79, 79),
    337: (48, 21), 267: (48, 21), 310: (23, 21), 311: (23, 21), 312: (23, 21), 313: (23, 21),
    251: (23, 21), 252: (23, 21), 322: (52, 21), 323: (52, 21), 165: (50, 50), 166: (19, 19),
    302: (28, 14), 314: (105, 19), 315: (100, 15), 319: (202, 13),
    **{i: (73, 33) for i in range(327, 337)},
    **{i: (39, 21) for i in (253, 254, 261, 262, 265, 266, 268, 269, 272, 273, 274, 275, 276,
                             277, 283, 284, 285, 287, 288, 289)},
    **{i: (146, 65) for i in range(175, 244)},
}
FREE = {148, 149, 154, 155, 156, 157, 158, 159, 160, 161, 162, 163, 171, 172, 173, 174, 264,
        290, 291, 292, 293, 294, 295, 296, 297, 298, 299, 300, 303}
ALL_BITMAPS = set(BACKGROUNDS) | set(FIXED) | FREE

# (lit, dark) pairs: the first of each shows the lamp or key lit
LIT_DARK = ((278, 279), (316, 317), (276, 277), (272, 273), (274, 275), (268, 269),
            (283, 284), (285, 289), (287, 288), (265, 266), (261, 262), (253, 254),
            (154, 155), (157, 156), (159, 158), (322, 323), (327, 328), (329, 330),
            (331, 332), (333, 334), (335, 336))

ON_OFF_PAIRS = ((278, 279), (316, 317), (276, 277), (272, 273), (274, 275), (268, 269),
                (283, 284), (285, 289), (287, 288), (265, 266), (261, 262), (253, 254),
                (337, 267), (311, 310), (313, 312), (252, 251), (153, 152), (149, 148),
                (172, 171), (174, 173), (154, 155), (157, 156), (159, 158), (322, 323),
                (320, 321), (327, 328), (329, 330), (331, 332), (333, 334), (335, 336),
                (258, 259), (259, 260), (160, 161), (161, 162), (162, 163))


def read_bmp_header(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hdr, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    return dict(magic=magic, size=size, actual=len(data), offset=offset, hdr=hdr, w=w, h=h,
                planes=planes, bpp=bpp, comp=comp)


def blue_mask(img):
    r, g, b = img.convert("RGB").split()
    m = ImageChops.multiply(r.point(lambda v: 255 if v == 0 else 0),
                            g.point(lambda v: 255 if v == 0 else 0))
    return ImageChops.multiply(m, b.point(lambda v: 255 if v == 255 else 0))


class GeneratedArt(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = artrun.generated()

    def image(self, bid):
        return Image.open(os.path.join(self.dir, "%d.bmp" % bid)).convert("RGB")

    def test_every_bitmap_is_an_uncompressed_bottom_up_24_bit_bmp_of_its_size(self):
        names = {f for f in os.listdir(self.dir) if f.endswith(".bmp")}
        self.assertEqual(names, {"%d.bmp" % i for i in ALL_BITMAPS})
        for bid in sorted(ALL_BITMAPS):
            h = read_bmp_header(os.path.join(self.dir, "%d.bmp" % bid))
            with self.subTest(bid=bid):
                self.assertEqual((h["magic"], h["hdr"], h["planes"], h["bpp"], h["comp"]),
                                 (b"BM", 40, 1, 24, 0))
                self.assertGreater(h["h"], 0, "rows must be stored bottom-up")
                stride = (h["w"] * 3 + 3) & ~3
                self.assertEqual(h["actual"], h["size"])
                self.assertEqual(h["size"], h["offset"] + stride * h["h"])
                expected = BACKGROUNDS.get(bid) or FIXED.get(bid)
                if expected:
                    self.assertEqual((h["w"], h["h"]), expected)

    def test_backgrounds_are_see_through_exactly_outside_a_rounded_outline(self):
        for bid, (w, h) in sorted(BACKGROUNDS.items()):
            with self.subTest(bid=bid):
                mask = blue_mask(self.image(bid))
                px = mask.load()
                for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
                    self.assertEqual(px[x, y], 255, "corner (%d, %d) must be see-through" % (x, y))
                bbox_inner = (20, 20, w - 20, h - 20)
                self.assertIsNone(mask.crop(bbox_inner).getbbox(), "blue inside the panel")
                self.assertIsNone(mask.crop((20, 0, w - 20, h)).getbbox(), "blue along an edge")
                self.assertIsNone(mask.crop((0, 20, w, h - 20)).getbbox(), "blue along a side")
                # each row's blue pixels are runs from the two ends that shrink
                # towards the middle rows: a convex rounded corner
                prev_left = None
                for y in range(0, 20):
                    row = [px[x, y] for x in range(w)]
                    left = next(i for i, v in enumerate(row) if v == 0)
                    right = next(i for i, v in enumerate(reversed(row)) if v == 0)
                    self.assertEqual(sum(1 for v in row if v), left + right, "hole in row %d" % y)
                    self.assertLessEqual(abs(left - right), 1)
                    if prev_left is not None:
                        self.assertLessEqual(left, prev_left)
                    prev_left = left
                self.assertGreater(sum(1 for x in range(20) if px[x, 0]), 5)

    def test_pure_blue_appears_in_no_other_bitmap(self):
        for bid in sorted(ALL_BITMAPS - set(BACKGROUNDS)):
            with self.subTest(bid=bid):
                self.assertIsNone(blue_mask(self.image(bid)).getbbox())

    def test_resource_script_names_every_file_once(self):
        with open(os.path.join(self.dir, "art.rc")) as f:
            lines = [ln.split() for ln in f if ln.strip() and not ln.startswith("//")]
        kinds = {(int(i), kind): name.strip('"') for i, kind, name in lines}
        self.assertEqual(len(kinds), len(lines))
        expected = {}
        large = set()
        for i in ALL_BITMAPS:
            w, h = self.image(i).size
            if w * h > 16 * 1024:
                large.add(i)
            else:
                expected[(i, "BITMAP")] = "%d.bmp" % i
        # The page backgrounds are the pictures stored compressed: in every
        # set each page's Traditional Chinese one whole, and the wording of all.
        self.assertEqual(large, set(BACKGROUNDS))
        families = {140, 246, 131, 137, 326}
        self.assertLessEqual(families, set(BACKGROUNDS))
        expected[(128, "ICON")] = "128.ico"
        expected[(1022, "CURSOR")] = "1022.cur"
        for dpi in (96, 144, 192):
            folder = "" if dpi == 96 else "%d/" % dpi
            for i in families:
                expected[(i, "PNG" if dpi == 96 else "PNG%d" % dpi)] = "%s%d.png" % (folder, i)
            for i in BACKGROUNDS:
                expected[(i, "WORDS%d" % dpi)] = "%s%d.words.png" % (folder, i)
                expected[(i, "WORDMAP%d" % dpi)] = "%s%d.words.map" % (folder, i)
        # Each larger set: its sheets and their map.
        for dpi in (144, 192):
            for n in (1, 2, 3, 4):
                expected[(n, "SHEET%d" % dpi)] = "%d/sheet%d.png" % (dpi, n)
            expected[(dpi, "SHEETMAP")] = "%d/sheets.map" % dpi
        self.assertEqual(kinds, expected)
        files = {"%d.bmp" % i for i in ALL_BITMAPS} | {"%d.png" % i for i in BACKGROUNDS}
        stored = {n for n in expected.values() if "/" not in n}
        self.assertEqual(set(os.listdir(self.dir)), stored | files | {"art.rc", "144", "192"})

    def test_wording_tiles_rebuild_every_background_from_its_familys(self):
        # The family picture with a language's tiles put in is that language's
        # background, pixel for pixel; outside the tiles the languages agree.
        families = {140: (139, 138), 246: (245, 244), 131: (130, 129), 137: (136, 135), 326: (325, 324)}
        for dpi in (96, 144, 192):
            folder = self.dir if dpi == 96 else os.path.join(self.dir, str(dpi))
            for family, others in families.items():
                for bid in (family,) + others:
                    with self.subTest(dpi=dpi, bid=bid):
                        with open(os.path.join(folder, "%d.words.map" % bid), "rb") as f:
                            data = f.read()
                        fam, tile, columns, count = struct.unpack_from("<HHHH", data, 0)
                        self.assertEqual((fam, len(data)), (family, 8 + 8 * count))
                        self.assertGreater(count, 0)
                        with Image.open(os.path.join(folder, "%d.png" % family)) as f:
                            built = f.convert("RGB")
                        with Image.open(os.path.join(folder, "%d.words.png" % bid)) as g:
                            grid = g.convert("RGB")
                        self.assertEqual(grid.size[0], columns * tile)
                        for k in range(count):
                            x, y, w, h = struct.unpack_from("<HHHH", data, 8 + 8 * k)
                            cx, cy = (k % columns) * tile, (k // columns) * tile
                            built.paste(grid.crop((cx, cy, cx + w, cy + h)), (x, y))
                        with Image.open(os.path.join(folder, "%d.png" % bid)) as want:
                            self.assertEqual(built.tobytes(), want.convert("RGB").tobytes())

    def test_every_png_holds_exactly_the_pixels_of_its_bmp(self):
        for bid in sorted(BACKGROUNDS):
            with self.subTest(bid=bid):
                with Image.open(os.path.join(self.dir, "%d.png" % bid)) as png:
                    self.assertEqual(png.mode, "RGB")
                    self.assertEqual(png.tobytes(), self.image(bid).tobytes())

    def test_icon_holds_every_small_icon_size_and_cursor_one_per_set(self):
        sizes = [(16, 16), (20, 20), (24, 24), (32, 32), (40, 40), (48, 48), (64, 64)]
        with open(os.path.join(self.dir, "128.ico"), "rb") as f:
            ico = f.read()
        _, kind, count = struct.unpack_from("<HHH", ico, 0)
        self.assertEqual((kind, count), (1, len(sizes)))
        self.assertEqual(sorted(struct.unpack_from("<BB", ico, 6 + 16 * i) for i in range(count)), sizes)
        with Image.open(os.path.join(self.dir, "128.ico")) as im:
            self.assertEqual(sorted(im.info["sizes"]), sizes)
        with open(os.path.join(self.dir, "1022.cur"), "rb") as f:
            cur = f.read()
        _, kind, count = struct.unpack_from("<HHH", cur, 0)
        self.assertEqual((kind, count), (2, 3))
        # 32, 48 and 64 pixels, the hot spot at the centre of the arrows,
        # (15, 15) scaled.
        for i, (size, hot) in enumerate(((32, 15), (48, 23), (64, 30))):
            w, h, _, _, hx, hy, length, offset = struct.unpack_from("<BBBBHHII", cur, 6 + 16 * i)
            self.assertEqual((w, h, hx, hy), (size, size, hot, hot))
            self.assertLessEqual(offset + length, len(cur))
            self.assertEqual(struct.unpack_from("<IiiHH", cur, offset), (40, size, 2 * size, 1, 32))

    def test_two_runs_write_identical_bytes(self):
        a, b = self.dir, artrun.second()
        for folder in ("", "144", "192"):
            names = sorted(os.listdir(os.path.join(a, folder)))
            self.assertEqual(names, sorted(os.listdir(os.path.join(b, folder))))
            for name in names:
                if os.path.isdir(os.path.join(a, folder, name)):
                    continue
                with open(os.path.join(a, folder, name), "rb") as fa, open(os.path.join(b, folder, name), "rb") as fb:
                    self.assertEqual(fa.read(), fb.read(), os.path.join(folder, name))

    def test_two_state_pictures_differ_visibly(self):
        for a, b in ON_OFF_PAIRS:
            ia, ib = self.image(a), self.image(b)
            if ia.size != ib.size:
                ib = ib.resize(ia.size)
            diff = ImageChops.difference(ia, ib).convert("L")
            hist = diff.histogram()
            changed = sum(hist[24:])
            with self.subTest(pair=(a, b)):
                self.assertGreater(changed, ia.width * ia.height // 40)

    def lit_pixels(self, img, box=None):
        """Pixels of the cyan light (or of the red mute lamp)."""
        img = img.crop(box) if box else img
        n = 0
        for r, g, b in img.getdata():
            if (b > 170 and g > 150 and r < 150) or (r > 190 and g < 140 and b < 140):
                n += 1
        return n

    def test_lit_pictures_carry_the_light_and_dark_ones_do_not(self):
        for lit, dark in LIT_DARK + ((172, 171), (174, 173)):
            with self.subTest(lit=lit, dark=dark):
                self.assertGreater(self.lit_pixels(self.image(lit)), 4)
                self.assertGreater(self.lit_pixels(self.image(lit)),
                                   3 * self.lit_pixels(self.image(dark)))

    def test_pictures_chosen_by_position_light_the_right_place(self):
        # room pictures: the lit third is the one whose click zone selects it
        thirds = ((0, 0, 79, 26), (0, 27, 79, 52), (0, 53, 79, 79))
        for index, bid in enumerate((258, 259, 260)):
            counts = [self.lit_pixels(self.image(bid), box) for box in thirds]
            self.assertEqual(counts.index(max(counts)), index, bid)
        # rate selector: lower left CD, upper left Theatre, upper right HIFI, lower right Professional
        w, h = self.image(160).size
        quarters = ((0, h // 2, w // 2, h), (0, 0, w // 2, h // 2), (w // 2, 0, w, h // 2),
                    (w // 2, h // 2, w, h))
        for index in range(4):
            counts = [self.lit_pixels(self.image(160 + index), q) for q in quarters]
            self.assertEqual(counts.index(max(counts)), index, 160 + index)

    def test_lever_points_up_on_320_and_down_on_321(self):
        def bright(bid, box):
            return sum(1 for p in self.image(bid).crop(box).getdata() if min(p) > 150)
        top, bottom = (0, 0, 25, 14), (0, 26, 25, 40)
        self.assertGreater(bright(320, top), 3 * bright(320, bottom) + 5)
        self.assertGreater(bright(321, bottom), 3 * bright(321, top) + 5)

    def test_slider_thumb_is_whole_on_the_shorter_crossover_groove(self):
        # The crossover slot is as tall as its 13-pixel groove, so the 14-pixel
        # thumb loses its last row there: that row must carry nothing of it.
        thumb = self.image(302)
        groove_height = self.image(319).height
        well = self.image(319).getpixel((1, groove_height - 1))
        for y in range(groove_height, thumb.height):
            self.assertEqual({thumb.getpixel((x, y)) for x in range(thumb.width)}, {well}, y)
        self.assertGreater(sum(1 for x in range(thumb.width) if max(thumb.getpixel((x, groove_height - 1))) < 16), 10,
                           "the thumb's lower edge lies inside the groove's rows")

    def test_first_and_last_environments_leave_the_missing_neighbour_blank(self):
        def ink(bid, box):
            return sum(1 for p in self.image(bid).crop(box).getdata() if max(p) > 60)
        above, below = (10, 5, 136, 19), (10, 46, 136, 60)
        for first in (175, 198, 221):
            last = first + 22
            self.assertEqual(ink(first, above), 0)
            self.assertGreater(ink(first, below), 10)
            self.assertEqual(ink(last, below), 0)
            self.assertGreater(ink(last, above), 10)

    def test_environment_pictures_of_one_language_all_differ(self):
        for first in (175, 198, 221):
            seen = set()
            for bid in range(first, first + 23):
                data = self.image(bid).tobytes()
                self.assertFalse(data in seen, "picture %d repeats an earlier one" % bid)
                seen.add(data)


class PageLayout(unittest.TestCase):
    """Wording printed on the backgrounds must stay off the controls, and
    the controls must sit on the recessed panels whose colour they carry."""

    @classmethod
    def setUpClass(cls):
        cls.pages = []
        for page_class in backgrounds.PAGES:
            for lang in (0, 1, 2):
                page = page_class(lang)
                page.print_words(Image.new("RGB", page.size))
                cls.pages.append(page)

    def test_no_word_lies_under_a_control(self):
        for page in self.pages:
            rects = page.all_control_rects()
            w, h = page.size
            for (x0, y0, x1, y1), text in page.texts:
                with self.subTest(page=page.key, lang=page.lang, text=text):
                    self.assertTrue(6 <= x0 and x1 <= w - 6 and 4 <= y0 and y1 <= h - 4)
                    for cx0, cy0, cx1, cy1 in rects:
                        overlap = x0 < cx1 and cx0 < x1 and y0 < cy1 and cy0 < y1
                        self.assertFalse(overlap, "over control at (%d, %d)" % (cx0, cy0))

    def test_every_language_prints_the_same_set_of_words(self):
        counts = {}
        for page in self.pages:
            self.assertTrue(all(t.strip() for t in page.said), page.key)
            counts.setdefault(page.key, set()).add(len(page.said))
        for key, n in counts.items():
            self.assertEqual(len(n), 1, "%s prints a different number of words per language" % key)

    def test_controls_sit_inside_a_recessed_panel(self):
        for page in self.pages[::3]:
            panels = list(page.wells) + list(page.pads)
            rail_x0 = min(x for _, x, _, _, _ in page.column) - 6
            for name, x, y, w, h in page.controls:
                with self.subTest(page=page.key, control=name):
                    inside = any(px0 + 3 <= x and x + w <= px1 - 3 and py0 + 3 <= y and
                                 y + h <= py1 - 3 for px0, py0, px1, py1 in panels)
                    self.assertTrue(inside)
                    self.assertLess(x + w, rail_x0)


if __name__ == "__main__":
    unittest.main()
