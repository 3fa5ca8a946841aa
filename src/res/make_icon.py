#!/usr/bin/env python3
"""Draws the saver's icon (a monitor showing a bright "V" over a blue sky) and writes it as
a Windows .ico with 16, 32 and 48 pixel images, 32 bits per pixel with alpha.

usage: make_icon.py OUT.ico
"""
import struct
import sys

SUPERSAMPLE = 4


def inside_round_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    qx, qy = ax + t * dx, ay + t * dy
    return ((px - qx) ** 2 + (py - qy) ** 2) ** 0.5


def shade(u, v):
    """The colour (r, g, b, a) at a point of the unit square, or None for transparency."""
    # The stand: a neck and a foot below the screen.
    if inside_round_rect(u, v, 0.42, 0.78, 0.58, 0.88, 0.0):
        return (90, 90, 100, 255)
    if inside_round_rect(u, v, 0.26, 0.86, 0.74, 0.95, 0.04):
        return (70, 70, 80, 255)
    # The frame.
    if not inside_round_rect(u, v, 0.04, 0.08, 0.96, 0.80, 0.07):
        return None
    if not inside_round_rect(u, v, 0.10, 0.14, 0.90, 0.74, 0.03):
        return (45, 48, 60, 255)
    # The screen: a sky from deep blue at the top to teal at the bottom, with a bright "V".
    stroke = min(distance_to_segment(u, v, 0.26, 0.24, 0.50, 0.64),
                 distance_to_segment(u, v, 0.50, 0.64, 0.74, 0.24))
    if stroke <= 0.065:
        return (255, 196, 40, 255)
    t = (v - 0.14) / 0.60
    return (int(20 + 20 * t), int(60 + 120 * t), int(170 + 40 * t), 255)


def render(size):
    pixels = []
    n = SUPERSAMPLE
    for row in range(size):
        line = []
        for col in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = shade((col + (sx + 0.5) / n) / size, (row + (sy + 0.5) / n) / size)
                    if c:
                        a = c[3]
                        acc[0] += c[0] * a
                        acc[1] += c[1] * a
                        acc[2] += c[2] * a
                        acc[3] += a
            alpha = acc[3] // (n * n)
            if acc[3]:
                r, g, b = (acc[i] // acc[3] for i in range(3))
            else:
                r = g = b = 0
            line.append((r, g, b, alpha))
        pixels.append(line)
    return pixels


def dib(size, pixels):
    """A BITMAPINFOHEADER image as an icon stores it: double height, bottom-up colour rows,
    then the 1-bit AND mask (set where the pixel is transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for col, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sizes = (16, 32, 48)
    images = [dib(s, render(s)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
