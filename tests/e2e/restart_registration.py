"""The panel's registration with Windows for a restart after a fault, seen
through Wine's trace of the call (Wine takes it and does nothing more): the
running panel makes it once, with the arguments the logon task starts it
with and for a fault or a hang only; Exit withdraws it; a copy that ends at
start never makes it."""

import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import zephrin_e2e as z  # noqa: E402

REGISTER = re.compile(r'RegisterApplicationRestart \(L"(.*)",(\d+)\)')
UNREGISTER = "UnregisterApplicationRestart"
RESTART_NO_PATCH = 4
RESTART_NO_REBOOT = 8
TASK_NS = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}


def start_traced(bin_dir: Path, trace: Path) -> subprocess.Popen:
    """Zephrin.exe with Wine's trace of the restart calls in `trace`."""
    env = z.wine_env()
    env["WINEDEBUG"] = "-all,fixme+process"
    with open(trace, "wb") as out:
        return subprocess.Popen(["wine", str(bin_dir / "Zephrin.exe")], env=env, stdout=subprocess.DEVNULL,
                                stderr=out, start_new_session=True)


def calls(trace: Path) -> list[tuple]:
    """The restart calls in order: ("register", arguments, flags) or ("unregister",)."""
    found = []
    for line in trace.read_text(errors="replace").splitlines():
        match = REGISTER.search(line)
        if match:
            found.append(("register", match.group(1), int(match.group(2))))
        elif UNREGISTER in line:
            found.append(("unregister",))
    return found


def logon_task_arguments() -> str:
    """The arguments of the logon task the simulated setup registered (none: empty)."""
    definition = Path(os.environ["WINEPREFIX"]) / "drive_c/Program Files/Zephrin/LogonTask.xml"
    task = ET.fromstring(definition.read_bytes())
    z.expect(task.find("t:Actions/t:Exec/t:Command", TASK_NS) is not None, "the logon task starts no program")
    return task.findtext("t:Actions/t:Exec/t:Arguments", default="", namespaces=TASK_NS)


def main():
    args = z.parse_args(description=__doc__)
    args.artefacts.mkdir(parents=True, exist_ok=True)
    first_trace = args.artefacts / "restart-first.trace"
    second_trace = args.artefacts / "restart-second.trace"
    task_arguments = logon_task_arguments()

    first = start_traced(args.bin, first_trace)
    try:
        z.wait_until(lambda: z.wintool(args.bin, "tray", check=False, timeout=10).startswith("yes"), 40,
                     what="the panel's tray icon")
        made = calls(first_trace)
        z.expect(len(made) == 1 and made[0][0] == "register", f"the running panel's restart calls: {made}")
        _, arguments, flags = made[0]
        z.expect(arguments == task_arguments,
                 f"restarted with {arguments!r}, the logon task starts it with {task_arguments!r}")
        z.expect(flags == RESTART_NO_PATCH | RESTART_NO_REBOOT,
                 f"flags {flags}: restarted after a fault or a hang only (the logon task starts it after a reboot)")
        z.log("registered once it runs, with the logon task's arguments", repr(arguments))

        second = start_traced(args.bin, second_trace)
        z.expect(second.wait(timeout=20) == 0, "the second copy did not end by itself")
        z.expect(calls(second_trace) == [], f"a copy that ended at start registered: {calls(second_trace)}")
        z.log("a second copy ends at start without registering")

        z.wintool(args.bin, "exit")
        z.expect(first.wait(timeout=30) == 0, "the panel did not end by Exit")
        made = calls(first_trace)
        z.expect(made[1:] == [("unregister",)], f"after Exit the restart calls are {made}")
        z.log("Exit withdraws the registration")
    finally:
        if first.poll() is None:
            os.killpg(first.pid, 9)
            first.wait(timeout=10)


z.run(main)
