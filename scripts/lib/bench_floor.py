"""Part of scripts/bench: the floor rows. The floor program (BenchFloor.exe)
does what the panel's page switch and language switch ask of the windowing
system and nothing else, timed the same way right before the panel's own
actions; the panel's p99 is judged against the floor's of the same run."""

import json
import os

# The panel's p99 may be this many times the floor's.
FLOOR_LIMIT = 1.25

FIGURES = (("page_switch", "page switch"), ("language_switch", "language switch"))


def load_floor(work, name):
    path = os.path.join(work, "floor-%s.json" % name)
    if not os.path.exists(path):
        return None
    with open(path) as f:
        text = f.read().strip()
    return json.loads(text) if text else None


def floor_rows(work, name, actions, figures, verdict, label=None):
    """Rows for the floor measured beside panel `name` and the panel's p99
    against it; the floor's figures and the ratios go into `figures` (the
    panel's entry of the JSON). None when no floor was measured. `label`
    names the panel in the rows (default: `name`)."""
    floor = load_floor(work, name)
    if not floor or not actions:
        return None
    figures["floor"] = floor
    rows = []
    program = label or name
    for key, text in FIGURES:
        f = floor[key]
        p99 = actions[key]["p99"]
        ratio = p99 / f["p99"] if f["p99"] > 0 else float("inf")
        figures[key + "_floor_ratio"] = ratio
        rows.append((program, "%s floor (n=%d), median / p99" % (text, f["n"]), "",
                     "%.2f / %.2f ms" % (f["median"], f["p99"]), "", ""))
        rows.append((program, "%s p99 against its floor" % text, "%.2f ms" % f["p99"], "%.2f ms" % p99,
                     "%.2f ×" % ratio, verdict(ratio <= FLOOR_LIMIT)))
    return rows
