"""The panel as a person meets it: only a tray icon after start; a real click
on the icon brings up the Main page at the top-left of the screen, shaped
from its bitmap; the page column switches between the five pages at one
screen position, also after a page was dragged away; the tray menu switches
the language of every page, shows the panel and ends it; after a restart the
pages come up in the chosen language. Screenshots of every page in every
language land in the artefacts folder (shell-<language>-<page>.png)."""

import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import zephrin_e2e as z  # noqa: E402

LANGUAGES = ("tc", "sc", "en")
COLUMN = z.COLUMN
CPL = z.REG_ROOT + r"\CPL"
# The Main page's title area, where the wording differs between languages.
TITLE = (60, 4, 200, 26)
expect, wait_page, click_control, switch, drag_page = z.expect, z.wait_page, z.click_control, z.switch, z.drag_page


def crop(shot, rect, box, out):
    x0, y0, x1, y1 = box
    subprocess.run(["convert", str(shot), "-crop", f"{x1 - x0}x{y1 - y0}+{rect.left + x0}+{rect.top + y0}",
                    "+repage", str(out)], check=True)
    return out


def same_image(a, b):
    proc = subprocess.run(["compare", "-metric", "AE", str(a), str(b), "null:"], capture_output=True, text=True)
    return proc.stderr.strip().split()[0] == "0"


def main():
    args = z.parse_args(description=__doc__)
    z.require_tools("xdotool", "xwininfo", "import", "convert", "compare")
    bin_dir, out = args.bin, args.artefacts
    z.run_wine(bin_dir / "wintool.exe", "kill", check=False)
    z.reg_add(CPL, "language", "0")

    panel = z.Panel(bin_dir, log_path=out / "shell-e2e-panel.log").start()
    try:
        panel.wait_for_tray_icon()
        # The start-up timer ticks only when nothing else waits in the panel's
        # queue: once it has registered the listeners, the start is complete.
        pid = z.wintool(bin_dir, "pids").split()[0]

        def registrations():
            return z.run_wine(bin_dir / "castool.exe", "registrations", pid).stdout.split()

        z.wait_until(lambda: registrations() == ["3", "19", "1"], 15, what="the start-up timer's registrations")
        expect(z.visible_pages(bin_dir) == [], "a page is visible right after start")
        z.screenshot(out, "shell-start.png")

        # First click on the icon: the Main page, top-left, shaped.
        panel.click_tray_icon()
        wait_page(bin_dir, "main")
        rect = z.page_rect(bin_dir, "main")
        expect((rect.left, rect.top, rect.width, rect.height) == (0, 0, 800, 313), f"Main page at {rect}")
        expect(z.wintool(bin_dir, "region", "main", "0", "0").strip() == "out", "corner pixel not cut away")
        expect(z.wintool(bin_dir, "region", "main", "400", "150").strip() == "in", "page centre outside shape")
        z.screenshot(out, "shell-first-click.png")

        # The page lies over Wine's tray at the top-left: move it away.
        drag_page(bin_dir, "main", 120, 200)

        # Every page in every language, switched with the page column.
        current = "main"
        order = ["hifi", "digital", "hp", "info", "main"]
        for number, language in enumerate(LANGUAGES):
            panel.tray_menu(z.TRAY_MENU_LANGUAGE, number)
            z.wait_until(lambda: z.reg_query(CPL, "language") == str(number), 15,
                         what=f"language {number} stored")
            wait_page(bin_dir, current)
            shot = z.screenshot(out, f"shell-{language}-{current}.png")
            if current == "main":
                crop(shot, z.page_rect(bin_dir, "main"), TITLE, out / f"shell-title-{language}.png")
            for page in order:
                switch(bin_dir, current, page)
                current = page
                shot = z.screenshot(out, f"shell-{language}-{page}.png")
                if page == "main":
                    crop(shot, z.page_rect(bin_dir, "main"), TITLE, out / f"shell-title-{language}.png")
        expect(not same_image(out / "shell-title-tc.png", out / "shell-title-en.png"),
               "Main page looks the same in Traditional Chinese and English")

        # Main -> Hifi, drag Hifi, -> Info opens where Hifi was, -> Main too.
        switch(bin_dir, "main", "hifi")
        drag_page(bin_dir, "hifi", -60, 90)
        switch(bin_dir, "hifi", "info")
        switch(bin_dir, "info", "main")

        # The page's close button hides it; the tray flag is still on, so the
        # next click only clears it and the click after shows the same page.
        # The second click is the proof for the first: clicks reach the panel
        # in order, and a first click that showed a page (or did nothing)
        # would leave the flag on, so the second would hide the page instead.
        switch(bin_dir, "main", "digital")
        click_control(bin_dir, "digital", COLUMN["digital"]["close"])
        z.wait_until(lambda: z.visible_pages(bin_dir) == [], 15, what="the Digital page to hide")
        panel.click_tray_icon()
        # Pacing, not a check: two clicks within the double-click time would
        # reach the panel as a double click.
        time.sleep(0.8)
        panel.click_tray_icon()
        wait_page(bin_dir, "digital")

        # "Marvolin Control Panel" shows the current page.
        click_control(bin_dir, "digital", COLUMN["digital"]["close"])
        z.wait_until(lambda: z.visible_pages(bin_dir) == [], 15, what="the Digital page to hide")
        panel.tray_menu(z.TRAY_MENU_SHOW)
        wait_page(bin_dir, "digital")

        # English, then Exit from the menu: the icon goes, the program ends.
        panel.tray_menu(z.TRAY_MENU_LANGUAGE, 2)
        panel.tray_menu(z.TRAY_MENU_EXIT)
        expect(panel.wait_exit(20) is not None, "Exit did not end the panel")
        expect(z.tray_icons(bin_dir) == [], "Exit left an icon in the tray")
    finally:
        panel.stop()

    # A restart comes up in English.
    expect(z.reg_query(CPL, "language") == "2", "language not stored as 2")
    panel = z.Panel(bin_dir, log_path=out / "shell-e2e-panel.log").start()
    try:
        panel.wait_for_tray_icon()
        panel.click_tray_icon()
        wait_page(bin_dir, "main")
        shot = z.screenshot(out, "shell-restart-en.png")
        title = crop(shot, z.page_rect(bin_dir, "main"), TITLE, out / "shell-title-restart.png")
        expect(same_image(title, out / "shell-title-en.png"), "after the restart the Main page is not English")
        expect(z.reg_query(CPL, "language") == "2", "language not written back as 2")

        # The system close command ends the program and takes the icon along.
        z.wintool(bin_dir, "post", "main", str(0x0112), str(0xF060))
        expect(panel.wait_exit(20) is not None, "the system close command did not end the panel")
        expect(z.tray_icons(bin_dir) == [], "the system close command left a dead icon in the tray")
    finally:
        panel.stop()
    z.log("shell end-to-end run passed; screenshots in", out)


if __name__ == "__main__":
    z.run(main)
