#!/usr/bin/env python3
"""Writes the program icon (32x32 and 16x16, 32-bit) as an .ico file.

A blue rounded shield with a white tick, drawn from plain geometry so the
icon can be regenerated without any image library."""
import struct
import sys


def pixel(size, x, y):
    s = size / 32.0
    cx, cy = x / s, y / s
    # Shield: rounded square top, pointed bottom.
    inside = 3 <= cx <= 29 and 2 <= cy <= 30 and (cy <= 18 or abs(cx - 16) <= (30 - cy) * 1.1)
    if not inside:
        return (0, 0, 0, 0)
    # Tick: two thick strokes.
    def near(ax, ay, bx, by, w):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((cx - ax) * dx + (cy - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (cx - px) ** 2 + (cy - py) ** 2 <= w * w
    if near(9, 16, 14, 21, 2.2) or near(14, 21, 23, 10, 2.2):
        return (255, 255, 255, 255)
    return (188, 129, 94, 255)  # BGRA of RGB(94,129,188)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b"".join(bytes(pixel(size, x, y)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def main(path):
    images = [image(32), image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
