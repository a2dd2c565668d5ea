"""The real panel at 100 %, 125 %, 150 %, 200 % and 250 % display scale, and
moved between scales, with real X input.

At each scale (the prefix's LogPixels, the Wine server restarted so that every
program, the notification area's too, starts at it), on a virtual display of
its own that is large enough for the 250 % pages:

- every page's window has the scaled size and shape: outside its outline the
  screen shows what lay beneath it, inside it shows the generated background
  of that scale wherever no control covers it;
- every control's rectangle is the scaled one of 96 DPI;
- every click of the pages' click maps, at its scaled point, does what it
  does at 96 DPI: one table, run at every scale (the run at 96 DPI gives each
  click's result; every click must change the value it changes);
- the Info page's labels are drawn in a font of the scaled height;
- at 200 % the master knob, an equalizer band and the crossover slider,
  dragged along the scaled path, end where the same drag ends at 100 %.

Then, at 100 %, WM_DPICHANGED as Windows sends it (wintool writes the
suggested rectangle into the panel's memory): to the shown page (it re-skins
at 200 % where it was), to a hidden one (it shows at its new scale when
next shown), and back to 96 DPI, after which every page shows exactly its
100 % pixels again.

Whatever happens, the prefix is put back at 96 DPI and the suite's server is
restarted on the suite's display at the end."""

import math
import os
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

from PIL import Image, ImageChops, ImageDraw

sys.path.insert(0, str(Path(__file__).resolve().parent))
import zephrin_e2e as z  # noqa: E402
from area_average import area_resize  # noqa: E402

# 250 % lies above the largest art set: its pictures are made from 200 %.
DPIS = (96, 120, 144, 192, 240)
ART_SETS = (96, 144, 192)
SCREEN = "2880x1800"
DESKTOP = r"HKCU\Control Panel\Desktop"
PLACE = (300, 240)  # where the Main page is dragged (screen pixels), away from the tray
HIFI = z.REG_ROOT + r"\Hifi"
DIGITAL = z.REG_ROOT + r"\Digital"
CPL = z.REG_ROOT + r"\CPL"
# Backgrounds by page, in English (language 2).
BACKGROUND = {"main": 138, "hifi": 244, "digital": 129, "info": 135, "hp": 324}
ROUND = ("hifi", "digital", "hp", "info", "main")
CARD_ENDPOINT = "VANTIR Digital Output (S/PDIF)"
TBM_GETPOS = 0x400
IDC_MASTER_KNOB = 1022
IDC_HIFI_BAND_5 = 1038
IDC_HP_CROSSOVER = 1086
IDC_INFO_COPYRIGHT = 1025


def expect(condition, message):
    if not condition:
        raise z.E2EError(message)


# ---------------------------------------------------------------------------
# The machine at a scale


