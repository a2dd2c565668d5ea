"""The guided run: the panel shown the way a person meets it, on a virtual
display, step by step, with a screenshot of what each step shows.

Called by scripts/run when no DISPLAY is set, after the build, the virtual
display and the simulated machine are ready (WINEPREFIX and DISPLAY come from
the caller). It starts Zephrin.exe and, with real X input only:

- clicks the tray icon: the Main page comes up at the top-left corner, over
  Wine's notification area, so it drags the page away by its background;
- three times: opens the tray menu with a right click, photographs it with
  the language submenu open and picks the next language; then clicks the page
  buttons through Hifi, Digital, Hp, Info and back to Main, photographing
  every page;
- ends the panel with Exit from the tray menu.

Every step checks what it claims: the page alone is visible where the last
one was, the page's background in the chosen language is on the screen
(compared pixel by pixel with the artwork the build drew), the icon is gone
after Exit. One progress line per step; on the first step that fails, the run
says which and exits 1. Uses Debian's Python 3 with Pillow.
"""

from __future__ import annotations

import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path
from typing import Callable

from PIL import Image, ImageChops

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import zephrin_e2e as z  # noqa: E402
from area_average import area_resize  # noqa: E402

LANGUAGES = (("tc", "Traditional Chinese"), ("sc", "Simplified Chinese"), ("en", "English"))
# Background bitmap of each page, by language number (0, 1, 2).
BACKGROUNDS = {
    "main": (140, 139, 138),
    "hifi": (246, 245, 244),
    "digital": (131, 130, 129),
    "hp": (326, 325, 324),
    "info": (137, 136, 135),
}
TITLES = {"main": "Main", "hifi": "Hifi", "digital": "Digital", "hp": "Hp", "info": "Info"}
# The round of page buttons after each language switch (starting on Main).
ROUND = ("hifi", "digital", "hp", "info", "main")
CPL = z.REG_ROOT + r"\CPL"
# Where the Main page is dragged, away from the notification area and from
# the tray menu, which opens beside the icon at the top-left.
DRAG = (240, 200)
# Share of the wording pixels (those that differ between the three
# languages' backgrounds) that must match the chosen language on screen, and
# its lead over the other two languages. Seen: 100 % for the language shown,
# at most 79 % for another (the two Chinese scripts share many pixels).
MATCH_SHARE = 0.9
MATCH_LEAD = 0.1
# Right clicks on the tray icon before the menu must be open. Each follows a
# click into the notification area (see Panel.focus_tray); should a menu
# still close at once, a person clicks again, and so does the run.
MENU_ATTEMPTS = 4


# The art sets the build drew, by DPI: 1x in the artwork folder itself, the
# larger ones in folders of their own.
ART_SETS = (96, 144, 192)


class Artwork:
    """The page backgrounds the build drew, at the panel's scale, and the
    pixels in which the three languages differ."""

    def __init__(self, art_dir: Path, dpi: int = 96):
        self.dir = art_dir
        self.dpi = dpi
        self._cache: dict[str, tuple[list[Image.Image], Image.Image, int]] = {}

    def _stored(self, number: int, dpi: int) -> Image.Image:
        # The 1x folder holds each bitmap as BMP or as PNG, a larger set's as PNG.
        folder = self.dir if dpi == 96 else self.dir / str(dpi)
        for suffix in (".bmp", ".png"):
            path = folder / f"{number}{suffix}"
            if path.exists():
                with Image.open(path) as image:
                    return image.convert("RGB")
        raise z.E2EError(f"no bitmap {number} in {folder}")

    def _bitmap(self, number: int) -> Image.Image:
        if self.dpi in ART_SETS:
            return self._stored(number, self.dpi)
        # Between and above the sets the panel makes its pictures from the
        # nearest larger set by area averaging; so does this.
        source = next((d for d in ART_SETS if d >= self.dpi), ART_SETS[-1])
        w, h = self._stored(number, 96).size
        return area_resize(self._stored(number, source), (z.scaled(w, self.dpi), z.scaled(h, self.dpi)))

    def page(self, page: str) -> tuple[list[Image.Image], Image.Image, int]:
        """The three backgrounds, the mask of the wording pixels, their count."""
        if page not in self._cache:
            images = [self._bitmap(n) for n in BACKGROUNDS[page]]
            mask = None
            for a, b in ((0, 1), (0, 2), (1, 2)):
                differs = _differs(images[a], images[b])
                mask = differs if mask is None else ImageChops.lighter(mask, differs)
            count = mask.histogram()[255]
            self._cache[page] = (images, mask, count)
        return self._cache[page]


