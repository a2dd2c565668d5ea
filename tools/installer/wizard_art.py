#!/usr/bin/env python3
"""Draws the side picture of the setup's first and last pages (164 x 314,
24-bit BMP, as NSIS's modern pages take it) in the panel's own look: the
chassis colours, the application icon and the product's name. The simulated
flavour's picture says so in red.

    wizard_art.py --out FILE [--simulated]
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "art"))
import artkit as ak  # noqa: E402
import pictures  # noqa: E402

WIDTH, HEIGHT = 164, 314


def picture(simulated):
    img = ak.vertical_gradient((WIDTH, HEIGHT), ak.CHASSIS_TOP, ak.CHASSIS_BOTTOM, 0, HEIGHT)
    img.alpha_composite(pictures.app_icon(96), ((WIDTH - 96) // 2, 40))
    img = img.convert("RGB")
    ak.draw_text(img, (WIDTH // 2, 168), "Zephrin", 26, fill=ak.ACCENT_SOFT, anchor="ma", bold=True,
                 glow=ak.ACCENT)
    ak.draw_text(img, (WIDTH // 2, 204), "VANTIR", 13, fill=ak.TEXT, anchor="ma", bold=True)
    ak.draw_text(img, (WIDTH // 2, 222), "control panel", 12, fill=ak.TEXT_DIM, anchor="ma")
    if simulated:
        ak.draw_text(img, (WIDTH // 2, 262), "SIMULATED CARD", 12, fill=ak.LED_RED, anchor="ma", bold=True)
        ak.draw_text(img, (WIDTH // 2, 280), "for Wine only", 11, fill=ak.TEXT_DIM, anchor="ma")
    return img


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", required=True)
    parser.add_argument("--simulated", action="store_true")
    args = parser.parse_args()
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    picture(args.simulated).save(args.out, "BMP")
    return 0


if __name__ == "__main__":
    sys.exit(main())
