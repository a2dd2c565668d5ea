#!/usr/bin/env python3
"""The panel, its DLLs and tools must run from their folder alone: no
compiler runtime DLL may be among their imports."""
import argparse
import pathlib
import subprocess
import sys

RUNTIME_PREFIXES = ("libstdc++", "libgcc", "libwinpthread", "libssp", "libgomp")
PROGRAMS = ("Zephrin.exe", "CmAudioX.dll", "FindDeviceWinxp.dll", "Vek_GetDxVerDll.dll", "simcard.exe",
            "castool.exe", "CoreAudioStandIn.dll")


def imports(path: pathlib.Path) -> list[str]:
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)],
                          check=True, capture_output=True, text=True).stdout
    return [line.split(":", 1)[1].strip() for line in dump.splitlines() if "DLL Name:" in line]


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--artefacts")
    args = parser.parse_args()
    failures = []
    for name in PROGRAMS:
        path = pathlib.Path(args.bin) / name
        if not path.exists():
            failures.append(f"{name}: not built")
            continue
        bad = [dll for dll in imports(path) if dll.lower().startswith(RUNTIME_PREFIXES)]
        if bad:
            failures.append(f"{name}: needs {', '.join(bad)}")
    # The card's library is loaded at run time, so a damaged card software
    # cannot stop the panel in the system's loader.
    panel = pathlib.Path(args.bin) / "Zephrin.exe"
    if panel.exists() and any(dll.lower() == "cmaudiox.dll" for dll in imports(panel)):
        failures.append("Zephrin.exe: imports CmAudioX.dll at load time")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
