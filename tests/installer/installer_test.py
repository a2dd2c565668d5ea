"""The installers on a fresh machine: a new Wine prefix with its own server,
on the suite's virtual display, so the suite's own prefix is never touched.

Silent install of the simulated setup (files, settings key, CPL.ini, logon
task, uninstaller entry, simulated machine), the installed panel's start,
an upgrade over the running panel that keeps a setting changed through the
panel, a silent uninstall that ends the panel and keeps the settings, one
with /REMOVESETTINGS that removes them; then both setups through their pages
as a person clicks them (the simulated one starts the panel at the end, the
real one says that the card's library is missing). Screenshots of the pages
land in <artefacts>/installer/."""

from __future__ import annotations

import argparse
import configparser
import os
import shutil
import subprocess
import sys
import time
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import zephrin_e2e as z  # noqa: E402

INSTALL_DIR = r"C:\Program Files\Zephrin"
ROOT = z.REG_ROOT
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zephrin"
PCI_DEVICE = r"HKLM\SYSTEM\CurrentControlSet\Enum\PCI\VEN_FEED&DEV_0A17&SUBSYS_171314C3&REV_10\4&2A5B3C1D&0&00E4"
ENDPOINT_SERVER = r"HKLM\Software\Classes\CLSID\{BCDE0395-E52F-467C-8E3D-C4579291692E}\InprocServer32"
PANEL_FILES = ("Zephrin.exe", "FindDeviceWinxp.dll", "Vek_GetDxVerDll.dll", "CPL.ini", "LogonTask.xml", "Uninstall.exe")
SIMULATED_FILES = ("CmAudioX.dll", "simcard.exe", "CoreAudioStandIn.dll", "castool.exe")
LOG_FILE = r"C:\ProgramData\Zephrin\Zephrin.log"
TASK_NS = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}
ENGLISH = 2


def expect(condition, message):
    if not condition:
        raise z.E2EError(message)


class Machine:
    """A fresh Wine prefix under the build folder with a persistent server of
    its own; leaving it ends that server (and only it)."""

    def __init__(self, folder: Path):
        self.folder = folder
        self.prefix = folder / "wineprefix"
        self.server = None

    def __enter__(self) -> "Machine":
        if self.folder.exists():
            shutil.rmtree(self.folder)
        self.prefix.mkdir(parents=True)
        os.environ["WINEPREFIX"] = str(self.prefix)
        os.environ["WINEARCH"] = "win64"
        started = time.monotonic()
        try:
            # Output to nowhere: programs wineboot starts would hold a pipe open.
            subprocess.run(["wineboot", "-i"], env=z.wine_env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=240, check=True)
            # The machine's first session ends, as a new Windows machine
            # restarts after its own set-up: services that set-up registered
            # (the Task Scheduler among them) start only in a later session.
            # The session is left to end by itself (its server then writes
            # the registry out); killing it could lose what set-up wrote.
            self._server_command("-w", timeout=180)
            self.server = subprocess.Popen(["wineserver", "-p"], env=z.wine_env(), stdin=subprocess.DEVNULL,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # No window manager on a virtual display (see scripts/lib/common.sh).
            # As the session's first program it starts the system's services,
            # which would hold a captured output open: output to nowhere.
            subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N",
                            "/f"], env=z.wine_env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=120, check=True)
        except BaseException:
            self.__exit__()
            raise
        z.log(f"fresh machine in {time.monotonic() - started:.1f} s: {self.prefix}")
        return self

    def __exit__(self, *exc) -> None:
        self._server_command("-k")
        if self.server:
            self.server.wait(timeout=60)

    def _server_command(self, option: str, timeout: float = 60) -> None:
        """wineserver -k or -w for this machine's prefix only."""
        subprocess.run(["wineserver", option], env=z.wine_env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout)

    def host(self, windows_path: str) -> Path:
        """The Linux path of a C: path of this machine."""
        drive, rest = windows_path.split(":", 1)
        expect(drive.upper() == "C", f"not on drive C: {windows_path}")
        return self.prefix / "drive_c" / rest.strip("\\").replace("\\", "/")