def _differs(a: Image.Image, b: Image.Image, tolerance: int = 0) -> Image.Image:
    """255 where any channel of a and b differs by more than tolerance, else 0."""
    bands = ImageChops.difference(a, b).split()
    largest = ImageChops.lighter(ImageChops.lighter(bands[0], bands[1]), bands[2])
    return largest.point(lambda v: 255 if v > tolerance else 0)


def language_shares(shot: Path, rect: z.Rect, art: Artwork, page: str) -> list[float]:
    """For each language, the share of the page's wording pixels on screen
    that equal that language's background."""
    images, mask, count = art.page(page)
    with Image.open(shot) as screen:
        area = screen.convert("RGB").crop((rect.left, rect.top, rect.right, rect.bottom))
    if area.size != images[0].size or count == 0:
        raise z.E2EError(f"the {page} page on screen is {area.size}, its artwork {images[0].size}")
    shares = []
    for image in images:
        equal = _differs(area, image, tolerance=8).point(lambda v: 255 - v)
        shares.append(ImageChops.multiply(equal, mask).histogram()[255] / count)
    return shares


def show(path: Path) -> str:
    """A path as the person reads it: relative to the project when inside."""
    try:
        return str(path.relative_to(ROOT))
    except ValueError:
        return str(path)


class Run:
    def __init__(self, bin_dir: Path, art_dir: Path, out: Path, total: int, dpi: int = 96):
        self.bin = bin_dir
        self.art = Artwork(art_dir, dpi)
        self.out = out
        self.total = total
        self.number = 0
        self.panel = z.Panel(bin_dir, log_path=out / "panel.log")

    def step(self, title: str, action: Callable[[], str]) -> None:
        """Runs one step; prints its line, or raises naming the step."""
        self.number += 1
        started = time.monotonic()
        try:
            detail = action()
        except (z.E2EError, OSError, ValueError, subprocess.TimeoutExpired) as error:
            raise StepFailed(self.number, self.total, title, error) from error
        print(f"[guided] {self.number:2}/{self.total} {title}: {detail} ({time.monotonic() - started:.1f} s)",
              flush=True)

    def shot(self, name: str) -> Path:
        return z.screenshot(self.out, name)

    def expect_language(self, page: str, language: int, name: str) -> Path:
        """Waits until the page shows its background in `language`; keeps the
        screenshot that proved it as out/name."""
        rect = z.page_rect(self.bin, page)
        z.expect(rect is not None, f"the {page} page has no window")
        seen: list[float] = []

        def shows_language():
            path = self.shot(name)
            seen[:] = language_shares(path, rect, self.art, page)
            others = [s for i, s in enumerate(seen) if i != language]
            return seen[language] >= MATCH_SHARE and seen[language] >= max(others) + MATCH_LEAD
        try:
            z.wait_until(shows_language, 15, interval=0.2,
                         what=f"the {page} page's {LANGUAGES[language][1]} artwork on screen")
        except z.E2EError as error:
            if not seen:
                raise
            shares = ", ".join(f"{code} {share:.0%}" for (code, _), share in zip(LANGUAGES, seen))
            raise z.E2EError(f"{error} (wording pixels matching: {shares})") from error
        return self.out / name

    # -- the steps

    def no_other_panel(self) -> str:
        # Its tray icon would stand beside ours.
        z.wintool(self.bin, "kill", timeout=60)
        z.expect(not z.wintool(self.bin, "visible").strip(), "a page of another panel is still visible")
        return "none runs now"

    def start(self) -> str:
        self.panel.start()
        x, y = self.panel.wait_for_tray_icon()
        z.expect(z.visible_pages(self.bin) == [], "a page is visible before the icon was clicked")
        self.shot("00-tray.png")
        return f"only its icon, in the notification area at ({x}, {y})"

    def first_click(self) -> str:
        self.panel.click_tray_icon()
        z.wait_page(self.bin, "main")
        rect = z.page_rect(self.bin, "main")
        z.expect((rect.left, rect.top) == (0, 0), f"the Main page came up at {rect}, not at the top-left corner")
        stored = z.reg_query(CPL, "language")
        if stored in ("0", "1", "2"):
            self.expect_language("main", int(stored), "01-first-click.png")
            return f"Main page at the top-left corner, in {LANGUAGES[int(stored)][1]}"
        self.shot("01-first-click.png")
        return f"Main page at the top-left corner (stored language {stored!r})"

    def move_away(self) -> str:
        rect = z.drag_page(self.bin, "main", *DRAG)
        tray = z.tray_icons(self.bin)
        z.expect(tray, "the tray icon is gone after the drag")
        icon = tray[-1]
        z.expect(icon.right <= rect.left or icon.bottom <= rect.top,
                 f"the Main page at {rect} still covers the tray icon at {icon}")
        return f"Main page dragged by its background to ({rect.left}, {rect.top}), the tray icon is clear"

    def switch_language(self, number: int, page: str) -> str:
        code, name = LANGUAGES[number]
        menu_shot = f"menu-{code}.png"

        def photograph(menus: list[z.Rect]) -> None:
            z.expect(len(menus) == 2, f"{len(menus)} menus open instead of the menu and its language submenu")
            self.shot(menu_shot)
        self.panel.tray_menu(z.TRAY_MENU_LANGUAGE, number, attempts=MENU_ATTEMPTS, before_click=photograph)
        z.wait_until(lambda: z.reg_query(CPL, "language") == str(number), 15, what=f"language {number} stored")
        z.wait_page(self.bin, page)
        self.expect_language(page, number, f"{code}-{page}.png")
        return f"tray menu ({show(self.out / menu_shot)}) -> {name}; the {TITLES[page]} page redrawn in it"

    def visit(self, current: str, page: str, number: int) -> str:
        code, name = LANGUAGES[number]
        rect = z.switch(self.bin, current, page)
        path = self.expect_language(page, number, f"{code}-{page}.png")
        return f"alone at ({rect.left}, {rect.top}), {name} artwork on screen -> {show(path)}"

    def exit(self) -> str:
        def photograph(menus: list[z.Rect]) -> None:
            self.shot("menu-exit.png")
        self.panel.tray_menu(z.TRAY_MENU_EXIT, attempts=MENU_ATTEMPTS, before_click=photograph)
        code = self.panel.wait_exit(30)
        z.expect(code is not None, "Zephrin.exe still runs 30 s after Exit")
        z.wait_until(lambda: z.tray_icons(self.bin) == [], 15, what="the tray icon to go")
        z.expect(z.visible_pages(self.bin) == [], "a page is still visible after Exit")
        self.shot("99-after-exit.png")
        return f"Zephrin.exe ended (code {code}), its icon is gone"


