"""Checks of the drawing kit's writers and of the geometry and wording the
pictures are built from."""

import io
import os
import struct
import sys
import unittest

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "art"))

import artkit  # noqa: E402
import backgrounds  # noqa: E402
import controls  # noqa: E402
from wording import ENGLISH, ENVIRONMENTS, SIMP, TRAD, WORDS  # noqa: E402


class Writers(unittest.TestCase):
    def test_bmp_rows_are_padded_and_stored_bottom_up(self):
        for width in (1, 2, 3, 4, 5):
            img = Image.new("RGB", (width, 3))
            for x in range(width):
                img.putpixel((x, 0), (200, 10 * x, 1))
                img.putpixel((x, 2), (3, 4, 5 + x))
            data = artkit.bmp_bytes(img)
            stride = (width * 3 + 3) & ~3
            self.assertEqual(len(data), 54 + 3 * stride)
            # first stored row is the bottom one, in blue-green-red order
            self.assertEqual(data[54:57], bytes((5, 4, 3)))
            with Image.open(io.BytesIO(data)) as back:
                self.assertEqual(back.convert("RGB").tobytes(), img.tobytes())

    def test_icon_and_cursor_images_carry_alpha_and_a_matching_mask(self):
        img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
        img.paste((250, 20, 20, 255), (0, 0, 8, 16))
        ico = artkit.icon_bytes([img])
        kind, count = struct.unpack_from("<HH", ico, 2)
        self.assertEqual((kind, count), (1, 1))
        size, offset = struct.unpack_from("<II", ico, 14)
        dib = ico[offset:offset + size]
        xor_len = 16 * 16 * 4
        mask = dib[40 + xor_len:]
        self.assertEqual(len(mask), 16 * 4)          # rows padded to 32 bits
        self.assertEqual(mask[0:4], bytes((0x00, 0xFF, 0, 0)))  # right half transparent
        with Image.open(io.BytesIO(ico)) as back:
            back = back.convert("RGBA")
            self.assertEqual(back.getpixel((2, 2)), (250, 20, 20, 255))
            self.assertEqual(back.getpixel((12, 2))[3], 0)
        cur = artkit.icon_bytes([img], hotspot=(3, 9))
        self.assertEqual(struct.unpack_from("<HHH", cur, 0), (0, 2, 1))
        self.assertEqual(struct.unpack_from("<HH", cur, 10), (3, 9))

    def test_only_exact_pure_blue_is_nudged(self):
        img = Image.new("RGB", (4, 1))
        for x, c in enumerate(((0, 0, 255), (0, 0, 254), (1, 0, 255), (0, 1, 255))):
            img.putpixel((x, 0), c)
        out = artkit.remove_blue(img)
        self.assertEqual(list(out.getdata()), [(0, 0, 254), (0, 0, 254), (1, 0, 255), (0, 1, 255)])

    def test_fitted_text_stays_within_its_room(self):
        for text in ("Entertainment Room", "Soft Rock", "自定义均衡器", "Professional"):
            for room in (30, 50, 80):
                f = artkit.fit_font(text, 12, room, min_size=7)
                if f.size > 7:
                    self.assertLessEqual(artkit.text_width(text, f), room, (text, room))


class Geometry(unittest.TestCase):
    """The printed scales must meet the thumb where the slider controls put it."""

    def test_thumb_centres_follow_the_slider_arithmetic(self):
        # Hp crossover: 202-pixel channel, 28-pixel thumb, range 0 ... 250
        self.assertEqual(controls.thumb_centre(150, 0, 250, 202, 28), 118)
        self.assertEqual(backgrounds.crossover_x(0), 122)
        self.assertEqual(backgrounds.crossover_x(50), 156)
        self.assertEqual(backgrounds.crossover_x(250), 296)

    def test_band_scale_spans_the_thumb_travel(self):
        h, th = controls.BAND_CHANNEL[1], controls.BAND_THUMB[1]
        self.assertEqual(controls.band_tick_y(20), th // 2)
        self.assertEqual(controls.band_tick_y(-20), h - th + th // 2)
        ys = [controls.band_tick_y(db) for db in (20, 10, 0, -10, -20)]
        self.assertEqual(ys, sorted(ys))
        self.assertLessEqual(abs((ys[0] + ys[-1]) / 2 - ys[2]), 1)


class Wording(unittest.TestCase):
    NEUTRAL = {"CD", "HIFI", "DirectX"}

    def test_every_word_exists_in_all_three_languages(self):
        for key, texts in sorted(WORDS.items()):
            with self.subTest(key=key):
                self.assertEqual(len(texts), 3)
                self.assertTrue(all(t.strip() for t in texts))
                if texts[ENGLISH] not in self.NEUTRAL:
                    self.assertTrue(artkit.is_cjk(texts[TRAD]) and artkit.is_cjk(texts[SIMP]))
                    self.assertFalse(artkit.is_cjk(texts[ENGLISH]))

    def test_environment_list_is_the_panels_list(self):
        self.assertEqual([e[ENGLISH] for e in ENVIRONMENTS], [
            "Generic", "Padded cell", "Room", "Living Room", "Stone Room", "Auditorium", "Cave",
            "Arena", "Hangar", "Carpeted hallway", "Hallway", "Stone corridor", "Alley", "Forest",
            "City", "Mountains", "Quarry", "Plain", "Parking lot", "Sewer pipe", "Drugged",
            "Dizzy", "Psychotic"])
        for names in ENVIRONMENTS:
            self.assertTrue(artkit.is_cjk(names[TRAD]) and artkit.is_cjk(names[SIMP]))
        for lang in (TRAD, SIMP, ENGLISH):
            self.assertEqual(len({e[lang] for e in ENVIRONMENTS}), 23)

    def test_the_stated_labels_are_printed_as_given(self):
        stated = {"dry_sound": "Dry Sound", "style_0": "Pure Monitor", "style_1": "USA Style",
                  "style_2": "England Style", "style_3": "Japanese Style",
                  "style_4": "Germany Style", "room_0": "Living Room",
                  "room_1": "Entertainment Room", "room_2": "Bedroom",
                  "enable_digital": "Enable Digital Output", "optical": "Optical",
                  "coaxial": "Coaxial", "rate_cd": "CD", "rate_theatre": "Theatre",
                  "rate_hifi": "HIFI", "rate_pro": "Professional",
                  "low_impedance": "low impedance", "high_impedance": "high impedance",
                  "playback": "Playback"}
        for key, text in stated.items():
            self.assertEqual(WORDS[key][ENGLISH], text)
        presets = [WORDS[k][ENGLISH] for _, _, k in backgrounds.PRESET_CELLS]
        self.assertEqual(presets, ["Default", "Bass", "Treble", "Live", "Rock", "Soft Rock",
                                   "Dance", "Jazz", "Metal", "Rap", "Classic", "Vocal"])
        self.assertEqual(backgrounds.BAND_LABELS,
                         ("30", "60", "120", "250", "500", "1K", "2K", "4K", "8K", "16K"))


if __name__ == "__main__":
    unittest.main()
