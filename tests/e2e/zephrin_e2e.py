"""Helpers for end-to-end drivers that use the panel as a person would.

A driver runs on the host (Linux) with WINEPREFIX and DISPLAY taken from the
caller (scripts/test sets both) and is called with --bin <build>/bin and
--artefacts <build>/artefacts. It starts Zephrin.exe under Wine, finds the
panel's icon in Wine's own notification area ("Wine System Tray"), clicks and
drags with real X input (xdotool), takes screenshots of the virtual display
and reads the registry and the simulated card through console tools.

Only the Python standard library is used.

Typical driver:

    import zephrin_e2e as z

    args = z.parse_args()
    with z.Panel(args.bin) as panel:
        panel.wait_for_tray_icon()
        panel.click_tray_icon()
        z.wait_until(lambda: z.find_visible(args.bin, "main"), what="Main page shown")
        z.screenshot(args.artefacts, "main.png")
"""

from __future__ import annotations

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Iterable, Optional, TypeVar

T = TypeVar("T")

# The settings root of the panel in the machine hive.
REG_ROOT = r"HKLM\Software\Marvolin\VANTIR"

# Titles of the five pages' windows are empty; wintool finds them by the
# page's template (dialog id) instead. Page names as wintool understands them.
PAGES = ("main", "hifi", "digital", "info", "hp")

# Tray menu entries, top to bottom, as the pop-up shows them; the language
# submenu holds three.
TRAY_MENU_LANGUAGE = 0
TRAY_MENU_SHOW = 1
TRAY_MENU_EXPORT_SETTINGS = 2
TRAY_MENU_IMPORT_SETTINGS = 3
TRAY_MENU_IMPORT_EQUALIZER = 4
TRAY_MENU_EXIT = 5
TRAY_MENU_ENTRIES = 6
LANGUAGE_MENU_ENTRIES = 3


class E2EError(AssertionError):
    """A step of an end-to-end run did not happen as expected."""


# ---------------------------------------------------------------------------
# Command line and environment


def parse_args(argv: Optional[Iterable[str]] = None, description: str = "") -> argparse.Namespace:
    """--bin (the build's bin folder) and --artefacts (created if missing)."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--bin", required=True, type=Path, help="the build's bin folder")
    parser.add_argument("--artefacts", required=True, type=Path, help="folder for screenshots and logs")
    args = parser.parse_args(list(argv) if argv is not None else None)
    args.bin = args.bin.resolve()
    args.artefacts = args.artefacts.resolve()
    args.artefacts.mkdir(parents=True, exist_ok=True)
    global _BIN
    _BIN = args.bin
    for name in ("WINEPREFIX", "DISPLAY"):
        if not os.environ.get(name):
            raise SystemExit(f"{name} is not set: run the driver through scripts/test")
    return args


_BIN: Optional[Path] = None


def _default_bin() -> Path:
    if _BIN is None:
        raise E2EError("no bin folder: call parse_args() first or pass bin_dir")
    return _BIN


def wine_env() -> dict:
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    return env


def log(*parts) -> None:
    print("[e2e]", *parts, file=sys.stderr, flush=True)


def run(main: Callable[[], Optional[int]]) -> None:
    """Runs a driver's main and ends the process: exit code 0 when every step
    passed; a step that failed is logged with its message, exit code 1."""
    try:
        code = main()
    except E2EError as error:
        log("FAILED:", error)
        sys.exit(1)
    sys.exit(code or 0)


# ---------------------------------------------------------------------------
# Waiting


def wait_until(predicate: Callable[[], T], timeout: float = 10.0, interval: float = 0.1,
               what: str = "condition") -> T:
    """Calls predicate until it returns something truthy; returns that value.
    Raises E2EError naming `what` when the timeout passes. A probe whose
    Wine start stalls past its own time limit counts as "not yet"."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = predicate()
        except subprocess.TimeoutExpired:
            value = None
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


def wait_stable(probe: Callable[[], T], settle: float = 0.3, timeout: float = 10.0,
                what: str = "a steady value") -> T:
    """Waits until probe() returns the same value for `settle` seconds."""
    deadline = time.monotonic() + timeout
    last = probe()
    since = time.monotonic()
    while time.monotonic() < deadline:
        time.sleep(0.05)
        now = probe()
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= settle:
            return now
    raise E2EError(f"timed out after {timeout:.1f} s waiting for {what}")