class StepFailed(Exception):
    def __init__(self, number: int, total: int, title: str, error: Exception):
        super().__init__(f"step {number}/{total} ({title}) failed: {error}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", required=True, type=Path, help="the build's bin folder")
    parser.add_argument("--art", required=True, type=Path, help="the build's artwork folder")
    parser.add_argument("--out", required=True, type=Path, help="folder for the screenshots (emptied first)")
    parser.add_argument("--dpi", type=int, default=96, help="the display scale the machine runs at (96 = 100 %%)")
    args = parser.parse_args()
    z.DPI = args.dpi
    for name in ("WINEPREFIX", "DISPLAY"):
        if not os.environ.get(name):
            raise SystemExit(f"{name} is not set: start the guided run with scripts/run")
    z.require_tools("xdotool", "xwininfo", "import")
    out = args.out.resolve()
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)

    total = 4 + len(LANGUAGES) * (1 + len(ROUND)) + 1
    run = Run(args.bin.resolve(), args.art.resolve(), out, total, args.dpi)
    print(f"[guided] {total} steps at {args.dpi} DPI; screenshots go to {out}", flush=True)
    try:
        # A panel left over from an earlier run would own the tray icon.
        run.step("end a panel left over from an earlier run", run.no_other_panel)
        run.step("start Zephrin.exe", run.start)
        run.step("click the tray icon", run.first_click)
        run.step("move the panel off the notification area", run.move_away)
        current = "main"
        for number, (_, name) in enumerate(LANGUAGES):
            run.step(f"switch to {name}", lambda: run.switch_language(number, current))
            for page in ROUND:
                run.step(f"{TITLES[page]} page ({name})", lambda: run.visit(current, page, number))
                current = page
        run.step("Exit from the tray menu", run.exit)
    except StepFailed as failure:
        print(f"[guided] FAILED: {failure}", file=sys.stderr, flush=True)
        try:
            run.shot("failed.png")
            print(f"[guided] the screen at the failure: {out / 'failed.png'}; the panel's output: "
                  f"{out / 'panel.log'}", file=sys.stderr, flush=True)
        except z.E2EError:
            pass
        run.panel.kill()
        return 1
    finally:
        run.panel._close_log()
    print(f"[guided] all {total} steps passed; screenshots in {out}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