def key_exists(key: str) -> bool:
    return subprocess.run(["wine", "reg", "query", key], env=z.wine_env(), capture_output=True).returncode == 0


def reg_default(key: str):
    """The default value of a key as text, or None."""
    proc = subprocess.run(["wine", "reg", "query", key, "/ve"], env=z.wine_env(), capture_output=True)
    if proc.returncode != 0:
        return None
    for line in proc.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            return parts[2] if len(parts) == 3 else ""
    return None


def run_setup(setup: Path, *args: str, timeout: float = 180) -> int:
    return subprocess.run(["wine", str(setup), *args], env=z.wine_env(), stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout).returncode


class InstalledPanel(z.Panel):
    """The installed Zephrin.exe; the query tools still come from the build."""

    def __init__(self, bin_dir: Path, machine: Machine):
        super().__init__(bin_dir)
        self.exe = machine.host(INSTALL_DIR) / "Zephrin.exe"

    def start(self) -> "InstalledPanel":
        self.proc = subprocess.Popen(["wine", str(self.exe)], env=z.wine_env(), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        return self


class Pages:
    """A setup run through its pages with real clicks on the virtual display."""

    def __init__(self, bin_dir: Path, shots: Path, title: str):
        self.bin = bin_dir
        self.shots = shots
        self.title = title

    def texts(self) -> str:
        return z.run_wine(self.bin / "setupwin.exe", "texts", check=False, timeout=20).stdout

    def wait_text(self, text: str, timeout: float = 60) -> None:
        z.wait_until(lambda: text in self.texts(), timeout, interval=0.2, what=f"the text {text!r} on screen")

    def press(self, label: str) -> None:
        def where():
            out = z.run_wine(self.bin / "setupwin.exe", "button", label, check=False, timeout=20).stdout.split()
            return [int(v) for v in out] if len(out) == 4 else None
        left, top, right, bottom = z.wait_until(where, 30, interval=0.2, what=f"the button {label!r}")
        z.click((left + right) // 2, (top + bottom) // 2)

    def checked(self, label: str) -> bool:
        out = z.run_wine(self.bin / "setupwin.exe", "checked", label, check=False, timeout=20).stdout.strip()
        expect(out in ("checked", "unchecked"), f"no check box {label!r}")
        return out == "checked"

    def shoot(self, name: str) -> Path:
        """The setup's window, with a message box standing over it."""
        out = z.run_wine(self.bin / "setupwin.exe", "windows", self.title, check=False, timeout=20).stdout
        rects = [[int(v) for v in line.split()] for line in out.splitlines() if len(line.split()) == 4]
        path = self.shots / name
        path.parent.mkdir(parents=True, exist_ok=True)
        time.sleep(0.3)  # let the page finish painting
        crop = []
        if rects:
            left = min(r[0] for r in rects)
            top = min(r[1] for r in rects)
            right = max(r[2] for r in rects)
            bottom = max(r[3] for r in rects)
            crop = ["-crop", f"{right - left}x{bottom - top}+{max(left, 0)}+{max(top, 0)}", "+repage"]
        subprocess.run(["import", "-display", os.environ["DISPLAY"], "-window", "root", *crop, str(path)],
                       check=True, capture_output=True)
        return path


def check_installed(machine: Machine, args, simulated: bool) -> None:
    folder = machine.host(INSTALL_DIR)
    for name in PANEL_FILES:
        expect((folder / name).is_file(), f"{name} not installed")
    for name in SIMULATED_FILES:
        expect((folder / name).is_file() == simulated,
               f"{name} {'missing' if simulated else 'installed by the real setup'}")

    ini = configparser.ConfigParser()
    ini.read(folder / "CPL.ini", encoding="utf-8-sig")
    expect(ini.has_option("Hifi", "RoomSize") and ini.has_option("Hifi", "Environment"),
           f"CPL.ini lacks Hifi RoomSize/Environment: {(folder / 'CPL.ini').read_text(errors='replace')!r}")

    for sub in ("CPL", "Hifi", "Digital", "Info"):
        expect(key_exists(f"{ROOT}\\{sub}"), f"{ROOT}\\{sub} missing")
    expect(z.reg_query(ROOT + r"\Info", "CPLVer") == args.version, "CPLVer is not the panel's version")
    expect(z.reg_query(ROOT + r"\Info", "DriverVer") == args.driver_version, "DriverVer not written")
    resource = z.run_wine(args.bin / "setupwin.exe", "version", INSTALL_DIR + r"\Zephrin.exe").stdout.strip()
    expect(resource == args.version, f"the installed panel's version resource says {resource}, not {args.version}")

    # The logon task. Wine's scheduler stores the task without its trigger,
    # principal and action; what it keeps must match the definition setup
    # registered, which setup keeps beside the program.
    stored_file = machine.host(r"C:\windows\system32\tasks\Zephrin")
    expect(stored_file.is_file(), "no logon task registered")
    stored = ET.fromstring(stored_file.read_bytes())
    definition = ET.fromstring((folder / "LogonTask.xml").read_bytes())
    for path in ("t:RegistrationInfo/t:Description", "t:Settings/t:ExecutionTimeLimit",
                 "t:Settings/t:MultipleInstancesPolicy"):
        expect(stored.findtext(path, namespaces=TASK_NS) == definition.findtext(path, namespaces=TASK_NS),
               f"the registered task differs from LogonTask.xml in {path}")
    for task, where in ((definition, "LogonTask.xml"), (stored, "the registered task")):
        if where == "the registered task" and task.find("t:Triggers/*", TASK_NS) is None:
            continue  # Wine's scheduler: trigger, principal and action not kept
        expect(task.find("t:Triggers/t:LogonTrigger", TASK_NS) is not None, f"{where}: no logon trigger")
        expect(task.findtext("t:Principals/t:Principal/t:RunLevel", namespaces=TASK_NS) == "HighestAvailable",
               f"{where}: not run with the highest privileges")
        command = task.findtext("t:Actions/t:Exec/t:Command", namespaces=TASK_NS)
        expect(command == INSTALL_DIR + r"\Zephrin.exe", f"{where} starts {command!r}")
    expect(stored.findtext("t:Settings/t:ExecutionTimeLimit", namespaces=TASK_NS) == "PT0S",
           "the task has a time limit")
    expect(stored.findtext("t:Settings/t:MultipleInstancesPolicy", namespaces=TASK_NS) == "IgnoreNew",
           "the task may start a second instance")
    # A start that fails is tried again, a few times a minute apart (the
    # scheduler's shortest interval).
    for task, where in ((definition, "LogonTask.xml"), (stored, "the registered task")):
        if where == "the registered task" and task.find("t:Triggers/*", TASK_NS) is None:
            continue  # Wine's scheduler keeps no restart setting either
        count = task.findtext("t:Settings/t:RestartOnFailure/t:Count", namespaces=TASK_NS)
        interval = task.findtext("t:Settings/t:RestartOnFailure/t:Interval", namespaces=TASK_NS)
        expect(count is not None and 1 <= int(count) <= 5, f"{where}: no restart on failure (count {count!r})")
        expect(interval == "PT1M", f"{where}: restart interval {interval!r}, not a minute")

    name = "Zephrin (simulated VANTIR card)" if simulated else "Zephrin"
    expect(z.reg_query(UNINSTALL_KEY, "DisplayName") == name, "Add/Remove Programs: wrong name")
    expect(z.reg_query(UNINSTALL_KEY, "DisplayVersion") == args.version, "Add/Remove Programs: wrong version")
    expect(z.reg_query(UNINSTALL_KEY, "Publisher") == "Marvolin", "Add/Remove Programs: wrong publisher")
    expect(z.reg_query(UNINSTALL_KEY, "DisplayIcon") == INSTALL_DIR + r"\Zephrin.exe,0", "Add/Remove Programs: icon")
    size = z.reg_query(UNINSTALL_KEY, "EstimatedSize") or "0x0"
    expect(int(size, 16) * 1024 >= (folder / "Zephrin.exe").stat().st_size, f"estimated size {size} KB too small")

    if simulated:
        expect(z.reg_query(PCI_DEVICE, "DeviceDesc") == "VANTIR", "no simulated PCI device entry")
        expect(reg_default(ENDPOINT_SERVER) == INSTALL_DIR + r"\CoreAudioStandIn.dll",
               "the Core Audio stand-in is not registered")
        endpoints = z.run_wine(folder / "castool.exe", "list").stdout
        expect("Speakers" in endpoints, f"no default scenario: {endpoints!r}")
    else:
        expect(not key_exists(PCI_DEVICE), "the real setup wrote the simulated PCI device entry")


def uninstall(machine: Machine, *options: str) -> None:
    """The uninstaller copies itself away and returns at once: wait for its
    last step, the removal of its own key, and for the folder to go."""
    folder = machine.host(INSTALL_DIR)
    proc = subprocess.run(["wine", str(folder / "Uninstall.exe"), "/S", *options], env=z.wine_env(),
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    expect(proc.returncode == 0, f"Uninstall.exe failed ({proc.returncode})")
    z.wait_until(lambda: not key_exists(UNINSTALL_KEY) and not folder.exists(), 90, interval=0.3,
                 what="the uninstaller to remove its key and the program's folder")


def check_uninstalled(machine: Machine, endpoint_server_before: str) -> None:
    expect(not machine.host(INSTALL_DIR).exists(), "files left behind")
    expect(not machine.host(r"C:\windows\system32\tasks\Zephrin").exists(), "the logon task is still there")
    expect(not key_exists(UNINSTALL_KEY), "the uninstaller's key is still there")
    expect(not key_exists(PCI_DEVICE), "the simulated PCI device entry is still there")
    after = reg_default(ENDPOINT_SERVER)
    expect(after == endpoint_server_before,
           f"Wine's own endpoint server not put back: {after!r}, before the install {endpoint_server_before!r}")


def silent_life_cycle(machine: Machine, args) -> None:
    endpoint_server = reg_default(ENDPOINT_SERVER)
    expect(run_setup(args.setup_simulated, "/S") == 0, "silent simulated install failed")
    check_installed(machine, args, simulated=True)
    z.log("silent install: files, keys, CPL.ini, logon task and uninstaller entry in place")

    # A setting changed through the panel, and the user's own CPL.ini values.
    ini_path = machine.host(INSTALL_DIR) / "CPL.ini"
    ini_path.write_text("[Hifi]\r\nRoomSize=2\r\nEnvironment=5\r\n")
    panel = InstalledPanel(args.bin, machine).start()
    panel.wait_for_tray_icon()
    panel.tray_menu(z.TRAY_MENU_LANGUAGE, language=ENGLISH)
    z.wait_until(lambda: z.reg_query(ROOT + r"\CPL", "language") == str(ENGLISH), 10, what="the language stored")

    # Upgrade over the running panel: it is asked to end, never killed.
    expect(run_setup(args.setup_simulated, "/S") == 0, "upgrade failed")
    expect(panel.wait_exit(30) == 0, "the running panel was not ended by its Exit command during the upgrade")
    check_installed(machine, args, simulated=True)
    expect(z.reg_query(ROOT + r"\CPL", "language") == str(ENGLISH), "the upgrade lost the stored language")
    ini = configparser.ConfigParser()
    ini.read(ini_path)
    expect((ini.get("Hifi", "RoomSize"), ini.get("Hifi", "Environment")) == ("2", "5"),
           f"the upgrade changed the user's CPL.ini: {ini_path.read_text()!r}")
    z.log("upgrade over the running panel: panel ended by Exit, settings and CPL.ini kept")

    # Uninstall ends the running panel too, and keeps the settings.
    panel = InstalledPanel(args.bin, machine).start()
    panel.wait_for_tray_icon()
    uninstall(machine)
    expect(panel.wait_exit(30) == 0, "the running panel was not ended by its Exit command during uninstall")
    check_uninstalled(machine, endpoint_server)
    expect(z.reg_query(ROOT + r"\CPL", "language") == str(ENGLISH), "uninstall removed the settings")
    z.log("uninstall: panel ended, no file, task or uninstaller key left, settings kept")

    # Once more, removing the settings.
    expect(run_setup(args.setup_simulated, "/S") == 0, "second install failed")
    expect(z.reg_query(ROOT + r"\CPL", "language") == str(ENGLISH), "reinstall lost the kept settings")
    uninstall(machine, "/REMOVESETTINGS")
    check_uninstalled(machine, endpoint_server)
    expect(not key_exists(ROOT), "/REMOVESETTINGS left the settings key")
    z.log("uninstall /REMOVESETTINGS: settings key removed")


def simulated_pages(machine: Machine, args, shots: Path) -> None:
    pages = Pages(args.bin, shots, f"Zephrin {args.version} Setup")
    setup = subprocess.Popen(["wine", str(args.setup_simulated)], env=z.wine_env(), stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    pages.wait_text(f"Zephrin {args.version} with a simulated VANTIR card")
    pages.shoot("simulated-1-welcome.png")
    pages.press("Next >")
    pages.wait_text("The simulated parts stand in for the VANTIR card")
    pages.shoot("simulated-2-parts.png")
    pages.press("Next >")
    pages.wait_text("Choose Install Location")
    pages.shoot("simulated-3-folder.png")
    pages.press("Install")
    pages.wait_text(f"Zephrin {args.version} is installed")
    pages.wait_text(LOG_FILE)  # where to look when the icon does not appear
    expect(pages.checked("Start Zephrin now"), "the last page does not offer to start the panel")
    pages.shoot("simulated-4-finished.png")
    pages.press("Finish")
    expect(setup.wait(60) == 0, "the simulated setup failed")
    # Finishing with the start box ticked starts the installed panel.
    z.wait_until(lambda: z.wintool(args.bin, "tray", check=False).startswith("yes"), 40,
                 what="the panel's tray icon after the interactive install")
    z.screenshot(shots, "simulated-5-tray.png")
    z.run_wine(args.bin / "wintool.exe", "exit")
    uninstall(machine)


def real_pages(machine: Machine, args, shots: Path) -> None:
    pages = Pages(args.bin, shots, f"Zephrin {args.version} Setup")
    setup = subprocess.Popen(["wine", str(args.setup)], env=z.wine_env(), stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    pages.wait_text("The card's driver must be installed too")
    pages.shoot("real-1-welcome.png")
    pages.press("Next >")
    pages.wait_text("Choose Install Location")
    pages.shoot("real-2-folder.png")
    pages.press("Install")
    pages.wait_text("control library (CmAudioX.dll) was not found")
    pages.shoot("real-3-no-card-library.png")
    pages.press("OK")
    pages.wait_text(f"Zephrin {args.version} is installed")
    pages.wait_text(LOG_FILE)  # where to look when the icon does not appear
    expect(not pages.checked("Start Zephrin now"), "without the card's library the panel is offered to start")
    pages.shoot("real-4-finished.png")
    pages.press("Finish")
    expect(setup.wait(60) == 0, "the real setup failed")
    check_installed(machine, args, simulated=False)
    z.log("real setup: installed without the simulated parts, missing card library reported")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--bin", required=True, type=Path)
    parser.add_argument("--artefacts", required=True, type=Path)
    parser.add_argument("--setup", required=True, type=Path)
    parser.add_argument("--setup-simulated", required=True, type=Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("--driver-version", required=True)
    parser.add_argument("--machine", required=True, type=Path, help="folder for the fresh prefix")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        raise SystemExit("DISPLAY is not set: run the test through scripts/test")
    for setup in (args.setup, args.setup_simulated):
        expect(setup.is_file(), f"{setup} is not built")
    shots = args.artefacts / "installer"
    started = time.monotonic()
    with Machine(args.machine) as machine:
        silent_life_cycle(machine, args)
        simulated_pages(machine, args, shots)
        real_pages(machine, args, shots)
    z.log(f"installer test done in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    z.run(main)