# ---------------------------------------------------------------------------
# Windows programs


def run_wine(exe: Path | str, *args: str, timeout: float = 30.0, check: bool = True) -> subprocess.CompletedProcess:
    """Runs a Windows console program under wine and captures its output."""
    proc = subprocess.run(["wine", str(exe), *map(str, args)], env=wine_env(), capture_output=True,
                          timeout=timeout)
    proc.stdout = proc.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
    proc.stderr = proc.stderr.decode("utf-8", "replace").replace("\r\n", "\n")
    if check and proc.returncode != 0:
        raise E2EError(f"{Path(str(exe)).name} {' '.join(map(str, args))} failed ({proc.returncode}): "
                       f"{proc.stdout.strip()} {proc.stderr.strip()}")
    return proc


def simcard(bin_dir: Path, *args: str) -> str:
    """simcard.exe reset | set FIELD VALUE | get FIELD | journal | clear; its output."""
    return run_wine(bin_dir / "simcard.exe", *args).stdout


def simcard_get(bin_dir: Path, field: str) -> int:
    out = simcard(bin_dir, "get", field).strip()
    match = re.search(r"-?\d+", out)
    if not match:
        raise E2EError(f"simcard get {field}: unexpected output {out!r}")
    return int(match.group(0))


def wintool(bin_dir: Path, *args: str, check: bool = True, timeout: float = 30.0) -> str:
    """The Windows-side helper (tools/wintool): see its usage text."""
    return run_wine(bin_dir / "wintool.exe", *args, check=check, timeout=timeout).stdout


@dataclass
class Rect:
    left: int
    top: int
    right: int
    bottom: int

    @property
    def width(self) -> int:
        return self.right - self.left

    @property
    def height(self) -> int:
        return self.bottom - self.top

    def centre(self) -> tuple[int, int]:
        return ((self.left + self.right) // 2, (self.top + self.bottom) // 2)


def page_rect(bin_dir: Path, page: str) -> Optional[Rect]:
    """Screen rectangle of a page's window (visible or not), None if absent."""
    proc = run_wine(bin_dir / "wintool.exe", "rect", page, check=False)
    numbers = re.findall(r"-?\d+", proc.stdout)
    if proc.returncode != 0 or len(numbers) < 4:
        return None
    return Rect(*map(int, numbers[:4]))


def visible_pages(bin_dir: Path) -> list[str]:
    """Names of the panel's pages that are visible now."""
    out = wintool(bin_dir, "visible", check=False)
    return [word for word in out.split() if word in PAGES]


def find_visible(bin_dir: Path, page: str) -> bool:
    return visible_pages(bin_dir) == [page]


# ---------------------------------------------------------------------------
# Registry of the prefix


def reg_query(key: str, name: str) -> Optional[str]:
    """A value's data as text, or None when the key or value is missing.
    `key` is a full path such as REG_ROOT + r"\\CPL"."""
    proc = subprocess.run(["wine", "reg", "query", key, "/v", name], env=wine_env(), capture_output=True)
    if proc.returncode != 0:
        return None
    text = proc.stdout.decode("utf-8", "replace")
    for line in text.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
            return parts[2] if len(parts) == 3 else ""
    return None


def reg_add(key: str, name: str, value: str, kind: str = "REG_SZ") -> None:
    proc = subprocess.run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", value, "/f"],
                          env=wine_env(), capture_output=True)
    if proc.returncode != 0:
        raise E2EError(f"reg add {key} {name}: {proc.stderr.decode('utf-8', 'replace')}")


def reg_delete_value(key: str, name: str) -> None:
    subprocess.run(["wine", "reg", "delete", key, "/v", name, "/f"], env=wine_env(), capture_output=True)


# ---------------------------------------------------------------------------
# The X display: windows, input, screenshots


def _x(*cmd: str, check: bool = True) -> str:
    proc = subprocess.run(list(cmd), capture_output=True, text=True)
    if check and proc.returncode != 0:
        raise E2EError(f"{' '.join(cmd)} failed: {proc.stderr.strip()}")
    return proc.stdout


