"""The control gallery on the virtual display, driven with real X input:
a drag of the crossover slider and of an equalizer band, a turn of the large
knob (screenshot while it is held), a click in the knob's corner that the
round window refuses and the gallery behind it receives. Screenshots of every state
go to the artefacts folder."""

from __future__ import annotations

import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import zephrin_e2e as z  # noqa: E402


class State:
    """What the gallery last wrote: positions and screen rectangles by control
    id, the drags each knob ended by a release, the clicks on the background."""

    def __init__(self, path: Path) -> None:
        self.pos: dict[int, int] = {}
        self.rect: dict[int, tuple[int, int, int, int]] = {}
        self.released: dict[int, int] = {}
        self.clicks = 0
        self.focus = 0
        if not path.exists():
            return
        for line in path.read_text().splitlines():
            parts = line.split()
            if not parts:
                continue
            if parts[0] == "pos":
                self.pos[int(parts[1])] = int(parts[2])
            elif parts[0] == "rect":
                self.rect[int(parts[1])] = tuple(int(v) for v in parts[2:6])  # type: ignore[assignment]
            elif parts[0] == "released":
                self.released[int(parts[1])] = int(parts[2])
            elif parts[0] == "clicks":
                self.clicks = int(parts[1])
            elif parts[0] == "focus":
                self.focus = int(parts[1])


def to_windows(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


def main() -> int:
    args = z.parse_args(description=__doc__)
    state = args.artefacts / "gallery_state.txt"
    quit_flag = Path(str(state) + ".quit")
    for p in (state, quit_flag):
        p.unlink(missing_ok=True)
    proc = subprocess.Popen(["wine", str(args.bin / "control_gallery.exe"), to_windows(state)], env=z.wine_env(),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # The gallery writes its first state once everything has painted.
        z.wait_until(lambda: State(state).rect.get(1086), timeout=30, what="gallery shown")
        z.screenshot(args.artefacts, "gallery_initial.png")
        first = State(state)
        pos, rect = first.pos, first.rect
        assert pos[1086] == 150 and pos[1022] == 20, pos

        # Crossover slider: its thumb centre is at pixel 118 of the channel.
        l, t, r, b = rect[1086]
        cy = (t + b) // 2
        z.drag(l + 118, cy, l + 60, cy, steps=6)
        z.wait_until(lambda: State(state).pos[1086] != 150, what="crossover slider moved")
        got = State(state).pos[1086]
        # Centre now at 60: (60 - 14) / 174 x 250 = 66.09 -> 66.
        if got != 66:
            raise z.E2EError(f"crossover slider at {got}, expected 66")
        # Dragged far past the right end: pinned at the maximum.
        z.drag(l + 60, cy, l + 600, cy, steps=6)
        z.wait_until(lambda: State(state).pos[1086] == 250, what="crossover pinned at 250")

        # An equalizer band dragged to its top: the minimum.
        l, t, r, b = rect[1036]
        before = State(state).pos[1036]
        z.drag((l + r) // 2, t + (b - t) // 2, (l + r) // 2, t - 80, steps=6)
        z.wait_until(lambda: State(state).pos[1036] == -1310680, what="band at its minimum")
        assert before != -1310680

        # Large knob: press and move around; screenshot while held.
        l, t, r, b = rect[1022]
        cx, cyk = (l + r) // 2, (t + b) // 2
        z.mouse_move(cx + 20, cyk - 5)
        time.sleep(0.1)
        subprocess.run(["xdotool", "mousedown", "1"], check=True)
        for dy in range(-5, 20, 2):
            z.mouse_move(cx + 20, cyk + dy)
            time.sleep(0.03)
        z.wait_until(lambda: State(state).pos[1022] > 20, what="knob turning while held")
        z.screenshot(args.artefacts, "gallery_knob_held.png")
        subprocess.run(["xdotool", "mouseup", "1"], check=True)
        # The release's notice comes after its own last step.
        z.wait_until(lambda: State(state).released.get(1022) == 1, what="knob released")
        turned = State(state).pos[1022]
        if turned <= 20:
            raise z.E2EError(f"the knob did not turn clockwise: {turned}")
        if turned > 50:
            raise z.E2EError(f"knob passed its drag limit: {turned}")

        # Corner of the knob's square: outside the round window, so the click
        # lands on the gallery behind it (seen there) and the knob keeps still.
        clicks = State(state).clicks
        z.click(l + 1, t + 1)
        z.wait_until(lambda: State(state).clicks == clicks + 1, what="corner click on the background")
        after = State(state)
        if after.pos[1022] != turned or after.released.get(1022) != 1:
            raise z.E2EError("a click in the knob's corner reached the knob")

        z.screenshot(args.artefacts, "gallery_after_drags.png")
        z.log("gallery: crossover 250, band minimum, knob", turned)
    finally:
        quit_flag.write_text("quit")
        try:
            proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            proc.kill()
    return 0


if __name__ == "__main__":
    z.run(main)
