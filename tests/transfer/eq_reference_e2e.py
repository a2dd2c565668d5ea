#!/usr/bin/python3
"""The equalizer import against reference values computed here, independently
of the program, with the standard audio-equalizer biquad formulas (peaking,
low and high shelf at 48 kHz) and a log-frequency interpolation of graphic
curves.

Real-looking headphone corrections of both shared formats are imported with
the real program (Zephrin.exe /import-eq FILE NAME), the stored presets read
back through its export, and each band compared with the reference: within
0.05 dB, or exactly at the card's limit where the reference lies beyond it.
The presets are removed again at the end.
"""

import cmath
import math
import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

import zephrin_e2e as z  # noqa: E402

RATE = 48000.0
BANDS = (30, 60, 120, 250, 500, 1000, 2000, 4000, 8000, 16000)
ONE_DB = 65536
LOWEST, HIGHEST = -1310720, 1310680  # what the band sliders hold
TOLERANCE_DB = 0.05
PREFIX = "reference "


def biquad_db(kind, fc, gain, q, f):
    """Magnitude in dB at f of the standard biquad of that kind."""
    a = 10 ** (gain / 40)
    w0 = 2 * math.pi * fc / RATE
    cos_w0, alpha = math.cos(w0), math.sin(w0) / (2 * q)
    root = 2 * math.sqrt(a) * alpha
    if kind == "PK":
        b = (1 + alpha * a, -2 * cos_w0, 1 - alpha * a)
        den = (1 + alpha / a, -2 * cos_w0, 1 - alpha / a)
    elif kind == "LS":
        b = (a * ((a + 1) - (a - 1) * cos_w0 + root), 2 * a * ((a - 1) - (a + 1) * cos_w0),
             a * ((a + 1) - (a - 1) * cos_w0 - root))
        den = ((a + 1) + (a - 1) * cos_w0 + root, -2 * ((a - 1) + (a + 1) * cos_w0), (a + 1) + (a - 1) * cos_w0 - root)
    else:  # high shelf
        b = (a * ((a + 1) + (a - 1) * cos_w0 + root), -2 * a * ((a - 1) + (a + 1) * cos_w0),
             a * ((a + 1) + (a - 1) * cos_w0 - root))
        den = ((a + 1) - (a - 1) * cos_w0 + root, 2 * ((a - 1) - (a + 1) * cos_w0), (a + 1) - (a - 1) * cos_w0 - root)
    zi = cmath.exp(-1j * 2 * math.pi * f / RATE)
    return 20 * math.log10(abs(b[0] + b[1] * zi + b[2] * zi * zi) / abs(den[0] + den[1] * zi + den[2] * zi * zi))


def parametric(preamp, filters):
    """The file's text and the reference curve: filters are (type as written,
    kind, fc, gain, q or None for a shelf's default)."""
    lines = [f"Preamp: {preamp} dB"]
    for number, (written, kind, fc, gain, q) in enumerate(filters, 1):
        q_text = "" if q is None else f" Q {q}"
        lines.append(f"Filter {number}: ON {written} Fc {fc} Hz Gain {gain} dB{q_text}")
    curve = []
    for f in BANDS:
        total = preamp
        for _written, kind, fc, gain, q in filters:
            total += biquad_db(kind, fc, gain, 1 / math.sqrt(2) if q is None else q, f)
        curve.append(total)
    return "\r\n".join(lines) + "\r\n", curve


def graphic(points, preamp=0.0):
    """The file's text and the reference: log-frequency interpolation between
    the points, the end points' gains beyond them."""
    text = "GraphicEQ: " + "; ".join(f"{f:g} {g:g}" for f, g in points) + "\n"
    if preamp:
        text = f"Preamp: {preamp} dB\n" + text
    ordered = sorted(points)
    curve = []
    for f in BANDS:
        if f <= ordered[0][0]:
            db = ordered[0][1]
        elif f >= ordered[-1][0]:
            db = ordered[-1][1]
        else:
            for (f0, g0), (f1, g1) in zip(ordered, ordered[1:]):
                if f0 <= f <= f1:
                    t = (math.log(f) - math.log(f0)) / (math.log(f1) - math.log(f0))
                    db = g0 + t * (g1 - g0)
                    break
        curve.append(db + preamp)
    return text, curve


