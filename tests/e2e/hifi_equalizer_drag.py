#!/usr/bin/python3
"""End to end: the 1 kHz equalizer band dragged with the real mouse on the
running panel reaches the store and the card, and comes back after a restart.

Steps: a store with the processing and the custom equalizer on; the panel
started; its Hifi page opened through the tray icon and the page column;
band 5 (1 kHz) dragged upwards with X input; the store's eq_0 ... eq_9 and
the card's last equalizer curve compared; the panel restarted, the page
opened again and the thumb, the store and the curve sent at start-up
checked. Screenshots go into the artefacts folder.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import zephrin_e2e as z  # noqa: E402

HIFI = z.REG_ROOT + r"\Hifi"
BAND_ID = 1038  # band 5, 1 kHz
MAIN_TO_HIFI = 1002


def stored_curve():
    values = []
    for i in range(10):
        text = z.reg_query(HIFI, "eq_%d" % i)
        values.append(int(text) if text not in (None, "") else 0)
    return values


def gain_calls(bin_dir):
    calls = []
    for line in z.simcard(bin_dir, "journal").splitlines():
        parts = line.split()
        if parts and parts[0] == "CMSUP_SetEQGain":
            calls.append([int(v) for v in parts[1:11]])
    return calls


def open_hifi_page(panel, args):
    panel.wait_for_tray_icon()
    # The panel's icon is the only one: the first cell of the tray window
    # (the tray window can be wider than its icons).
    z.click(*z.tray_icon_point(0))
    z.wait_until(lambda: z.find_visible(args.bin, "main"), what="the Main page")
    button = z.Rect(*_rect_of(args.bin, "main", MAIN_TO_HIFI))
    z.click(*button.centre())
    z.wait_until(lambda: z.find_visible(args.bin, "hifi"), what="the Hifi page")


def _rect_of(bin_dir, page, control):
    out = z.wintool(bin_dir, "rect", page, str(control))
    numbers = [int(v) for v in out.replace(",", " ").split() if v.lstrip("-").isdigit()]
    if len(numbers) < 4:
        raise z.E2EError("no rectangle for %s %d: %r" % (page, control, out))
    return numbers[:4]


def band_strip(band):
    """The pixels of the band's middle column, top to bottom."""
    x = (band.left + band.right) // 2
    out = z._x("import", "-display", os.environ["DISPLAY"], "-window", "root", "-crop",
               "1x%d+%d+%d" % (band.height, x, band.top), "-depth", "8", "txt:-")
    return [line.split()[1] for line in out.splitlines()[1:] if line.strip()]


def main():
    args = z.parse_args(description=__doc__)
    z.require_tools("xdotool", "import", "xwininfo")

    # A store with the processing on and the custom equalizer active, flat.
    for name, value in (("isDrySoundOn", "1"), ("InitialButtonOn", "3"), ("Customize", "0")):
        z.reg_add(HIFI, name, value)
    for i in range(10):
        z.reg_add(HIFI, "eq_%d" % i, "0")
    z.simcard(args.bin, "reset")

    with z.Panel(args.bin, log_path=args.artefacts / "hifi_e2e_panel.log") as panel:
        open_hifi_page(panel, args)
        band = z.Rect(*_rect_of(args.bin, "hifi", BAND_ID))
        z.wait_stable(lambda: band_strip(band), what="the page painted")
        z.screenshot(args.artefacts, "hifi_e2e_1_before.png")
        z.simcard(args.bin, "clear")

        # The thumb sits in the middle (gain 0); drag it most of the way up.
        x, y = band.centre()
        z.drag(x, y, x, band.top + 20, steps=12)
        z.wait_stable(stored_curve, what="the stored curve")
        curve = stored_curve()
        z.screenshot(args.artefacts, "hifi_e2e_2_dragged.png")
        z.log("stored curve after the drag:", curve)
        if curve[5] <= 0 or any(v != 0 for i, v in enumerate(curve) if i != 5):
            raise z.E2EError("the drag should raise band 5 only, store holds %r" % curve)
        sent = gain_calls(args.bin)
        if not sent:
            raise z.E2EError("no CMSUP_SetEQGain reached the card during the drag")
        if sent[-1] != curve:
            raise z.E2EError("card got %r, store holds %r" % (sent[-1], curve))
        if z.reg_query(HIFI, "Customize") != "0":
            raise z.E2EError("a band move must clear Customize")
        strip_before = band_strip(band)

    # Restart: the page restores the band from the store and sends the curve.
    z.simcard(args.bin, "clear")
    with z.Panel(args.bin, log_path=args.artefacts / "hifi_e2e_panel.log") as panel:
        open_hifi_page(panel, args)
        band_again = z.Rect(*_rect_of(args.bin, "hifi", BAND_ID))
        z.wait_stable(lambda: band_strip(band_again), what="the page painted")
        z.screenshot(args.artefacts, "hifi_e2e_3_restarted.png")
        if stored_curve() != curve:
            raise z.E2EError("the store changed across the restart: %r" % stored_curve())
        sent = gain_calls(args.bin)
        if curve not in sent:
            raise z.E2EError("the restarted panel did not send the stored curve; sent %r" % sent)
        if band_strip(band_again) != strip_before:
            raise z.E2EError("the band does not look as it did before the restart")
    z.log("ok")
    return 0


if __name__ == "__main__":
    z.run(main)