class ScaledMachine:
    """A virtual display of its own and the prefix's display scale; closing
    it puts the prefix back at 96 DPI and the suite's server on the suite's
    display."""

    def __init__(self, bin_dir: Path):
        self.bin = bin_dir
        self.suite_display = os.environ["DISPLAY"]
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", SCREEN + "x24",
                                      "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        expect(number, "the virtual display for the scaled runs did not start")
        self.display = ":" + number

    def use(self, dpi: int) -> None:
        """The prefix at `dpi`; every program started from now on runs at it,
        on this machine's display."""
        if dpi == 96:
            z.reg_delete_value(DESKTOP, "LogPixels")
        else:
            z.reg_add(DESKTOP, "LogPixels", str(dpi), "REG_DWORD")
        os.environ["DISPLAY"] = self.display
        self._restart_server()
        z.DPI = dpi

    def _restart_server(self) -> None:
        # The notification area's process reads the scale when it starts too.
        subprocess.run(["wineserver", "-k"], env=z.wine_env(), capture_output=True)
        subprocess.run(["wineserver", "-w"], env=z.wine_env(), capture_output=True)
        subprocess.Popen(["wineserver", "-p"], env=z.wine_env(), stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        # The first program with windows starts Wine's desktop process, which
        # stays: it must not hold the pipes of the commands that read output.
        subprocess.run(["wine", str(self.bin / "wintool.exe"), "visible"], env=z.wine_env(),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)

    def close(self) -> None:
        z.reg_delete_value(DESKTOP, "LogPixels")
        os.environ["DISPLAY"] = self.suite_display
        self._restart_server()
        z.DPI = 96
        self.xvfb.kill()
        self.xvfb.wait()


# ---------------------------------------------------------------------------
# What the build drew, at a scale


class Art:
    def __init__(self, art_dir: Path):
        self.dir = art_dir
        self._made: dict[tuple[int, int], Image.Image] = {}

    def _stored(self, number: int, dpi: int) -> Image.Image:
        folder = self.dir if dpi == 96 else self.dir / str(dpi)
        for suffix in (".bmp", ".png"):
            path = folder / f"{number}{suffix}"
            if path.exists():
                with Image.open(path) as image:
                    return image.convert("RGB")
        raise z.E2EError(f"no picture {number} in {folder}")

    def picture(self, number: int, dpi: int) -> Image.Image:
        """The picture at `dpi`: a set's own, else made from the nearest
        larger set by area averaging, as the panel makes it."""
        key = (number, dpi)
        if key not in self._made:
            if dpi in ART_SETS:
                self._made[key] = self._stored(number, dpi)
            else:
                source = next((d for d in ART_SETS if d >= dpi), ART_SETS[-1])
                w, h = self._stored(number, 96).size
                self._made[key] = area_resize(self._stored(number, source), (z.scaled(w, dpi), z.scaled(h, dpi)))
        return self._made[key]


def see_through(picture: Image.Image) -> Image.Image:
    r, g, b = picture.split()
    m = ImageChops.multiply(r.point(lambda v: 255 if v == 0 else 0), g.point(lambda v: 255 if v == 0 else 0))
    return ImageChops.multiply(m, b.point(lambda v: 255 if v == 255 else 0))


def differing(a: Image.Image, b: Image.Image, tolerance: int) -> Image.Image:
    bands = ImageChops.difference(a, b).split()
    most = ImageChops.lighter(ImageChops.lighter(bands[0], bands[1]), bands[2])
    return most.point(lambda v: 255 if v > tolerance else 0)


# ---------------------------------------------------------------------------
# The panel from outside


def controls(bin_dir: Path, page: str) -> dict[int, tuple[int, int, int, int]]:
    """Every visible control of a page: id -> (left, top, right, bottom) from the page's top-left."""
    found = {}
    for line in z.wintool(bin_dir, "controls", page).splitlines():
        numbers = [int(v) for v in line.split()]
        if len(numbers) == 5:
            found[numbers[0]] = tuple(numbers[1:])
    return found


def scaled_rect(r: tuple[int, int, int, int], dpi: int) -> tuple[int, int, int, int]:
    """A control's rectangle at `dpi`: its top-left and its size, each scaled."""
    left, top = z.scaled(r[0], dpi), z.scaled(r[1], dpi)
    return left, top, left + z.scaled(r[2] - r[0], dpi), top + z.scaled(r[3] - r[1], dpi)


def page_shot(artefacts: Path, name: str, rect: z.Rect) -> Image.Image:
    path = z.screenshot(artefacts, name)
    with Image.open(path) as screen:
        return screen.convert("RGB").crop((rect.left, rect.top, rect.right, rect.bottom))


def endpoint_mute(bin_dir: Path, card: bool) -> int:
    for line in z.run_wine(bin_dir / "castool.exe", "list").stdout.splitlines():
        fields = line.split("\t")
        if len(fields) < 8 or fields[1] != "render":
            continue
        if (card and fields[7] == CARD_ENDPOINT) or (not card and fields[3] == "default"):
            return int(fields[6])
    raise z.E2EError("endpoint not listed")


# A click of a page's click map: the point at 96 DPI (from the page's
# top-left) and what it changes.
@dataclass
class Click:
    page: str
    x: int
    y: int
    probe: tuple
    what: str


CLICKS = (
    Click("main", 112, 221, ("mute", False), "master mute"),
    Click("main", 600, 221, ("mute", True), "digital mute"),
    Click("main", 445, 143, ("card", "spkData"), "output switch"),
    Click("hifi", 68, 51, ("reg", HIFI, "isDrySoundOn"), "master switch"),
    Click("hifi", 94, 86, ("reg", HIFI, "InitialButtonOn"), "bass and treble"),
    Click("hifi", 214, 88, ("reg", HIFI, "InitialButtonOn"), "region styles"),
    Click("hifi", 213, 205, ("reg", HIFI, "RegionStyle"), "fourth region style"),
    Click("hifi", 405, 86, ("reg", HIFI, "InitialButtonOn"), "built-in presets"),
    Click("hifi", 499, 182, ("reg", HIFI, "EQPreset"), "a preset of the middle column"),
    Click("hifi", 589, 160, ("reg", HIFI, "EQPreset"), "a preset of the right column"),
    Click("hifi", 72, 286, ("reg", HIFI, "InitialButtonOn"), "equalizer"),
    Click("hifi", 484, 286, ("reg", HIFI, "RoomEnable"), "room switch"),
    Click("hifi", 629, 345, ("reg", HIFI, "RoomSize"), "room selector, lower third"),
    Click("hifi", 629, 318, ("reg", HIFI, "RoomSize"), "room selector, middle third"),
    Click("hifi", 629, 290, ("reg", HIFI, "RoomSize"), "room selector, upper third"),
    Click("hifi", 484, 387, ("reg", HIFI, "ENVEnable"), "environment switch"),
    Click("hifi", 642, 446, ("reg", HIFI, "Environment"), "next environment"),
    Click("hifi", 642, 421, ("reg", HIFI, "Environment"), "previous environment"),
    Click("digital", 72, 52, ("reg", DIGITAL, "DigitalOutSr"), "digital output on"),
    Click("digital", 515, 128, ("reg", DIGITAL, "DigitalOutSr"), "rate, upper left"),
    Click("digital", 570, 128, ("reg", DIGITAL, "DigitalOutSr"), "rate, upper right"),
    Click("digital", 570, 170, ("reg", DIGITAL, "DigitalOutSr"), "rate, lower right"),
    Click("digital", 515, 170, ("reg", DIGITAL, "DigitalOutSr"), "rate, lower left"),
    Click("hp", 464, 145, ("card", "largeSpeakers"), "speaker switch"),
    Click("hp", 608, 145, ("card", "impedanceMode"), "impedance switch"),
    Click("hp", 116, 63, ("card", "flexBass"), "flex bass"),
)


def read_probe(bin_dir: Path, probe: tuple):
    kind = probe[0]
    if kind == "reg":
        return z.reg_query(probe[1], probe[2])
    if kind == "card":
        return z.simcard_get(bin_dir, probe[1])
    return endpoint_mute(bin_dir, probe[1])


def set_initial_state(bin_dir: Path) -> None:
    """The same machine state before every scale's run."""
    z.run_wine(bin_dir / "wintool.exe", "kill", check=False)
    z.reg_add(CPL, "language", "2")
    for name, value in (("isDrySoundOn", "0"), ("InitialButtonOn", "-1"), ("RegionStyle", "0"), ("EQPreset", "0"),
                        ("RoomEnable", "0"), ("RoomSize", "0"), ("ENVEnable", "0"), ("Environment", "0"),
                        ("Customize", "0"), ("eq_5", "0")):
        z.reg_add(HIFI, name, value)
    z.reg_add(DIGITAL, "DigitalOutSr", "0")
    z.simcard(bin_dir, "reset")
    z.simcard(bin_dir, "set", "crossover", "150")
    z.run_wine(bin_dir / "castool.exe", "scenario", "default")
    z.run_wine(bin_dir / "castool.exe", "set-level", "default", "all", "0.4")


# ---------------------------------------------------------------------------
# One scale


class ScaleRun:
    def __init__(self, bin_dir: Path, artefacts: Path, art: Art):
        self.bin = bin_dir
        self.out = artefacts
        self.art = art
        self.controls96: dict[str, dict] = {}
        # Every page as it first showed at each scale, controls and all.
        self.pages: dict[tuple[str, int], Image.Image] = {}
        self.results96: list = []
        self.drags96: Optional[list] = None
        self.ink96 = (0, 0)

    def page_rect(self, page: str) -> z.Rect:
        rect = z.page_rect(self.bin, page)
        expect(rect is not None, f"no {page} page")
        return rect

    def check_page(self, page: str, dpi: int, beneath: Image.Image) -> None:
        rect = self.page_rect(page)
        expect((rect.width, rect.height) == z.page_size(page, dpi),
               f"{dpi} DPI: the {page} page is {rect.width}x{rect.height}, not {z.page_size(page, dpi)}")
        found = controls(self.bin, page)
        if dpi == 96:
            self.controls96[page] = found
        else:
            expect(set(found) == set(self.controls96[page]), f"{dpi} DPI: {page} shows other controls than at 96 DPI")
            for cid, r96 in self.controls96[page].items():
                expect(found[cid] == scaled_rect(r96, dpi),
                       f"{dpi} DPI: control {cid} of {page} at {found[cid]}, not {scaled_rect(r96, dpi)}")
        shot = page_shot(self.out, f"scaled-{dpi}-{page}.png", rect)
        self.pages[(page, dpi)] = shot
        fault = self.background_fault(shot, page, dpi, BACKGROUND[page], found, rect, beneath)
        expect(not fault, f"{dpi} DPI: {fault} (see scaled-{dpi}-{page}.png)")

    def background_fault(self, shot, page, dpi, background_id, found, rect, beneath) -> Optional[str]:
        """What is wrong with a page's screenshot: where it differs from its
        background inside its outline (controls left out), or hides the
        screen outside it; None when nothing is."""
        background = self.art.picture(background_id, dpi)
        outside = see_through(background)
        covered = Image.new("L", shot.size, 0)
        draw = ImageDraw.Draw(covered)
        for r in found.values():
            draw.rectangle((r[0], r[1], r[2] - 1, r[3] - 1), fill=255)
        # Made by area averaging here and in the panel, in floating point
        # both: a step of colour apart at most.
        inside = ImageChops.subtract(ImageChops.invert(outside), covered)
        wrong = ImageChops.multiply(differing(shot, background, 0 if dpi in ART_SETS else 1), inside)
        if wrong.getbbox():
            return f"the {page} page differs from background {background_id} at {wrong.getbbox()}"
        under = beneath.crop((rect.left, rect.top, rect.right, rect.bottom))
        wrong = ImageChops.multiply(differing(shot, under, 0), outside)
        if wrong.getbbox():
            return f"outside its outline the {page} page hides the screen at {wrong.getbbox()}"
        return None

    def languages(self, panel, dpi: int, beneath: Image.Image) -> None:
        """The Main page on show switched to Simplified Chinese and back to
        English from the tray menu: it comes to show exactly the new
        background (only the wording changes), and a hidden page shows its
        own when next shown."""
        for number, main_id, digital_id in ((1, 139, 130), (2, 138, 129)):
            panel.tray_menu(z.TRAY_MENU_LANGUAGE, number)
            z.wait_until(lambda: z.reg_query(CPL, "language") == str(number), 15, what=f"language {number} stored")
            rect = self.page_rect("main")
            found = controls(self.bin, "main")
            faults = []

            def shows_new_background():
                shot = page_shot(self.out, f"scaled-{dpi}-main-language-{number}.png", rect)
                faults[:] = [self.background_fault(shot, "main", dpi, main_id, found, rect, beneath)]
                return faults[0] is None
            # The repaint follows the switch: what the screen shows is looked
            # at until it is the new background, or the time is up.
            try:
                z.wait_until(shows_new_background, 10, interval=0.2, what="the new background")
            except z.E2EError:
                expect(False, f"{dpi} DPI, language {number}: {faults[0]}")
            z.switch(self.bin, "main", "digital")
            rect = self.page_rect("digital")
            shot = page_shot(self.out, f"scaled-{dpi}-digital-language-{number}.png", rect)
            fault = self.background_fault(shot, "digital", dpi, digital_id, controls(self.bin, "digital"), rect, beneath)
            expect(not fault, f"{dpi} DPI, language {number}: {fault}")
            z.switch(self.bin, "digital", "main")

    def ink(self, dpi: int) -> tuple[int, int]:
        """Width and height of the copyright line's text on the Info page."""
        page = self.page_rect("info")
        r = controls(self.bin, "info")[IDC_INFO_COPYRIGHT]
        shot = page_shot(self.out, f"scaled-{dpi}-info-label.png", page).crop(r)
        box = shot.convert("L").point(lambda v: 255 if v > 120 else 0).getbbox()
        expect(box, f"{dpi} DPI: no text in the copyright label")
        return box[2] - box[0], box[3] - box[1]

    def click_map(self, dpi: int) -> list:
        results = []
        current = "main"
        for step, c in enumerate(CLICKS):
            if c.page != current:
                z.switch(self.bin, current, c.page)
                current = c.page
            before = read_probe(self.bin, c.probe)
            rect = self.page_rect(c.page)
            z.click(rect.left + z.scaled(c.x, dpi), rect.top + z.scaled(c.y, dpi))
            after = z.wait_until(lambda: (v := read_probe(self.bin, c.probe)) != before and (v,), 10,
                                 what=f"{dpi} DPI: the click on {c.what} ({c.page}) to change {c.probe[-1]}")[0]
            if dpi != 96:
                expect(after == self.results96[step],
                       f"{dpi} DPI: the click on {c.what} gave {c.probe[-1]} {after!r}, at 96 DPI "
                       f"{self.results96[step]!r}")
            results.append(after)
        z.switch(self.bin, current, "main")
        return results

    def drags(self, dpi: int) -> list:
        """The master knob along an arc, the 1 kHz band down, the crossover left."""
        def at(page, x, y):
            rect = self.page_rect(page)
            return rect.left + z.scaled(x, dpi), rect.top + z.scaled(y, dpi)
        ends = []
        # Knob: from 8 o'clock clockwise round its centre (115, 134), one
        # step a move.
        arc = [(115 + round(18 * math.cos(a / 10)), 134 + round(18 * math.sin(a / 10))) for a in range(26, 44)]
        points = [at("main", x, y) for x, y in arc]
        z.mouse_move(*points[0])
        z._x("xdotool", "mousedown", "1")
        for p in points[1:]:
            z.mouse_move(*p)
            time.sleep(0.03)
        z._x("xdotool", "mouseup", "1")
        time.sleep(0.3)
        ends.append(int(z.wintool(self.bin, "sendto", "main", str(IDC_MASTER_KNOB), str(TBM_GETPOS)).strip()))
        z.switch(self.bin, "main", "hifi")
        # The band's thumb rests at 0 dB (row 68 of the 137-pixel groove).
        x0, y0 = at("hifi", 275, 309 + 68)
        x1, y1 = at("hifi", 275, 309 + 108)
        z.drag(x0, y0, x1, y1, steps=8)
        ends.append(z.wait_until(lambda: z.reg_query(HIFI, "eq_5") not in (None, "0") and z.reg_query(HIFI, "eq_5"),
                                 10, what="the band's value"))
        z.switch(self.bin, "hifi", "hp")
        # The crossover thumb at 150 Hz: x 226 of the page.
        x0, y0 = at("hp", 226, 156)
        x1, y1 = at("hp", 166, 156)
        z.drag(x0, y0, x1, y1, steps=6)
        ends.append(z.wait_until(lambda: (v := z.simcard_get(self.bin, "crossover")) != 150 and (v,), 10,
                                 what="the crossover to change")[0])
        z.switch(self.bin, "hp", "main")
        return ends

    def run(self, dpi: int) -> None:
        z.log(f"--- {dpi} DPI")
        set_initial_state(self.bin)
        panel = z.Panel(self.bin, log_path=self.out / f"scaled-{dpi}-panel.log").start()
        try:
            panel.wait_for_tray_icon()
            beneath = Image.open(z.screenshot(self.out, f"scaled-{dpi}-beneath.png")).convert("RGB")
            panel.click_tray_icon()
            z.wait_page(self.bin, "main")
            z.drag_page(self.bin, "main", *PLACE)
            self.check_page("main", dpi, beneath)
            current = "main"
            for page in ROUND:
                z.switch(self.bin, current, page)
                current = page
                if page != "main":
                    self.check_page(page, dpi, beneath)
                if page == "info":
                    # The label's font at the scaled size: its line as wide
                    # as at 96 DPI, scaled (within what the glyphs' hinting
                    # moves, 4 %), and no lower. (The font's height itself is
                    # checked where the label hands it out: controls_tests.)
                    w, h = self.ink(dpi)
                    if dpi == 96:
                        self.ink96 = (w, h)
                    else:
                        w96, h96 = self.ink96
                        expect(abs(w - z.scaled(w96, dpi)) <= max(2, z.scaled(w96, dpi) // 25) and h > h96,
                               f"{dpi} DPI: label text {w}x{h} pixels, at 96 DPI {w96}x{h96}")
            results = self.click_map(dpi)
            if dpi == 96:
                self.results96 = results
            if dpi in (96, 192):
                ends = self.drags(dpi)
                if dpi == 96:
                    self.drags96 = ends
                else:
                    expect(ends == self.drags96, f"drags at 200 % ended at {ends}, at 100 % at {self.drags96}")
                self.languages(panel, dpi, beneath)
            z.log(f"{dpi} DPI: pages, {len(CLICKS)} clicks" + (", drags" if dpi in (96, 192) else "") + " as at 96 DPI")
        finally:
            panel.stop()


# ---------------------------------------------------------------------------
# Moving between scales


def dpi_changes(bin_dir: Path, artefacts: Path, art: Art, run: ScaleRun) -> None:
    z.log("--- WM_DPICHANGED")
    set_initial_state(bin_dir)
    panel = z.Panel(bin_dir, log_path=artefacts / "dpichanged-panel.log").start()
    try:
        panel.wait_for_tray_icon()
        panel.click_tray_icon()
        z.wait_page(bin_dir, "main")
        z.drag_page(bin_dir, "main", *PLACE)
        # Every page at 100 %, as it shows before any change.
        before = {}
        current = "main"
        for page in ROUND:
            z.switch(bin_dir, current, page)
            current = page
            before[page] = page_shot(artefacts, f"dpichanged-before-{page}.png", run.page_rect(page))
        place = run.page_rect("main")

        # The shown page to 200 %: re-skinned where it was.
        z.wintool(bin_dir, "dpichanged", "main", "192", "96")
        rect = run.page_rect("main")
        expect((rect.left, rect.top) == (place.left, place.top), f"the Main page moved to {rect} at 200 %")
        z.DPI = 192
        check_scaled(run, "main", 192, art, artefacts)
        # Hidden pages show at the new scale.
        z.switch(bin_dir, "main", "hifi")
        check_scaled(run, "hifi", 192, art, artefacts)
        # A hidden page told of a scale of its own takes it when shown.
        z.wintool(bin_dir, "dpichanged", "digital", "144", "96")
        z.DPI = 144
        z.switch(bin_dir, "hifi", "digital")
        check_scaled(run, "digital", 144, art, artefacts)
        # Back to 96 DPI: every page exactly as before.
        z.wintool(bin_dir, "dpichanged", "digital", "96", "144")
        z.DPI = 96
        current = "digital"
        for page in ("digital", "hp", "info", "main", "hifi"):
            if page != current:
                z.switch(bin_dir, current, page)
                current = page
            after = page_shot(artefacts, f"dpichanged-after-{page}.png", run.page_rect(page))
            wrong = differing(after, before[page], 0).getbbox()
            expect(not wrong, f"back at 96 DPI the {page} page differs from before at {wrong}")
        z.log("WM_DPICHANGED: shown and hidden pages at 200 % and 150 %, all back to their 100 % pixels")
    finally:
        panel.stop()


def check_scaled(run: ScaleRun, page: str, dpi: int, art: Art, artefacts: Path) -> None:
    """Size, control rectangles and background of a page re-skinned at `dpi`."""
    rect = run.page_rect(page)
    expect((rect.width, rect.height) == z.page_size(page, dpi), f"{page} is {rect.width}x{rect.height} at {dpi} DPI")
    found = controls(run.bin, page)
    for cid, r96 in run.controls96[page].items():
        expect(found.get(cid) == scaled_rect(r96, dpi),
               f"{dpi} DPI by WM_DPICHANGED: control {cid} of {page} at {found.get(cid)}, not {scaled_rect(r96, dpi)}")
    shot = page_shot(artefacts, f"dpichanged-{dpi}-{page}.png", rect)
    # Controls and all, as the page showed when the panel started at that scale.
    started = run.pages.get((page, dpi))
    if started is not None:
        wrong = differing(shot, started, 0).getbbox()
        expect(not wrong, f"{dpi} DPI by WM_DPICHANGED: the {page} page differs from the one started at {dpi} DPI "
                          f"at {wrong}")
    background = art.picture(BACKGROUND[page], dpi)
    covered = Image.new("L", shot.size, 0)
    draw = ImageDraw.Draw(covered)
    for r in found.values():
        draw.rectangle((r[0], r[1], r[2] - 1, r[3] - 1), fill=255)
    inside = ImageChops.subtract(ImageChops.invert(see_through(background)), covered)
    wrong = ImageChops.multiply(differing(shot, background, 0), inside).getbbox()
    expect(not wrong, f"{dpi} DPI by WM_DPICHANGED: the {page} page differs from its background at {wrong}")


def main():
    args = z.parse_args(description=__doc__)
    z.require_tools("xdotool", "xwininfo", "import", "Xvfb")
    art = Art(args.bin.parent / "art")
    run = ScaleRun(args.bin, args.artefacts, art)
    machine = ScaledMachine(args.bin)
    try:
        for dpi in DPIS:
            machine.use(dpi)
            run.run(dpi)
        machine.use(96)
        dpi_changes(args.bin, args.artefacts, art, run)
    finally:
        machine.close()


if __name__ == "__main__":
    z.run(main)