def corrections():
    over_ear = parametric(-6.4, [("LSC", "LS", 105, 5.8, 0.70), ("PK", "PK", 66, -1.9, 0.38),
                                 ("PK", "PK", 150, -3.0, 0.8), ("PK", "PK", 1400, 2.3, 1.41),
                                 ("PK", "PK", 2900, -2.7, 2.5), ("PK", "PK", 5500, 4.1, 3.2),
                                 ("PK", "PK", 7800, -5.5, 4.5), ("HSC", "HS", 10000, -1.5, 0.7),
                                 ("PK", "PK", 19000, -1.0, 0.5)])
    in_ear = parametric(-3.2, [("LSC", "LS", 105, 2.5, 0.7), ("PK", "PK", 28, 1.1, 0.9),
                               ("PK", "PK", 340, -1.8, 1.1), ("PK", "PK", 4200, 3.5, 2.0),
                               ("PK", "PK", 8700, -4.2, 5.0), ("HSC", "HS", 13000, -2.0, 0.7)])
    shelves = parametric(-1.0, [("LS", "LS", 80, 4.0, None), ("HS", "HS", 9500, -3.0, None),
                                ("PK", "PK", 240, 2.25, 0.6), ("HSC", "HS", 2500, 1.5, 1.2)])
    beyond = parametric(6.0, [("LSC", "LS", 200, 18.0, 0.7), ("PK", "PK", 16000, -30.0, 2.0)])
    dense = graphic([(20 * 1000 ** (i / 127), 4 * math.sin(i / 9) - 1.5) for i in range(128)])
    sparse = graphic([(10000, -4.0), (100, 3.0), (1000, -1.0), (2500, 2.5)], preamp=-0.5)
    return {"over-ear": over_ear, "in-ear": in_ear, "shelves": shelves, "beyond the card": beyond,
            "dense graphic": dense, "sparse graphic": sparse}


def windows_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


def stored_presets(export_text):
    """{name: [ten gains]} from an exported settings file."""
    presets, current = {}, None
    for line in export_text.splitlines():
        if line == "[Preset]":
            current = {}
        elif current is not None and " = " in line:
            name, value = line.split(" = ", 1)
            current[name] = value
            if name == "eq_9":
                presets[current["name"]] = [int(current[f"eq_{i}"]) for i in range(10)]
    return presets


def main():
    args = z.parse_args(description=__doc__)
    program = args.bin / "Zephrin.exe"
    cases = corrections()
    folder = Path(tempfile.mkdtemp(prefix="zephrin-eq-reference-"))
    try:
        for name, (text, _curve) in cases.items():
            path = folder / f"{name}.txt"
            path.write_text(text, encoding="utf-8", newline="")
            z.run_wine(program, "/import-eq", windows_path(path), PREFIX + name)
        export = folder / "export.txt"
        z.run_wine(program, "/export", windows_path(export))
        stored = stored_presets(export.read_text(encoding="utf-8"))

        worst = 0.0
        for name, (_text, curve) in cases.items():
            gains = stored.get(PREFIX + name)
            z.expect(gains is not None, f"the preset {PREFIX + name!r} was not stored")
            for f, reference, gain in zip(BANDS, curve, gains):
                if reference * ONE_DB > HIGHEST:
                    z.expect(gain == HIGHEST, f"{name} at {f} Hz: {gain}, expected the top {HIGHEST}")
                elif reference * ONE_DB < LOWEST:
                    z.expect(gain == LOWEST, f"{name} at {f} Hz: {gain}, expected the bottom {LOWEST}")
                else:
                    error = abs(gain / ONE_DB - reference)
                    worst = max(worst, error)
                    z.expect(error <= TOLERANCE_DB,
                             f"{name} at {f} Hz: {gain / ONE_DB:.4f} dB stored, {reference:.4f} dB reference")
        clamped = sum(1 for _n, (_t, c) in cases.items() for r in c if not LOWEST <= r * ONE_DB <= HIGHEST)
        z.expect(clamped >= 2, "the cases no longer reach beyond the card")
        z.log(f"{len(cases)} corrections, 10 bands each: largest difference {worst:.6f} dB, {clamped} bands clamped")
    finally:
        for name in cases:
            z.run_wine("reg", "delete", rf"{z.REG_ROOT}\Custom\{PREFIX + name}", "/f", check=False)
        for path in folder.iterdir():
            path.unlink()
        folder.rmdir()


if __name__ == "__main__":
    z.run(main)
