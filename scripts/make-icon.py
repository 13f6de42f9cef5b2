#!/usr/bin/env python3
"""Draws the program icon (a CRT monitor showing refresh waves) as 32x32 and 16x16 images in
256 colours and writes them as one .ico file: src/app/win32/quorvel.ico by default. Each image
carries only the palette entries it uses (biClrUsed), which keeps the icon a third smaller."""

import math
import struct
import sys
from pathlib import Path

SUPERSAMPLE = 8


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def stroke(points, width, clip=None):
    half = width / 2.0
    segments = list(zip(points, points[1:]))

    def inside(x, y):
        if clip and not clip(x, y):
            return False
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
            t = min(max(t, 0.0), 1.0)
            if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half:
                return True
        return False

    return inside


def wave(x0, x1, cy, amplitude, period, phase=0.0):
    steps = int((x1 - x0) * 4) + 1
    return [(x0 + (x1 - x0) * i / steps,
             cy + amplitude * math.sin(2 * math.pi * ((x0 + (x1 - x0) * i / steps) / period + phase)))
            for i in range(steps + 1)]


def vertical_gradient(top, bottom, y0, y1):
    def colour(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))

    return colour


def render(size, layers):
    """layers: (shape, colour) pairs painted in order; colour is an RGB tuple or a function of
    (x, y). Returns rows of (r, g, b, coverage) with coverage in 0..1."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    y = py + (sy + 0.5) / n
                    colour = None
                    for shape, paint in layers:
                        if shape(x, y):
                            colour = paint(x, y) if callable(paint) else paint
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if covered:
                row.append(tuple(c / covered for c in acc) + (covered / (n * n),))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def monitor_32():
    body = rounded_rect(1.5, 2.5, 30.5, 25.0, 2.5)
    body_shade = rounded_rect(2.5, 3.5, 30.5, 25.0, 2.0)
    body_face = rounded_rect(1.5, 2.5, 29.5, 24.0, 2.0)
    bezel = rounded_rect(4.0, 5.0, 28.0, 21.5, 1.5)
    screen = rounded_rect(5.0, 6.0, 27.0, 20.5, 1.0)
    neck = rect(12.5, 24.5, 19.5, 27.0)
    base = rounded_rect(7.0, 26.5, 25.0, 30.0, 1.2)
    base_face = rounded_rect(7.0, 26.5, 25.0, 29.0, 1.0)
    led = rounded_rect(24.5, 22.2, 26.5, 23.4, 0.5)
    clip = rect(5.6, 6.6, 26.4, 19.9)
    return [
        (body, (96, 96, 104)),
        (body_shade, (150, 150, 158)),
        (body_face, vertical_gradient((236, 236, 230), (200, 200, 194), 2.5, 24.0)),
        (bezel, (110, 110, 118)),
        (screen, vertical_gradient((18, 52, 96), (6, 20, 48), 6.0, 20.5)),
        (stroke(wave(5.5, 26.5, 10.5, 2.2, 10.5), 1.5, clip), (90, 230, 255)),
        (stroke(wave(5.5, 26.5, 16.0, 1.6, 7.0, 0.25), 1.2, clip), (50, 150, 210)),
        (neck, (128, 128, 136)),
        (base, (96, 96, 104)),
        (base_face, vertical_gradient((214, 214, 208), (170, 170, 164), 26.5, 29.0)),
        (led, (40, 200, 60)),
    ]


def monitor_16():
    body = rect(0.5, 1.0, 15.5, 12.5)
    body_face = rect(0.5, 1.0, 14.5, 11.5)
    screen = rect(2.0, 2.5, 13.0, 10.0)
    clip = rect(2.5, 3.0, 12.5, 9.5)
    neck = rect(6.5, 12.5, 9.5, 13.5)
    base = rect(4.0, 13.5, 12.0, 15.0)
    base_face = rect(4.0, 13.5, 11.5, 14.5)
    return [
        (body, (96, 96, 104)),
        (body_face, (222, 222, 216)),
        (screen, vertical_gradient((18, 52, 96), (6, 20, 48), 2.5, 10.0)),
        (stroke(wave(2.0, 13.0, 6.2, 1.8, 5.5), 1.3, clip), (90, 230, 255)),
        (neck, (128, 128, 136)),
        (base, (96, 96, 104)),
        (base_face, (200, 200, 194)),
    ]


def median_cut(colours, limit):
    """Reduces a list of RGB tuples to at most `limit` representative colours."""
    boxes = [sorted(set(colours))]
    while len(boxes) < limit:
        boxes.sort(key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b) for i in range(3))
                   if len(b) > 1 else -1)
        box = boxes.pop()
        if len(box) < 2:
            boxes.append(box)
            break
        axis = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[axis])
        mid = len(box) // 2
        boxes += [box[:mid], box[mid:]]
    return [tuple(round(sum(c[i] for c in b) / len(b)) for i in range(3)) for b in boxes if b]


def icon_image(size, rows, palette):
    def nearest(c):
        return min(range(len(palette)),
                   key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))

    xor_stride = (size + 3) & ~3
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, (r, g, b, coverage) in enumerate(row):
            if coverage >= 0.5:
                line[x] = nearest((round(r), round(g), round(b)))
            else:
                line[x] = 0  # black: a transparent pixel must draw nothing under the mask
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    # Only the entries this image uses, renumbered in their palette order (black, for the
    # transparent pixels, stays first).
    used = sorted(set(xor[i] for i in range(len(xor))) | {0})
    number = {old: new for new, old in enumerate(used)}
    xor = bytearray(number[i] for i in xor)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask),
                         0, 0, len(used), 0)
    colours = bytearray()
    for i in used:
        r, g, b = palette[i]
        colours += bytes((b, g, r, 0))
    return header + bytes(colours) + bytes(xor) + bytes(mask)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else (
        Path(__file__).resolve().parent.parent / "src/app/win32/quorvel.ico")
    images = [(32, render(32, monitor_32())), (16, render(16, monitor_16()))]
    used = [(round(r), round(g), round(b)) for _, rows in images for row in rows
            for r, g, b, coverage in row if coverage >= 0.5]
    # Index 0 stays black for the transparent pixels; the rest of the 256 entries is shared.
    palette = [(0, 0, 0)] + median_cut(used, 255)
    palette += [(0, 0, 0)] * (256 - len(palette))

    blobs = [icon_image(size, rows, palette) for size, rows in images]
    offset = 6 + 16 * len(blobs)
    data = struct.pack("<HHH", 0, 1, len(blobs))
    for (size, _), blob in zip(images, blobs):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    out.write_bytes(data + b"".join(blobs))


if __name__ == "__main__":
    main()
