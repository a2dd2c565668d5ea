"""The Digital, Hp and Info pages as a person uses them, with real X input on
the running panel: the digital output switched on and a rate chosen (stored
and sent to the card), the speaker switch pressed and the crossover thumb
dragged to the left end (sent to the card), the Info page's lines; every one
of the three pages photographed in each language
(pages-<language>-<page>.png in the artefacts folder)."""

import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import zephrin_e2e as z  # noqa: E402

LANGUAGES = ("tc", "sc", "en")
CPL = z.REG_ROOT + r"\CPL"
DIGITAL = z.REG_ROOT + r"\Digital"
INFO = z.REG_ROOT + r"\Info"


def expect(condition, message):
    if not condition:
        raise z.E2EError(message)


def control_rect(bin_dir, page, control_id):
    numbers = [int(v) for v in z.wintool(bin_dir, "rect", page, str(control_id)).split()[:4]]
    expect(len(numbers) == 4, f"no control {control_id} on the {page} page")
    return z.Rect(*numbers)


def wait_page(bin_dir, page):
    z.wait_until(lambda: z.visible_pages(bin_dir) == [page], 10,
                 what=f"only the {page} page visible (now {z.visible_pages(bin_dir)})")
    time.sleep(0.3)  # let it paint


def switch(bin_dir, from_page, to_page):
    z.click(*control_rect(bin_dir, from_page, z.COLUMN[from_page][to_page]).centre())
    wait_page(bin_dir, to_page)


def card(bin_dir, field):
    return z.simcard_get(bin_dir, field)


def main():
    args = z.parse_args(description=__doc__)
    z.require_tools("xdotool", "xwininfo", "import")
    bin_dir, out = args.bin, args.artefacts
    z.run_wine(bin_dir / "wintool.exe", "kill", check=False)
    z.reg_add(CPL, "language", "2")
    z.reg_add(DIGITAL, "DigitalOutSr", "0")
    z.reg_add(INFO, "DriverVer", "6.0.1.23")
    z.simcard(bin_dir, "reset")
    z.simcard(bin_dir, "set", "crossover", "30")
    z.simcard(bin_dir, "set", "largeSpeakers", "0")

    panel = z.Panel(bin_dir, log_path=out / "pages-e2e-panel.log").start()
    try:
        panel.wait_for_tray_icon()
        expect(card(bin_dir, "spdifStatus") == 0, "the stored 0 did not reach the card at start")
        panel.click_tray_icon()
        wait_page(bin_dir, "main")
        # Away from Wine's tray at the top-left corner.
        rect = z.page_rect(bin_dir, "main")
        z.drag(rect.left + 400, rect.bottom - 8, rect.left + 520, rect.bottom + 192)
        z.wait_until(lambda: z.page_rect(bin_dir, "main").left == rect.left + 120, 15, what="the Main page to move")
        switch(bin_dir, "main", "digital")

        # Digital: switch the output on, then choose the upper-right rate.
        z.click(*control_rect(bin_dir, "digital", 1021).centre())
        z.wait_until(lambda: z.reg_query(DIGITAL, "DigitalOutSr") == "1", 15, what="DigitalOutSr 1")
        expect(card(bin_dir, "spdifStatus") == 2, "switching on did not give the card status 2")
        selector = control_rect(bin_dir, "digital", 1024)
        cx, cy = selector.centre()
        z.click(cx + selector.width // 4, cy - selector.height // 4)
        z.wait_until(lambda: z.reg_query(DIGITAL, "DigitalOutSr") == "3", 15, what="DigitalOutSr 3")
        expect(card(bin_dir, "spdifStatus") == 0x40, "the upper-right rate did not give the card 0x40")
        # The window did not move under either click.
        expect(z.page_rect(bin_dir, "digital").left == rect.left + 120, "a click on a control moved the page")

        # Hp: the card's 30 Hz is shown at 50; the speaker switch goes to
        # large speakers; the thumb dragged past the left end sends 0.
        switch(bin_dir, "digital", "hp")
        z.click(*control_rect(bin_dir, "hp", 1088).centre())
        z.wait_until(lambda: card(bin_dir, "largeSpeakers") == 1, 15, what="large speakers on the card")
        expect(card(bin_dir, "crossover") == 30, "the page wrote its clamped crossover back to the card")
        slider = control_rect(bin_dir, "hp", 1086)
        thumb_x = slider.left + 14 + int(50 / 250 * 174)  # position 50 on the 202-pixel channel
        y = (slider.top + slider.bottom) // 2
        expect(slider.width == 202, f"crossover slider {slider.width} pixels wide instead of its channel's 202")
        # One move past the end: the thumb centre pins at the channel's start.
        z.drag(thumb_x, y, slider.left - 40, y, steps=1)
        z.wait_until(lambda: card(bin_dir, "crossover") == 0, 15, what="crossover 0 on the card")

        switch(bin_dir, "hp", "info")

        # Every page in every language; the Info lines stay as they are.
        for number, language in enumerate(LANGUAGES):
            panel.tray_menu(z.TRAY_MENU_LANGUAGE, number)
            z.wait_until(lambda: z.reg_query(CPL, "language") == str(number), 15, what=f"language {number}")
            wait_page(bin_dir, "info")
            z.screenshot(out, f"pages-{language}-info.png")
            switch(bin_dir, "info", "digital")
            z.screenshot(out, f"pages-{language}-digital.png")
            switch(bin_dir, "digital", "hp")
            z.screenshot(out, f"pages-{language}-hp.png")
            switch(bin_dir, "hp", "info")
        panel.tray_menu(z.TRAY_MENU_EXIT)
        expect(panel.wait_exit(20) is not None, "Exit did not end the panel")
    finally:
        panel.stop()

    # The next start gives the card the stored rate again.
    z.simcard(bin_dir, "set", "spdifStatus", "0")
    panel = z.Panel(bin_dir, log_path=out / "pages-e2e-panel.log").start()
    try:
        panel.wait_for_tray_icon()
        z.wait_until(lambda: card(bin_dir, "spdifStatus") == 0x40, 15, what="status 0x40 re-applied at start")
    finally:
        panel.stop()
    z.log("pages end-to-end run passed; screenshots in", out)


if __name__ == "__main__":
    z.run(main)
