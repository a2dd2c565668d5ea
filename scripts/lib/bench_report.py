#!/usr/bin/python3
"""Part of scripts/bench: gathers the figures zbench wrote, checks them
against the targets (ratios to the baseline of the same run) and prints the
table; writes everything as one JSON file."""

import argparse
import json
import os
import sys

from bench_floor import floor_rows

# Start → icon may take this many times the bare tray program's start.
START_LIMIT = 3


def load(work, name):
    path = os.path.join(work, name)
    if not os.path.exists(path):
        return None
    with open(path) as f:
        text = f.read().strip()
    return json.loads(text) if text else None


def verdict(ok):
    return "met" if ok else "NOT met"


def scaled_rows(work, name, start, result):
    """The panel at 200 %, against its own figures at 100 % of the same run
    (and the bare tray program's working set at 200 %)."""
    plain = result["panels"]["panel"]
    s = start[name]
    mem = load(work, "memory-%s.json" % name)
    actions = load(work, "actions-%s.json" % name)
    figures = {"start": s, "start_ratio": s["median"] / plain["start"]["median"], "memory": mem, "actions": actions}
    result["scaled"] = {name: figures}
    label = name.replace("panel@", "at ") + " DPI"
    rows = [("panel " + label, "start → icon, median of %d" % s["n"], "%.0f ms (100 %%)" % plain["start"]["median"],
             "%.0f ms" % s["median"], "%.2f ×" % figures["start_ratio"], verdict(figures["start_ratio"] <= 1.2))]
    if mem:
        bmb = mem["baseline_mb"]
        rows.append(("panel " + label, "working set, every page in every language", "%.1f MB" % bmb,
                     "%.1f MB" % mem["panel_all_pages_mb"], "+%.1f MB" % (mem["panel_all_pages_mb"] - bmb),
                     verdict(mem["panel_all_pages_mb"] - bmb <= 60)))
    if actions:
        for key, text, limit in (("language_switch", "language switch", 1.5), ("page_switch", "page switch", 1.2)):
            at100 = plain["actions"][key]["p99"]
            p99 = actions[key]["p99"]
            figures[key + "_p99_ratio"] = p99 / at100
            rows.append(("panel " + label, "%s p99" % text, "%.2f ms (100 %%)" % at100, "%.2f ms" % p99,
                         "%.2f ×" % (p99 / at100), verdict(p99 / at100 <= limit)))
        # The two switches at 200 % against what the windowing system alone
        # costs for them at 200 %.
        rows += floor_rows(work, name, actions, figures, verdict, "panel " + label) or []
    return rows


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--work", required=True)
    ap.add_argument("--json", required=True)
    ap.add_argument("--machine", default="")
    ap.add_argument("--exe", required=True)
    ap.add_argument("--also-exe", action="append", default=[])
    ap.add_argument("--scaled", help="the panel measured at 200 %% display scale, as NAME@DPI")
    ap.add_argument("names", nargs="+")
    a = ap.parse_args()

    exes = {"panel": a.exe}
    for entry in a.also_exe:
        name, path = entry.split("=", 1)
        exes[name] = path

    start = load(a.work, "start.json")
    base = start["baseline"]["median"]
    result = {"machine": a.machine, "baseline_start": start["baseline"], "start_runs": start, "panels": {}}
    rows = []
    for n in a.names:
        mem = load(a.work, "memory-%s.json" % n)
        idle_found = load(a.work, "idle-found-%s.json" % n)
        idle_absent = load(a.work, "idle-absent-%s.json" % n)
        actions = load(a.work, "actions-%s.json" % n)
        drag = load(a.work, "drag-%s.json" % n)
        size_mb = os.path.getsize(exes[n]) / (1024 * 1024)
        s = start[n]
        p = {
            "start": s,
            "start_ratio": s["median"] / base,
            "memory": mem,
            "idle_found": idle_found,
            "idle_absent": idle_absent,
            "actions": actions,
            "drag": drag,
            "exe_mb": size_mb,
        }
        result["panels"][n] = p
        bmb = mem["baseline_mb"]
        rows.append((n, "start → icon, median of %d" % s["n"], "%.0f ms" % base, "%.0f ms" % s["median"],
                     "%.2f ×" % p["start_ratio"], verdict(p["start_ratio"] <= START_LIMIT)))
        rows.append((n, "working set after start", "%.1f MB" % bmb, "%.1f MB" % mem["panel_start_mb"],
                     "+%.1f MB" % (mem["panel_start_mb"] - bmb), verdict(mem["panel_start_mb"] - bmb <= 20)))
        rows.append((n, "working set, every page in every language", "%.1f MB" % bmb,
                     "%.1f MB" % mem["panel_all_pages_mb"], "+%.1f MB" % (mem["panel_all_pages_mb"] - bmb),
                     verdict(mem["panel_all_pages_mb"] - bmb <= 24)))
        # Every art set included: 1x, 1.5x and 2x.
        rows.append((n, "size of the program", "", "%.1f MB" % size_mb, "", verdict(size_mb <= 12)))
        for label, d in (("idle CPU, card endpoint found", idle_found), ("idle CPU, card endpoint absent", idle_absent)):
            rows.append((n, label, "", "%.3f ms/s" % d["cpu_ms_per_s"], "", verdict(d["cpu_ms_per_s"] <= 1)))
        floors = floor_rows(a.work, n, actions, p, verdict)
        for key, label, limit in (("page_switch", "page switch, each to each", 16),
                                  ("language_switch", "language switch", 30),
                                  ("band_step", "equalizer band step", 16),
                                  ("knob_step", "master knob step", 16),
                                  ("refresh", "refresh after another program's change", 16)):
            st = actions[key]
            # The two switches are judged against their floor when it was measured.
            target = "" if floors and key in ("page_switch", "language_switch") else verdict(st["p99"] <= limit)
            rows.append((n, "%s (n=%d), median / p99" % (label, st["n"]), "",
                         "%.2f / %.2f ms" % (st["median"], st["p99"]), "", target))
        rows += floors or []
        if drag:
            per = max(drag["up"]["ms_per_move"], drag["down"]["ms_per_move"])
            rows.append((n, "band dragged with the mouse (%d + %d moves)" % (drag["up"]["moves"], drag["down"]["moves"]),
                         "", "%.2f ms per move" % per, "", verdict(per <= 16)))

    if a.scaled:
        rows += scaled_rows(a.work, a.scaled, start, result)

    with open(a.json, "w") as f:
        json.dump(result, f, indent=2)

    # The bare tray program's start beside every figure, so that runs on
    # machines of different speed can be compared.
    head = ("program", "figure", "baseline", "value", "ratio / gap", "target", "bare tray start")
    rows = [r + ("%.0f ms" % base,) for r in rows]
    widths = [max(len(str(r[i])) for r in rows + [head]) for i in range(len(head))]
    print("machine: %s" % a.machine)
    print(" | ".join(h.ljust(widths[i]) for i, h in enumerate(head)))
    print("-+-".join("-" * w for w in widths))
    for r in rows:
        print(" | ".join(str(c).ljust(widths[i]) for i, c in enumerate(r)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