_TREE_LINE = re.compile(r'^\s*(0x[0-9a-f]+)\s+"(?P<title>[^"]*)".*?(?P<w>\d+)x(?P<h>\d+)\+(?P<rx>-?\d+)\+(?P<ry>-?\d+)'
                        r'\s+\+(?P<x>-?\d+)\+(?P<y>-?\d+)\s*$')


@dataclass
class XWindow:
    wid: str
    title: str
    x: int
    y: int
    width: int
    height: int


def x_windows() -> list[XWindow]:
    """Every named window of the X display, with absolute positions."""
    out = _x("xwininfo", "-root", "-tree")
    found = []
    for line in out.splitlines():
        match = _TREE_LINE.match(line)
        if match:
            found.append(XWindow(match.group(1), match.group("title"), int(match.group("x")),
                                 int(match.group("y")), int(match.group("w")), int(match.group("h"))))
    return found


def tray_window() -> Optional[XWindow]:
    """Wine's notification area, when it is mapped with a size."""
    for window in x_windows():
        if window.title == "Wine System Tray" and window.width > 1 and window.height > 1:
            info = _x("xwininfo", "-id", window.wid, check=False)
            if "IsViewable" in info:
                return window
    return None


def tray_icons(bin_dir: Path, timeout: float = 30.0) -> list[Rect]:
    """Screen rectangles of the icons in Wine's notification area (wintool
    reads them as the tray window's children)."""
    return _tray_icon_rects(wintool(bin_dir, "tray", check=False, timeout=timeout))


def _tray_icon_rects(answer: str) -> list[Rect]:
    """The icon rectangles of a `wintool tray` answer (after its yes/no line)."""
    lines = answer.splitlines()
    icons = []
    for line in lines[1:]:
        numbers = re.findall(r"-?\d+", line)
        if len(numbers) == 4:
            icons.append(Rect(*map(int, numbers)))
    return icons


def tray_icon_point(index: int = -1, bin_dir: Optional[Path] = None) -> Optional[tuple[int, int]]:
    """Screen point at the centre of a tray icon; the default is the last
    (most recently added) icon. bin_dir defaults to --bin of parse_args."""
    icons = tray_icons(bin_dir or _default_bin())
    if not icons:
        return None
    return icons[index].centre()


def open_menus(bin_dir: Path) -> list[Rect]:
    """Rectangles of the open pop-up menus, outermost first."""
    proc = run_wine(Path(bin_dir) / "wintool.exe", "menu", check=False, timeout=10.0)
    menus = []
    for line in proc.stdout.splitlines():
        numbers = re.findall(r"-?\d+", line)
        if len(numbers) == 4:
            menus.append(Rect(*map(int, numbers)))
    return menus


