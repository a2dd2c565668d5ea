#!/usr/bin/env python3
"""Plain fills of the right sizes, used only until the real artwork generator exists."""
import argparse, os, struct

SIZES = {}
def add(ids, w, h):
    for i in ids:
        SIZES[i] = (w, h)
add([129,130,131,135,136,137,138,139,140,324,325,326], 800, 313)
add([244,245,246], 800, 546)
add([152,153], 43, 27)
add(range(327,337), 73, 33)
add([320,321], 25, 40)
add([165], 50, 50); add([166], 19, 19)
add(range(290,300), 16, 137); add([264], 16, 10)
add([300,303], 120, 14); add([302], 28, 14); add([319], 202, 13)
add([314], 105, 19); add([315], 100, 15)
add([148,149], 48, 21); add(range(171,175), 24, 14)
add(range(175,244), 146, 65)
add([251,252,310,311,312,313], 23, 21)
add([253,254,261,262,265,266,268,269,272,273,274,275,276,277,283,284,285,287,288,289], 39, 21)
add([278], 36, 21); add([279], 35, 21); add([316,317], 11, 11)
add([258,259,260], 79, 79); add([267,337], 48, 21)
add(range(154,164), 40, 40); add([322,323], 52, 21)

def bmp(w, h, colour, blue_outside):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            outside = blue_outside and (x < 4 or y < 4 or x >= w - 4 or y >= h - 4)
            line += bytes((255, 0, 0)) if outside else bytes(colour)
        line += b"\0" * (row - w * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data

def ico(size=32):
    w = h = size
    xor = bytes((60, 40, 20, 255)) * (w * h)
    and_mask = b"\0" * (((w + 31) // 32) * 4 * h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    body = info + xor + and_mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(body), 22) + body

def cur(size=32):
    w = h = size
    xor = b"\0" * (((w + 31) // 32) * 4 * h)
    and_mask = b"\0" * (((w + 31) // 32) * 4 * h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    body = info + bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + and_mask
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", w, h, 2, 0, 1, 1, len(body), 22) + body

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    out = ap.parse_args().out
    os.makedirs(out, exist_ok=True)
    lines = []
    for i, (w, h) in sorted(SIZES.items()):
        big = w == 800
        with open(os.path.join(out, f"{i}.bmp"), "wb") as f:
            f.write(bmp(w, h, (40 + i % 50, 40, 40), big))
        lines.append(f'{i} BITMAP "{i}.bmp"')
    with open(os.path.join(out, "128.ico"), "wb") as f:
        f.write(ico())
    with open(os.path.join(out, "1022.cur"), "wb") as f:
        f.write(cur())
    lines += ['128 ICON "128.ico"', '1022 CURSOR "1022.cur"']
    with open(os.path.join(out, "art.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")

main()
