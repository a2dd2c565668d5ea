"""The larger art sets (1.5x and 2x): drawn to the scaled sizes, cut to the
same outline, the same drawing as the 1x set, and packed into sheets that
hold every small picture exactly. Also the rounding rule the program shares."""

import os
import struct
import sys
import unittest

from PIL import Image, ImageChops, ImageFilter, ImageStat

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artrun  # noqa: E402

sys.path.insert(0, artrun.ART)

import artkit  # noqa: E402
import backgrounds  # noqa: E402
from wording import ENVIRONMENT_BASE_ID  # noqa: E402

SETS = (144, 192)
PAGES = [tuple(cls.ids[lang] for lang in (0, 1, 2)) for cls in backgrounds.PAGES]
BACKGROUNDS = {i for ids in PAGES for i in ids}


def blue_mask(img):
    r, g, b = img.convert("RGB").split()
    m = ImageChops.multiply(r.point(lambda v: 255 if v == 0 else 0), g.point(lambda v: 255 if v == 0 else 0))
    return ImageChops.multiply(m, b.point(lambda v: 255 if v == 255 else 0))


def differs(a, b):
    bands = ImageChops.difference(a, b).split()
    return ImageChops.lighter(ImageChops.lighter(bands[0], bands[1]), bands[2]).point(lambda v: 255 if v else 0)


class RoundingRule(unittest.TestCase):
    # The same table is checked against the program's ScaleFigure (ScaleTest.cpp).
    RULE = ((800, 144, 1200), (313, 144, 470), (546, 144, 819), (313, 120, 391), (1, 120, 1), (2, 120, 3),
            (3, 120, 4), (29, 144, 44), (15, 144, 23), (313, 168, 548), (7, 168, 12), (43, 216, 97),
            (-3, 144, -5), (-1, 120, -1), (0, 288, 0), (800, 288, 2400), (87, 96, 87), (137, 192, 274))

    def test_halves_round_away_from_zero_as_in_the_program(self):
        for value, dpi, want in self.RULE:
            self.assertEqual(artkit.scaled(value, dpi), want, (value, dpi))


class ScaledSets(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = artrun.generated()
        cls.ids = sorted(int(f[:-4]) for f in os.listdir(cls.dir) if f.endswith(".bmp"))
        cls.one = {i: Image.open(os.path.join(cls.dir, "%d.bmp" % i)).convert("RGB") for i in cls.ids}

    def picture(self, dpi, bid):
        with Image.open(os.path.join(self.dir, str(dpi), "%d.png" % bid)) as im:
            return im.convert("RGB")

    def test_every_picture_has_the_scaled_size(self):
        for dpi in SETS:
            self.assertEqual(sorted(int(f[:-4]) for f in os.listdir(os.path.join(self.dir, str(dpi)))
                                    if f.endswith(".png") and not f.startswith("sheet") and ".words" not in f),
                             self.ids)
            for bid in self.ids:
                w, h = self.one[bid].size
                with self.subTest(dpi=dpi, bid=bid):
                    self.assertEqual(self.picture(dpi, bid).size, (artkit.scaled(w, dpi), artkit.scaled(h, dpi)))

    def test_the_see_through_colour_cuts_the_same_outline_scaled(self):
        for dpi in SETS:
            for bid in sorted(BACKGROUNDS):
                with self.subTest(dpi=dpi, bid=bid):
                    big = blue_mask(self.picture(dpi, bid))
                    w, h = big.size
                    inner = artkit.scaled(20, dpi)
                    self.assertIsNone(big.crop((inner, inner, w - inner, h - inner)).getbbox(), "blue inside")
                    self.assertIsNone(big.crop((inner, 0, w - inner, h)).getbbox(), "blue along an edge")
                    self.assertIsNone(big.crop((0, inner, w, h - inner)).getbbox(), "blue along a side")
                    # Brought back to 1x, the see-through area is the 1x one
                    # but for a pixel here and there along the curve.
                    one = blue_mask(self.one[bid])
                    back = big.resize(one.size, Image.BOX).point(lambda v: 255 if v >= 128 else 0)
                    outside = one.histogram()[255]
                    self.assertLessEqual(ImageChops.difference(back, one).histogram()[255], outside // 8)

    def test_no_other_picture_holds_the_see_through_colour(self):
        for dpi in SETS:
            for bid in self.ids:
                if bid not in BACKGROUNDS:
                    with self.subTest(dpi=dpi, bid=bid):
                        self.assertIsNone(blue_mask(self.picture(dpi, bid)).getbbox())

    def test_each_set_reduced_to_1x_is_the_1x_drawing(self):
        # Softened a little, text drawn at another size differs only at its
        # glyphs' edges; a missing or misplaced part, another state of a
        # control or a garbled picture differs by much more.
        def distance(a, b):
            a = a.filter(ImageFilter.GaussianBlur(1))
            b = b.filter(ImageFilter.GaussianBlur(1))
            return ImageStat.Stat(ImageChops.difference(a, b).convert("L")).mean[0]
        for dpi in SETS:
            for bid in self.ids:
                back = self.picture(dpi, bid).resize(self.one[bid].size, Image.BOX)
                with self.subTest(dpi=dpi, bid=bid):
                    self.assertLess(distance(back, self.one[bid]), 10)

    def test_each_background_carries_its_own_languages_wording(self):
        for ids in PAGES:
            ones = [self.one[i] for i in ids]
            wording = differs(ones[0], ones[1])
            for a, b in ((0, 2), (1, 2)):
                wording = ImageChops.lighter(wording, differs(ones[a], ones[b]))
            for dpi in SETS:
                for lang, bid in enumerate(ids):
                    back = self.picture(dpi, bid).resize(ones[0].size, Image.BOX)
                    d = [ImageStat.Stat(ImageChops.difference(back, o).convert("L"), wording).mean[0] for o in ones]
                    with self.subTest(dpi=dpi, bid=bid):
                        self.assertLess(d[lang], min(x for i, x in enumerate(d) if i != lang))

    def test_the_sheets_hold_every_small_picture_exactly_once(self):
        for dpi in SETS:
            folder = os.path.join(self.dir, str(dpi))
            with open(os.path.join(folder, "sheets.map"), "rb") as f:
                data = f.read()
            count = struct.unpack_from("<H", data)[0]
            self.assertEqual(len(data), 2 + 12 * count)
            entries = [struct.unpack_from("<6H", data, 2 + 12 * i) for i in range(count)]
            self.assertEqual([e[0] for e in entries], sorted(set(self.ids) - BACKGROUNDS))
            sheets = {n: Image.open(os.path.join(folder, "sheet%d.png" % n)).convert("RGB") for n in (1, 2, 3, 4)}
            used = {n: [] for n in sheets}
            for bid, sheet, x, y, w, h in entries:
                with self.subTest(dpi=dpi, bid=bid):
                    cut = sheets[sheet].crop((x, y, x + w, y + h))
                    self.assertEqual(cut.tobytes(), self.picture(dpi, bid).tobytes())
                    for ox, oy, ow, oh in used[sheet]:
                        self.assertFalse(x < ox + ow and ox < x + w and y < oy + oh and oy < y + h, "overlap")
                    used[sheet].append((x, y, w, h))
            # The environment pictures of one language share a sheet of their own.
            for lang, first in ENVIRONMENT_BASE_ID.items():
                self.assertEqual({e[1] for e in entries if first <= e[0] < first + 23}, {2 + lang})


if __name__ == "__main__":
    unittest.main()