def menu_item_point(menu: Rect, index: int, count: int, border: int = 3) -> tuple[int, int]:
    """Centre of item `index` of a menu of `count` equally high text items."""
    inner = menu.height - 2 * border
    y = menu.top + border + inner * (2 * index + 1) // (2 * count)
    return (menu.left + menu.width // 2, y)


def mouse_location() -> tuple[int, int]:
    out = _x("xdotool", "getmouselocation")
    match = re.search(r"x:(-?\d+) y:(-?\d+)", out)
    if not match:
        raise E2EError(f"cannot read the pointer's position: {out!r}")
    return (int(match.group(1)), int(match.group(2)))


def mouse_move(x: int, y: int) -> None:
    # xdotool's --sync waits for the pointer to leave where it was, up to
    # 15 s: a move onto the spot the pointer already holds (a second click on
    # the tray icon) would stall for all of that.
    if mouse_location() == (x, y):
        return
    _x("xdotool", "mousemove", "--sync", str(x), str(y))


def click(x: int, y: int, button: int = 1) -> None:
    """A real X click: move there, press and release."""
    mouse_move(x, y)
    time.sleep(0.05)
    _x("xdotool", "click", str(button))


def drag(x0: int, y0: int, x1: int, y1: int, steps: int = 8, button: int = 1) -> None:
    """Press at (x0, y0), move in steps to (x1, y1), release there."""
    mouse_move(x0, y0)
    time.sleep(0.05)
    _x("xdotool", "mousedown", str(button))
    time.sleep(0.15)
    for i in range(1, steps + 1):
        mouse_move(x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
        time.sleep(0.04)
    time.sleep(0.1)
    _x("xdotool", "mouseup", str(button))


def key(*keys: str) -> None:
    _x("xdotool", "key", *keys)


def screenshot(artefacts: Path, name: str) -> Path:
    """Saves the whole display as artefacts/name (PNG)."""
    path = Path(artefacts) / name
    path.parent.mkdir(parents=True, exist_ok=True)
    _x("import", "-display", os.environ["DISPLAY"], "-window", "root", str(path))
    return path


def pixel(x: int, y: int) -> tuple[int, int, int]:
    """Colour of one screen pixel (red, green, blue)."""
    out = _x("import", "-display", os.environ["DISPLAY"], "-window", "root", "-crop", f"1x1+{x}+{y}",
             "-depth", "8", "txt:-")
    match = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    if not match:
        raise E2EError(f"cannot read pixel ({x}, {y}): {out!r}")
    return tuple(int(v) for v in match.groups())  # type: ignore[return-value]


# ---------------------------------------------------------------------------
# The panel


class Panel:
    """Zephrin.exe running under wine. Use as a context manager: leaving it
    ends the panel (Exit from the tray menu, then harder means)."""

    def __init__(self, bin_dir: Path, log_path: Optional[Path] = None):
        self.bin = Path(bin_dir)
        self.proc: Optional[subprocess.Popen] = None
        self._log_path = log_path
        self._log = None

    # -- life cycle

    def start(self) -> "Panel":
        out = subprocess.DEVNULL
        if self._log_path:
            self._log = open(self._log_path, "ab")
            out = self._log
        self.proc = subprocess.Popen(["wine", str(self.bin / "Zephrin.exe")], env=wine_env(), stdout=out,
                                     stderr=out, start_new_session=True)
        return self

    def running(self) -> bool:
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout: float = 15.0) -> Optional[int]:
        """The process's exit code, or None if it still runs after timeout."""
        if not self.proc:
            return 0
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self, timeout: float = 15.0) -> None:
        """Ends the panel: Exit through wintool (the tray menu's command),
        then a kill of the wine process group if it still runs."""
        if not self.running():
            self._close_log()
            return
        if (self.bin / "wintool.exe").exists():
            run_wine(self.bin / "wintool.exe", "exit", check=False, timeout=timeout)
        if self.wait_exit(timeout) is None:
            log("panel did not end by Exit; killing it")
            self.kill()
        self._close_log()

    def kill(self) -> None:
        if not self.proc:
            return
        try:
            os.killpg(self.proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.proc.wait(timeout=10)
        # The Windows process may outlive its wine launcher.
        run_wine(self.bin / "wintool.exe", "kill", check=False) if (self.bin / "wintool.exe").exists() else None

    def _close_log(self) -> None:
        if self._log:
            self._log.close()
            self._log = None

    def __enter__(self) -> "Panel":
        if not self.proc:
            self.start()
        return self

    def __exit__(self, *exc) -> None:
        self.stop()

    # -- the tray

    def wait_for_tray_icon(self, timeout: float = 40.0) -> tuple[int, int]:
        """Waits until the panel's icon is in the tray; returns its centre."""
        def ready():
            if not self.running():
                raise E2EError(f"Zephrin.exe ended early (code {self.proc.returncode})")
            # A stalled start of the query tool ends in a timeout, which the
            # wait takes as "not yet".
            answer = wintool(self.bin, "tray", check=False, timeout=10.0)
            if not answer.startswith("yes"):
                return None
            icons = _tray_icon_rects(answer)
            return icons[-1].centre() if icons else None
        return wait_until(ready, timeout, what="the panel's tray icon")

    def click_tray_icon(self, button: int = 1) -> None:
        point = tray_icon_point(bin_dir=self.bin)
        if not point:
            raise E2EError("the panel has no icon in the tray")
        click(*point, button=button)

    def focus_tray(self) -> None:
        """A click on an empty part of the notification area, beside the
        icons. With no window manager, a right click on the icon while the
        panel has the focus hands the focus to the tray window just after the
        panel opened its menu, and the menu closes at once; with the tray
        window already focused the menu stays (seen 0 of 10 failures against
        7 of 10 without)."""
        tray = tray_window()
        icons = tray_icons(self.bin)
        if not tray or not icons:
            raise E2EError("no notification area with icons on the display")
        right = max(icon.right for icon in icons)
        expect(right + 8 < tray.x + tray.width, "no empty part of the notification area to click")
        click((right + tray.x + tray.width) // 2, icons[-1].centre()[1])

    def tray_menu(self, entry: int, language: Optional[int] = None, attempts: int = 3,
                  before_click: Optional[Callable[[list[Rect]], None]] = None) -> None:
        """Right-clicks the tray icon and clicks a menu entry as a person
        would: entry TRAY_MENU_LANGUAGE with language 0..2 (the submenu opens
        by hovering) or any other TRAY_MENU_ entry. before_click, when
        given, is called with the open menus (outermost first) just before
        the entry is clicked, for example to photograph them.

        Each right-click follows a click into the notification area (see
        focus_tray). Under a busy virtual display a right-click has now and
        then shown no menu in time; a person would click again, and so does this. (No Escape in between: with no menu open it would reach
        the page and close it.)"""
        for attempt in range(1, attempts + 1):
            self.focus_tray()
            self.click_tray_icon(button=3)
            try:
                menus = wait_until(lambda: open_menus(self.bin), 10, what="the tray menu")
                break
            except E2EError:
                if attempt == attempts:
                    raise
                log(f"no tray menu after right-click {attempt}; clicking again")
        point = menu_item_point(menus[0], entry, TRAY_MENU_ENTRIES)
        if entry == TRAY_MENU_LANGUAGE:
            def submenu():
                m = open_menus(self.bin)
                if len(m) >= 2:
                    return m
                # Hovering opens the submenu after a delay; a move that came
                # before the menu tracked the mouse is repeated.
                mouse_move(point[0] + 1, point[1])
                mouse_move(*point)
                return None
            mouse_move(*point)
            menus = wait_until(submenu, 10, interval=0.3, what="the language submenu")
            point = menu_item_point(menus[1], language or 0, LANGUAGE_MENU_ENTRIES)
        if before_click:
            before_click(menus)
        click(*point)
        wait_until(lambda: not open_menus(self.bin), 10, what="the tray menu to close")


# ---------------------------------------------------------------------------
# The page column: switching pages and moving them with real clicks

# The source tree this file belongs to: the page column's ids are read from
# the panel's own headers.
SOURCE_ROOT = Path(__file__).resolve().parents[2]

_DEFINE = re.compile(r"^[ \t]*#[ \t]*define[ \t]+(\w+)[ \t]+(0[xX][0-9a-fA-F]+|\d+)\b", re.M)
_COLUMN_TABLE = re.compile(r"\bkPageColumnIds\s*\[[^\]]*\]\s*\[[^\]]*\]\s*=\s*\{(.*?)\};", re.S)
# Slots of a page's column, in the table's order: close, then the buttons by
# target page.
COLUMN_SLOTS = ("close", "main", "hifi", "digital", "hp", "info")


def read_defines(*headers: Path) -> dict[str, int]:
    """Every `#define NAME number` of the headers."""
    numbers: dict[str, int] = {}
    for header in headers:
        for name, value in _DEFINE.findall(header.read_text(encoding="utf-8")):
            numbers[name] = int(value, 0)
    return numbers


def read_page_column(column_header: Path, id_headers: Iterable[Path]) -> dict[str, dict[str, int]]:
    """The page column's control ids, {page: {"close" or target page: id}},
    from the kPageColumnIds table of column_header and the numbers the id
    headers define. The table has a row per page in page-number order (PAGES)
    and its ids in slot order (COLUMN_SLOTS), each written by its name,
    IDC_<PAGE>_CLOSE or IDC_<PAGE>_TO_<TARGET>: a name that does not fit its
    place is an error, as the panel would bind the wrong button."""
    text = re.sub(r"//[^\n]*|/\*.*?\*/", "", column_header.read_text(encoding="utf-8"), flags=re.S)
    table = _COLUMN_TABLE.search(text)
    if not table:
        raise E2EError(f"no kPageColumnIds table in {column_header}")
    rows = [re.findall(r"\b[A-Za-z_]\w*\b", row) for row in re.findall(r"\{([^{}]*)\}", table.group(1))]
    if len(rows) != len(PAGES):
        raise E2EError(f"{column_header}: {len(rows)} page-column rows for {len(PAGES)} pages")
    numbers = read_defines(*id_headers)
    column: dict[str, dict[str, int]] = {}
    for page, row in zip(PAGES, rows):
        expected = [f"IDC_{page.upper()}_" + ("CLOSE" if slot == "close" else f"TO_{slot.upper()}")
                    for slot in COLUMN_SLOTS]
        if row != expected:
            raise E2EError(f"{column_header}: the {page} page's row is {row}, expected {expected}")
        missing = [name for name in row if name not in numbers]
        if missing:
            raise E2EError(f"{missing} defined in none of the id headers")
        column[page] = {slot: numbers[name] for slot, name in zip(COLUMN_SLOTS, row)}
    return column


# Page-column control ids of each page: close, then the buttons by target page.
COLUMN = read_page_column(SOURCE_ROOT / "skin" / "PageColumnIds.h", sorted((SOURCE_ROOT / "res").glob("ids_*.h")))
# Window size of each page at 96 DPI (its background bitmap).
SIZES = {"main": (800, 313), "hifi": (800, 546), "digital": (800, 313), "info": (800, 313), "hp": (800, 313)}

# The display scale the panel runs at, as the driver set it up (96 = 100 %).
DPI = 96


def scaled(value: int, dpi: Optional[int] = None) -> int:
    """A pixel figure given at 96 DPI at `dpi` (default DPI): value * dpi /
    96 rounded to the nearest integer, halves away from zero, the rule of
    the panel and of its artwork."""
    dpi = DPI if dpi is None else dpi
    q = (2 * abs(value) * dpi + 96) // 192
    return q if value >= 0 else -q


def page_size(page: str, dpi: Optional[int] = None) -> tuple[int, int]:
    w, h = SIZES[page]
    return scaled(w, dpi), scaled(h, dpi)


def expect(condition, message: str) -> None:
    if not condition:
        raise E2EError(message)


def wait_page(bin_dir: Path, page: str, timeout: float = 10) -> None:
    """Waits until `page` is the only visible page."""
    wait_until(lambda: visible_pages(bin_dir) == [page], timeout,
               what=f"only the {page} page visible (now {visible_pages(bin_dir)})")
    time.sleep(0.3)  # let it paint


def click_control(bin_dir: Path, page: str, control_id: int) -> None:
    """A real click on the centre of a control of a page."""
    numbers = [int(v) for v in wintool(bin_dir, "rect", page, str(control_id)).split()[:4]]
    expect(len(numbers) == 4, f"no control {control_id} on the {page} page")
    click((numbers[0] + numbers[2]) // 2, (numbers[1] + numbers[3]) // 2)


def switch(bin_dir: Path, from_page: str, to_page: str) -> Rect:
    """Clicks from_page's page-column button for to_page; checks that to_page
    alone shows, where from_page was and at its own size. Returns its rectangle."""
    before = page_rect(bin_dir, from_page)
    click_control(bin_dir, from_page, COLUMN[from_page][to_page])
    wait_page(bin_dir, to_page)
    after = page_rect(bin_dir, to_page)
    expect((after.left, after.top) == (before.left, before.top),
           f"{to_page} opened at {after} instead of where {from_page} was ({before})")
    expect((after.width, after.height) == page_size(to_page), f"{to_page} has size {after.width}x{after.height}")
    return after


def drag_page(bin_dir: Path, page: str, dx: int, dy: int) -> Rect:
    """Drags a page by its background as a person would; waits until the
    page has followed. Returns its new rectangle."""
    rect = page_rect(bin_dir, page)
    # A point on the page's frame, inside its shape and on no control.
    px, py = scaled(400), rect.height - scaled(8)
    x, y = rect.left + px, rect.top + py
    expect(wintool(bin_dir, "region", page, str(px), str(py)).strip() == "in",
           f"drag point not inside the {page} page's shape")
    drag(x, y, x + dx, y + dy)
    return wait_until(lambda: (r := page_rect(bin_dir, page)) and (r.left, r.top) == (rect.left + dx, rect.top + dy)
                      and r, 15, what=f"the {page} page to follow the drag")


def require_tools(*names: str) -> None:
    missing = [n for n in names if not shutil.which(n)]
    if missing:
        raise SystemExit(f"missing host tools: {' '.join(missing)}")
