#!/usr/bin/env python3
# Draws the Tavrilo stopwatch icon and writes src/resources/tavrilo.ico (16, 32 and 48 px, 32-bit BGRA
# with alpha). Standard library only; the output is the same bytes on every run.
#
#   python3 scripts/make_icon.py
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "resources", "tavrilo.ico")

SS = 4  # supersamples per axis

BLACK = (0, 0, 0)
RIM = (70, 70, 200)        # darker shade of the default background blue
FACE = (240, 240, 246)
METAL = (192, 192, 192)    # crown and side button, the default face grey
CROWN_SMALL = (96, 96, 110)
TICK = (40, 40, 40)
HAND = (210, 30, 30)

# Geometry in units of the icon size (0..1, y down); widths in pixels so lines stay crisp when small.
PARAMS = {
    16: dict(cy=0.625, r=0.374, outline=0.8, rim=1.1, inner=0.0, stem_w=0.125, knob_w=0.375, knob_h=0.125,
             knob_y=0.0, knob_round=0.5, crown_outline=False, side=False, ticks=False, hand_w=1.7,
             hand_len=0.24, dot=1.0),
    32: dict(cy=0.58, r=0.40, outline=1.0, rim=2.0, inner=0.8, stem_w=0.12, knob_w=0.36, knob_h=0.10,
             knob_y=0.03, knob_round=1.5, crown_outline=True,
             side=True, ticks=True, tick_w=1.6, tick_len=0.075, hand_w=2.0, hand_len=0.26, dot=1.9),
    48: dict(cy=0.58, r=0.40, outline=1.25, rim=3.0, inner=1.0, stem_w=0.11, knob_w=0.34, knob_h=0.09,
             knob_y=0.03, knob_round=1.5, crown_outline=True,
             side=True, ticks=True, tick_w=2.0, tick_len=0.075, hand_w=2.6, hand_len=0.27, dot=2.6),
}

HAND_ANGLE = 60.0  # degrees clockwise from 12, i.e. 2 o'clock


def sd_circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_box(px, py, cx, cy, hw, hh, rad=0.0):
    qx = abs(px - cx) - hw + rad
    qy = abs(py - cy) - hh + rad
    return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - rad


def sd_segment(px, py, ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - r


def polar(cx, cy, deg, dist):
    a = math.radians(deg)
    return cx + math.sin(a) * dist, cy - math.cos(a) * dist


def build_shapes(size):
    """Returns draw layers, back to front: (distance function, [(band width, colour), ...])."""
    p = PARAMS[size]
    px = 1.0 / size
    cx, cy, r = 0.5, p["cy"], p["r"]
    ol = p["outline"] * px
    layers = []

    if p["side"]:
        ax, ay = polar(cx, cy, 45.0, r - 0.05)
        bx, by = polar(cx, cy, 45.0, r + 0.075)
        layers.append((lambda x, y, ax=ax, ay=ay, bx=bx, by=by: sd_segment(x, y, ax, ay, bx, by, 0.055),
                       [(ol, BLACK), (None, METAL)]))

    # Crown: stem into the top of the case, wider knob above it. Too small to outline at 16 px.
    crown = [(ol, BLACK), (None, METAL)] if p["crown_outline"] else [(None, CROWN_SMALL)]
    top = cy - r
    knob_top = p["knob_y"]
    knob_bot = knob_top + p["knob_h"]
    stem_cy = (knob_bot + top + 0.04) / 2
    stem_hh = (top + 0.04 - knob_bot) / 2 + ol
    layers.append((lambda x, y: sd_box(x, y, cx, stem_cy, p["stem_w"] / 2, stem_hh), crown))
    kw = p["knob_w"] / 2
    kh = p["knob_h"] / 2
    kr = min(kh, p["knob_round"] * px)
    layers.append((lambda x, y: sd_box(x, y, cx, knob_top + kh, kw, kh, kr), crown))

    case = [(ol, BLACK), (p["rim"] * px, RIM)]
    if p["inner"]:
        case.append((p["inner"] * px, BLACK))
    layers.append((lambda x, y: sd_circle(x, y, cx, cy, r), case + [(None, FACE)]))

    if p["ticks"]:
        face_r = r - ol - (p["rim"] + p["inner"]) * px
        tw = p["tick_w"] * px / 2
        for deg in (0.0, 90.0, 180.0, 270.0):
            ax, ay = polar(cx, cy, deg, face_r - 0.02)
            bx, by = polar(cx, cy, deg, face_r - 0.02 - p["tick_len"])
            layers.append((lambda x, y, ax=ax, ay=ay, bx=bx, by=by: sd_segment(x, y, ax, ay, bx, by, tw),
                           [(None, TICK)]))

    hx, hy = polar(cx, cy, HAND_ANGLE, p["hand_len"])
    hw = p["hand_w"] * px / 2
    layers.append((lambda x, y: sd_segment(x, y, cx, cy, hx, hy, hw), [(None, HAND)]))
    layers.append((lambda x, y: sd_circle(x, y, cx, cy, p["dot"] * px), [(None, BLACK)]))
    return layers


def sample(layers, x, y):
    colour = None
    for fn, bands in layers:
        d = fn(x, y)
        if d > 0.0:
            continue
        depth = -d
        for width, c in bands:
            if width is None or depth < width:
                colour = c
                break
            depth -= width
    return colour


def render(size):
    """Returns rows top-down of (r, g, b, a) tuples."""
    layers = build_shapes(size)
    n = SS * SS
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            rs = gs = bs = hits = 0
            for sy in range(SS):
                y = (py + (sy + 0.5) / SS) / size
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) / size
                    c = sample(layers, x, y)
                    if c is not None:
                        rs += c[0]
                        gs += c[1]
                        bs += c[2]
                        hits += 1
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(((rs + hits // 2) // hits, (gs + hits // 2) // hits, (bs + hits // 2) // hits,
                            (hits * 255 + n // 2) // n))
        rows.append(row)
    return rows


def dib(size, rows):
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x >> 3] |= 0x80 >> (x & 7)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def build_ico(sizes):
    images = [dib(s, render(s)) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    return bytes(out)


def main():
    data = build_ico((16, 32, 48))
    path = os.path.normpath(OUT)
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (path, len(data)))


if __name__ == "__main__":
    main()
