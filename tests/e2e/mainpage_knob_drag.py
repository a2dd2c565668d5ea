#!/usr/bin/python3
"""End to end: the Main page's master knob on the running panel, as a person
uses it, against the Core Audio stand-in of the prefix.

Steps: the default playback endpoint set to 0.5 on both channels by another
program; the panel started and its Main page called up from the tray icon;
the master knob turned with a real mouse drag to position 40: the default
endpoint's channels become 0.8; then another program sets 0.3 and mutes the
endpoint: the knob turns back to 15 and the master lamp lights. The knob's
position is read from the screen (the pure blue indicator dot) and every step
leaves a screenshot in the artefacts folder.
"""

import math
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import zephrin_e2e as z  # noqa: E402

MASTER_KNOB = 1022
MASTER_MUTE = 1026
# The master knob: range 0 ... 65 over the full turn, position 0 at 220
# degrees clockwise from 12 o'clock, full level at 50.
KNOB_STEPS = 66
ZERO_ANGLE = 220.0
INDICATOR = (0, 0, 255)


def castool(args, *words):
    return z.run_wine(args.bin / "castool.exe", *words).stdout


def default_level(args, channel):
    return float(castool(args, "get-level", "default", str(channel)).strip())


def rect_of(args, page, control):
    out = z.wintool(args.bin, "rect", page, str(control))
    numbers = [int(v) for v in re.findall(r"-?\d+", out)]
    if len(numbers) < 4:
        raise z.E2EError("no rectangle for %s %d: %r" % (page, control, out))
    return z.Rect(*numbers[:4])


def crop_pixels(rect):
    """The screen pixels of a rectangle: {(x, y): (r, g, b)} in screen coordinates."""
    out = z._x("import", "-display", os.environ["DISPLAY"], "-window", "root", "-crop",
               "%dx%d+%d+%d" % (rect.width, rect.height, rect.left, rect.top), "-depth", "8", "txt:-")
    pixels = {}
    for line in out.splitlines():
        match = re.match(r"\s*(\d+),(\d+):\s*\((\d+),(\d+),(\d+)", line)
        if match:
            x, y, r, g, b = (int(v) for v in match.groups())
            pixels[(rect.left + x, rect.top + y)] = (r, g, b)
    return pixels


def knob_position_on_screen(knob):
    """The knob position its indicator dot shows: the angle of the pure blue
    dot's centre around the knob's centre, turned back into a position."""
    dots = [p for p, colour in crop_pixels(knob).items() if colour == INDICATOR]
    if len(dots) < 3:
        return None
    # The dial's centre is the middle pixel of the square knob.
    dx = sum(p[0] for p in dots) / len(dots) - (knob.left + knob.width // 2)
    dy = sum(p[1] for p in dots) / len(dots) - (knob.top + knob.height // 2)
    angle = math.degrees(math.atan2(dx, -dy)) % 360  # clockwise from 12 o'clock
    return int(round((angle - ZERO_ANGLE) % 360 * KNOB_STEPS / 360)) % KNOB_STEPS


def point_for_position(knob, position, radius):
    """A screen point whose angle around the knob's centre aims at the middle
    of `position`'s sector."""
    angle = math.radians(ZERO_ANGLE + (position + 0.5) * 360 / KNOB_STEPS)
    cx = (knob.left + knob.right) / 2
    cy = (knob.top + knob.bottom) / 2
    return int(round(cx + math.sin(angle) * radius)), int(round(cy - math.cos(angle) * radius))


def turn_knob(knob, target, steps):
    """A real drag: press on the knob on the ray towards `target`, then move
    outwards along that ray (the knob has the mouse while dragged), one knob
    step per mouse event, and release."""
    z.mouse_move(*point_for_position(knob, target, 12))
    time.sleep(0.05)
    z._x("xdotool", "mousedown", "1")
    time.sleep(0.1)
    for i in range(steps):
        z.mouse_move(*point_for_position(knob, target, 40 + (i % 2) * 3))
        time.sleep(0.03)
    time.sleep(0.1)
    z._x("xdotool", "mouseup", "1")


def expect_close(actual, expected, what, tolerance=1e-3):
    if abs(actual - expected) > tolerance:
        raise z.E2EError("%s: %r, expected %r" % (what, actual, expected))


def main():
    args = z.parse_args(description=__doc__)
    z.require_tools("xdotool", "xwininfo", "import")

    castool(args, "scenario", "default")
    castool(args, "set-level", "default", "all", "0.5")
    castool(args, "set-mute", "default", "0")

    with z.Panel(args.bin, log_path=args.artefacts / "mainpage_knob_drag.log") as panel:
        panel.wait_for_tray_icon()
        panel.click_tray_icon()
        z.wait_until(lambda: z.find_visible(args.bin, "main"), what="the Main page")
        knob = rect_of(args, "main", MASTER_KNOB)
        lamp = rect_of(args, "main", MASTER_MUTE)
        z.log("master knob at", knob, "lamp at", lamp)

        shown = z.wait_stable(lambda: knob_position_on_screen(knob), what="the knob drawn")
        z.screenshot(args.artefacts, "mainpage_1_start.png")
        if shown != 25:
            raise z.E2EError("the knob shows %r for levels 0.5, expected 25" % shown)

        # Turned with the mouse to 40: the default endpoint follows.
        turn_knob(knob, 40, steps=30)
        z.wait_until(lambda: abs(default_level(args, 0) - 0.8) < 1e-3, timeout=15,
                     what="the default endpoint at 0.8 after the drag")
        expect_close(default_level(args, 1), 0.8, "right channel after the drag")
        shown = z.wait_stable(lambda: knob_position_on_screen(knob), what="the knob after the drag")
        z.screenshot(args.artefacts, "mainpage_2_after_drag.png")
        if shown != 40:
            raise z.E2EError("the knob shows %r after the drag, expected 40" % shown)

        # Another program turns the endpoint down and mutes it: the page follows.
        lamp_before = crop_pixels(lamp)
        castool(args, "set-level", "default", "all", "0.3")
        castool(args, "set-mute", "default", "1")
        z.wait_until(lambda: knob_position_on_screen(knob) == 15, timeout=15,
                     what="the knob at 15 after another program's change")
        z.wait_until(lambda: crop_pixels(lamp) != lamp_before, timeout=15, what="the master lamp lit")
        time.sleep(0.2)
        z.screenshot(args.artefacts, "mainpage_3_after_other_program.png")
        # The page showing the change did not write it back.
        expect_close(default_level(args, 0), 0.3, "left channel after the other program's change")
        expect_close(default_level(args, 1), 0.3, "right channel after the other program's change")

    castool(args, "scenario", "default")
    z.log("mainpage knob drag: ok")
    return 0


if __name__ == "__main__":
    z.run(main)
